// Morvane: the picture puzzle game. Starts the one main window.
#include "frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvane"));
    QApplication::setApplicationVersion(QStringLiteral("1.3"));
    // Named after the installed desktop entry: Wayland desktops find the window's icon and
    // name through it (the xdg-shell app id), X11 desktops through StartupWMClass.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.morvane.Morvane"));
    // The level files lie next to the executable.
    morvane::frmMain window(QCoreApplication::applicationDirPath());
    window.start();
    return app.exec();
}
