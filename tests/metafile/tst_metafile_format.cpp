// Metafile recognition, natural size and scaling, and damaged input that must fail cleanly (the
// limits have their own suite).
#include "BusyMetafiles.h"
#include "MetafileBuilders.h"
#include "PixelChecks.h"

#include "import/metafile/MetafileReader.h"

#include <QtTest>

#include <random>

using namespace metafiletest;
namespace mf = morvane::metafile;

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
        QTest::addColumn<int>("header"); // the bytes that say the picture's kind and size
        QTest::newRow("emf") << busyEmf() << 88;
        QTest::newRow("wmf, placeable") << busyWmf() << 22 + 18;
    }
    void everyTruncationFailsCleanly()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, header);
        const QSize whole = mf::render(file, QSize(64, 64)).image.size();
        QVERIFY(whole.isValid());
        // Cut in its header, a file is refused; cut anywhere after it, it shows what it has at
        // the whole picture's size.
        for (qsizetype length = 0; length < file.size(); ++length) {
            const mf::RenderResult r = mf::render(file.left(length), QSize(64, 64));
            const QByteArray at = QByteArray::number(length);
            QVERIFY2(r.image.isNull() == (length < header), at.constData());
            QVERIFY2(r.image.isNull() || r.image.size() == whole, at.constData());
        }
    }

    void randomDamageFailsCleanly_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("emf") << busyEmf();
        QTest::newRow("wmf") << busyWmf();
    }
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
            // Whatever the damage says of the picture's size, it is drawn no larger than asked.
            const QImage image = mf::render(damaged, QSize(64, 64)).image;
            QVERIFY2(image.width() <= 64 && image.height() <= 64,
                     qPrintable(QString::number(round)));
            rendered += !image.isNull();
        }
        QVERIFY(rendered > 0); // most damage leaves something to show
    }
};

QTEST_MAIN(MetafileFormatTest)
#include "tst_metafile_format.moc"
