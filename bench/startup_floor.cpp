// The floor for start-up, memory and idle CPU: a bare main window with a menu bar, built by
// the same toolchain, marking its first paint. Argument "--stay" keeps it running afterwards.
#include "StartupProbe.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

#include <cstring>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Floor"));
    window.menuBar()->addMenu(QStringLiteral("&File"))->addAction(QStringLiteral("Exit"));
    window.menuBar()->addMenu(QStringLiteral("&Level"));
    window.menuBar()->addMenu(QStringLiteral("&Help"));
    auto *central = new QWidget;
    window.setCentralWidget(central);
    window.resize(640, 490 + window.menuBar()->sizeHint().height());
    morvane::bench::StartupProbe probe(central, argc > 1 && std::strcmp(argv[1], "--stay") == 0);
    window.show();
    return app.exec();
}
