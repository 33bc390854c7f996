// The HEIF/AVIF decoder read as the picture loader reads it: real files upright at their shown
// size, whole grids, colour spaces, alpha, scaled sizes and limits, and broken files refused.
#include "HeifBytes.h"

#include "import/heif/HeifBoxes.h"
#include "import/heif/HeifImageIO.h"
#include "import/heif/HeifLimits.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTest>
#include <QtPlugin>

#include <algorithm>
#include <cstdlib>

Q_IMPORT_PLUGIN(MorvaneHeifPlugin)

using namespace heiftest;

namespace {

constexpr char Arrow[] = "pillow-heif-arrow.heic"; // an upright arrow, stored lying on its side
constexpr char Abc[] = "libavif-abc_color_irot_alpha_irot.avif";
constexpr char BlueGrid[] = "crabbyavif-blue_grid_alpha.heic";
constexpr char Srgb[] = "libavif-colors_sdr_srgb.avif";
constexpr char HdrP3[] = "libavif-colors_hdr_p3.avif";
constexpr char ParisIcc[] = "libavif-paris_icc_exif_xmp.avif";

struct Read {
    QSize announced;
    QImage image;
};

Read readHeif(const QByteArray &bytes, QSize scaled = {}, int limitMiB = 256)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "morvane-heif");
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(limitMiB);
    Read result;
    result.announced = reader.size();
    if (scaled.isValid())
        reader.setScaledSize(scaled);
    result.image = reader.read();
    return result;
}

// The horizontal extent, in pixels, of the dark ink on row y.
int inkWidth(const QImage &image, int y)
{
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x) {
        if (qGray(image.pixel(x, y)) < 90) {
            if (first < 0)
                first = x;
            last = x;
        }
    }
    return first < 0 ? 0 : last - first + 1;
}

// The arrow points up: its ink ends at the top in a point and at the bottom in a broad shaft.
bool arrowPointsUp(const QImage &image)
{
    int top = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        if (inkWidth(image, y) > 0) {
            if (top < 0)
                top = y;
            bottom = y;
        }
    }
    if (top < 0 || bottom - top < image.height() / 2)
        return false;
    const int inset = image.height() / 40;
    return inkWidth(image, top + inset) * 2 < inkWidth(image, bottom - inset);
}

double meanDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return 255;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x)
            sum += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
    }
    return sum / (a.width() * a.height());
}

QByteArray withByte(QByteArray bytes, qsizetype at, char value)
{
    bytes[at] = value;
    return bytes;
}

// The file's turn (irot) replaced by another quarter count, or by a mirror (imir) on an axis.
QByteArray arrowTurned(int quarters)
{
    QByteArray bytes = dataFile(Arrow);
    return withByte(bytes, boxPayload(bytes, "irot"), char(quarters));
}

QByteArray arrowMirrored(int axis)
{
    QByteArray bytes = dataFile(Arrow);
    const qsizetype at = boxPayload(bytes, "irot");
    bytes.replace(at - 4, 4, "imir");
    return withByte(bytes, at, char(axis));
}

QByteArray withNclx(std::uint16_t primaries, std::uint16_t transfer)
{
    QByteArray bytes = dataFile(Srgb);
    const qsizetype at = boxPayload(bytes, "colr");
    putBigEndian(bytes, at + 4, primaries, 2);
    putBigEndian(bytes, at + 6, transfer, 2);
    return bytes;
}

QByteArray withAllIspe(const char *name, std::uint32_t width, std::uint32_t height)
{
    QByteArray bytes = dataFile(name);
    for (int n = 0;; ++n) {
        const qsizetype at = boxPayload(bytes, "ispe", n);
        if (at < 0)
            return bytes;
        putBigEndian(bytes, at + 4, width, 4);
        putBigEndian(bytes, at + 8, height, 4);
    }
}

// The grid descriptor of the blue grid (in the idat box: version, flags, rows - 1,
// columns - 1, then 16-bit output width and height) changed.
QByteArray blueGridClaiming(int rows, int columns, std::uint16_t width, std::uint16_t height)
{
    QByteArray bytes = dataFile(BlueGrid);
    const qsizetype at = boxPayload(bytes, "idat");
    bytes[at + 2] = char(rows - 1);
    bytes[at + 3] = char(columns - 1);
    putBigEndian(bytes, at + 4, width, 2);
    putBigEndian(bytes, at + 6, height, 2);
    return bytes;
}

QByteArray withBrands(const char *name, const char *brand)
{
    QByteArray bytes = dataFile(name);
    const int size = int(std::uint8_t(bytes[3]));
    for (int at = 8; at + 4 <= size; at += 4) {
        if (at != 12) // the minor version
            bytes.replace(at, 4, brand);
    }
    return bytes;
}

