// File > Open of a 4000 x 3000 JPEG: from OK in the file-open form to the dealt board painted.
#include "BenchWindow.h"
#include "Timing.h"
#include "WindowSizes.h"
#include "game/Game.h"

#include <QApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

using namespace morvane;
using namespace morvane::bench;

namespace {

// A photograph-like picture: smooth gradients under many small shapes, so that the JPEG has
// the detail (and the decoding cost) of a real photo rather than of a flat colour.
QString writePhotoLikeJpeg(const QString &folder)
{
    QImage image(4000, 3000, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 4000, 3000);
    sky.setColorAt(0, QColor(40, 90, 170));
    sky.setColorAt(1, QColor(230, 190, 120));
    painter.fillRect(image.rect(), sky);
    QRandomGenerator random(7);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 20000; ++i) {
        painter.setBrush(
            QColor::fromRgb(random.bounded(256), random.bounded(256), random.bounded(256), 160));
        painter.drawEllipse(QPointF(random.bounded(4000), random.bounded(3000)),
                            random.bounded(4, 40), random.bounded(4, 40));
    }
    painter.end();
    const QString path = folder + QStringLiteral("/photo-4000x3000.jpg");
    image.save(path, "JPEG", 90);
    return path;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir folder;
    BenchWindow window(QStringLiteral(MORVANE_BIN_DIR));
    window.openChoice = writePhotoLikeJpeg(folder.path());
    startAt(window, StartSize);
    Game &game = window.game();

    std::vector<double> times;
    for (int run = 0; run < 9; ++run) {
        // Each Open starts from level 1 at the start size, as a player's first Open does.
        game.LevelCommand(1);
        settle(100);
        times.push_back(timeMs([&] {
            window.openCommand().run();
            window.repaint();
        }));
    }
    if (game.CurrentLevel != 0)
        std::fprintf(stderr, "bench_open: the picture did not open\n");
    report("open.jpeg4000x3000", median(times), "ms");
    return 0;
}
