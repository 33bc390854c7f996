// The real game on a real Wayland compositor (sway, headless): the start-up board read back
// with grim, a swap and a turn made with a virtual pointer, a level chosen with the keyboard,
// and what the game does to its own window: the size File > Open gives a floating window, the
// tiled window, the window hidden and shown again, and the About box and the file-open form
// over the main window.
#include "WaylandSession.h"

#include "game/LevelTable.h"
#include "tests/support/BoardPictures.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace morvane;
using namespace morvane::test;

namespace {

const QString BinDir = QStringLiteral(MORVANE_BIN_DIR);
constexpr int BoardWidth = 640;
constexpr int BoardHeight = 490;

} // namespace

class WaylandTest : public QObject {
    Q_OBJECT

    WaylandSession w;
    LevelTable table;
    BoardPictures board{table, BinDir};
    SwayWindow window;
    int turnedPlace = 0; // the level-3 place turned by the right button

    // The place shows the tile the level deals there, mirrored as dealt.
    bool showsItsDeal(const QImage &screen, int level, int place) const
    {
        const uint8_t t = table(level, place).StartContent;
        const bool mirrored = table(level, t).Flipped, horizontal = table(level, t).FlipAxis == 'H';
        return board.shows(screen, level, place, t, mirrored && horizontal, mirrored && !horizontal);
    }

    // The screen as soon as `ready` holds for it, or the last one after `timeoutMs`: the game
    // runs in its own process and a busy machine may take a while to show a move.
    QImage screenWhen(const std::function<bool(const QImage &)> &ready, int timeoutMs = 20000)
    {
        QElapsedTimer clock;
        clock.start();
        QImage screen = w.screenshot();
        while (!ready(screen) && clock.elapsed() < timeoutMs) {
            w.settle(250);
            screen = w.screenshot();
        }
        return screen;
    }
    void clickPlace(int level, int place, const QString &button = QStringLiteral("left"))
    {
        w.click(board.placeOnScreen(level, place).center(), button);
    }
    void keys(const QStringList &combos)
    {
        for (const QString &combo : combos)
            QVERIFY2(w.input(QStringLiteral("key ") + combo), qPrintable(combo));
    }
    void locateBoard(const QString &caption)
    {
        const std::optional<SwayWindow> found = w.findWindow(caption);
        QVERIFY2(found, qPrintable(caption));
        window = *found;
        // The board fills the window below the menu bar.
        board.origin = QPoint(window.rect.left(), window.rect.bottom() + 1 - BoardHeight);
    }
    // The pointer away from the pieces, so that no hover glow colours a frame.
    void pointerAway() { w.input(QStringLiteral("move 2 2")); }

private slots:
    void initTestCase()
    {
        QVERIFY(readLevelFile(QDir(BinDir).filePath("Levels.res"), table));
        const QString why = w.start(QStringLiteral(MORVANE_SWAY_CONFIG));
        if (!why.isEmpty())
            QSKIP(qPrintable(QStringLiteral("no Wayland compositor to test on: ") + why));
        QVERIFY2(w.startInput(QStringLiteral(MORVANE_WLINPUT)), "the virtual pointer and keyboard");
        QVERIFY(w.startGame(QDir(BinDir).filePath("morvane")));
        locateBoard(QStringLiteral("^Morvane - Level 1$"));
    }

    void windowIsKnownToTheDesktop()
    {
        // The app id names the desktop entry, so the desktop shows the game's name and icon.
        QCOMPARE(window.appId, QStringLiteral("org.morvane.Morvane"));
        QVERIFY(QFile::exists(QStringLiteral(MORVANE_SOURCE_DIR "/dist/") + window.appId + ".desktop"));
        QVERIFY(window.floating);
        QCOMPARE(window.rect.width(), BoardWidth);
    }

    void startupBoardShowsTheDealtTiles()
    {
        const QImage screen = screenWhen([&](const QImage &shot) { return board.showsTheDeal(shot, 1); });
        for (int j = 1; j <= 18; ++j) {
            const double d = board.distance(screen, 1, j, table(1, j).StartContent);
            QVERIFY2(d < 6, qPrintable(QStringLiteral("place %1 differs by %2").arg(j).arg(d)));
        }
    }

    void swapByPointer()
    {
        const uint8_t a = table(1, 2).StartContent, b = table(1, 9).StartContent;
        clickPlace(1, 2);
        clickPlace(1, 9);
        const QImage screen = screenWhen([&](const QImage &shot) {
            return board.shows(shot, 1, 2, b) && board.shows(shot, 1, 9, a);
        });
        QVERIFY(board.shows(screen, 1, 2, b));
        QVERIFY(board.shows(screen, 1, 9, a));
        // And back: the board as dealt again.
        clickPlace(1, 9);
        clickPlace(1, 2);
        pointerAway();
        QVERIFY(board.showsTheDeal(screenWhen([&](const QImage &shot) { return board.showsTheDeal(shot, 1); }), 1));
    }

