// The formats the picture loader reads, and the decoder of each: our own first, then Qt's.
#include "PictureFormats.h"

#include <QImageReader>
#include <QIODevice>
#include <QtPlugin>

#include <array>

// Our decoders are statically linked image-format plugins.
Q_IMPORT_PLUGIN(MorvaneMetafilePlugin)
Q_IMPORT_PLUGIN(MorvaneHeifPlugin)
Q_IMPORT_PLUGIN(MorvaneJxlPlugin)

namespace morvane {

namespace {

// Asked in this order, each recognising its own files by their first bytes. Our own come first;
// then the formats Qt itself reads (its library and its image-format plugins), those with a
// signature of their own before those a few header fields are all there is to go by. Only these:
// whatever else a machine's plugins could read is not taken, so the game opens the same pictures
// the same way everywhere, and a greedy plugin on the machine cannot claim any of them.
// clang-format off
constexpr std::array formats = {
    "morvane-metafile", "morvane-heif", "morvane-jxl",
    "png", "jpeg", "gif", "bmp", "webp", "tiff", "ppm", "xpm", "xbm", "ico", "cur", "icns", "mng",
    "wbmp", "tga"};
// clang-format on

bool reads(QIODevice &device, const char *format)
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
    for (const char *format : formats) {
        if (reads(device, format))
            return format;
    }
    return {};
}

} // namespace morvane
