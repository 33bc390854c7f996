// The JPEG XL decoder alone, read as the picture loader reads it: real files, files encoded
// here, and broken files made from real ones.
#include "JxlTestPictures.h"
#include "import/jxl/JxlColorSpace.h"
#include "import/jxl/JxlImageIO.h"

#include <QBuffer>
#include <QColorSpace>
#include <QColorTransform>
#include <QFile>
#include <QImageReader>
#include <QRandomGenerator>
#include <QLoggingCategory>
#include <QTest>
#include <QtPlugin>

#include <algorithm>
#include <cstring>

Q_IMPORT_PLUGIN(MorvaneJxlPlugin)
Q_DECLARE_METATYPE(JxlColorEncoding)

using namespace morvane::jxl;
using namespace morvane::jxl::test;

namespace {

QByteArray dataFile(const QString &name)
{
    QFile file(QStringLiteral(MORVANE_TEST_DATA_DIR "/jxl/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Read {
    QSize size; // what the reader said before decoding
    QImage image;
};

// Through QImageReader with our key and no guessing, as the loader reads every picture.
Read readJxl(QByteArray bytes, QSize scaledSize = {})
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "morvane-jxl");
    reader.setAutoDetectImageFormat(false);
    Read result;
    result.size = reader.size();
    if (scaledSize.isValid())
        reader.setScaledSize(scaledSize);
    result.image = reader.read();
    return result;
}

// A small picture whose every pixel differs, so that any turn or mirror shows.
QImage numberedPicture(QSize size)
{
    QImage picture(size, QImage::Format_RGBA8888);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y, qRgba(30 * x, 50 * y, 200 - 20 * x, 255));
    return picture;
}

// Where the pixel shown at (x, y) lies in the stored picture of width w and height h.
QPoint storedPixel(int orientation, int x, int y, int w, int h)
{
    switch (orientation) {
    case 2: return {w - 1 - x, y};
    case 3: return {w - 1 - x, h - 1 - y};
    case 4: return {x, h - 1 - y};
    case 5: return {y, x};
    case 6: return {y, h - 1 - x};
    case 7: return {w - 1 - y, h - 1 - x};
    case 8: return {w - 1 - y, x};
    default: return {x, y};
    }
}

// The sRGB colour a pixel of the image shows.
QColor seenInSrgb(const QImage &image, QPoint at)
{
    const QColor stored = image.pixelColor(at);
    if (!image.colorSpace().isValid())
        return stored;
    return image.colorSpace().transformationToColorSpace(QColorSpace::SRgb).map(stored);
}

// A device that can only be read forward, as a pipe or a socket: its size is unknown.
class ForwardOnlyDevice : public QIODevice {
public:
    explicit ForwardOnlyDevice(QByteArray bytes) : m_bytes(std::move(bytes)) {}
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override
    {
        return m_bytes.size() - m_at + QIODevice::bytesAvailable();
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 count = std::min<qint64>(maxSize, m_bytes.size() - m_at);
        memcpy(data, m_bytes.constData() + m_at, size_t(count));
        m_at += count;
        return count;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_at = 0;
};

} // namespace

class TestJxlDecoder : public QObject {
    Q_OBJECT

private slots:
    // Qt complains of every profile it cannot read; some here are unreadable on purpose.
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.icc=false")); }
    void cleanup() { QImageReader::setAllocationLimit(m_allocationLimit); }

    void recognisedByContent_data();
    void recognisedByContent();
    void realFilesOpen_data();
    void realFilesOpen();
    void orientationApplied_data();
    void orientationApplied();
    void colourSpaceOfProfileFile();
    void colourSpaceOfEncodedFile_data();
    void colourSpaceOfEncodedFile();
    void colourSpaceFromEncoding_data();
    void colourSpaceFromEncoding();
    void alphaKept();
    void scaledSizeHonoured_data();
    void scaledSizeHonoured();
    void allocationLimitHonoured();
    void forwardOnlyDeviceRead();
    void declaredSizeChecked_data();
    void declaredSizeChecked();
    void layerStackStopped();
    void badFilesRefused_data();
    void badFilesRefused();

private:
    const int m_allocationLimit = QImageReader::allocationLimit();
};

