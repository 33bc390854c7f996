// Morvane: the picture puzzle game. Starts the one main window.
#include "frmMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvane"));
    QApplication::setApplicationVersion(QStringLiteral("1.3"));
    QGuiApplication::setDesktopFileName(QStringLiteral("morvane"));
    // The level files lie next to the executable.
    morvane::frmMain window(QCoreApplication::applicationDirPath());
    window.start();
    return app.exec();
}
