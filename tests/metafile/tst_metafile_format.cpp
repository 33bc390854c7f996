// Metafile recognition, natural size and scaling, limits, and damaged input that must fail cleanly.
#include "BusyMetafiles.h"
#include "MetafileBuilders.h"
#include "PixelChecks.h"

#include "import/metafile/MetafileReader.h"

#include <QtTest>

#include <random>

using namespace metafiletest;
namespace mf = morvane::metafile;

namespace {

bool consistent(const mf::RenderResult &r)
{
    return r.image.isNull() ? !r.error.isEmpty() : r.error.isEmpty();
}

} // namespace

class MetafileFormatTest : public QObject {
    Q_OBJECT

private slots:
    // --- recognition ---
    void detectsByContent_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<int>("kind");
        QTest::newRow("placeable")
            << WmfBuilder().build(QRect(0, 0, 10, 10)) << int(mf::Kind::PlaceableWmf);
        QTest::newRow("standard") << WmfBuilder().build() << int(mf::Kind::Wmf);
        QTest::newRow("emf") << EmfBuilder().build() << int(mf::Kind::Emf);
        QTest::newRow("empty") << QByteArray() << int(mf::Kind::None);
        QTest::newRow("png") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01", 24)
                             << int(mf::Kind::None);
        QByteArray badHeader = WmfBuilder().build();
        badHeader[2] = 10; // header size must be 9 words
        QTest::newRow("wmf-bad-header-size") << badHeader << int(mf::Kind::None);
        QByteArray noSignature = EmfBuilder().build();
        noSignature[40] = 'X';
        QTest::newRow("emf-without-signature") << noSignature << int(mf::Kind::None);
        QTest::newRow("placeable-too-short")
            << WmfBuilder().build(QRect(0, 0, 10, 10)).left(20) << int(mf::Kind::None);
    }
    void detectsByContent()
    {
        QFETCH(QByteArray, head);
        QFETCH(int, kind);
        QCOMPARE(int(mf::detect(head)), kind);
    }

    // --- size ---
    void naturalSizeFromHeaders()
    {
        // Placeable: 1440 x 720 units at 1440 per inch is one inch by half an inch.
        QCOMPARE(mf::naturalSize(WmfBuilder().build(QRect(0, 0, 1440, 720), 1440)), QSize(96, 48));
        // EMF: a frame of 25.4 x 12.7 mm.
        QCOMPARE(mf::naturalSize(EmfBuilder().build(QRect(QPoint(0, 0), QPoint(2540, 1270)))),
                 QSize(96, 48));
        // Standard WMF with a window extent of plausible pixel size.
        WmfBuilder w;
        w.record(0x020C, {240, 320});
        QCOMPARE(mf::naturalSize(w.build()), QSize(320, 240));
        // Nothing to go by: the default.
        QCOMPARE(mf::naturalSize(WmfBuilder().build()), QSize(600, 450));
        QVERIFY(!mf::naturalSize(QByteArray("not a metafile at all, just words")).isValid());
    }

    void scalesDownToMaxSizeKeepingProportions()
    {
        const QByteArray file = WmfBuilder().build(QRect(0, 0, 400, 200), 96);
        QCOMPARE(mf::render(file).image.size(), QSize(400, 200));
        QCOMPARE(mf::render(file, QSize(100, 100)).image.size(), QSize(100, 50));
        QCOMPARE(mf::render(file, QSize(1000, 30)).image.size(), QSize(60, 30));
        QCOMPARE(mf::render(file, QSize(2000, 2000)).image.size(),
                 QSize(400, 200)); // never enlarged
    }

    void emptyPictureIsWhiteRgb32()
    {
        const mf::RenderResult r = mf::render(EmfBuilder().build());
        QVERIFY(!r.image.isNull());
        QVERIFY(r.image.format() == QImage::Format_RGB32
                || r.image.format() == QImage::Format_ARGB32);
        QCOMPARE(inkIn(r.image, r.image.rect()), 0);
        QVERIFY(r.error.isEmpty());
    }

    void tinyPictureGetsAtLeastOnePixel()
    {
        const QByteArray file = WmfBuilder().build(QRect(0, 0, 1, 1), 9600);
        const mf::RenderResult r = mf::render(file);
        QVERIFY(!r.image.isNull());
        QVERIFY(r.image.width() >= 1 && r.image.height() >= 1);
    }

    // --- limits ---
    void saveDepthLimit()
    {
        EmfBuilder e;
        for (int i = 0; i < 2000; ++i)
            e.record(33, {});
        const mf::RenderResult r = mf::render(e.build());
        QVERIFY(r.image.isNull());
        QVERIFY2(r.error.contains(QLatin1String("SaveDC")), qPrintable(r.error));
    }

    void pointCountLimit()
    {
        EmfBuilder e;
        QByteArray poly;
        for (int v : {0, 0, 0, 0, 5'000'000})
            put32(poly, v);
        e.raw(87, poly); // POLYLINE16 claiming five million points
        const mf::RenderResult r = mf::render(e.build());
        QVERIFY(r.image.isNull());
        QVERIFY2(r.error.contains(QLatin1String("points")), qPrintable(r.error));
    }

    void bitmapPixelLimit()
    {
        QByteArray dib;
        for (int v : {40, 30000, 30000})
            put32(dib, v);
        put16(dib, 1);
        put16(dib, 24);
        for (int i = 0; i < 6; ++i)
            put32(dib, 0);
        WmfBuilder w;
        QByteArray p;
        put32(p, 0x00CC0020);
        put16(p, 0);
        for (int v : {2, 2, 0, 0, 100, 100, 0, 0})
            put16(p, v);
        p.append(dib);
        w.raw(0x0F43, p);
        const mf::RenderResult r = mf::render(w.build(QRect(0, 0, 100, 100)));
        QVERIFY(r.image.isNull());
        QVERIFY2(r.error.contains(QLatin1String("bitmap")), qPrintable(r.error));
    }

    void fileSizeLimit()
    {
        QByteArray big = EmfBuilder().build();
        big.append(QByteArray(33 * 1024 * 1024, '\0'));
        const mf::RenderResult r = mf::render(big);
        QVERIFY(r.image.isNull());
        QVERIFY2(r.error.contains(QLatin1String("larger")), qPrintable(r.error));
    }

    void recordCountLimit()
    {
        EmfBuilder e;
        for (int i = 0; i < 1'000'001; ++i)
            e.record(18, {1}); // SETBKMODE
        const mf::RenderResult r = mf::render(e.build());
        QVERIFY(r.image.isNull());
        QVERIFY2(r.error.contains(QLatin1String("records")), qPrintable(r.error));
    }

    void oversizedOutputIsCapped()
    {
        // 32000 x 32000 units at one unit per inch would be three million pixels a side.
        const mf::RenderResult r = mf::render(WmfBuilder().build(QRect(0, 0, 32000, 32000), 1));
        QVERIFY(!r.image.isNull());
        QVERIFY(r.image.width() <= 8192 && r.image.height() <= 8192);
        QVERIFY(qint64(r.image.width()) * r.image.height() <= 40'000'000);
    }

    // --- damage ---
    void recordPastTheEndKeepsWhatWasDrawn()
    {
        EmfBuilder e;
        e.record(37, {0x80000004}); // BLACK_BRUSH
        e.record(43, {10, 10, 60, 60});
        e.rawSized(43, 4000, QByteArray(16, '\0')); // claims far more bytes than there are
        QByteArray file = e.build();
        file.chop(20); // and no end record
        const mf::RenderResult r = mf::render(file);
        QVERIFY(!r.image.isNull());
        QVERIFY(!r.warning.isEmpty());
        QVERIFY(near(r.image.pixel(30, 30), Qt::black));
    }

    void badObjectIndicesAreIgnored()
    {
        WmfBuilder w;
        w.createBrush(0, rgb(255, 0, 0));
        w.record(0x012D, {40000}); // select a slot that does not exist
        w.record(0x01F0, {65535}); // delete one
        w.record(0x012D, {0});
        w.record(0x0410, {0, 1, 0, 1}); // SCALEWINDOWEXT by x/0
        w.record(0x041B, {150, 150, 50, 50});
        const mf::RenderResult r = mf::render(w.build(QRect(0, 0, 200, 200), 96, 1));
        QVERIFY(!r.image.isNull());
        QVERIFY(near(r.image.pixel(100, 100), Qt::red));
    }

    void everyTruncationFailsCleanly_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("emf") << busyEmf();
        QTest::newRow("wmf") << busyWmf();
    }
    void everyTruncationFailsCleanly()
    {
        QFETCH(QByteArray, file);
        QVERIFY(!mf::render(file).image.isNull());
        for (qsizetype length = 0; length < file.size(); ++length) {
            const mf::RenderResult r = mf::render(file.left(length), QSize(64, 64));
            QVERIFY2(consistent(r), qPrintable(QString::number(length)));
        }
    }

    void randomDamageFailsCleanly_data() { everyTruncationFailsCleanly_data(); }
    void randomDamageFailsCleanly()
    {
        QFETCH(QByteArray, file);
        std::mt19937 random(20240607);
        int rendered = 0;
        for (int round = 0; round < 1500; ++round) {
            QByteArray damaged = file;
            const int changes = 1 + int(random() % 8);
            for (int i = 0; i < changes; ++i) {
                const auto at = qsizetype(random() % uint32_t(damaged.size()));
                damaged[at] = char(random() & 0xFF);
            }
            const mf::RenderResult r = mf::render(damaged, QSize(64, 64));
            QVERIFY2(consistent(r), qPrintable(QString::number(round)));
            rendered += !r.image.isNull();
        }
        QVERIFY(rendered > 0); // most damage leaves something to show
    }
};

QTEST_MAIN(MetafileFormatTest)
#include "tst_metafile_format.moc"
