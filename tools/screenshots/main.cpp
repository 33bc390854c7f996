// Renders the real game's window, levels dealt, into the screenshots the software centres show.
#include "app/frmMain.h"
#include "tools/screenshots/Screenshots.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 3) {
        err << "usage: morvane_screenshots DATA_FOLDER OUTPUT_FOLDER\n";
        return 2;
    }
    const QString data = QString::fromLocal8Bit(argv[1]);
    const QDir output(QString::fromLocal8Bit(argv[2]));
    if (!output.mkpath(QStringLiteral("."))) {
        err << "cannot make " << output.path() << '\n';
        return 1;
    }
    morvane::frmMain window(data);
    window.start(); // deals level 1 before it returns
    for (const morvane::Screenshot &shot : morvane::screenshots()) {
        if (shot.level != window.game().CurrentLevel)
            window.game().LevelCommand(shot.level);
        QApplication::processEvents();
        const QImage picture = window.grab().toImage();
        const QString path = output.filePath(shot.fileName);
        if (window.game().CurrentLevel != shot.level || !picture.save(path, "PNG")) {
            err << "cannot render level " << shot.level << " into " << path << '\n';
            return 1;
        }
    }
    return 0;
}
