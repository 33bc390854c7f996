// Pixel-checked rendering of small metafiles built byte by byte: shapes, fills, mapping modes,
// objects, clipping, paths, bitmaps and text.
#include "MetafileBuilders.h"
#include "PixelChecks.h"

#include "import/metafile/MetafileReader.h"

#include <QtTest>

#include <cmath>

using namespace metafiletest;
namespace mf = morvane::metafile;

namespace {

const QRect wmfBox(0, 0, 200, 200); // at 96 units per inch: one unit is one pixel

enum : uint16_t {
    WmfSaveDc = 0x001E,
    WmfRestoreDc = 0x0127,
    WmfSetBkMode = 0x0102,
    WmfSetPolyFillMode = 0x0106,
    WmfSelectObject = 0x012D,
    WmfDeleteObject = 0x01F0,
    WmfSetTextColor = 0x0209,
    WmfSetWindowOrg = 0x020B,
    WmfSetWindowExt = 0x020C,
    WmfPolygon = 0x0324,
    WmfRectangle = 0x041B,
    WmfTextOut = 0x0521,
    WmfStretchDib = 0x0F43,
    WmfEllipse = 0x0418,
};

enum : uint32_t {
    EmfPolygon16 = 86,
    EmfSetWindowExtEx = 9,
    EmfSetViewportExtEx = 11,
    EmfSetMapMode = 17,
    EmfSetBkMode = 18,
    EmfSetTextColor = 24,
    EmfIntersectClipRect = 30,
    EmfSetWorldTransform = 35,
    EmfSelectObject = 37,
    EmfCreatePen = 38,
    EmfCreateBrushIndirect = 39,
    EmfRectangle = 43,
    EmfPie = 47,
    EmfBeginPath = 59,
    EmfEndPath = 60,
    EmfFillPath = 62,
    EmfGdiComment = 70,
    EmfStretchDiBits = 81,
    EmfSaveDc = 33,
    EmfRestoreDc = 34,
};

QImage renderOk(const QByteArray &file, QSize maxSize = QSize())
{
    const mf::RenderResult r = mf::render(file, maxSize);
    if (r.image.isNull())
        qWarning() << "render failed:" << r.error;
    return r.image;
}

// A WMF with a null pen and a solid brush of the given colour selected (objects 0 and 1).
WmfBuilder wmfWithBrush(uint32_t colour)
{
    WmfBuilder w;
    w.createPen(5, 0, 0);
    w.createBrush(0, colour);
    w.record(WmfSelectObject, {0});
    w.record(WmfSelectObject, {1});
    return w;
}

// An EMF with a null pen and a solid brush of the given colour selected (objects 1 and 2).
EmfBuilder emfWithBrush(uint32_t colour)
{
    EmfBuilder e;
    e.record(EmfCreatePen, {1, 5, 0, 0, 0});
    e.record(EmfCreateBrushIndirect, {2, 0, colour, 0});
    e.record(EmfSelectObject, {1});
    e.record(EmfSelectObject, {2});
    return e;
}

QByteArray polygon16(const QList<QPoint> &points)
{
    QByteArray p;
    put32(p, 0);
    put32(p, 0);
    put32(p, 0);
    put32(p, 0);
    put32(p, points.size());
    for (const QPoint &pt : points) {
        put16(p, pt.x());
        put16(p, pt.y());
    }
    return p;
}

QByteArray stretchDiBits(QRect dest, const QByteArray &dib, int width, int height)
{
    QByteArray p;
    put32(p, 0);
    put32(p, 0);
    put32(p, 0);
    put32(p, 0); // bounds
    put32(p, dest.x());
    put32(p, dest.y());
    put32(p, 0);
    put32(p, 0);
    put32(p, width);
    put32(p, height);
    put32(p, 80);
    put32(p, 40); // BITMAPINFO right after the fields
    put32(p, 120);
    put32(p, dib.size() - 40); // then the bits
    put32(p, 0);               // DIB_RGB_COLORS
    put32(p, 0x00CC0020);      // SRCCOPY
    put32(p, dest.width());
    put32(p, dest.height());
    p.append(dib);
    return p;
}

const std::vector<std::vector<uint32_t>> quadrants = {
    {0xFF0000, 0x00FF00}, // top: red, green
    {0x0000FF, 0xFFFF00}, // bottom: blue, yellow
};

} // namespace

