// Real photos of today's formats in the real game on a virtual X server: each opened from the
// file-open form, dealt upright in a window of its proportions, and played to its finished
// picture by mouse; and each dropped on the window from another program.
#include "OwnBoardReader.h"
#include "XSession.h"

#include "../support/BoardSolver.h"

#include "game/LevelTable.h"
#include "import/PictureLoader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace morvane;
using namespace morvane::test;

namespace {

const QString BinDir = QStringLiteral(MORVANE_BIN_DIR);

QString testFile(const QString &name)
{
    return QDir(QStringLiteral(MORVANE_TEST_DATA_DIR)).filePath(name);
}

} // namespace

class PhotosEndToEndTest : public QObject {
    Q_OBJECT

    XSession x;
    LevelTable table;
    int menuBarHeight = 0;

    QImage screenWhen(const std::function<bool(const QImage &)> &ready, int timeoutMs = 20000)
    {
        return x.screenWhen(ready, timeoutMs);
    }
    // Where the board stands on the screen: the window below its menu bar.
    QRect boardArea(const QString &window)
    {
        const QRect geometry = x.windowGeometry(window);
        return geometry.adjusted(0, menuBarHeight, 0, 0);
    }
    // Starts the game in a folder that holds `file` as the form's first file, a bitmap after it.
    QString startBeside(const QString &file, QTemporaryDir &folder)
    {
        const QString copy = folder.filePath(QStringLiteral("aa-") + QFileInfo(file).fileName());
        QImage other(40, 30, QImage::Format_RGB32);
        other.fill(Qt::darkGreen);
        if (!QFile::copy(file, copy)
            || !other.save(folder.filePath(QStringLiteral("zz-other.bmp"))))
            return {};
        x.stopGame();
        if (!x.windowGone(QStringLiteral("^Morvane"))
            || !x.startGame(QDir(BinDir).filePath("morvane"), folder.path()))
            return {};
        const QString window = x.findWindow(QStringLiteral("^Morvane - Level 1$"));
        if (!window.isEmpty())
            menuBarHeight = x.windowGeometry(window).height() - 490;
        x.settle(500);
        return window;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(readLevelFile(QDir(BinDir).filePath("Levels.res"), table));
        QVERIFY2(x.start(), "Xvfb must start");
    }

    void cleanup() { x.stopGame(); }

    // A photo of each kind, each with a turn or mirror of its own to be seen upright.
    void aPhotoIsDealtUprightAndPlayedToItsFinishedPicture_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("portrait"); // as it is meant to be seen
        photoRows();
    }
    void aPhotoIsDealtUprightAndPlayedToItsFinishedPicture()
    {
        QFETCH(QString, file);
        QFETCH(bool, portrait);
        QTemporaryDir folder;
        QString window = startBeside(testFile(file), folder);
        QVERIFY(!window.isEmpty());

        // File, Open; Tab from OK past the drive and folder lists to the files; down and up
        // again to select the first file, and Enter to take it.
        x.keys(window, {QStringLiteral("alt+f"), QStringLiteral("Return")});
        const QString form = x.findWindow(QStringLiteral("^Open image file$"));
        QVERIFY(!form.isEmpty());
        x.keys(form, {QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"),
                      QStringLiteral("Down"), QStringLiteral("Up"), QStringLiteral("Return")});
        QVERIFY(x.windowGone(QStringLiteral("^Open image file$")));
        window = x.findWindow(QStringLiteral("^Morvane$"));
        QVERIFY2(!window.isEmpty(), "the photo opens");
        const QRect area = boardArea(window);
        QCOMPARE(area.height() > area.width(), portrait);

        // The picture as the game cuts it, and the board read back from the screen.
        const OwnBoardReader reader(table, loadPicture(testFile(file)), area);
        OwnBoard board;
        QString why;
        screenWhen([&](const QImage &shot) {
            why.clear();
            board = reader.read(shot, &why);
            return board.templateLevel != 0;
        });
        QVERIFY2(board.templateLevel != 0,
                 qPrintable("every place shows a tile of the upright photo: " + why));
        const int level = board.templateLevel;
        auto click = [&](int place, int button) {
            x.click(reader.placeOnScreen(level, place).center(), button);
        };
        // Swaps until the screen shows every tile at home: a plain part of a photo may be taken
        // for another tile at first, which the board read again after the swaps shows.
        auto home = [&] {
            for (int place = 1; place <= 18; ++place)
                if (board.tile[size_t(place)] != place)
                    return false;
            return true;
        };
        for (int round = 0; round < 3 && !home(); ++round) {
            solveBoard({[&](int place) { return board.tile[size_t(place)]; },
                        [&](int place, int other) {
                            click(place, 1);
                            click(other, 1);
                            std::swap(board.tile[size_t(place)], board.tile[size_t(other)]);
                        }});
            // What each place shows now, once the swaps and what hides after them are over.
            screenWhen([&](const QImage &shot) {
                const OwnBoard now = reader.readAs(shot, level);
                if (now.templateLevel == 0)
                    return false;
                board = now;
                return home();
            });
        }
        for (int place = 1; place <= 18; ++place) {
            QCOMPARE(board.tile[size_t(place)], place);
            if (board.mirrored[size_t(place)])
                click(place, 3);
        }
        const QImage finished =
            screenWhen([&](const QImage &shot) { return reader.showsTheWholePicture(shot); });
        QVERIFY2(reader.showsTheWholePicture(finished), "the finished picture, upright");
    }

    // Dropped from a file manager, each kind opens as from the form.
    void aPhotoDroppedFromAnotherProgram_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("portrait");
        photoRows();
        // Letters on a clear ground, stored as a landscape and turned by irot: too plain to be
        // read back tile by tile, so it is dropped here and played offscreen only.
        QTest::newRow("AVIF, turned") << "heif/libavif-abc_color_irot_alpha_irot.avif" << true;
    }
    void aPhotoDroppedFromAnotherProgram()
    {
        QFETCH(QString, file);
        QFETCH(bool, portrait);
        QTemporaryDir folder;
        const QString window = startBeside(testFile(file), folder);
        QVERIFY(!window.isEmpty());
        QProcess source;
        source.setProcessEnvironment(x.environment());
        source.start(QDir(QCoreApplication::applicationDirPath()).filePath("drag_source"),
                     {folder.filePath(QStringLiteral("aa-") + QFileInfo(file).fileName())});
        QVERIFY(source.waitForStarted(5000));
        const QString sourceWindow = x.findWindow(QStringLiteral("^Drag source$"));
        QVERIFY(!sourceWindow.isEmpty());
        x.settle(300);
        x.drag(x.windowGeometry(sourceWindow).center(), x.windowGeometry(window).center());
        const QString own = x.findWindow(QStringLiteral("^Morvane$"));
        source.kill();
        source.waitForFinished(3000);
        QVERIFY2(!own.isEmpty(), "the dropped photo opens");
        const QRect area = boardArea(own);
        QCOMPARE(area.height() > area.width(), portrait);
    }

private:
    static void photoRows()
    {
        QTest::newRow("iPhone HEIC, tiled, turned") << "heif/pillow-heif-arrow.heic" << true;
        // Stored as a portrait, transposed by its orientation to a landscape.
        QTest::newRow("JPEG XL photo, transposed")
            << "jxl/conformance-bench_oriented_brg.jxl" << false;
    }
};

QTEST_MAIN(PhotosEndToEndTest)
#include "tst_photos_endtoend.moc"