QByteArray randomBytes(int size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

// A meta box whose reference box gives item 1 'count' tiles, with room for 'stored' of them,
// and whose location box places item 2 in one extent of the given length.
QByteArray metaWithTiles(int count, int stored, std::uint32_t extentLength = 100)
{
    QByteArray dimg(12 + 2 * stored, '\0');
    putBigEndian(dimg, 0, std::uint32_t(dimg.size()), 4);
    dimg.replace(4, 4, "dimg");
    putBigEndian(dimg, 8, 1, 2);
    putBigEndian(dimg, 10, std::uint32_t(count), 2);
    for (int i = 0; i < stored; ++i)
        putBigEndian(dimg, 12 + 2 * i, std::uint32_t(i + 2), 2);
    QByteArray iref(12, '\0');
    iref.replace(4, 4, "iref");
    iref += dimg;
    putBigEndian(iref, 0, std::uint32_t(iref.size()), 4);
    // Version 0; 4-byte offsets and lengths, no base offset; one item of one extent.
    QByteArray iloc(30, '\0');
    putBigEndian(iloc, 0, std::uint32_t(iloc.size()), 4);
    iloc.replace(4, 4, "iloc");
    iloc[12] = char(0x44);
    putBigEndian(iloc, 14, 1, 2);
    putBigEndian(iloc, 16, 2, 2);
    putBigEndian(iloc, 20, 1, 2);
    putBigEndian(iloc, 22, 0, 4);
    putBigEndian(iloc, 26, extentLength, 4);
    QByteArray meta(12, '\0');
    meta.replace(4, 4, "meta");
    meta += iref + iloc;
    putBigEndian(meta, 0, std::uint32_t(meta.size()), 4);
    QByteArray ftyp("\0\0\0\x10"
                    "ftypheic\0\0\0\0",
                    16);
    return ftyp + meta;
}

} // namespace

