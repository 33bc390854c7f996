// The real level table laid out by the game's own board layout at many window sizes: the places
// must tile the board exactly, whatever the places held before. Each link rule on its own, on a
// hand-made table.
#include "LevelFiles.h"
#include "game/BoardLayout.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>

using namespace leveldata;

namespace {

struct Place {
    long left, top, width, height;
};

std::vector<Place> places(const morvane::LevelTable &table, int level)
{
    std::vector<Place> out;
    for (int k = 1; k <= Places; ++k) {
        const morvane::PieceRecord &r = table(level, k);
        out.push_back({r.PlaceLeft, r.PlaceTop, r.PlaceWidth, r.PlaceHeight});
    }
    return out;
}

// Lays the level out at W x H after the place fields have been filled by `prepare`.
template <typename Prepare>
std::vector<Place> layoutFrom(morvane::LevelTable table, int level, int w, int h, Prepare prepare)
{
    for (int k = 1; k <= Places; ++k)
        prepare(table(level, k));
    morvane::layoutPlaces(table, level, w, h, 600, 450);
    return places(table, level);
}

// Empty if the places cover their bounding box exactly once, else what is wrong.
QString tilingFault(const std::vector<Place> &ps)
{
    long left = 1L << 30, top = 1L << 30, right = -(1L << 30), bottom = -(1L << 30);
    long area = 0;
    for (size_t i = 0; i < ps.size(); ++i) {
        const Place &p = ps[i];
        if (p.width < 0 || p.height < 0)
            return QString("place %1 has a negative size").arg(i + 1);
        if (p.width == 0 || p.height == 0)
            continue;
        left = std::min(left, p.left);
        top = std::min(top, p.top);
        right = std::max(right, p.left + p.width);
        bottom = std::max(bottom, p.top + p.height);
        area += p.width * p.height;
    }
    for (size_t i = 0; i < ps.size(); ++i)
        for (size_t j = i + 1; j < ps.size(); ++j) {
            const long ox = std::min(ps[i].left + ps[i].width, ps[j].left + ps[j].width)
                            - std::max(ps[i].left, ps[j].left);
            const long oy = std::min(ps[i].top + ps[i].height, ps[j].top + ps[j].height)
                            - std::max(ps[i].top, ps[j].top);
            if (ox > 0 && oy > 0)
                return QString("places %1 and %2 overlap").arg(i + 1).arg(j + 1);
        }
    // Without overlaps, the areas add up to the bounding box only if nothing is left uncovered.
    if (area != (right - left) * (bottom - top))
        return QString("gap: %1 of %2 pixels covered")
            .arg(area)
            .arg((right - left) * (bottom - top));
    return {};
}

long roundHalfEven(double v) { return long(std::nearbyint(v)); }

// Inner sizes: tiny, odd, huge and far from the picture's 4:3.
std::vector<std::pair<int, int>> sweepSizes()
{
    std::vector<std::pair<int, int>> sizes;
    const int widths[] = {41,  43,  57,  64,  99,   123,  200,  240,  321,  333,  479,  512,
                          639, 640, 641, 777, 1000, 1279, 1919, 2560, 3333, 4001, 6543, 8000};
    const int heights[] = {41,  45,  77,  100,  181,  240,  367,  489, 490,
                           491, 600, 999, 1080, 1601, 3001, 4444, 6000};
    for (int w : widths)
        for (int h : heights)
            sizes.push_back({w, h});
    for (int w = 41; w <= 1400; ++w) // every width, with heights that wander independently
        sizes.push_back({w, 41 + (w * 37) % 1200});
    for (const auto &odd : {
             std::pair{97,   503 },
             {1023, 767 },
             {1917, 399 },
             {333,  1777}
    })
        sizes.push_back(odd);
    return sizes;
}

} // namespace

class BoardLinksTest : public QObject {
    Q_OBJECT

private slots:
    void placesTileTheBoardAtEverySize()
    {
        const morvane::LevelTable table = loadLevelTable();
        QRandomGenerator random(20240601);
        for (int level = 1; level <= Levels; ++level)
            for (const auto &[w, h] : sweepSizes()) {
                const QString where = QString("level %1 at %2x%3: ").arg(level).arg(w).arg(h);
                const auto fromZero = layoutFrom(table, level, w, h, [](morvane::PieceRecord &r) {
                    r.PlaceLeft = r.PlaceTop = r.PlaceWidth = r.PlaceHeight = 0;
                });
                const auto fromNoise = layoutFrom(table, level, w, h, [&](morvane::PieceRecord &r) {
                    r.PlaceLeft = int16_t(random.bounded(-3000, 3000));
                    r.PlaceTop = int16_t(random.bounded(-3000, 3000));
                    r.PlaceWidth = int16_t(random.bounded(-3000, 3000));
                    r.PlaceHeight = int16_t(random.bounded(-3000, 3000));
                });
                const QString fault = tilingFault(fromZero);
                QVERIFY2(fault.isEmpty(), qPrintable(where + fault));
                for (int k = 0; k < Places; ++k) {
                    QVERIFY2(fromZero[k].width > 0 && fromZero[k].height > 0,
                             qPrintable(where + QString("place %1 vanished").arg(k + 1)));
                    QVERIFY2(
                        fromZero[k].left == fromNoise[k].left && fromZero[k].top == fromNoise[k].top
                            && fromZero[k].width == fromNoise[k].width
                            && fromZero[k].height == fromNoise[k].height,
                        qPrintable(
                            where + QString("place %1 depends on the previous layout").arg(k + 1)));
                }
            }
    }

