// Fuzz target for the picture loader: any bytes as a picture file, decoded the way File > Open
// and the level menu decode them, shrinking step included, with and without the ".dib" hint.
#include "import/PictureLoader.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// A decoded picture must never exceed what the board's 16-bit arithmetic can hold.
void checkFits(const QImage &image)
{
    if (image.isNull())
        return;
    if (image.width() < 1 || image.height() < 1 || image.width() > morvane::MaxPictureWidth
        || image.height() > morvane::MaxPictureHeight)
        std::abort();
}

} // namespace

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
    checkFits(morvane::decodePicture(bytes, false));
    checkFits(morvane::decodePicture(bytes, true));
    return 0;
}