    void levelChosenByKeyboardAndATurnByRightButton()
    {
        // Alt+L opens the Level menu; the third item is level 3.
        keys({QStringLiteral("alt+l"), QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")});
        locateBoard(QStringLiteral("^Morvane - Level 3$"));
        int mirroredPlace = 0;
        for (int j = 1; j <= 18 && !mirroredPlace; ++j)
            if (table(3, table(3, j).StartContent).Flipped)
                mirroredPlace = j;
        QVERIFY(mirroredPlace);
        const uint8_t t = table(3, mirroredPlace).StartContent;
        const bool horizontal = table(3, t).FlipAxis == 'H';
        QImage screen = screenWhen([&](const QImage &shot) {
            return board.shows(shot, 3, mirroredPlace, t, horizontal, !horizontal);
        });
        QVERIFY(board.shows(screen, 3, mirroredPlace, t, horizontal, !horizontal));
        clickPlace(3, mirroredPlace, QStringLiteral("right"));
        turnedPlace = mirroredPlace;
        screen = screenWhen([&](const QImage &shot) { return board.shows(shot, 3, mirroredPlace, t); });
        QVERIFY(board.shows(screen, 3, mirroredPlace, t));
    }

    void aboutBoxIsModalOverTheMainWindow()
    {
        const SwayWindow main = window;
        keys({QStringLiteral("alt+h"), QStringLiteral("Return")});
        const std::optional<SwayWindow> about = w.findWindow(QStringLiteral("^About Morvane$"));
        QVERIFY(about);
        QVERIFY(about->floating && about->focused);
        QVERIFY(main.rect.contains(about->rect.center()));
        // Modal: two clicks on the board beside the box swap nothing.
        QList<int> free;
        for (int j = 1; j <= 18; ++j)
            if (j != turnedPlace && !about->rect.contains(board.placeOnScreen(3, j).center()))
                free.append(j);
        QVERIFY(free.size() >= 2);
        clickPlace(3, free.first());
        clickPlace(3, free.last());
        // The click gave the main window the focus and raised it over the box; the game hands
        // the focus back to the box, which rises again, so the game does not look frozen.
        QElapsedTimer clock;
        clock.start();
        bool boxFocused = false;
        while (!boxFocused && clock.elapsed() < 10000) {
            w.settle(100);
            for (const SwayWindow &shown : w.windows())
                boxFocused = boxFocused || (shown.name == QStringLiteral("About Morvane") && shown.focused);
        }
        QVERIFY2(boxFocused, "the About box has the focus again");
        keys({QStringLiteral("Escape")});
        QVERIFY(w.windowGone(QStringLiteral("^About Morvane$")));
        pointerAway();
        w.settle(500);
        const QImage screen = w.screenshot();
        for (const int j : {free.first(), free.last()})
            QVERIFY2(showsItsDeal(screen, 3, j), qPrintable(QStringLiteral("place %1 changed").arg(j)));
    }

    // The board fills the window: the picture area spans 20/640 to 620/640 of the board's
    // width and 20/490 to 470/490 of its height, the pieces' blue frames on those edges and
    // background beyond them. Returns what is wrong, or nothing.
    QString boardFillsTheWindow(const QImage &screen, int menu) const
    {
        const QPoint corner = window.rect.topLeft() + QPoint(0, menu);
        const int width = window.rect.width(), height = window.rect.height() - menu;
        auto blue = [&](int px, int py) {
            const QColor c(screen.pixel(corner + QPoint(px, py)));
            return c.blue() > 200 && c.red() < 60 && c.green() < 60;
        };
        auto blueNear = [&](int px, int py, bool vertical) {
            for (int d = -1; d <= 1; ++d)
                if (vertical ? blue(px + d, py) : blue(px, py + d))
                    return true;
            return false;
        };
        const int left = width * 20 / 640, right = width * 620 / 640 - 1;
        const int top = height * 20 / 490, bottom = height * 470 / 490 - 1;
        for (const int py : {top + 30, height / 2, bottom - 30}) {
            if (!blueNear(left, py, true) || !blueNear(right, py, true))
                return QStringLiteral("no frame at the picture's left or right edge, y %1").arg(py);
            if (blue(left - 8, py) || blue(right + 8, py))
                return QStringLiteral("a frame outside the picture area, y %1").arg(py);
        }
        // Away from the middle: the piece turned on level 3 glows there.
        for (const int px : {left + 30, width * 3 / 4, right - 30})
            if (!blueNear(px, top, false) || !blueNear(px, bottom, false))
                return QStringLiteral("no frame at the picture's top or bottom edge, x %1").arg(px);
        return QString();
    }
    QString boardFillsTheWindowSoon(int menu)
    {
        QString wrong;
        QElapsedTimer clock;
        clock.start();
        do {
            w.settle(250);
            wrong = boardFillsTheWindow(w.screenshot(), menu);
        } while (!wrong.isEmpty() && clock.elapsed() < 10000);
        return wrong;
    }
    void setFloating(bool floating)
    {
        QVERIFY(!w.swaymsg({QStringLiteral("[app_id=org.morvane.Morvane]"), QStringLiteral("floating"),
                            floating ? QStringLiteral("enable") : QStringLiteral("disable")}).isEmpty());
    }

    void tiledWindowBoardFollows()
    {
        // Tiled, the compositor gives the window the whole output; the board follows it.
        const int menu = window.rect.height() - BoardHeight;
        setFloating(false);
        QElapsedTimer clock;
        clock.start();
        do {
            w.settle(200);
            locateBoard(QStringLiteral("^Morvane - Level 3$"));
        } while (window.rect.width() != 1280 && clock.elapsed() < 10000);
        QCOMPARE(window.rect.size(), QSize(1280, 900));
        pointerAway();
        const QString wrong = boardFillsTheWindowSoon(menu);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        setFloating(true);
    }

    void hiddenAndShownAgainKeepsTheBoard()
    {
        // sway has no minimised state; its scratchpad hides a window much the same way: the
        // window leaves the screen and the game is not told. Shown again, sway gives it a size
        // of its own choosing (half the output's width, three quarters of its height).
        locateBoard(QStringLiteral("^Morvane - Level 3$"));
        const int menu = window.rect.height() - BoardHeight;
        const QRect before = window.rect;
        const QImage shown = w.screenshot().copy(before);
        QVERIFY(!w.swaymsg({QStringLiteral("[app_id=org.morvane.Morvane]"), QStringLiteral("move"),
                            QStringLiteral("scratchpad")}).isEmpty());
        w.settle(500);
        QVERIFY2(difference(w.screenshot().copy(before), shown) > 10, "the window left the screen");
        QVERIFY(!w.swaymsg({QStringLiteral("[app_id=org.morvane.Morvane]"), QStringLiteral("scratchpad"),
                            QStringLiteral("show")}).isEmpty());
        w.settle(500);
        locateBoard(QStringLiteral("^Morvane - Level 3$"));
        const QString wrong = boardFillsTheWindowSoon(menu);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }

    void fileOpenFitsTheFloatingWindowToThePicture()
    {
        // The form opens on the game's working folder: start the game where our picture lies.
        QTemporaryDir folder;
        QImage picture(300, 200, QImage::Format_RGB32);
        for (int py = 0; py < 200; ++py)
            for (int px = 0; px < 300; ++px)
                picture.setPixel(px, py, qRgb(px % 256, py, (px * py) % 256));
        QVERIFY(picture.save(folder.filePath("aa-first.jpg"), "JPEG"));
        QVERIFY(picture.save(folder.filePath("bb-second.bmp"), "BMP"));
        w.stopGame();
        QVERIFY(w.startGame(QDir(BinDir).filePath("morvane"), folder.path()));
        // Keys go to the focused window: wait until the new window has the focus.
        QElapsedTimer clock;
        clock.start();
        do {
            locateBoard(QStringLiteral("^Morvane - Level 1$"));
        } while (!window.focused && clock.elapsed() < 10000 && (w.settle(100), true));
        QVERIFY(window.focused);
        w.settle(300);
        const SwayWindow main = window;
        const int menu = main.rect.height() - BoardHeight;

        keys({QStringLiteral("alt+f"), QStringLiteral("Return")});
        const std::optional<SwayWindow> form = w.findWindow(QStringLiteral("^Open image file$"));
        QVERIFY(form);
        // The form floats over the main window and takes the keyboard.
        QVERIFY(form->floating && form->focused);
        QVERIFY(main.rect.contains(form->rect.center()));
        // Tab from OK past the drive and folder lists to the files; down and up again to select
        // the first file, and Enter to take it.
        w.settle(500);
        keys({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Down"),
              QStringLiteral("Up")});
        keys({QStringLiteral("Return")});
        QVERIFY(w.windowGone(QStringLiteral("^Open image file$")));
        // The window fits the 300 x 200 picture: 340 x 240 of board. Wait past the moment the
        // compositor answers the form's closing, which once put the old size back.
        locateBoard(QStringLiteral("^Morvane$"));
        w.settle(1000);
        locateBoard(QStringLiteral("^Morvane$"));
        if (window.rect.size() != QSize(340, menu + 240))
            w.screenshot().save(QDir::temp().filePath(QStringLiteral("morvane-wayland-open.png")));
        QCOMPARE(window.rect.size(), QSize(340, menu + 240));
        // And the board fills it: the picture's frame stands 20 px inside the board's edges.
        const QImage screen = w.screenshot();
        const QPoint corner = window.rect.topLeft() + QPoint(0, menu);
        const QColor frame(screen.pixel(corner + QPoint(20, 120))), outside(screen.pixel(corner + QPoint(12, 120)));
        QVERIFY2(frame.blue() > 200 && frame.red() < 60 && frame.green() < 60, "the left frame of the picture");
        QVERIFY2(outside.blue() < 200 || outside.red() > 60, "background left of the picture");
    }

};

QTEST_MAIN(WaylandTest)
#include "tst_wayland.moc"
