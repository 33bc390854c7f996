// The game's start-up exactly as main() runs it, marking the first paint of the dealt board.
// Argument "--stay" keeps it running afterwards.
#include "StartupProbe.h"
#include "app/frmMain.h"
#include "components/BoardArea.h"

#include <QApplication>

#include <cstring>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvane"));
    QApplication::setApplicationVersion(QStringLiteral("1.3"));
    QGuiApplication::setDesktopFileName(QStringLiteral("morvane"));
    morvane::frmMain window(QStringLiteral(MORVANE_BIN_DIR));
    window.start();
    // The start-up has dealt level 1; its first paint on screen is the end mark.
    morvane::bench::StartupProbe probe(&window.board(),
                                       argc > 1 && std::strcmp(argv[1], "--stay") == 0);
    return app.exec();
}
