// The level table file: record format, how the tiles cut the picture, the deal and the mirrors.
#include "LevelFiles.h"

#include <QRegularExpression>
#include <QtTest>

#include <algorithm>
#include <set>

using namespace leveldata;

namespace {

// How many times the tiles must be cut across, slab by slab, until single tiles remain:
// 2 for plain rows. A cutting that no straight line divides counts as 1000.
int cutDepth(const std::vector<QRect> &tiles)
{
    if (tiles.size() <= 1)
        return 0;
    int best = 1000;
    for (bool vertical : {true, false}) {
        std::vector<int> starts;
        for (const QRect &t : tiles)
            starts.push_back(vertical ? t.left() : t.top());
        std::sort(starts.begin(), starts.end());
        starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
        // A start is a cut if no tile runs across it.
        std::vector<int> cuts;
        for (int s : starts) {
            const bool crossed = std::any_of(tiles.begin(), tiles.end(), [&](const QRect &t) {
                const int from = vertical ? t.left() : t.top();
                const int to = from + (vertical ? t.width() : t.height());
                return from < s && s < to;
            });
            if (!crossed)
                cuts.push_back(s);
        }
        if (cuts.size() < 2)
            continue; // only the outer edge
        int deepest = 0;
        for (size_t i = 0; i < cuts.size(); ++i) {
            std::vector<QRect> slab;
            for (const QRect &t : tiles) {
                const int from = vertical ? t.left() : t.top();
                if (from >= cuts[i] && (i + 1 == cuts.size() || from < cuts[i + 1]))
                    slab.push_back(t);
            }
            deepest = std::max(deepest, cutDepth(slab));
        }
        best = std::min(best, 1 + deepest);
    }
    return best;
}

int swapsNeeded(const morvane::LevelTable &table, int level)
{
    std::vector<bool> seen(Places + 1, false);
    int cycles = 0;
    for (int k = 1; k <= Places; ++k) {
        if (seen[k])
            continue;
        ++cycles;
        for (int j = k; !seen[j]; j = table(level, j).StartContent)
            seen[j] = true;
    }
    return Places - cycles;
}

} // namespace

class LevelFileTest : public QObject {
    Q_OBJECT

private slots:
    void recordsHaveTheFixedTextLayout()
    {
        const QByteArray bytes = levelFileBytes();
        QCOMPARE(bytes.size(), morvane::LevelRecordCount * morvane::LevelRecordSize);
        const QRegularExpression number(QStringLiteral("^ *-?[0-9]+$"));
        const int widths[] = {4, 4, 4, 4, 2, 1, 1, 3, 3, 3, 3};
        for (int r = 0; r < morvane::LevelRecordCount; ++r) {
            const QByteArray record = bytes.mid(r * 34, 34);
            QCOMPARE(record.right(2), QByteArray("\r\n"));
            int offset = 0;
            for (int f = 0; f < 11; ++f) {
                const QString field = QString::fromLatin1(record.mid(offset, widths[f]));
                offset += widths[f];
                if (f == 5)
                    QVERIFY2(field == "H" || field == "V",
                             qPrintable(QString("record %1").arg(r + 1)));
                else if (f == 6)
                    QVERIFY2(field == "0" || field == "1",
                             qPrintable(QString("record %1").arg(r + 1)));
                else
                    QVERIFY2(number.match(field).hasMatch(),
                             qPrintable(
                                 QString("record %1 field %2: '%3'").arg(r + 1).arg(f).arg(field)));
            }
        }
    }

    void tilesCoverThePictureExactlyOnce()
    {
        const morvane::LevelTable table = loadLevelTable();
        for (int level = 1; level <= Levels; ++level) {
            std::vector<unsigned char> count(600 * 450, 0);
            for (const QRect &t : tileRects(table, level)) {
                QVERIFY2(QRect(0, 0, 600, 450).contains(t),
                         qPrintable(QString("level %1").arg(level)));
                for (int y = t.top(); y <= t.bottom(); ++y)
                    for (int x = t.left(); x <= t.right(); ++x)
                        ++count[size_t(y * 600 + x)];
            }
            QVERIFY2(
                std::all_of(count.begin(), count.end(), [](unsigned char c) { return c == 1; }),
                qPrintable(QString("level %1 has a gap or an overlap").arg(level)));
        }
    }