void TestJxlDecoder::recognisedByContent_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("recognised");
    QTest::newRow("bare codestream") << dataFile("conformance-bicycles.jxl") << true;
    QTest::newRow("container") << dataFile("conformance-bench_oriented_brg.jxl") << true;
    QTest::newRow("codestream signature alone") << QByteArray("\xFF\x0A", 2) << true;
    QTest::newRow("PNG") << QByteArray("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16) << false;
    QTest::newRow("JPEG") << QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF\0", 11) << false;
    QTest::newRow("other ISOBMFF (HEIF)") << QByteArray("\0\0\0\x18"
                                                        "ftypheic\0\0\0\0",
                                                        16)
                                          << false;
    QTest::newRow("container box misnamed") << QByteArray("\0\0\0\x0C"
                                                          "JXL!\x0D\x0A\x87\x0A",
                                                          12)
                                            << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestJxlDecoder::recognisedByContent()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, recognised);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    MorvaneJxlPlugin plugin;
    QCOMPARE(plugin.capabilities(&buffer, QByteArray()).testFlag(QImageIOPlugin::CanRead),
             recognised);
    QCOMPARE(plugin.capabilities(&buffer, QByteArray()).testFlag(QImageIOPlugin::CanWrite), false);
    QCOMPARE(buffer.pos(), 0); // looked at, not consumed
    QCOMPARE(JxlHandler::canRead(&buffer), recognised);
    QCOMPARE(buffer.pos(), 0);
}

void TestJxlDecoder::realFilesOpen_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("shown");
    QTest::addColumn<bool>("alpha");
    QTest::addColumn<bool>("ownColourSpace");
    QTest::newRow("lossy photo") << "conformance-bicycles.jxl" << QSize(1024, 631) << false
                                 << false;
    QTest::newRow("container, transposed, BRG profile")
        << "conformance-bench_oriented_brg.jxl" << QSize(606, 500) << false << true;
    QTest::newRow("anti-transposed, layers, alpha")
        << "conformance-sunset_logo.jxl" << QSize(924, 1386) << true << false;
    QTest::newRow("straight alpha")
        << "conformance-alpha_nonpremultiplied.jxl" << QSize(1024, 1024) << true << false;
    QTest::newRow("premultiplied alpha, container")
        << "conformance-alpha_premultiplied.jxl" << QSize(1024, 1024) << true << false;
    QTest::newRow("gamma 2.2 described, not sRGB")
        << "conformance-lz77_flower.jxl" << QSize(834, 244) << false << true;
    QTest::newRow("grey, lossy") << "conformance-grayscale.jxl" << QSize(200, 200) << false
                                 << false;
}

void TestJxlDecoder::realFilesOpen()
{
    QFETCH(QString, file);
    QFETCH(QSize, shown);
    QFETCH(bool, alpha);
    QFETCH(bool, ownColourSpace);
    const QByteArray bytes = dataFile(file);
    QVERIFY2(!bytes.isEmpty(), qPrintable(file));
    const Read read = readJxl(bytes);
    QCOMPARE(read.size, shown);
    QVERIFY(!read.image.isNull());
    QCOMPARE(read.image.size(), shown);
    QCOMPARE(read.image.hasAlphaChannel(), alpha);
    QCOMPARE(read.image.depth(), 32); // 8 bits a channel, grey as RGB too
    QCOMPARE(read.image.colorSpace().isValid(), ownColourSpace);
}

void TestJxlDecoder::orientationApplied_data()
{
    QTest::addColumn<int>("orientation");
    for (int orientation = 1; orientation <= 8; ++orientation)
        QTest::addRow("orientation %d", orientation) << orientation;
}

void TestJxlDecoder::orientationApplied()
{
    QFETCH(int, orientation);
    const QImage stored = numberedPicture(QSize(6, 4));
    EncodeOptions options;
    options.colour = srgb();
    options.orientation = uint32_t(orientation);
    const QByteArray file = encodeJxl(stored, options);
    QVERIFY(!file.isEmpty());
    const Read read = readJxl(file);
    const QSize shown = orientation >= 5 ? QSize(4, 6) : QSize(6, 4);
    QCOMPARE(read.size, shown);
    QCOMPARE(read.image.size(), shown);
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            QCOMPARE(read.image.pixel(x, y),
                     stored.pixel(storedPixel(orientation, x, y, stored.width(), stored.height())));

    QByteArray bytes = file;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "morvane-jxl");
    reader.setAutoDetectImageFormat(false);
    // Already applied: the reader must not turn the picture a second time.
    QCOMPARE(reader.transformation(), QImageIOHandler::TransformationNone);
}

