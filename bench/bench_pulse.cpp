// The selection pulse on the real window at the start size: ticks a second, what each tick
// paints, and the CPU the game's process uses meanwhile.
#include "BenchWindow.h"
#include "Timing.h"
#include "WindowSizes.h"
#include "components/PieceImage.h"

#include <QApplication>
#include <QEventLoop>
#include <QPaintEvent>
#include <QTimer>

using namespace morvane;
using namespace morvane::bench;

namespace {

// Counts the paints of one widget and the pixels they cover.
class PaintCounter : public QObject {
public:
    long long paints = 0;
    long long pixels = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            for (const QRect &r : static_cast<QPaintEvent *>(event)->region())
                pixels += qlonglong(r.width()) * r.height();
        }
        return QObject::eventFilter(watched, event);
    }
};

// Runs the plain event loop, as the game does at rest, for `milliseconds`.
void runEventLoop(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    BenchWindow window(QStringLiteral(MORVANE_BIN_DIR));
    startAt(window, StartSize);
    PieceImage &piece = window.piece(5);
    PaintCounter counter;
    piece.installEventFilter(&counter);
    long long ticks = 0;
    QObject::connect(&window.timBorder(), &QTimer::timeout, [&ticks] { ++ticks; });

    emit piece.Click(5); // as the player's click: the pulse starts
    runEventLoop(500);
    ticks = counter.paints = counter.pixels = 0;
    const double cpuBefore = processCpuMs();
    const double wallMs = timeMs([] { runEventLoop(5000); });
    const double cpuMs = processCpuMs() - cpuBefore;

    report("pulse.ticks", double(ticks) * 1000.0 / wallMs, "per-s");
    report("pulse.paints", ticks ? double(counter.paints) / double(ticks) : 0, "per-tick");
    report("pulse.pixels", counter.paints ? double(counter.pixels) / double(counter.paints) : 0,
           "px");
    report("pulse.piece", double(piece.width()) * piece.height(), "px");
    report("pulse.cpu", 100.0 * cpuMs / wallMs, "%");
    return 0;
}