    void boardKeepsItsMarginAtEverySize()
    {
        const morvane::LevelTable table = loadLevelTable();
        for (int level = 1; level <= Levels; ++level)
            for (const auto &[w, h] : sweepSizes()) {
                const auto ps = layoutFrom(table, level, w, h, [](morvane::PieceRecord &) {});
                long left = 1L << 30, top = 1L << 30, right = 0, bottom = 0;
                for (const Place &p : ps) {
                    left = std::min(left, p.left);
                    top = std::min(top, p.top);
                    right = std::max(right, p.left + p.width);
                    bottom = std::max(bottom, p.top + p.height);
                }
                const QString where = QString("level %1 at %2x%3").arg(level).arg(w).arg(h);
                QVERIFY2(left == roundHalfEven(w / 640.0 * 20)
                             && top == roundHalfEven(h / 490.0 * 20),
                         qPrintable(where));
                QVERIFY2(std::abs(right - w * 620.0 / 640.0) <= 1.0
                             && std::abs(bottom - h * 470.0 / 490.0) <= 1.0,
                         qPrintable(where));
            }
    }

    void layoutAfterAnotherSizeMatchesAFreshOne()
    {
        const morvane::LevelTable fresh = loadLevelTable();
        for (int level = 1; level <= Levels; ++level) {
            morvane::LevelTable resized = fresh;
            morvane::layoutPlaces(resized, level, 2000, 300, 600, 450);
            morvane::layoutPlaces(resized, level, 731, 555, 600, 450);
            morvane::LevelTable direct = fresh;
            morvane::layoutPlaces(direct, level, 731, 555, 600, 450);
            for (int k = 1; k <= Places; ++k)
                QVERIFY2(resized(level, k) == direct(level, k),
                         qPrintable(QString("level %1 place %2").arg(level).arg(k)));
        }
    }

    void designSizeGivesEveryTileItsOwnPlace()
    {
        const morvane::LevelTable table = loadLevelTable();
        for (int level = 1; level <= Levels; ++level) {
            const auto ps = layoutFrom(table, level, 640, 490, [](morvane::PieceRecord &r) {
                r.PlaceLeft = r.PlaceTop = r.PlaceWidth = r.PlaceHeight = 0;
            });
            const auto tiles = tileRects(table, level);
            for (int k = 0; k < Places; ++k) {
                QCOMPARE(ps[k].left, long(tiles[k].left() + 20));
                QCOMPARE(ps[k].top, long(tiles[k].top() + 20));
                QCOMPARE(ps[k].width, long(tiles[k].width()));
                QCOMPARE(ps[k].height, long(tiles[k].height()));
            }
        }
    }

    // Two hand-made places at the design size, where a place is its tile moved 20 pixels in:
    // place 1 at 320, 220, 100 x 50 and place 2 at 20, 20, 80 x 40. One link of place 2 to
    // place 1 moves one edge of place 2. The shipped levels have no positive top link, so
    // only this table holds that rule.
    void eachLinkJoinsItsEdge_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<int>("value");
        QTest::addColumn<QRect>("place"); // place 2 after the layout
        QTest::newRow("no link") << "top" << 0 << QRect(20, 20, 80, 40);
        QTest::newRow("top, below place 1") << "top" << 1 << QRect(20, 270, 80, 40);
        QTest::newRow("top, level with place 1") << "top" << -1 << QRect(20, 220, 80, 40);
        QTest::newRow("left, right of place 1") << "left" << 1 << QRect(420, 20, 80, 40);
        QTest::newRow("left, level with place 1") << "left" << -1 << QRect(320, 20, 80, 40);
        QTest::newRow("right, up to place 1") << "right" << 1 << QRect(20, 20, 300, 40);
        QTest::newRow("right, to where place 1 ends") << "right" << -1 << QRect(20, 20, 400, 40);
        QTest::newRow("bottom, down to place 1") << "bottom" << 1 << QRect(20, 20, 80, 200);
        QTest::newRow("bottom, to where place 1 ends") << "bottom" << -1 << QRect(20, 20, 80, 250);
    }
    void eachLinkJoinsItsEdge()
    {
        QFETCH(QString, link);
        QFETCH(int, value);
        QFETCH(QRect, place);
        morvane::LevelTable table;
        morvane::PieceRecord &one = table(1, 1);
        one.SrcLeft = 300;
        one.SrcTop = 200;
        one.SrcWidth = 100;
        one.SrcHeight = 50;
        morvane::PieceRecord &two = table(1, 2);
        two.SrcWidth = 80;
        two.SrcHeight = 40;
        const auto n = int16_t(value);
        if (link == QLatin1String("top"))
            two.TopLink = n;
        else if (link == QLatin1String("left"))
            two.LeftLink = n;
        else if (link == QLatin1String("right"))
            two.RightLink = n;
        else
            two.BottomLink = n;
        const auto ps = layoutFrom(table, 1, 640, 490, [](morvane::PieceRecord &) {});
        QCOMPARE(QRect(int(ps[1].left), int(ps[1].top), int(ps[1].width), int(ps[1].height)),
                 place);
        QCOMPARE(QRect(int(ps[0].left), int(ps[0].top), int(ps[0].width), int(ps[0].height)),
                 QRect(320, 220, 100, 50));
    }
};

QTEST_GUILESS_MAIN(BoardLinksTest)
#include "tst_board_links.moc"