void TestJxlDecoder::colourSpaceOfProfileFile()
{
    // The file's profile swaps the primaries round (blue, red, green): what it stores as pure
    // red is seen as blue.
    const Read read = readJxl(dataFile("conformance-bench_oriented_brg.jxl"));
    QVERIFY(read.image.colorSpace().isValid());
    const QColorTransform toSrgb =
        read.image.colorSpace().transformationToColorSpace(QColorSpace::SRgb);
    const QColor storedRed = toSrgb.map(QColor(255, 0, 0));
    QVERIFY2(storedRed.blue() > 200 && storedRed.red() < 60 && storedRed.green() < 60,
             qPrintable(storedRed.name()));
    const QColor storedGreen = toSrgb.map(QColor(0, 255, 0));
    QVERIFY2(storedGreen.red() > 200 && storedGreen.green() < 60, qPrintable(storedGreen.name()));
}

void TestJxlDecoder::colourSpaceOfEncodedFile_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<JxlColorEncoding>("colour");
    QTest::addColumn<bool>("lossless");
    QTest::addColumn<QColorSpace>("expected");
    QImage colours(4, 4, QImage::Format_RGBA8888);
    colours.fill(QColor(200, 40, 30));
    QImage grey(4, 4, QImage::Format_Grayscale8);
    grey.fill(128);
    QTest::newRow("sRGB: left unset") << colours << srgb() << true << QColorSpace();
    QTest::newRow("Display P3") << colours
                                << encoding(JXL_COLOR_SPACE_RGB, JXL_PRIMARIES_P3,
                                            JXL_TRANSFER_FUNCTION_SRGB)
                                << true << QColorSpace(QColorSpace::DisplayP3);
    QTest::newRow("linear sRGB") << colours
                                 << encoding(JXL_COLOR_SPACE_RGB, JXL_PRIMARIES_SRGB,
                                             JXL_TRANSFER_FUNCTION_LINEAR)
                                 << true << QColorSpace(QColorSpace::SRgbLinear);
    QTest::newRow("grey, sRGB curve: left unset")
        << grey << encoding(JXL_COLOR_SPACE_GRAY, JXL_PRIMARIES_SRGB, JXL_TRANSFER_FUNCTION_SRGB)
        << true << QColorSpace();
    QTest::newRow("grey, gamma 2.2")
        << grey
        << encoding(JXL_COLOR_SPACE_GRAY, JXL_PRIMARIES_SRGB, JXL_TRANSFER_FUNCTION_GAMMA, 1 / 2.2)
        << true << QColorSpace(QColorSpace::Primaries::SRgb, 2.2f);
    QTest::newRow("lossy P3: decoded to sRGB")
        << colours << encoding(JXL_COLOR_SPACE_RGB, JXL_PRIMARIES_P3, JXL_TRANSFER_FUNCTION_SRGB)
        << false << QColorSpace();
}

void TestJxlDecoder::colourSpaceOfEncodedFile()
{
    QFETCH(QImage, picture);
    QFETCH(JxlColorEncoding, colour);
    QFETCH(bool, lossless);
    QFETCH(QColorSpace, expected);
    EncodeOptions options;
    options.colour = colour;
    options.lossless = lossless;
    const QByteArray file = encodeJxl(picture, options);
    QVERIFY(!file.isEmpty());
    const Read read = readJxl(file);
    QVERIFY(!read.image.isNull());
    QCOMPARE(read.image.isGrayscale(), picture.isGrayscale()); // grey comes as equal RGB
    QCOMPARE(read.image.depth(), 32);
    QCOMPARE(read.image.colorSpace().isValid(), expected.isValid());
    if (expected.isValid()) {
        // Compared by what they do: the same stored colour seen the same in sRGB.
        const QColor stored = read.image.pixelColor(1, 1);
        const QColor seen = seenInSrgb(read.image, {1, 1});
        const QColor wanted = expected.transformationToColorSpace(QColorSpace::SRgb).map(stored);
        QVERIFY2(qAbs(seen.red() - wanted.red()) <= 2 && qAbs(seen.green() - wanted.green()) <= 2
                     && qAbs(seen.blue() - wanted.blue()) <= 2,
                 qPrintable(seen.name() + " != " + wanted.name()));
        QVERIFY(seen != stored); // not sRGB after all
    }
}

