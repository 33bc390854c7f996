// Every limit of the metafile reader: what one file may make it read, build, draw and spend. A
// file just within a limit draws and one past it is refused with its reason; the limits a test
// can lower are reached with small files and a small allowance, exactly at their bounds.
#include "MetafileBuilders.h"
#include "PixelChecks.h"

#include "import/metafile/MetafileReader.h"
#include "import/metafile/RegionBuilder.h"

#include <QtTest>

#include <map>
#include <random>

using namespace metafiletest;
namespace mf = morvane::metafile;

namespace {

constexpr uint32_t ExtSelectClipRgn = 75, FillRgn = 71, PolyPolygon16 = 91, SelectObject = 37,
                   CreateBrush = 39, Rectangle = 43;

// Region data (RGNDATA): its header, then the rectangles, right and bottom edges outside.
QByteArray regionData(const std::vector<QRect> &rects)
{
    QByteArray d;
    put32(d, 32);
    put32(d, 1);
    put32(d, int64_t(rects.size()));
    put32(d, int64_t(rects.size()) * 16);
    put32(d, 0);
    put32(d, 0);
    put32(d, 0);
    put32(d, 0);
    for (const QRect &r : rects) {
        put32(d, r.left());
        put32(d, r.top());
        put32(d, r.right() + 1);
        put32(d, r.bottom() + 1);
    }
    return d;
}

void selectClipRegion(EmfBuilder &e, const std::vector<QRect> &rects, int mode = 5)
{
    const QByteArray data = regionData(rects);
    QByteArray p;
    put32(p, data.size());
    put32(p, mode);
    p.append(data);
    e.raw(ExtSelectClipRgn, p);
}

void fillRegion(EmfBuilder &e, const std::vector<QRect> &rects, int brush)
{
    const QByteArray data = regionData(rects);
    QByteArray p;
    put32(p, 0);
    put32(p, 0);
    put32(p, 0);
    put32(p, 0); // bounds
    put32(p, data.size());
    put32(p, brush);
    p.append(data);
    e.raw(FillRgn, p);
}

// Thin bars across the picture one way and the other: few rectangles in the file, a grid of
// bars times bars once they are one region.
std::vector<QRect> grid(int bars, int side)
{
    std::vector<QRect> rects;
    const int pitch = side / bars;
    for (int i = 0; i < bars; ++i)
        rects.emplace_back(0, i * pitch, side, 1);
    for (int i = 0; i < bars; ++i)
        rects.emplace_back(i * pitch, 0, 1, side);
    return rects;
}

// One POLYPOLYGON16 record of `count` polygons of one point each.
QByteArray polygonFlood(int count)
{
    EmfBuilder e;
    QByteArray p;
    put32(p, 0);
    put32(p, 0);
    put32(p, 0);
    put32(p, 0);
    put32(p, count);
    put32(p, count);
    for (int i = 0; i < count; ++i)
        put32(p, 1);
    for (int i = 0; i < count; ++i) {
        put16(p, i % 100);
        put16(p, i / 100);
    }
    e.raw(PolyPolygon16, p);
    return e.build();
}

mf::RenderResult renderWith(const QByteArray &file, const mf::Allowance &allowance)
{
    return mf::render(file, QSize(), allowance);
}

// The game's allowance with the limit named `limit` set to `value`.
mf::Allowance allowanceWith(const QByteArray &limit, qint64 value)
{
    static const std::map<QByteArray, qint64 mf::Allowance::*> limits{
        {"pointsPerRecord",   &mf::Allowance::pointsPerRecord  },
        {"pointsTotal",       &mf::Allowance::pointsTotal      },
        {"polygonsPerRecord", &mf::Allowance::polygonsPerRecord},
        {"textChars",         &mf::Allowance::textChars        },
        {"textCharsTotal",    &mf::Allowance::textCharsTotal   },
        {"regionRects",       &mf::Allowance::regionRects      },
        {"rasterWork",        &mf::Allowance::rasterWork       }
    };
    mf::Allowance allowance;
    allowance.*limits.at(limit) = value;
    return allowance;
}

// `records` POLYLINE16 records of `points` points each.
QByteArray polylines(int records, int points)
{
    EmfBuilder e;
    for (int i = 0; i < records; ++i) {
        QByteArray p;
        for (int v : {0, 0, 0, 0, points})
            put32(p, v);
        for (int k = 0; k < points; ++k) {
            put16(p, k % 190);
            put16(p, i * 40);
        }
        e.raw(87, p);
    }
    return e.build();
}

// The clip region of a grid of 48 bars each way over a rectangle: 96 rectangles in the file,
// thousands once they are one region.
QByteArray gridClippedRectangle()
{
    EmfBuilder e;
    selectClipRegion(e, grid(48, 192));
    e.record(Rectangle, {0, 0, 192, 192});
    return e.build();
}

// A polygon of few points whose every edge crosses the whole picture: filling it costs
// scanlines times edges.
QByteArray zigzag()
{
    EmfBuilder e;
    QByteArray p;
    for (int v : {0, 0, 0, 0, 400})
        put32(p, v);
    for (int i = 0; i < 400; ++i) {
        put16(p, (i * 7) % 190);
        put16(p, i % 2 ? 190 : 0);
    }
    e.raw(86, p); // POLYGON16
    return e.build();
}

QByteArray savesNested(int depth)
{
    EmfBuilder e;
    for (int i = 0; i < depth; ++i)
        e.record(33, {}); // SAVEDC
    return e.build();
}

// A WMF whose one bitmap record claims a 24-bit bitmap of width x height pixels.
QByteArray claimedBitmap(int width, int height)
{
    QByteArray dib;
    for (int v : {40, width, height})
        put32(dib, v);
    put16(dib, 1);
    put16(dib, 24);
    for (int i = 0; i < 6; ++i)
        put32(dib, 0);
    QByteArray p;
    put32(p, 0x00CC0020);
    put16(p, 0);
    for (int v : {2, 2, 0, 0, 100, 100, 0, 0})
        put16(p, v);
    p.append(dib);
    WmfBuilder w;
    w.raw(0x0F43, p); // STRETCHDIB
    return w.build(QRect(0, 0, 100, 100));
}

QByteArray ofSize(qsizetype bytes)
{
    QByteArray file = EmfBuilder().build();
    return file.append(QByteArray(bytes - file.size(), '\0'));
}

QRegion unionOneByOne(const std::vector<mf::Edges> &rects)
{
    QRegion region;
    for (const mf::Edges &e : rects)
        if (e.right > e.left && e.bottom > e.top)
            region +=
                QRect(QPoint(int(e.left), int(e.top)), QPoint(int(e.right - 1), int(e.bottom - 1)));
    return region;
}

} // namespace

