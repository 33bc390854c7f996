// File > Open: from OK in the file-open form to the dealt board painted, for a photo-like
// 4000 x 3000 JPEG (in sRGB and in Display P3), and for a 108-megapixel JPEG (also tagged to be
// seen turned, as a phone writes it) and an 80-megapixel PNG with the peak memory of a fresh game
// process that opens each of them once.
#include "BenchWindow.h"
#include "PhotoLike.h"
#include "Timing.h"
#include "WindowSizes.h"
#include "game/Game.h"

#include <QApplication>
#include <QColorSpace>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

using namespace morvane;
using namespace morvane::bench;

namespace {

// A drawing-like picture, as a big PNG usually is (a map, a scan of a poster, a screenshot of a
// wall of screens): gradient bands and flat opaque shapes.
QImage drawingLike(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient band(0, 0, 0, size.height() / 8);
    band.setColorAt(0, QColor(250, 245, 230));
    band.setColorAt(1, QColor(200, 215, 235));
    band.setSpread(QGradient::ReflectSpread);
    painter.fillRect(image.rect(), band);
    QRandomGenerator random(11);
    painter.setPen(QPen(Qt::black, 3));
    const QColor fills[] = {QColor(200, 60, 50), QColor(60, 140, 70), QColor(50, 90, 180),
                            QColor(230, 180, 40)};
    for (int i = 0; i < 4000; ++i) {
        painter.setBrush(fills[random.bounded(4)]);
        painter.drawRect(random.bounded(size.width()), random.bounded(size.height()),
                         random.bounded(20, 200), random.bounded(20, 200));
    }
    return image;
}

QString save(const QImage &image, const QString &path, const char *format, int quality)
{
    QImageWriter writer(path, format);
    writer.setQuality(quality);
    if (!writer.write(image))
        std::fprintf(stderr, "bench_open: %s not written\n", qPrintable(path));
    return path;
}

// The same JPEG with an EXIF block saying "turn a quarter clockwise to see it", as a phone
// writes for a photo taken upright.
QString turnedCopy(const QString &jpeg, const QString &path)
{
    QFile in(jpeg);
    QFile out(path);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return path;
    const QByteArray bytes = in.readAll();
    // "Exif", the big-endian header, one entry: orientation (0x112), one short, 6.
    const QByteArray exif = QByteArray("Exif\0\0MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01"
                                       "\0\x06\0\0\0\0\0\0",
                                       32);
    const int length = exif.size() + 2;
    out.write(bytes.left(2) + QByteArray("\xFF\xE1", 2) + char(length >> 8) + char(length & 0xFF)
              + exif + bytes.mid(2));
    return path;
}

// One Open of `path` in this fresh process, as the player's first Open after start-up.
int openOnce(const QString &path, const QByteArray &key)
{
    BenchWindow window(QStringLiteral(MORVANE_BIN_DIR));
    window.openChoice = path;
    startAt(window, StartSize);
    const double started = peakMiB();
    const double ms = timeMs([&] {
        window.openCommand().run();
        window.repaint();
    });
    if (window.game().CurrentLevel != 0) {
        std::fprintf(stderr, "bench_open: %s did not open\n", qPrintable(path));
        return 1;
    }
    report((key + ".ms").constData(), ms, "ms");
    report((key + ".peak").constData(), peakMiB(), "MiB");
    report((key + ".startpeak").constData(), started, "MiB");
    return 0;
}

// Runs openOnce in fresh processes, so that no earlier picture counts in the peak; passes its
// result lines on, with the median time and the highest peak over `runs`.
void openInFreshProcesses(const QString &path, const QByteArray &key, int runs)
{
    std::vector<double> times;
    double peak = 0, startPeak = 0;
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("once"), path, QString::fromLatin1(key)});
        child.waitForFinished(-1);
        for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> words = line.split(' ');
            if (words.size() < 3 || words[0] != "RESULT")
                continue;
            const double value = words[2].toDouble();
            if (words[1] == key + ".ms")
                times.push_back(value);
            else if (words[1] == key + ".peak")
                peak = std::max(peak, value);
            else if (words[1] == key + ".startpeak")
                startPeak = std::max(startPeak, value);
        }
    }
    if (times.empty())
        return;
    report((key + ".ms").constData(), median(times), "ms");
    report((key + ".peak").constData(), peak, "MiB");
    report((key + ".startpeak").constData(), startPeak, "MiB");
    report((key + ".filemib").constData(), double(QFile(path).size()) / (1024 * 1024), "MiB");
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "once")
        return openOnce(QString::fromLocal8Bit(argv[2]), argv[3]);

    QTemporaryDir folder;
    {
        // The same photo twice: as an sRGB camera writes it and with a Display P3 profile, as a
        // phone does, which the game converts to sRGB before it is cut. Opened in turn, so that
        // the machine's load weighs on both alike.
        const QImage photo = photoLike(QSize(4000, 3000));
        const QString srgb =
            save(photo, folder.filePath(QStringLiteral("photo-4000x3000.jpg")), "JPEG", 90);
        QImage wide = photo;
        wide.setColorSpace(QColorSpace(QColorSpace::DisplayP3));
        const QString p3 =
            save(wide, folder.filePath(QStringLiteral("photo-4000x3000-p3.jpg")), "JPEG", 90);
        BenchWindow window(QStringLiteral(MORVANE_BIN_DIR));
        startAt(window, StartSize);
        Game &game = window.game();

        std::vector<double> srgbTimes, p3Times;
        for (int run = 0; run < 18; ++run) {
            // Each Open starts from level 1 at the start size, as a player's first Open does.
            game.LevelCommand(1);
            settle(100);
            window.openChoice = run % 2 ? p3 : srgb;
            (run % 2 ? p3Times : srgbTimes).push_back(timeMs([&] {
                window.openCommand().run();
                window.repaint();
            }));
        }
        if (game.CurrentLevel != 0)
            std::fprintf(stderr, "bench_open: the picture did not open\n");
        report("open.jpeg4000x3000", median(srgbTimes), "ms");
        report("open.jpeg4000x3000p3", median(p3Times), "ms");
    }

    // The big pictures are written here, in the parent, so that making them costs the measured
    // processes nothing.
    const QString jpeg = save(photoLike(QSize(12000, 9000)),
                              folder.filePath(QStringLiteral("photo-12000x9000.jpg")), "JPEG", 90);
    openInFreshProcesses(jpeg, "open.jpeg12000x9000", 3);
    openInFreshProcesses(turnedCopy(jpeg, folder.filePath(QStringLiteral("turned-12000x9000.jpg"))),
                         "open.jpeg12000x9000turned", 3);
    const QString png = save(drawingLike(QSize(10328, 7746)),
                             folder.filePath(QStringLiteral("drawing-10328x7746.png")), "PNG", 50);
    openInFreshProcesses(png, "open.png10328x7746", 3);
    return 0;
}
