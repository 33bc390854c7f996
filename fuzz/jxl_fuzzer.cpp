// libFuzzer target for the JPEG XL decoder: header, size and pixels of arbitrary bytes.
#include "import/jxl/JxlImageIO.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QtPlugin>

#include <cstdint>
#include <cstdlib>

Q_IMPORT_PLUGIN(MorvaneJxlPlugin)

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "jxl_fuzzer";
    static char *argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    // Pictures over 1 MiB (about 512 x 512) are refused after their header: decoding costs
    // grow with the pixels, the paths through the header and the codec's groups do not, and a
    // run is then many times faster.
    QImageReader::setAllocationLimit(1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "morvane-jxl");
    reader.setAutoDetectImageFormat(false);
    const QSize shown = reader.size();
    // Half the size on odd lengths, so that the scaling path is fuzzed as well.
    if (shown.isValid() && size % 2)
        reader.setScaledSize(shown / 2 + QSize(1, 1));
    const QImage image = reader.read();
    if (!image.isNull() && !shown.isValid())
        std::abort(); // pixels from a file whose header was refused
    if (!image.isNull() && !(size % 2) && image.size() != shown)
        std::abort(); // pixels of another size than the header announced
    return 0;
}