class MetafileLimitsTest : public QObject {
    Q_OBJECT

private slots:
    // --- a region built in one go ---
    void regionEqualsTheUnionOfItsRectangles_data()
    {
        QTest::addColumn<int>("seed");
        for (int seed = 1; seed <= 40; ++seed)
            QTest::addRow("seed %d", seed) << seed;
    }
    void regionEqualsTheUnionOfItsRectangles()
    {
        QFETCH(int, seed);
        std::mt19937 random{uint32_t(seed)};
        std::uniform_int_distribution<int> coordinate(-5, 60);
        std::vector<mf::Edges> rects;
        const int count = 1 + int(random() % 30);
        for (int i = 0; i < count; ++i)
            rects.push_back(
                {coordinate(random), coordinate(random), coordinate(random), coordinate(random)});
        mf::Budget budget;
        const QRegion built = mf::regionFromRects(rects, budget);
        const QRegion expected = unionOneByOne(rects);
        // The same pixels, whatever the bands; and no rectangle of the result overlaps another.
        QVERIFY((built ^ expected).isEmpty());
        qint64 area = 0, expectedArea = 0;
        for (const QRect &r : built)
            area += qint64(r.width()) * r.height();
        for (const QRect &r : expected)
            expectedArea += qint64(r.width()) * r.height();
        QCOMPARE(area, expectedArea);
    }

    void overlappingFillRegionPaintsTheUnion()
    {
        EmfBuilder e;
        e.record(CreateBrush, {1, 0, rgb(0, 0, 255), 0});
        fillRegion(e, {QRect(10, 10, 50, 50), QRect(40, 40, 50, 50), QRect(10, 10, 20, 20)}, 1);
        const mf::RenderResult r = mf::render(e.build());
        QVERIFY2(!r.image.isNull(), qPrintable(r.error));
        QCOMPARE(colourIn(r.image, QRect(10, 10, 50, 50), QColor(0, 0, 255)), 2500);
        QCOMPARE(colourIn(r.image, QRect(60, 60, 30, 30), QColor(0, 0, 255)), 900);
        QCOMPARE(inkOutside(r.image, QRect(10, 10, 80, 80)), 0);
        QCOMPARE(inkIn(r.image, QRect(70, 10, 20, 20)), 0);
    }

