// What a metafile may make the reader build: region rectangles, polygons, text and time, each
// reached with a small crafted file and a small injected allowance.
#include "MetafileBuilders.h"
#include "PixelChecks.h"

#include "import/metafile/MetafileReader.h"
#include "import/metafile/RegionBuilder.h"

#include <QtTest>

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

class MetafileBudgetTest : public QObject {
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

    void regionRefusesMoreRectanglesThanAllowed()
    {
        mf::Allowance allowance;
        allowance.regionRects = 1000;
        mf::Budget budget(allowance);
        std::vector<mf::Edges> rects;
        for (const QRect &r : grid(64, 640))
            rects.push_back({r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
        QVERIFY_THROWS_EXCEPTION(mf::LimitExceeded, mf::regionFromRects(rects, budget));
        // The same bars within a larger allowance make a grid of 64 x 64 crossings and more.
        allowance.regionRects = 20'000;
        mf::Budget roomy(allowance);
        QVERIFY(mf::regionFromRects(rects, roomy).rectCount() > 64 * 64);
    }

    void gridClipRegionFileIsRefused()
    {
        // The file holds only 2 x 48 bars; the region they make holds thousands of rectangles.
        EmfBuilder e;
        selectClipRegion(e, grid(48, 192));
        e.record(Rectangle, {0, 0, 192, 192});
        mf::Allowance allowance;
        allowance.regionRects = 500;
        const mf::RenderResult refused = renderWith(e.build(), allowance);
        QVERIFY(refused.image.isNull());
        QVERIFY2(refused.error.contains(QLatin1String("region")), qPrintable(refused.error));
        // Allowed enough, the grid clips the rectangle to the bars.
        allowance.regionRects = 10'000;
        const mf::RenderResult drawn = renderWith(e.build(), allowance);
        QVERIFY2(!drawn.image.isNull(), qPrintable(drawn.error));
        QVERIFY(inkIn(drawn.image, QRect(0, 0, 1, 1)) == 1); // on a bar
        QVERIFY(inkIn(drawn.image, QRect(2, 2, 1, 1)) == 0); // between bars
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

    // --- polygons and points ---
    void polygonFloodIsRefusedBeforeItIsBuilt()
    {
        mf::Allowance allowance;
        allowance.polygonsPerRecord = 1000;
        const mf::RenderResult refused = renderWith(polygonFlood(5000), allowance);
        QVERIFY(refused.image.isNull());
        QVERIFY2(refused.error.contains(QLatin1String("polygons")), qPrintable(refused.error));
        const mf::RenderResult drawn = renderWith(polygonFlood(500), allowance);
        QVERIFY2(!drawn.image.isNull(), qPrintable(drawn.error));
    }

    void pointsOverTheWholeFileAreCounted()
    {
        mf::Allowance allowance;
        allowance.pointsTotal = 3000;
        EmfBuilder e;
        for (int i = 0; i < 4; ++i) {
            QByteArray p;
            put32(p, 0);
            put32(p, 0);
            put32(p, 0);
            put32(p, 0);
            put32(p, 1000);
            for (int k = 0; k < 1000; ++k) {
                put16(p, k % 190);
                put16(p, i * 40);
            }
            e.raw(87, p); // POLYLINE16
        }
        const mf::RenderResult r = renderWith(e.build(), allowance);
        QVERIFY(r.image.isNull());
        QVERIFY2(r.error.contains(QLatin1String("points")), qPrintable(r.error));
    }

    void zigzagTooCostlyToFillIsRefused()
    {
        // Few points, but every edge crosses the whole picture: filling costs scanlines x edges.
        EmfBuilder e;
        QByteArray p;
        put32(p, 0);
        put32(p, 0);
        put32(p, 0);
        put32(p, 0);
        put32(p, 400);
        for (int i = 0; i < 400; ++i) {
            put16(p, (i * 7) % 190);
            put16(p, i % 2 ? 190 : 0);
        }
        e.raw(86, p); // POLYGON16
        mf::Allowance allowance;
        allowance.rasterWork = 20'000;
        const mf::RenderResult refused = renderWith(e.build(), allowance);
        QVERIFY(refused.image.isNull());
        QVERIFY2(refused.error.contains(QLatin1String("intricate")), qPrintable(refused.error));
        const mf::RenderResult drawn = mf::render(e.build());
        QVERIFY2(!drawn.image.isNull(), qPrintable(drawn.error));
        QVERIFY(inkIn(drawn.image, drawn.image.rect()) > 1000);
    }

    // --- text ---
    void textFloodIsRefused()
    {
        EmfBuilder e;
        e.font(1, -12, QStringLiteral("DejaVu Sans"));
        e.record(SelectObject, {1});
        for (int i = 0; i < 50; ++i)
            e.textW(0, i * 4, QStringLiteral("flood flood flood flood"));
        mf::Allowance allowance;
        allowance.textCharsTotal = 200;
        const mf::RenderResult refused = renderWith(e.build(), allowance);
        QVERIFY(refused.image.isNull());
        QVERIFY2(refused.error.contains(QLatin1String("text")), qPrintable(refused.error));
        allowance.textCharsTotal = 100'000;
        QVERIFY(!renderWith(e.build(), allowance).image.isNull());
    }

    void oneLongTextRecordIsRefused()
    {
        EmfBuilder e;
        e.textW(0, 10, QString(300, QLatin1Char('x')));
        mf::Allowance allowance;
        allowance.textChars = 100;
        const mf::RenderResult r = renderWith(e.build(), allowance);
        QVERIFY(r.image.isNull());
        QVERIFY2(r.error.contains(QLatin1String("text")), qPrintable(r.error));
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

QTEST_MAIN(MetafileBudgetTest)
#include "tst_metafile_budget.moc"