void TestJxlDecoder::colourSpaceFromEncoding_data()
{
    QTest::addColumn<JxlColorEncoding>("colour");
    QTest::addColumn<QColorSpace>("expected");
    QTest::newRow("sRGB") << srgb() << QColorSpace();
    QTest::newRow("P3") << encoding(JXL_COLOR_SPACE_RGB, JXL_PRIMARIES_P3,
                                    JXL_TRANSFER_FUNCTION_SRGB)
                        << QColorSpace(QColorSpace::DisplayP3);
    QTest::newRow("BT.2020 primaries, linear")
        << encoding(JXL_COLOR_SPACE_RGB, JXL_PRIMARIES_2100, JXL_TRANSFER_FUNCTION_LINEAR)
        << QColorSpace(QPointF(0.3127, 0.3290), QPointF(0.708, 0.292), QPointF(0.170, 0.797),
                       QPointF(0.131, 0.046), QColorSpace::TransferFunction::Linear);
    QTest::newRow("DCI curve") << encoding(JXL_COLOR_SPACE_RGB, JXL_PRIMARIES_SRGB,
                                           JXL_TRANSFER_FUNCTION_DCI)
                               << QColorSpace(QColorSpace::Primaries::SRgb, 2.6f);
    QTest::newRow("grey, linear") << encoding(JXL_COLOR_SPACE_GRAY, JXL_PRIMARIES_SRGB,
                                              JXL_TRANSFER_FUNCTION_LINEAR)
                                  << QColorSpace(QColorSpace::SRgbLinear);
    QTest::newRow("gamma out of range")
        << encoding(JXL_COLOR_SPACE_RGB, JXL_PRIMARIES_SRGB, JXL_TRANSFER_FUNCTION_GAMMA, 0)
        << QColorSpace();
    QTest::newRow("PQ") << encoding(JXL_COLOR_SPACE_RGB, JXL_PRIMARIES_2100,
                                    JXL_TRANSFER_FUNCTION_PQ)
                        << QColorSpace();
    QTest::newRow("XYB") << encoding(JXL_COLOR_SPACE_XYB, JXL_PRIMARIES_SRGB,
                                     JXL_TRANSFER_FUNCTION_SRGB)
                         << QColorSpace();
    JxlColorEncoding customWhite =
        encoding(JXL_COLOR_SPACE_RGB, JXL_PRIMARIES_SRGB, JXL_TRANSFER_FUNCTION_SRGB);
    customWhite.white_point = JXL_WHITE_POINT_CUSTOM;
    customWhite.white_point_xy[0] = 0.3457; // D50
    customWhite.white_point_xy[1] = 0.3585;
    QTest::newRow("sRGB primaries on D50")
        << customWhite
        << QColorSpace(QPointF(0.3457, 0.3585), QPointF(0.64, 0.33), QPointF(0.30, 0.60),
                       QPointF(0.15, 0.06), QColorSpace::TransferFunction::SRgb);
}

void TestJxlDecoder::colourSpaceFromEncoding()
{
    QFETCH(JxlColorEncoding, colour);
    QFETCH(QColorSpace, expected);
    const QColorSpace made = colorSpaceFromEncoding(colour);
    QCOMPARE(made.isValid(), expected.isValid());
    if (expected.isValid())
        QCOMPARE(made, expected);
    QCOMPARE(colorSpaceOf(QByteArray(), &colour), made); // no profile: the description decides
    QCOMPARE(colorSpaceOf(QByteArray("not a profile"), &colour), made);
}

