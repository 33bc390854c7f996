// The installed game on a virtual X server: started through its launcher, it must deal the
// level-1 board from its installed level files. Run by check_package.sh with
//   MORVANE_INSTALLED_GAME (the launcher) and MORVANE_INSTALLED_DATA (the folder of its files).
#include "tests/e2e/XSession.h"
#include "tests/support/BoardPictures.h"

#include <QElapsedTimer>
#include <QTest>

using namespace morvane;
using namespace morvane::test;

class InstalledBoardTest : public QObject {
    Q_OBJECT

    XSession x;
    LevelTable table;
    QString data = qEnvironmentVariable("MORVANE_INSTALLED_DATA");
    BoardPictures board{table, data};

private slots:
    void initTestCase()
    {
        const QString game = qEnvironmentVariable("MORVANE_INSTALLED_GAME");
        if (game.isEmpty() || data.isEmpty())
            QSKIP("MORVANE_INSTALLED_GAME and MORVANE_INSTALLED_DATA name the installed game");
        QVERIFY2(readLevelFile(QDir(data).filePath("Levels.res"), table),
                 "the installed level table");
        QVERIFY2(x.start(), "Xvfb must start");
        // Started from the root folder: the game must find its files beside itself, not here.
        QVERIFY(x.startGame(game, QStringLiteral("/")));
    }

    void launcherDealsTheFirstLevel()
    {
        const QString window = x.findWindow(QStringLiteral("^Morvane - Level 1$"));
        QVERIFY2(!window.isEmpty(), "the game's window");
        const QRect geometry = x.windowGeometry(window);
        QCOMPARE(geometry.width(), 640);
        board.origin = QPoint(geometry.left(), geometry.bottom() + 1 - 490);
        QElapsedTimer clock;
        clock.start();
        QImage screen = x.screenshot();
        while (!board.showsTheDeal(screen, 1) && clock.elapsed() < 30000) {
            x.settle(250);
            screen = x.screenshot();
        }
        for (int j = 1; j <= 18; ++j) {
            const double d = board.distance(screen, 1, j, table(1, j).StartContent);
            QVERIFY2(d < 6, qPrintable(QStringLiteral("place %1 differs by %2").arg(j).arg(d)));
        }
    }
};

QTEST_MAIN(InstalledBoardTest)
#include "tst_installed_board.moc"