class TestHeifDecoder : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        for (const char *name : {Arrow, Abc, BlueGrid, Srgb, HdrP3, ParisIcc})
            QVERIFY2(!dataFile(name).isEmpty(), name);
    }

    void recognisedByContent_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("heif");
        QTest::newRow("HEIC grid (brand heic)") << dataFile(Arrow) << true;
        QTest::newRow("AVIF (brand avif)") << dataFile(Abc) << true;
        QTest::newRow("HEIC, major brand mif1 only") << withBrands(BlueGrid, "mif1") << true;
        QTest::newRow("AVIF, major brand avis only") << withBrands(Srgb, "avis") << true;
        QTest::newRow("MP4 brands") << withBrands(Arrow, "isom") << false;
        QTest::newRow("PNG") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << false;
        QTest::newRow("random bytes") << randomBytes(4096, 1) << false;
        QTest::newRow("too short for a box") << QByteArray("\0\0\0\x0c"
                                                           "ftyp",
                                                           8)
                                             << false;
    }

    void recognisedByContent()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, heif);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        MorvaneHeifPlugin plugin;
        QCOMPARE(plugin.capabilities(&buffer, QByteArray()),
                 heif ? QImageIOPlugin::CanRead : QImageIOPlugin::Capabilities());
        QCOMPARE(buffer.pos(), 0); // peeked, not consumed
        QCOMPARE(plugin.capabilities(&buffer, "morvane-heif"), QImageIOPlugin::CanRead);
        QCOMPARE(plugin.capabilities(&buffer, "png"), QImageIOPlugin::Capabilities());
    }

    void opensAtItsShownSize_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("shown");
        QTest::newRow("HEIC grid turned a quarter") << dataFile(Arrow) << QSize(3024, 4032);
        QTest::newRow("AVIF turned a quarter, with alpha") << dataFile(Abc) << QSize(256, 512);
        if (morvane::heif::readsGridsWithAlpha())
            QTest::newRow("HEIC grid with alpha") << dataFile(BlueGrid) << QSize(320, 240);
        QTest::newRow("AVIF, 10-bit") << dataFile(HdrP3) << QSize(200, 200);
        QTest::newRow("HEIC grid, turn patched to none") << arrowTurned(0) << QSize(4032, 3024);
        QTest::newRow("HEIC grid, mirrored instead of turned")
            << arrowMirrored(0) << QSize(4032, 3024);
    }

    void opensAtItsShownSize()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, shown);
        const Read read = readHeif(bytes);
        QCOMPARE(read.announced, shown);
        QCOMPARE(read.image.size(), shown);
    }

    void photoOpensUpright()
    {
        const Read read = readHeif(dataFile(Arrow), QSize(378, 504));
        QVERIFY(arrowPointsUp(read.image));
        // The same picture as stored, without its turn, points sideways.
        QVERIFY(!arrowPointsUp(
            readHeif(arrowTurned(0), QSize(378, 504)).image.transformed(QTransform().rotate(180))));
    }

    // Each turn and mirror the file may state shows the stored picture turned or mirrored so.
    void orientationOfTheFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QTransform>("fromStored");
        QTest::newRow("irot 1 (a quarter anticlockwise)")
            << arrowTurned(1) << QTransform().rotate(-90);
        QTest::newRow("irot 2") << arrowTurned(2) << QTransform().rotate(180);
        QTest::newRow("irot 3") << arrowTurned(3) << QTransform().rotate(90);
        // libheif reads mirror mode 0 as top and bottom swapped and mode 1 as left and right
        // (in 1.15 as in 1.19), and the picture is shown as libheif shows it.
        QTest::newRow("imir 0 (top and bottom swapped)")
            << arrowMirrored(0) << QTransform::fromScale(1, -1);
        QTest::newRow("imir 1 (left and right swapped)")
            << arrowMirrored(1) << QTransform::fromScale(-1, 1);
    }

    void orientationOfTheFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QTransform, fromStored);
        const QImage stored = readHeif(arrowTurned(0), QSize(504, 378)).image;
        QVERIFY(!stored.isNull());
        const QImage expected = stored.transformed(fromStored);
        const QImage shown = readHeif(bytes, expected.size()).image;
        QCOMPARE(shown.size(), expected.size());
        QVERIFY2(meanDifference(shown, expected) < 4,
                 qPrintable(QString::number(meanDifference(shown, expected))));
        // The stored picture is not symmetric under the transformation: the check can fail.
        QVERIFY(expected.size() != stored.size() || meanDifference(stored, expected) > 8);
    }

    // Every tile of a grid is in place: no tile-sized part of the picture is left empty.
    void gridDecodesWhole_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("across");
        QTest::addColumn<int>("down");
        QTest::newRow("iPhone 12 MP, 8 x 6 tiles") << dataFile(Arrow) << 6 << 8;
        if (morvane::heif::readsGridsWithAlpha())
            QTest::newRow("2 x 2 tiles with alpha") << dataFile(BlueGrid) << 2 << 2;
    }

    void gridDecodesWhole()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, across);
        QFETCH(int, down);
        const QImage image = readHeif(bytes).image.convertToFormat(QImage::Format_ARGB32);
        QVERIFY(!image.isNull());
        const int tileWidth = image.width() / across, tileHeight = image.height() / down;
        for (int row = 0; row < down; ++row) {
            for (int column = 0; column < across; ++column) {
                qint64 brightness = 0;
                for (int y = row * tileHeight; y < (row + 1) * tileHeight; y += 4) {
                    for (int x = column * tileWidth; x < (column + 1) * tileWidth; x += 4) {
                        const QRgb pixel = image.pixel(x, y);
                        brightness += std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)});
                    }
                }
                const qint64 samples = qint64((tileHeight + 3) / 4) * ((tileWidth + 3) / 4);
                QVERIFY2(brightness / samples > 100,
                         qPrintable(QStringLiteral("tile %1,%2").arg(column).arg(row)));
            }
        }
    }

    void colourSpace_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QColorSpace>("expected");
        const QPointF d65(0.3127, 0.3290);
        QTest::newRow("HEIC with a Display P3 ICC profile")
            << dataFile(Arrow) << QColorSpace(QColorSpace::DisplayP3);
        QTest::newRow("AVIF with an sRGB ICC profile") << dataFile(ParisIcc) << QColorSpace();
        QTest::newRow("nclx sRGB") << dataFile(Srgb) << QColorSpace();
        QTest::newRow("nclx P3 with PQ, shown with the sRGB curve")
            << dataFile(HdrP3) << QColorSpace(QColorSpace::DisplayP3);
        QTest::newRow("nclx P3 D65, sRGB curve")
            << withNclx(12, 13) << QColorSpace(QColorSpace::DisplayP3);
        QTest::newRow("nclx BT.709, linear")
            << withNclx(1, 8) << QColorSpace(QColorSpace::SRgbLinear);
        QTest::newRow("nclx BT.709, gamma 2.2")
            << withNclx(1, 4)
            << QColorSpace(QColorSpace::Primaries::SRgb, QColorSpace::TransferFunction::Gamma,
                           2.2f);
        QTest::newRow("nclx BT.709 curve, as sRGB") << withNclx(1, 1) << QColorSpace();
        QTest::newRow("nclx unspecified") << withNclx(2, 2) << QColorSpace();
        QTest::newRow("nclx BT.2020, sRGB curve")
            << withNclx(9, 13)
            << QColorSpace(d65, QPointF(0.708, 0.292), QPointF(0.170, 0.797), QPointF(0.131, 0.046),
                           QColorSpace::TransferFunction::SRgb);
        QTest::newRow("nclx DCI-P3 (its own white), sRGB curve")
            << withNclx(11, 13)
            << QColorSpace(QPointF(0.314, 0.351), QPointF(0.680, 0.320), QPointF(0.265, 0.690),
                           QPointF(0.150, 0.060), QColorSpace::TransferFunction::SRgb);
    }

    void colourSpace()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QColorSpace, expected);
        const QImage image = readHeif(bytes, QSize(64, 64)).image;
        QVERIFY(!image.isNull());
        QCOMPARE(image.colorSpace().isValid(), expected.isValid());
        if (expected.isValid())
            QCOMPARE(image.colorSpace(), expected);
    }

    void alphaKept_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("alpha");
        QTest::addColumn<bool>("translucent");
        QTest::newRow("AVIF letters on a translucent ground") << dataFile(Abc) << true << true;
        if (morvane::heif::readsGridsWithAlpha())
            QTest::newRow("HEIC grid with an opaque alpha grid")
                << dataFile(BlueGrid) << true << false;
        QTest::newRow("AVIF without alpha") << dataFile(Srgb) << false << false;
    }

    void alphaKept()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, alpha);
        QFETCH(bool, translucent);
        const QImage image = readHeif(bytes).image;
        QVERIFY(!image.isNull());
        QCOMPARE(image.hasAlphaChannel(), alpha);
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        bool seenTranslucent = false, seenOpaque = false;
        for (int y = 0; y < argb.height(); ++y) {
            for (int x = 0; x < argb.width(); ++x) {
                const int a = qAlpha(argb.pixel(x, y));
                seenTranslucent |= a > 0 && a < 255;
                seenOpaque |= a == 255;
            }
        }
        QCOMPARE(seenTranslucent, translucent);
        QVERIFY(seenOpaque);
    }

    void scaledSizeHonoured_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<QSize>("asked");
        QTest::newRow("12 MP grid to a tenth")
            << dataFile(Arrow) << QSize(3024, 4032) << QSize(302, 403);
        QTest::newRow("turned AVIF out of proportion")
            << dataFile(Abc) << QSize(256, 512) << QSize(100, 40);
        if (morvane::heif::readsGridsWithAlpha())
            QTest::newRow("small grid enlarged")
                << dataFile(BlueGrid) << QSize(320, 240) << QSize(640, 480);
    }

    void scaledSizeHonoured()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, shown);
        QFETCH(QSize, asked);
        const Read read = readHeif(bytes, asked);
        QCOMPARE(read.announced, shown);
        QCOMPARE(read.image.size(), asked);
    }

    void allocationLimitHonoured_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("asked");
        QTest::addColumn<int>("limitMiB");
        QTest::addColumn<bool>("read");
        // 3024 x 4032 x 4 bytes is 46.5 MiB.
        QTest::newRow("12 MP over 40 MiB") << dataFile(Arrow) << QSize() << 40 << false;
        QTest::newRow("12 MP within 48 MiB") << dataFile(Arrow) << QSize() << 48 << true;
        QTest::newRow("12 MP asked smaller, within 1 MiB")
            << dataFile(Arrow) << QSize(302, 403) << 1 << true;
        QTest::newRow("small grid enlarged past 1 MiB")
            << dataFile(BlueGrid) << QSize(640, 480) << 1 << false;
    }

    void allocationLimitHonoured()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, asked);
        QFETCH(int, limitMiB);
        QFETCH(bool, read);
        QCOMPARE(!readHeif(bytes, asked, limitMiB).image.isNull(), read);
    }

    // Declared sizes are weighed before anything is decoded, deeper pictures more strictly.
    void declaredSizeCapped_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("announced");
        QTest::newRow("8-bit HEIC claiming 72 MP")
            << withAllIspe(Arrow, 9000, 8000) << QSize(8000, 9000);
        QTest::newRow("8-bit HEIC claiming 121 MP") << withAllIspe(Arrow, 11000, 11000) << QSize();
        QTest::newRow("10-bit AVIF claiming 64 MP")
            << withAllIspe(HdrP3, 8000, 8000) << QSize(8000, 8000);
        QTest::newRow("10-bit AVIF claiming 72 MP") << withAllIspe(HdrP3, 9000, 8000) << QSize();
    }

    void declaredSizeCapped()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, announced);
        const Read read = readHeif(bytes, QSize(50, 50));
        QCOMPARE(read.announced, announced);
        QVERIFY(read.image.isNull()); // the pixels are those of a much smaller picture
    }

    void badFileRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        for (const char *name : {Arrow, Abc, BlueGrid, Srgb}) {
            const QByteArray whole = dataFile(name);
            for (const qsizetype length :
                 {qsizetype(8), qsizetype(40), qsizetype(300), whole.size() / 4, whole.size() / 2,
                  whole.size() - 100, whole.size() - 1}) {
                QTest::addRow("%s cut to %lld bytes", name, qlonglong(length))
                    << whole.left(length);
            }
            QTest::addRow("%s claiming 60000 x 60000", name) << withAllIspe(name, 60000, 60000);
        }
        QTest::newRow("MP4 brands on a HEIC") << withBrands(Arrow, "isom");
        QTest::newRow("random bytes") << randomBytes(20000, 2);
        QTest::newRow("a HEIC ftyp, then random bytes")
            << dataFile(BlueGrid).left(28) + randomBytes(20000, 3);
        QTest::newRow("grid of 256 x 256 tiles with 4 given")
            << blueGridClaiming(256, 256, 320, 240);
        QTest::newRow("grid canvas of 60000 x 60000") << blueGridClaiming(2, 2, 60000, 60000);
        QTest::newRow("grid canvas of 20000 x 20000 (400 MP)")
            << blueGridClaiming(2, 2, 20000, 20000);
        if (!morvane::heif::readsGridsWithAlpha()) {
            QTest::newRow("grid with alpha (libheif before 1.19)") << dataFile(BlueGrid);
            // The alpha tiles' sequence parameters changed to code them 128 pixels wide.
            QByteArray narrowAlpha = dataFile(BlueGrid);
            narrowAlpha[boxPayload(narrowAlpha, "hvcC", 1) + 74] = char(0x40);
            QTest::newRow("grid whose alpha tiles are narrower than its colour tiles")
                << narrowAlpha;
        }
        QByteArray manyTiles = dataFile(BlueGrid);
        putBigEndian(manyTiles, boxPayload(manyTiles, "dimg") + 2, 60000, 2);
        QTest::newRow("60000 tile references in a box of 4") << manyTiles;
        // Its location box (version 0, 4-byte fields) places item 2, the alpha, last.
        QByteArray alphaToTheEnd = dataFile(Abc);
        putBigEndian(alphaToTheEnd, boxPayload(alphaToTheEnd, "iloc") + 32, 0, 4);
        QTest::newRow("AVIF alpha data of length 0 (to the end of the file)") << alphaToTheEnd;
    }

    void badFileRefused()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(readHeif(bytes).image.isNull());
        QVERIFY(readHeif(bytes, QSize(50, 50)).image.isNull());
    }

    // The tiles of every grid are counted from the file's references, within their box, and
    // data said to run to the end of the file is seen.
    void tilesCounted_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<long long>("references");
        QTest::addColumn<bool>("emptyExtent");
        QTest::newRow("no grid") << metaWithTiles(0, 0) << true << 0LL << false;
        QTest::newRow("48 tiles") << metaWithTiles(48, 48) << true << 48LL << false;
        QTest::newRow("an extent of length 0") << metaWithTiles(0, 0, 0) << true << 0LL << true;
        QTest::newRow("over the limit")
            << metaWithTiles(morvane::heif::MaxTiles + 1, morvane::heif::MaxTiles + 1) << true
            << (morvane::heif::MaxTiles + 1LL) << false;
        QTest::newRow("more claimed than stored")
            << metaWithTiles(60000, 4) << false << 0LL << false;
        QTest::newRow("the real 2 x 2 grid") << dataFile(BlueGrid) << true << 4LL << false;
        QTest::newRow("the real AVIF") << dataFile(Abc) << true << 0LL << false;
    }

    void tilesCounted()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, readable);
        QFETCH(long long, references);
        QFETCH(bool, emptyExtent);
        const morvane::heif::DerivedPictures derived = morvane::heif::derivedPictures(bytes);
        QCOMPARE(derived.readable, readable);
        if (readable) {
            QCOMPARE(derived.references, references);
            QCOMPARE(derived.emptyExtent, emptyExtent);
        }
    }
};

QTEST_MAIN(TestHeifDecoder)
#include "tst_heif_decoder.moc"