void TestJxlDecoder::alphaKept()
{
    QImage picture(4, 2, QImage::Format_RGBA8888);
    const QRgb pixels[] = {qRgba(255, 0, 0, 0),       qRgba(0, 255, 0, 128),  qRgba(0, 0, 255, 255),
                           qRgba(10, 20, 30, 1),      qRgba(90, 80, 70, 254), qRgba(0, 0, 0, 64),
                           qRgba(255, 255, 255, 200), qRgba(1, 2, 3, 0)};
    for (int i = 0; i < 8; ++i)
        picture.setPixel(i % 4, i / 4, pixels[i]);
    EncodeOptions options;
    options.colour = srgb();
    const Read read = readJxl(encodeJxl(picture, options));
    QVERIFY(read.image.hasAlphaChannel());
    QCOMPARE(read.image.format(), QImage::Format_RGBA8888); // straight, as stored
    for (int i = 0; i < 8; ++i) {
        const QRgb got = read.image.pixel(i % 4, i / 4);
        QCOMPARE(qAlpha(got), qAlpha(pixels[i]));
        if (qAlpha(pixels[i]) == 255)
            QCOMPARE(got, pixels[i]);
    }
    // A real file whose alpha runs from transparent to opaque keeps the whole range.
    const QImage real = readJxl(dataFile("conformance-alpha_nonpremultiplied.jxl")).image;
    int transparent = 0, opaque = 0;
    for (int y = 0; y < real.height(); y += 16)
        for (int x = 0; x < real.width(); x += 16) {
            const int alpha = qAlpha(real.pixel(x, y));
            transparent += alpha < 16;
            opaque += alpha >= 240;
        }
    QVERIFY(transparent > 0);
    QVERIFY(opaque > 0);
}

void TestJxlDecoder::scaledSizeHonoured_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("scaled");
    QTest::newRow("photo halved") << "conformance-bicycles.jxl" << QSize(512, 315);
    QTest::newRow("photo stretched") << "conformance-bicycles.jxl" << QSize(300, 300);
    QTest::newRow("turned file") << "conformance-bench_oriented_brg.jxl" << QSize(303, 250);
    QTest::newRow("alpha") << "conformance-sunset_logo.jxl" << QSize(462, 693);
    QTest::newRow("straight alpha") << "conformance-alpha_nonpremultiplied.jxl" << QSize(100, 100);
    QTest::newRow("the size itself") << "conformance-bicycles.jxl" << QSize(1024, 631);
}

void TestJxlDecoder::scaledSizeHonoured()
{
    QFETCH(QString, file);
    QFETCH(QSize, scaled);
    const Read full = readJxl(dataFile(file));
    const Read read = readJxl(dataFile(file), scaled);
    QCOMPARE(read.image.size(), scaled);
    QCOMPARE(read.image.hasAlphaChannel(), full.image.hasAlphaChannel());
    QCOMPARE(read.image.colorSpace(), full.image.colorSpace());
    // The same picture, smaller: its middle shows what the full picture's middle shows.
    const QColor small = read.image.pixelColor(scaled.width() / 2, scaled.height() / 2);
    const QColor large = full.image.pixelColor(full.image.width() / 2, full.image.height() / 2);
    QVERIFY2(qAbs(small.alpha() - large.alpha()) < 40, qPrintable(file));
    if (large.alpha() == 255)
        QVERIFY2(qAbs(small.red() - large.red()) < 40 && qAbs(small.green() - large.green()) < 40
                     && qAbs(small.blue() - large.blue()) < 40,
                 qPrintable(small.name() + " / " + large.name()));
}

void TestJxlDecoder::allocationLimitHonoured()
{
    // 1024 x 1024 at four bytes a pixel: 4 MiB.
    const QByteArray file = dataFile("conformance-alpha_nonpremultiplied.jxl");
    QImageReader::setAllocationLimit(3);
    const Read refused = readJxl(file);
    QCOMPARE(refused.size, QSize(1024, 1024)); // the header is still read
    QVERIFY(refused.image.isNull());
    QImageReader::setAllocationLimit(5);
    QCOMPARE(readJxl(file).image.size(), QSize(1024, 1024));
}

void TestJxlDecoder::forwardOnlyDeviceRead()
{
    const QByteArray bytes = dataFile("conformance-bench_oriented_brg.jxl");
    ForwardOnlyDevice device(bytes);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device, "morvane-jxl");
    reader.setAutoDetectImageFormat(false);
    QCOMPARE(reader.size(), QSize(606, 500));
    const QImage image = reader.read();
    QCOMPARE(image.size(), QSize(606, 500));
    // The same pixels as from a device that knows its size: none of the file was lost.
    QCOMPARE(image, readJxl(bytes).image);
}

