// The formats the picture loader reads, and the decoder of each: our own first, then Qt's.
#include "PictureFormats.h"

#include <QImageReader>
#include <QIODevice>
#include <QtPlugin>

#include <array>

// Our decoders are statically linked image-format plugins.
Q_IMPORT_PLUGIN(MorvaneMetafilePlugin)

namespace morvane {

namespace {

// Asked in this order; each recognises its own files by their first bytes.
constexpr std::array ownFormats = {"morvane-metafile"};

// The formats Qt itself reads (its own library and its image-format plugins). Whatever else a
// machine's plugins can read is not taken: the game opens the same pictures everywhere.
constexpr std::array qtFormats = {"bmp", "gif", "jpeg", "png", "pbm", "pgm",  "ppm",  "xbm", "xpm",
                                  "ico", "cur", "icns", "mng", "tga", "tiff", "wbmp", "webp"};

bool reads(QIODevice &device, const QByteArray &format)
{
    const qint64 start = device.pos();
    QImageReader reader(&device, format);
    reader.setAutoDetectImageFormat(false);
    const bool ok = reader.canRead();
    device.seek(start);
    return ok;
}

} // namespace

QByteArray pictureFormatOf(QIODevice &device)
{
    for (const char *format : ownFormats) {
        if (reads(device, format))
            return format;
    }
    const qint64 start = device.pos();
    const QByteArray detected = QImageReader::imageFormat(&device);
    device.seek(start);
    for (const char *format : qtFormats) {
        if (detected == format)
            return detected;
    }
    return {};
}

} // namespace morvane
