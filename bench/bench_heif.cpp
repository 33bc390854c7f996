// Opening a HEIF picture through QImageReader and the HEIF plugin at the size the game asks for
// (fitted into 2136 x 2098): wall time and the process's peak resident memory.
// Usage: bench_heif FILE [OUT.png]   prints "RESULT heif.ms N ms", "RESULT heif.peak N MiB"
//        bench_heif write OUT.png WIDTH HEIGHT [16]   writes a photo-like picture to encode
//        (with 16 bits a channel, for a 10-bit HEIC)
#include "PhotoLike.h"

#include "import/heif/HeifImageIO.h"

#include <QColorSpace>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <QtPlugin>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

Q_IMPORT_PLUGIN(MorvaneHeifPlugin)

namespace {

// The game's largest picture; a bigger one is scaled down into it, keeping its proportions.
QSize fitted(QSize size)
{
    const double scale = std::min({1.0, 2136.0 / size.width(), 2098.0 / size.height()});
    return QSize(std::max(1, int(std::floor(size.width() * scale))),
                 std::max(1, int(std::floor(size.height() * scale))));
}

double peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_heif FILE [OUT.png] | write OUT.png WIDTH HEIGHT\n");
        return 2;
    }
    if (argc >= 5 && qstrcmp(argv[1], "write") == 0) {
        QImageReader::setAllocationLimit(0);
        QImage photo = morvane::bench::photoLike(QSize(atoi(argv[3]), atoi(argv[4])));
        if (argc > 5 && qstrcmp(argv[5], "16") == 0)
            photo.convertTo(QImage::Format_RGBX64);
        return photo.save(argv[2]) ? 0 : 1;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly))
        return 2;
    const double startPeak = peakMiB();
    QElapsedTimer timer;
    timer.start();
    QImageReader reader(&file, "morvane-heif");
    reader.setAutoDetectImageFormat(false);
    reader.setAllocationLimit(256);
    const QSize size = reader.size();
    if (size.isValid() && fitted(size) != size)
        reader.setScaledSize(fitted(size));
    const QImage image = reader.read();
    const double ms = timer.nsecsElapsed() / 1e6;
    std::printf("SIZE %dx%d -> %dx%d %s\n", size.width(), size.height(), image.width(),
                image.height(), qPrintable(image.colorSpace().description()));
    std::printf(
        "RESULT heif.ms %.1f ms\nRESULT heif.peak %.1f MiB\nRESULT heif.startpeak %.1f MiB\n", ms,
        peakMiB(), startPeak);
    if (argc > 2 && !image.isNull())
        image.save(QString::fromLocal8Bit(argv[2]));
    return image.isNull() ? 1 : 0;
}
