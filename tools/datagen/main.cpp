// Writes every data file of the game: the level table and pictures into the program's folder,
// the banner and the icons into the folder of generated resources.
//
//   morvane_datagen BIN_DIR GENERATED_DIR
#include "Artwork.h"
#include "LevelRecords.h"
#include "TileLayouts.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>

#include <cstdio>

namespace {

bool writePicture(const QImage &image, const QString &path, const char *format, int quality = -1)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImageWriter writer(path, format); // forced: the level pictures are named .res
    writer.setQuality(quality);
    if (writer.write(image))
        return true;
    std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path),
                 qPrintable(writer.errorString()));
    return false;
}

bool writeBytes(const QByteArray &bytes, const QString &path)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

bool writePng(const QImage &image, const QString &path) { return writePicture(image, path, "png"); }

// The level pictures are JPEG of high quality: they decode several times faster than PNG,
// which the game's start-up feels.
bool writeLevelPicture(const QImage &image, const QString &path)
{
    return writePicture(image, path, "jpeg", 95);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv); // fonts need a platform; run with QT_QPA_PLATFORM=offscreen
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: morvane_datagen BIN_DIR GENERATED_DIR\n");
        return 2;
    }
    const QDir binDir(args[1]);
    const QDir generatedDir(args[2]);
    QDir().mkpath(binDir.absolutePath());
    QDir().mkpath(generatedDir.absolutePath());

    bool ok = true;
    try {
        ok &= writeBytes(QByteArray::fromStdString(datagen::levelTableText()),
                         binDir.filePath("Levels.res"));
        for (int level = 1; level <= datagen::LevelCount; ++level)
            ok &= writeLevelPicture(datagen::paintLevelPicture(level),
                                    binDir.filePath(QString("Level%1.res").arg(level)));
        ok &= writePng(datagen::paintBanner(), generatedDir.filePath("banner.png"));
        ok &= writePng(datagen::sixteenColourIcon(), generatedDir.filePath("icon.png"));
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QImage icon =
                size == 32 ? datagen::sixteenColourIcon() : datagen::paintIcon(size);
            ok &= writePng(icon, generatedDir.filePath(
                                     QString("icons/hicolor/%1x%1/apps/morvane.png").arg(size)));
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "morvane_datagen: %s\n", e.what());
        return 1;
    }
    return ok ? 0 : 1;
}