class MetafileRenderTest : public QObject {
    Q_OBJECT

private slots:
    // --- shapes and fills ---
    void wmfRectangleIsFilledWhereItShouldBe()
    {
        WmfBuilder w = wmfWithBrush(rgb(255, 0, 0));
        w.record(WmfRectangle, {150, 120, 50, 40}); // bottom, right, top, left
        const QImage img = renderOk(w.build(wmfBox));
        QCOMPARE(img.size(), QSize(200, 200));
        QVERIFY(near(img.pixel(80, 100), Qt::red));
        QVERIFY(near(img.pixel(42, 52), Qt::red));
        QVERIFY(isWhite(img.pixel(20, 100)));
        QVERIFY(isWhite(img.pixel(130, 100)));
        QVERIFY(isWhite(img.pixel(80, 30)));
        QVERIFY(isWhite(img.pixel(80, 170)));
        const int red = colourIn(img, img.rect(), Qt::red);
        QVERIFY2(std::abs(red - 80 * 100) < 300, qPrintable(QString::number(red)));
    }

    void polygonFillModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("centreFilled");
        QTest::newRow("alternate") << 1 << false;
        QTest::newRow("winding") << 2 << true;
    }
    void polygonFillModes()
    {
        QFETCH(int, mode);
        QFETCH(bool, centreFilled);
        // A five-pointed star drawn in one stroke: its centre is inside twice.
        WmfBuilder w = wmfWithBrush(rgb(0, 0, 255));
        w.record(WmfSetPolyFillMode, {mode});
        QByteArray p;
        put16(p, 5);
        for (int k = 0; k < 5; ++k) {
            const double a = (-90 + k * 144) * M_PI / 180;
            put16(p, int(std::lround(100 + 90 * std::cos(a))));
            put16(p, int(std::lround(100 + 90 * std::sin(a))));
        }
        w.raw(WmfPolygon, p);
        const QImage img = renderOk(w.build(wmfBox));
        QCOMPARE(near(img.pixel(100, 105), Qt::blue), centreFilled);
        QVERIFY(near(img.pixel(100, 25), Qt::blue)); // the top point is filled either way
        QVERIFY(isWhite(img.pixel(5, 5)));
    }

    void pieCoversTheCounterClockwiseQuadrant()
    {
        EmfBuilder e = emfWithBrush(rgb(0, 128, 0));
        // From three o'clock to twelve o'clock, counter-clockwise: the top-right quarter.
        e.record(EmfPie, {0, 0, 192, 192, 192, 96, 96, 0});
        const QImage img = renderOk(e.build());
        QVERIFY(near(img.pixel(140, 50), QColor(0, 128, 0)));
        QVERIFY(isWhite(img.pixel(50, 50)));
        QVERIFY(isWhite(img.pixel(50, 140)));
        QVERIFY(isWhite(img.pixel(140, 140)));
    }

    void ellipseFillsItsCentreNotItsCorners()
    {
        WmfBuilder w = wmfWithBrush(rgb(255, 0, 0));
        w.record(WmfEllipse, {180, 180, 20, 20});
        const QImage img = renderOk(w.build(wmfBox));
        QVERIFY(near(img.pixel(100, 100), Qt::red));
        QVERIFY(near(img.pixel(100, 25), Qt::red));
        QVERIFY(isWhite(img.pixel(28, 28)));
        QVERIFY(isWhite(img.pixel(172, 172)));
    }

    // --- mapping ---
    void wmfWindowExtentScalesOntoThePicture()
    {
        WmfBuilder w = wmfWithBrush(rgb(255, 0, 0));
        w.record(WmfSetWindowOrg, {0, 0});
        w.record(WmfSetWindowExt, {1000, 1000});
        w.record(WmfRectangle, {1000, 1000, 500, 500}); // the bottom-right quarter
        const QImage img = renderOk(w.build(wmfBox));
        QVERIFY(near(img.pixel(150, 150), Qt::red));
        QVERIFY(near(img.pixel(103, 103), Qt::red));
        QVERIFY(isWhite(img.pixel(95, 150)));
        QVERIFY(isWhite(img.pixel(150, 95)));
        QVERIFY(isWhite(img.pixel(50, 50)));
    }

    void wmfNegativeWindowExtentFlipsTheYAxis()
    {
        WmfBuilder w = wmfWithBrush(rgb(255, 0, 0));
        w.record(WmfSetWindowOrg, {200, 0});     // y, x: logical y = 200 is the top
        w.record(WmfSetWindowExt, {-200, 200});  // y grows upwards
        w.record(WmfRectangle, {0, 200, 50, 0}); // logical y 0..50: the bottom quarter
        const QImage img = renderOk(w.build(wmfBox));
        QVERIFY(near(img.pixel(100, 180), Qt::red));
        QVERIFY(isWhite(img.pixel(100, 20)));
    }

    void emfMappingModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QRect>("logical");
        QTest::addColumn<QPoint>("inside");
        QTest::addColumn<QPoint>("outside");
        // Anisotropic: window 100 x 100 on a 192 x 192 viewport doubles (nearly) everything.
        QTest::newRow("anisotropic")
            << 8 << QRect(QPoint(25, 25), QPoint(75, 75)) << QPoint(130, 130) << QPoint(40, 96);
        // Isotropic: window 100 x 50 keeps the smaller scale on both axes, so the rectangle
        // covers only the top half.
        QTest::newRow("isotropic")
            << 7 << QRect(QPoint(0, 0), QPoint(100, 50)) << QPoint(96, 48) << QPoint(96, 140);
        // Tenths of a millimetre with y up: 3.78 px per mm on this reference device.
        QTest::newRow("lometric") << 2 << QRect(QPoint(100, -100), QPoint(400, -400))
                                  << QPoint(96, 96) << QPoint(20, 20);
        // Twips: 1440 to the inch, 96 px to the inch, y up.
        QTest::newRow("twips") << 6 << QRect(QPoint(720, -720), QPoint(2160, -2160))
                               << QPoint(96, 96) << QPoint(170, 170);
    }
    void emfMappingModes()
    {
        QFETCH(int, mode);
        QFETCH(QRect, logical);
        QFETCH(QPoint, inside);
        QFETCH(QPoint, outside);
        EmfBuilder e = emfWithBrush(rgb(255, 0, 0));
        e.record(EmfSetMapMode, {mode});
        if (mode == 8)
            e.record(EmfSetWindowExtEx, {100, 100});
        else
            e.record(EmfSetWindowExtEx, {100, 50});
        e.record(EmfSetViewportExtEx, {192, 192});
        e.record(EmfRectangle, {logical.left(), logical.top(), logical.right(), logical.bottom()});
        const QImage img = renderOk(e.build());
        QVERIFY2(near(img.pixel(inside), Qt::red), QTest::currentDataTag());
        QVERIFY2(isWhite(img.pixel(outside)), QTest::currentDataTag());
    }

    void emfWorldTransformScales()
    {
        EmfBuilder e = emfWithBrush(rgb(255, 0, 0));
        QByteArray x;
        for (float v : {2.0f, 0.0f, 0.0f, 2.0f, 0.0f, 0.0f})
            putFloat(x, v);
        e.raw(EmfSetWorldTransform, x);
        e.record(EmfRectangle, {10, 10, 40, 40}); // lands on 20..80
        const QImage img = renderOk(e.build());
        QVERIFY(near(img.pixel(75, 75), Qt::red));
        QVERIFY(isWhite(img.pixel(90, 50)));
        QVERIFY(isWhite(img.pixel(15, 15)));
    }

    // --- state and objects ---
    void restoreDcBringsBackTheBrush()
    {
        WmfBuilder w = wmfWithBrush(rgb(255, 0, 0));
        w.createBrush(0, rgb(0, 255, 0)); // slot 2
        w.record(WmfSaveDc, {});
        w.record(WmfSelectObject, {2});
        w.record(WmfRestoreDc, {-1});
        w.record(WmfRectangle, {150, 150, 50, 50});
        const QImage img = renderOk(w.build(wmfBox));
        QVERIFY(near(img.pixel(100, 100), Qt::red));
    }

    void emfRestoreDcUndoesMapping()
    {
        EmfBuilder e = emfWithBrush(rgb(255, 0, 0));
        e.record(EmfSaveDc, {});
        e.record(EmfSetMapMode, {8});
        e.record(EmfSetWindowExtEx, {10, 10});
        e.record(EmfSetViewportExtEx, {192, 192});
        e.record(EmfRestoreDc, {-1});
        e.record(EmfRectangle, {0, 0, 20, 20}); // in pixels again, not twentieths of the picture
        const QImage img = renderOk(e.build());
        QVERIFY(near(img.pixel(10, 10), Qt::red));
        QVERIFY(isWhite(img.pixel(60, 60)));
    }

    void wmfCreateFillsTheLowestFreeSlot()
    {
        WmfBuilder w;
        w.createPen(5, 0, 0);             // 0
        w.createBrush(0, rgb(255, 0, 0)); // 1
        w.createBrush(0, rgb(0, 255, 0)); // 2
        w.record(WmfDeleteObject, {1});
        w.createBrush(0, rgb(0, 0, 255)); // takes slot 1 again
        w.record(WmfSelectObject, {0});
        w.record(WmfSelectObject, {1});
        w.record(WmfRectangle, {150, 150, 50, 50});
        const QImage img = renderOk(w.build(wmfBox));
        QVERIFY(near(img.pixel(100, 100), Qt::blue));
    }

    void emfStockBrush()
    {
        EmfBuilder e;
        e.record(EmfSelectObject, {0x80000008}); // NULL_PEN
        e.record(EmfSelectObject, {0x80000004}); // BLACK_BRUSH
        e.record(EmfRectangle, {50, 50, 150, 150});
        const QImage img = renderOk(e.build());
        QVERIFY(near(img.pixel(100, 100), Qt::black));
        QVERIFY(isWhite(img.pixel(20, 20)));
    }

    // --- clipping and paths ---
    void intersectClipRectLimitsFills()
    {
        EmfBuilder e = emfWithBrush(rgb(255, 0, 0));
        e.record(EmfIntersectClipRect, {0, 0, 96, 192});
        e.record(EmfRectangle, {0, 0, 192, 192});
        const QImage img = renderOk(e.build());
        QVERIFY(near(img.pixel(40, 100), Qt::red));
        QVERIFY(isWhite(img.pixel(150, 100)));
    }

    void clipPathLimitsLaterFills()
    {
        // A clip path reaching millions of pixels beyond the picture, covering its left half.
        EmfBuilder e = emfWithBrush(rgb(255, 0, 0));
        e.record(EmfBeginPath, {});
        e.record(EmfRectangle, {-5'000'000, -5'000'000, 96, 5'000'000});
        e.record(EmfEndPath, {});
        e.record(67, {5}); // SELECTCLIPPATH, RGN_COPY
        e.record(EmfRectangle, {0, 0, 192, 192});
        const QImage img = renderOk(e.build());
        QVERIFY(near(img.pixel(40, 100), Qt::red));
        QVERIFY(isWhite(img.pixel(150, 100)));
    }

    void pathIsFilledOnlyByFillPath()
    {
        EmfBuilder e = emfWithBrush(rgb(0, 0, 255));
        e.record(EmfBeginPath, {});
        e.raw(EmfPolygon16, polygon16({
                                {20,  20 },
                                {170, 20 },
                                {20,  170}
        }));
        e.record(EmfEndPath, {});
        const QByteArray unfilled = e.build();
        e.record(EmfFillPath, {0, 0, 0, 0});
        const QImage img = renderOk(e.build());
        QVERIFY(near(img.pixel(50, 50), Qt::blue));
        QVERIFY(isWhite(img.pixel(150, 150)));
        // Without FillPath the path is only collected, never drawn.
        QCOMPARE(inkIn(renderOk(unfilled), QRect(0, 0, 192, 192)), 0);
    }

    // EMF+ records are not drawn: a file beside whose EMF+ there is EMF drawing (a dual file)
    // draws from that; one drawn only in EMF+ would be a blank page, and is refused.
    void emfPlusOnlyIsRefusedDualFilesDrawTheirEmf_data()
    {
        QTest::addColumn<bool>("emfPlus");
        QTest::addColumn<bool>("drawing");
        QTest::addColumn<bool>("refused");
        QTest::newRow("dual: EMF+ and a rectangle") << true << true << false;
        QTest::newRow("EMF+ only, brushes set up") << true << false << true;
        QTest::newRow("plain EMF with nothing drawn") << false << false << false;
    }
    void emfPlusOnlyIsRefusedDualFilesDrawTheirEmf()
    {
        QFETCH(bool, emfPlus);
        QFETCH(bool, drawing);
        QFETCH(bool, refused);
        EmfBuilder e = emfWithBrush(rgb(255, 0, 0));
        if (emfPlus) {
            QByteArray comment;
            put32(comment, 24);
            put32(comment, 0x2B464D45); // "EMF+"
            put32(comment, 0x4001);     // an EMF+ header record, which is not drawn
            put32(comment, 12);
            put32(comment, 0);
            put32(comment, 0x7FFFFFFF); // junk that would be a huge rectangle if misread
            e.raw(EmfGdiComment, comment);
        }
        e.raw(250, QByteArray(12, '\x7F')); // no such record
        if (drawing)
            e.record(EmfRectangle, {40, 40, 80, 80});
        const morvane::metafile::RenderResult result = morvane::metafile::render(e.build());
        QCOMPARE(result.image.isNull(), refused);
        QCOMPARE(result.error.contains(QLatin1String("EMF+")), refused);
        if (drawing) {
            QVERIFY(near(result.image.pixel(60, 60), Qt::red));
            QVERIFY(isWhite(result.image.pixel(120, 120)));
        } else if (!refused) {
            QCOMPARE(inkIn(result.image, result.image.rect()), 0);
        }
    }

    // --- bitmaps ---
    void wmfStretchDibPaintsTheBitmapUpright()
    {
        WmfBuilder w;
        QByteArray p;
        put32(p, 0x00CC0020);                      // SRCCOPY
        put16(p, 0);                               // DIB_RGB_COLORS
        for (int v : {2, 2, 0, 0, 200, 200, 0, 0}) // src h, w, y, x; dest h, w, y, x
            put16(p, v);
        p.append(dib24(quadrants));
        w.raw(WmfStretchDib, p);
        const QImage img = renderOk(w.build(wmfBox));
        QVERIFY(near(img.pixel(40, 40), Qt::red));
        QVERIFY(near(img.pixel(160, 40), Qt::green));
        QVERIFY(near(img.pixel(40, 160), Qt::blue));
        QVERIFY(near(img.pixel(160, 160), Qt::yellow));
    }

    void topDownDibIsNotFlipped()
    {
        // A negative height marks a DIB stored top row first.
        QByteArray dib = dib24({quadrants[1], quadrants[0]}); // rows stored bottom-up, reversed
        dib[8] = char(0xFE);                                  // height -2
        dib[9] = dib[10] = dib[11] = char(0xFF);
        EmfBuilder e;
        e.raw(EmfStretchDiBits, stretchDiBits(QRect(0, 0, 192, 192), dib, 2, 2));
        const QImage img = renderOk(e.build());
        QVERIFY2(near(img.pixel(40, 40), Qt::red),
                 qPrintable(QString::number(img.pixel(40, 40), 16)));
        QVERIFY(near(img.pixel(150, 150), Qt::yellow));
    }

    void emfStretchDiBitsLandsOnItsDestination()
    {
        EmfBuilder e;
        e.raw(EmfStretchDiBits, stretchDiBits(QRect(96, 96, 96, 96), dib24(quadrants), 2, 2));
        const QImage img = renderOk(e.build());
        QVERIFY(near(img.pixel(110, 110), Qt::red));
        QVERIFY(near(img.pixel(180, 180), Qt::yellow));
        QCOMPARE(inkIn(img, QRect(0, 0, 192, 90)), 0);
        QCOMPARE(inkIn(img, QRect(0, 0, 90, 192)), 0);
    }

    void truncatedBitmapIsSkippedNotRead()
    {
        EmfBuilder e = emfWithBrush(rgb(255, 0, 0));
        QByteArray record = stretchDiBits(QRect(0, 0, 192, 192), dib24(quadrants), 2, 2);
        record.chop(8); // bits now run past the record
        e.raw(EmfStretchDiBits, record);
        e.record(EmfRectangle, {10, 10, 30, 30});
        const mf::RenderResult r = mf::render(e.build());
        QVERIFY(!r.image.isNull());
        QVERIFY(near(r.image.pixel(20, 20), Qt::red)); // later records still play
        QVERIFY(isWhite(r.image.pixel(150, 150)));
    }

    // --- text ---
    void emfTextIsDrawnInItsColourAtItsPlace()
    {
        EmfBuilder e;
        e.font(1, -48, QStringLiteral("DejaVu Sans"));
        e.record(EmfSelectObject, {1});
        e.record(EmfSetTextColor, {rgb(0, 0, 255)});
        e.record(EmfSetBkMode, {1});
        e.textW(20, 60, QStringLiteral("HHH"));
        const QImage img = renderOk(e.build());
        const QRect where(20, 60, 150, 60);
        QVERIFY2(colourIn(img, where, Qt::blue, 60) > 300, "no text where it was placed");
        QCOMPARE(inkOutside(img, where.adjusted(-4, -4, 4, 4)), 0);
    }

    void wmfTextOutUsesTheSelectedFontAndColour()
    {
        WmfBuilder w;
        w.createFont(-40, "DejaVu Sans");
        w.record(WmfSelectObject, {0});
        w.record(WmfSetTextColor, {0x0000, 0x00FF}); // COLORREF 0x00FF0000: blue
        w.record(WmfSetBkMode, {1});
        QByteArray p;
        put16(p, 2);
        p.append("MM");
        put16(p, 120); // y
        put16(p, 30);  // x
        w.raw(WmfTextOut, p);
        const QImage img = renderOk(w.build(wmfBox));
        const QRect where(30, 120, 120, 50);
        QVERIFY(colourIn(img, where, Qt::blue, 60) > 200);
        QCOMPARE(inkOutside(img, where.adjusted(-4, -4, 4, 4)), 0);
    }
};

QTEST_MAIN(MetafileRenderTest)
#include "tst_metafile_render.moc"