void TestJxlDecoder::declaredSizeChecked_data()
{
    QTest::addColumn<QSize>("declared");
    QTest::addColumn<bool>("headerAccepted");
    QTest::newRow("60000 x 60000") << QSize(60000, 60000) << false;
    QTest::newRow("one pixel over the cap") << QSize(10001, 10000) << false;
    QTest::newRow("1 x 1 billion") << QSize(1, 1'000'000'000) << false;
    QTest::newRow("at the cap") << QSize(10000, 10000) << true;
    QTest::newRow("large, within the cap") << QSize(9000, 5000) << true;
}

void TestJxlDecoder::declaredSizeChecked()
{
    QFETCH(QSize, declared);
    QFETCH(bool, headerAccepted);
    const QByteArray file =
        withDeclaredSize(dataFile("conformance-bicycles.jxl"), uint32_t(declared.width()),
                         uint32_t(declared.height()));
    QCOMPARE(declaredSize(file), std::optional<QSize>(declared)); // the lie is what libjxl reads
    QVERIFY(qint64(declared.width()) * declared.height() <= JxlHandler::maxPixels
            || !headerAccepted);
    // No limit of the reader's: only the decoder's own cap stands between it and the pixels.
    QImageReader::setAllocationLimit(headerAccepted ? 64 : 0);
    const Read read = readJxl(file);
    QCOMPARE(read.size.isValid(), headerAccepted);
    if (headerAccepted)
        QCOMPARE(read.size, declared);
    QVERIFY(read.image.isNull());
}

void TestJxlDecoder::layerStackStopped()
{
    // Hundreds of full-size layers in a few kilobytes: each is blended in turn, and without a
    // budget this file takes a minute and more to decode.
    QImage picture(512, 512, QImage::Format_RGBA8888);
    picture.fill(QColor(40, 120, 200, 255));
    EncodeOptions options;
    options.colour = srgb();
    options.fast = true;
    options.layers = 2;
    const QByteArray two = encodeJxl(picture, options);
    options.layers = 3;
    const QByteArray three = encodeJxl(picture, options);
    const QByteArray five = withLayersRepeated(two, three, 5);
    const QByteArray stack = withLayersRepeated(two, three, 1000);
    QVERIFY(!five.isEmpty() && stack.size() > 100 * (three.size() - two.size()));
    // A few layers are a picture like any other: the file made this way is sound.
    const Read few = readJxl(five);
    QCOMPARE(few.image.size(), QSize(512, 512));
    QCOMPARE(few.image.pixelColor(100, 100), QColor(40, 120, 200));
    const Read many = readJxl(stack);
    QCOMPARE(many.size, QSize(512, 512));
    QVERIFY(many.image.isNull());
}

void TestJxlDecoder::badFilesRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const char *files[] = {"conformance-bicycles.jxl", "conformance-bench_oriented_brg.jxl",
                           "conformance-sunset_logo.jxl", "conformance-alpha_premultiplied.jxl",
                           "conformance-lz77_flower.jxl"};
    for (const char *name : files) {
        const QByteArray whole = dataFile(name);
        const qsizetype cuts[] = {1,
                                  2,
                                  12,
                                  40,
                                  whole.size() / 4,
                                  whole.size() / 2,
                                  whole.size() * 9 / 10,
                                  whole.size() - 1};
        for (qsizetype cut : cuts)
            if (cut > 0 && cut < whole.size())
                QTest::addRow("%s cut at %lld", name, qlonglong(cut)) << whole.left(cut);
    }
    QRandomGenerator random(2026);
    auto noise = [&](qsizetype count) {
        QByteArray bytes(count, '\0');
        for (char &byte : bytes)
            byte = char(random.bounded(256));
        return bytes;
    };
    for (int i = 0; i < 4; ++i) {
        QTest::addRow("random bytes %d", i) << noise(2000);
        QTest::addRow("codestream signature, then random bytes %d", i)
            << QByteArray("\xFF\x0A", 2) + noise(2000 + 500 * i);
        QTest::addRow("container signature, then random bytes %d", i)
            << QByteArray("\0\0\0\x0C"
                          "JXL \x0D\x0A\x87\x0A",
                          12)
                   + noise(2000);
    }
    const QByteArray photo = dataFile("conformance-bicycles.jxl");
    QTest::newRow("photo with its second half random")
        << photo.left(photo.size() / 2) + noise(photo.size() - photo.size() / 2);
    QTest::newRow("photo's header, then the header again")
        << photo.left(64) + photo.left(64) + photo.left(64);
}

void TestJxlDecoder::badFilesRefused()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(readJxl(bytes).image.isNull());
}

QTEST_GUILESS_MAIN(TestJxlDecoder)
#include "tst_jxl_decoder.moc"
