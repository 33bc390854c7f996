// Fuzz target for the HEIF/AVIF decoder alone: any bytes read through QImageReader as the
// picture loader reads them, at their own size or scaled down.
#include "import/heif/HeifImageIO.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QtPlugin>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

Q_IMPORT_PLUGIN(MorvaneHeifPlugin)

namespace {

// A picture handed out must have the size that was announced or asked for.
void readOnce(const QByteArray &bytes, bool scaled)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "morvane-heif");
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(256);
    const QSize size = reader.size();
    const QSize asked = scaled && size.isValid() ? (size / 3).expandedTo(QSize(1, 1)) : size;
    if (scaled && size.isValid())
        reader.setScaledSize(asked);
    const QImage image = reader.read();
    if (!image.isNull() && image.size() != asked)
        std::abort();
}

} // namespace

// libheif 1.15 and libdav1d keep a few bytes of some broken AV1 data for ever; the allocations
// are theirs, not ours (the decoder tests leak-check our own paths under the sanitizers). The
// check at exit, which the sanitizer build's options ask for, is told so.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libheif.so\nleak:libdav1d.so\n";
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Image plug-ins need a GUI application; the offscreen platform needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "qt.*=false");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    // One read an input: every tile costs a decoder start of its own, which dominates a run.
    // An odd length asks for a third of the size.
    readOnce(bytes, size % 2 == 1);
    return 0;
}