    void tilesDifferInSizeAndStayInBounds()
    {
        const morvane::LevelTable table = loadLevelTable();
        for (int level = 1; level <= Levels; ++level) {
            std::set<std::pair<int, int>> sizes;
            for (const QRect &t : tileRects(table, level)) {
                const QString where =
                    QString("level %1 tile %2x%3").arg(level).arg(t.width()).arg(t.height());
                QVERIFY2(sizes.insert({t.width(), t.height()}).second,
                         qPrintable(where + " twice"));
                QVERIFY2(t.width() >= 48 && t.height() >= 36, qPrintable(where + " too small"));
                QVERIFY2(t.width() <= 300 && t.height() <= 225
                             && t.width() * t.height() <= 600 * 450 / 4,
                         qPrintable(where + " larger than a quarter"));
            }
        }
    }

    void cuttingsGrowDeeperWithTheLevel()
    {
        const morvane::LevelTable table = loadLevelTable();
        std::vector<int> depth(Levels + 1);
        std::set<std::vector<int>> layouts;
        for (int level = 1; level <= Levels; ++level) {
            depth[level] = cutDepth(tileRects(table, level));
            std::vector<int> edges;
            for (const QRect &t : tileRects(table, level))
                edges.insert(edges.end(), {t.left(), t.top(), t.width(), t.height()});
            std::sort(edges.begin(), edges.end());
            QVERIFY2(layouts.insert(edges).second,
                     qPrintable(QString("level %1 repeats a layout").arg(level)));
        }
        QCOMPARE(depth[1], 2); // rows of tiles
        for (int level = 2; level <= Levels; ++level)
            QVERIFY2(depth[level] >= depth[level - 1], qPrintable(QString("level %1").arg(level)));
        QVERIFY(depth[7] >= 6 && depth[7] < 1000);
        QVERIFY(depth[7] > depth[3]);
    }

    void dealsPutNoTileOnItsOwnPlace()
    {
        const morvane::LevelTable table = loadLevelTable();
        int previousSwaps = 0;
        for (int level = 1; level <= Levels; ++level) {
            std::set<int> contents;
            for (int k = 1; k <= Places; ++k) {
                const int c = table(level, k).StartContent;
                QVERIFY(c >= 1 && c <= Places);
                QVERIFY2(c != k,
                         qPrintable(QString("level %1 place %2 starts solved").arg(level).arg(k)));
                contents.insert(c);
            }
            QCOMPARE(int(contents.size()), Places);
            const int swaps = swapsNeeded(table, level);
            QVERIFY2(swaps >= previousSwaps,
                     qPrintable(QString("level %1 needs fewer swaps").arg(level)));
            previousSwaps = swaps;
        }
    }

    void mirroredTilesGrowFromLevelThree()
    {
        const morvane::LevelTable table = loadLevelTable();
        const int expected[Levels + 1] = {0, 0, 0, 2, 3, 4, 5, 6};
        for (int level = 1; level <= Levels; ++level) {
            int mirrored = 0;
            std::set<char> axes;
            for (int k = 1; k <= Places; ++k) {
                const morvane::PieceRecord &r = table(level, k);
                if (r.Flipped) {
                    ++mirrored;
                    axes.insert(r.FlipAxis);
                }
            }
            QCOMPARE(mirrored, expected[level]);
            if (mirrored)
                QVERIFY2(axes.size() == 2,
                         qPrintable(QString("level %1 uses one axis").arg(level)));
        }
    }

    void linksNameOnlyLowerPlaces()
    {
        const morvane::LevelTable table = loadLevelTable();
        for (int level = 1; level <= Levels; ++level)
            for (int k = 1; k <= Places; ++k) {
                const morvane::PieceRecord &r = table(level, k);
                for (int link : {r.TopLink, r.RightLink, r.BottomLink, r.LeftLink})
                    QVERIFY2(
                        std::abs(link) < k,
                        qPrintable(
                            QString("level %1 place %2 links to %3").arg(level).arg(k).arg(link)));
            }
    }
};

QTEST_GUILESS_MAIN(LevelFileTest)
#include "tst_level_file.moc"