    // --- the limits a test can lower: refused one below what the file needs, drawn at it ---
    void refusedPastTheAllowance_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("limit");
        QTest::addColumn<qint64>("refusedAt");
        QTest::addColumn<qint64>("drawnAt");
        QTest::addColumn<QString>("reason");
        QTest::newRow("points of one record") << polylines(1, 1000) << QByteArray("pointsPerRecord")
                                              << qint64(999) << qint64(1000) << "points";
        QTest::newRow("points over the whole file")
            << polylines(4, 1000) << QByteArray("pointsTotal") << qint64(3999) << qint64(4000)
            << "points";
        QTest::newRow("polygons of one record")
            << polygonFlood(1000) << QByteArray("polygonsPerRecord") << qint64(999) << qint64(1000)
            << "polygons";
        EmfBuilder longText;
        longText.textW(0, 10, QString(300, QLatin1Char('x')));
        QTest::newRow("characters of one text record")
            << longText.build() << QByteArray("textChars") << qint64(299) << qint64(300) << "text";
        EmfBuilder flood;
        flood.font(1, -12, QStringLiteral("DejaVu Sans"));
        flood.record(SelectObject, {1});
        for (int i = 0; i < 50; ++i)
            flood.textW(0, i * 4, QStringLiteral("flood flood flood flood")); // 23 characters
        QTest::newRow("characters over the whole file")
            << flood.build() << QByteArray("textCharsTotal") << qint64(50 * 23 - 1)
            << qint64(50 * 23) << "text";
        QTest::newRow("rectangles of a region")
            << gridClippedRectangle() << QByteArray("regionRects") << qint64(500) << qint64(10'000)
            << "region";
        QTest::newRow("work of filling one shape")
            << zigzag() << QByteArray("rasterWork") << qint64(20'000) << mf::Limits::maxRasterWork
            << "intricate";
    }
    void refusedPastTheAllowance()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, limit);
        QFETCH(qint64, refusedAt);
        QFETCH(qint64, drawnAt);
        QFETCH(QString, reason);
        const mf::RenderResult refused = renderWith(file, allowanceWith(limit, refusedAt));
        QVERIFY(refused.image.isNull());
        QVERIFY2(refused.error.contains(reason), qPrintable(refused.error));
        const mf::RenderResult drawn = renderWith(file, allowanceWith(limit, drawnAt));
        QVERIFY2(!drawn.image.isNull(), qPrintable(drawn.error));
    }

    // --- the game's own limits, which no test lowers ---
    void refusedPastTheGamesLimits_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("reason"); // empty: drawn
        QTest::newRow("SaveDC nested 1024 deep") << savesNested(1024) << QString();
        QTest::newRow("SaveDC nested 1025 deep") << savesNested(1025) << "SaveDC";
        QByteArray claim;
        for (int v : {0, 0, 0, 0, 5'000'000})
            put32(claim, v);
        EmfBuilder points;
        points.raw(87, claim); // POLYLINE16
        QTest::newRow("a record claiming five million points") << points.build() << "points";
        QTest::newRow("a bitmap of 30000 x 30000") << claimedBitmap(30000, 30000) << "bitmap";
        QTest::newRow("a file of 32 MiB") << ofSize(32 * 1024 * 1024) << QString();
        QTest::newRow("a file a byte larger") << ofSize(32 * 1024 * 1024 + 1) << "larger";
        EmfBuilder records;
        for (int i = 0; i < 1'000'001; ++i)
            records.record(18, {1}); // SETBKMODE
        QTest::newRow("a million and one records") << records.build() << "records";
    }
    void refusedPastTheGamesLimits()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, reason);
        const mf::RenderResult r = mf::render(file);
        if (reason.isEmpty()) {
            QVERIFY2(!r.image.isNull(), qPrintable(r.error));
            return;
        }
        QVERIFY(r.image.isNull());
        QVERIFY2(r.error.contains(reason), qPrintable(r.error));
    }

    void outputSizeIsCapped_data()
    {
        QTest::addColumn<QRect>("units"); // at one unit per inch: 96 pixels a unit
        QTest::addColumn<QSize>("size");
        QTest::newRow("8192 pixels a side") << QRect(0, 0, 32000, 16000) << QSize(8192, 4096);
        // 8192 x 8192 would be 67 million pixels; 6324 x 6324 is the largest square within 40
        // million.
        QTest::newRow("40 million pixels") << QRect(0, 0, 32000, 32000) << QSize(6324, 6324);
    }
    void outputSizeIsCapped()
    {
        QFETCH(QRect, units);
        QFETCH(QSize, size);
        QCOMPARE(mf::render(WmfBuilder().build(units, 1)).image.size(), size);
    }

    // --- what a limit leaves drawn ---
    void gridClipRegionClipsToItsBars()
    {
        const mf::RenderResult drawn =
            renderWith(gridClippedRectangle(), allowanceWith("regionRects", 10'000));
        QVERIFY2(!drawn.image.isNull(), qPrintable(drawn.error));
        QCOMPARE(inkIn(drawn.image, QRect(0, 0, 1, 1)), 1); // on a bar
        QCOMPARE(inkIn(drawn.image, QRect(2, 2, 1, 1)), 0); // between bars
    }

    void zigzagWithinTheGamesLimitIsDrawn()
    {
        const mf::RenderResult drawn = mf::render(zigzag());
        QVERIFY2(!drawn.image.isNull(), qPrintable(drawn.error));
        QVERIFY(inkIn(drawn.image, drawn.image.rect()) > 1000);
    }

    // A letter widened to many times its height: FreeType cannot rasterise the widest, so the
    // widening stops short of them and the letter is still drawn. At 40 pixels a combining breve
    // stretched 30 to 35 times crashed; the sweep passes every widening up to the most there is.
    void aLetterWidenedFarPastItsHeightIsDrawn()
    {
        for (int width = 200; width <= 1800; width += 8) {
            EmfBuilder e;
            e.font(1, -40, QStringLiteral("DejaVu Sans"), width);
            e.record(SelectObject, {1});
            e.textW(20, 20, QStringLiteral("o\u0361o"));
            const mf::RenderResult drawn = mf::render(e.build());
            QVERIFY2(!drawn.image.isNull(), qPrintable(drawn.error));
            QVERIFY2(inkIn(drawn.image, drawn.image.rect()) > 0,
                     qPrintable(QString::number(width)));
        }
    }

    // --- time ---
    void timeIsCheckedInsideOneLongRecord()
    {
        // A single record with many rectangles: only a clock read inside its loop can stop it.
        std::vector<QRect> rects;
        for (int i = 0; i < 4000; ++i)
            rects.emplace_back(i % 190, (i / 190) * 9, 1, 1);
        EmfBuilder e;
        selectClipRegion(e, rects);
        const QByteArray file = e.build();

        qint64 now = 0;
        mf::Allowance allowance;
        allowance.clock = [&now] { return now += 100; }; // every reading costs a tenth of a second
        allowance.milliseconds = 1000;
        const mf::RenderResult refused = renderWith(file, allowance);
        QVERIFY(refused.image.isNull());
        QVERIFY2(refused.error.contains(QLatin1String("longer")), qPrintable(refused.error));

        allowance.clock = [] { return qint64(0); }; // time stands still: the picture is drawn
        QVERIFY(!renderWith(file, allowance).image.isNull());
    }

    void timeIsCheckedBetweenRecords()
    {
        EmfBuilder e;
        for (int i = 0; i < 2000; ++i)
            e.record(Rectangle, {i % 190, 0, i % 190 + 2, 2});
        qint64 reads = 0;
        mf::Allowance allowance;
        allowance.clock = [&reads] { return ++reads; };
        allowance.milliseconds = 50;
        const mf::RenderResult r = renderWith(e.build(), allowance);
        QVERIFY(r.image.isNull());
        QVERIFY2(r.error.contains(QLatin1String("longer")), qPrintable(r.error));
        QVERIFY(reads > 50 && reads < 200); // stopped as soon as the budget ran out
    }
};

QTEST_MAIN(MetafileLimitsTest)
#include "tst_metafile_limits.moc"
