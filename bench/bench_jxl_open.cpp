// A 12-megapixel JPEG XL opened as the game opens an own picture: through QImageReader with our
// decoder, asked for the size that fits the largest board picture; time and peak memory.
#include "Timing.h"
#include "import/jxl/JxlImageIO.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QtPlugin>

#include <cstdio>

Q_IMPORT_PLUGIN(MorvaneJxlPlugin)

using namespace morvane::bench;

namespace {

const QSize largestPicture(2136, 2098); // the largest picture the game keeps

// Photo-like: a smooth sky under many soft translucent shapes and a little grain, so that the
// encoder has the detail of a real photo to code rather than flat colour.
QImage photoLike(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, size.width(), size.height());
    sky.setColorAt(0, QColor(50, 100, 160));
    sky.setColorAt(1, QColor(220, 180, 110));
    painter.fillRect(image.rect(), sky);
    QRandomGenerator random(12);
    painter.setPen(Qt::NoPen);
    const int unit = std::max(1, size.width() / 800);
    for (int i = 0; i < 30000; ++i) {
        painter.setBrush(
            QColor::fromRgb(random.bounded(256), random.bounded(256), random.bounded(256), 140));
        painter.drawEllipse(QPointF(random.bounded(size.width()), random.bounded(size.height())),
                            random.bounded(unit, 12 * unit), random.bounded(unit, 12 * unit));
    }
    painter.end();
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int grain = int(random.bounded(9)) - 4;
            const QRgb p = line[x];
            line[x] =
                qRgb(std::clamp(qRed(p) + grain, 0, 255), std::clamp(qGreen(p) + grain, 0, 255),
                     std::clamp(qBlue(p) + grain, 0, 255));
        }
    }
    return image;
}

// One open of `path` in this fresh process: the header's size, fitted, then the pixels.
int openOnce(const QString &path)
{
    const double started = peakMiB();
    QImage image;
    QSize shown;
    const double ms = timeMs([&] {
        QImageReader reader(path, "morvane-jxl");
        reader.setAutoDetectImageFormat(false);
        shown = reader.size();
        const QSize fitted = shown.boundedTo(largestPicture) == shown
                                 ? shown
                                 : shown.scaled(largestPicture, Qt::KeepAspectRatio);
        reader.setScaledSize(fitted);
        image = reader.read();
    });
    if (image.isNull()) {
        std::fprintf(stderr, "bench_jxl_open: %s did not open\n", qPrintable(path));
        return 1;
    }
    std::printf("# %s: %d x %d shown, delivered %d x %d\n", qPrintable(path), shown.width(),
                shown.height(), image.width(), image.height());
    report("jxl.ms", ms, "ms");
    report("jxl.peak", peakMiB(), "MiB");
    report("jxl.startpeak", started, "MiB");
    return 0;
}

// Opens `path` once in each of `runs` fresh processes: the median time, the highest peak.
int openInFreshProcesses(const QString &path, int runs)
{
    std::vector<double> times;
    double peak = 0, startPeak = 0;
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("once"), path});
        child.waitForFinished(-1);
        for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> words = line.split(' ');
            if (words.size() < 3 || words[0] != "RESULT")
                continue;
            const double value = words[2].toDouble();
            if (words[1] == "jxl.ms")
                times.push_back(value);
            else if (words[1] == "jxl.peak")
                peak = std::max(peak, value);
            else if (words[1] == "jxl.startpeak")
                startPeak = std::max(startPeak, value);
        }
    }
    if (times.empty())
        return 1;
    report("jxl.ms", median(times), "ms");
    report("jxl.peak", peak, "MiB");
    report("jxl.startpeak", startPeak, "MiB");
    return 0;
}

} // namespace

// bench_jxl_open picture OUT.png   writes the photo-like 4000 x 3000 picture to encode
// bench_jxl_open FILE.jxl          opens it in three fresh processes
// bench_jxl_open once FILE.jxl     opens it once in this process
int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 2 && args[0] == QLatin1String("picture"))
        return photoLike(QSize(4000, 3000)).save(args[1], "PNG") ? 0 : 1;
    if (args.size() == 2 && args[0] == QLatin1String("once"))
        return openOnce(args[1]);
    if (args.size() == 1)
        return openInFreshProcesses(args[0], 3);
    std::fprintf(stderr, "usage: bench_jxl_open picture OUT.png | FILE.jxl | once FILE.jxl\n");
    return 2;
}
