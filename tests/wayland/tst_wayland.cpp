// The real game on a real Wayland compositor (sway, headless), read back with grim: input
// through a virtual pointer and keyboard of our own (a swap and a turn by the pointer's buttons,
// a level solved from the keyboard), and what the game does to its own window: the size File >
// Open gives a floating window and a tiled one, the window hidden and shown again, and the About
// box and the file-open form over the main window. The scenarios of play the X11 test shows are
// not repeated here. Every test function starts from a freshly started game that has finished
// dealing level 1, and waits for what it checks to show on the screen or in sway's tree: the
// game runs in its own process, its animations take real time (a deal several seconds) and hold
// its input until they end, and sway answers a change of layout or focus when it gets to it.
#include "WaylandSession.h"

#include "app/OwnSizeKeeper.h"
#include "game/LevelTable.h"
#include "tests/e2e/ScreenChecks.h"
#include "tests/support/BoardPictures.h"
#include "tests/support/BoardSolver.h"
#include "tests/support/KeyboardPlayer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <map>
#include <optional>

using namespace morvane;
using namespace morvane::test;

namespace {

const QString BinDir = QStringLiteral(MORVANE_BIN_DIR);
constexpr int BoardWidth = 640;
constexpr int BoardHeight = 490;
// How long to wait for anything the game or sway should show: generous, as the machine is shared.
constexpr int Patience = 30000;

} // namespace

class WaylandTest : public QObject {
    Q_OBJECT

    WaylandSession w;
    LevelTable table;
    BoardPictures board{table, BinDir};
    SwayWindow window;
    QTemporaryDir pictures; // the game's working folder, with two pictures of the player's own

    // The screen as soon as `ready` holds for it, or the last one after `timeoutMs`: the game
    // runs in its own process and a busy machine may take a while to show a move.
    QImage screenWhen(const std::function<bool(const QImage &)> &ready, int timeoutMs = Patience)
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
        const std::optional<SwayWindow> found = w.findWindow(caption, Patience);
        QVERIFY2(found, qPrintable(caption));
        window = *found;
        // The board fills the window below the menu bar.
        board.origin = QPoint(window.rect.left(), window.rect.bottom() + 1 - BoardHeight);
    }
    // The main window again, by sway's container id: its title changes with the level.
    SwayWindow mainWindowWhen(const std::function<bool(const SwayWindow &)> &ready)
    {
        const std::optional<SwayWindow> found = w.windowWhen(window.id, ready, Patience);
        return found ? *found : SwayWindow{};
    }
    // The window a dialog opened with `pattern` as its title, once it has the keyboard.
    std::optional<SwayWindow> focusedWindow(const QString &pattern)
    {
        const std::optional<SwayWindow> found = w.findWindow(pattern, Patience);
        if (!found)
            return found;
        return w.windowWhen(
            found->id, [](const SwayWindow &shown) { return shown.focused; }, Patience);
    }
    // sway's command for the main window alone (a dialog of the game shares its app id).
    bool swayOnMainWindow(const QStringList &command)
    {
        return !w.swaymsg(QStringList{QStringLiteral("[con_id=%1]").arg(window.id)} + command)
                    .isEmpty();
    }
    // File > Open: the form, and the keys that choose the first picture in it.
    std::optional<SwayWindow> openTheForm()
    {
        keys({QStringLiteral("alt+f"), QStringLiteral("Return")});
        return focusedWindow(QStringLiteral("^Open image file$"));
    }
    void chooseTheFirstPicture()
    {
        // Tab from OK past the drive and folder lists to the files; down and up again to select
        // the first file, and Enter to take it. The keys reach the form in this order.
        keys({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"),
              QStringLiteral("Down"), QStringLiteral("Up")});
        keys({QStringLiteral("Return")});
        QVERIFY(w.windowGone(QStringLiteral("^Open image file$")));
        locateBoard(QStringLiteral("^Morvane$"));
    }

    // The pointer away from the pieces, so that no hover glow colours a frame.
    void pointerAway() { w.input(QStringLiteral("move 2 2")); }

    // A game of its own for every test function: started in the pictures' folder, floating,
    // focused, and done dealing level 1.
    void startFreshGame()
    {
        w.stopGame();
        QVERIFY2(w.windowGone(QString(), Patience), "the last game's windows are gone");
        pointerAway();
        QVERIFY(w.startGame(QDir(BinDir).filePath("morvane"), pictures.path()));
        locateBoard(QStringLiteral("^Morvane - Level 1$"));
        window = mainWindowWhen([](const SwayWindow &shown) { return shown.focused; });
        QVERIFY2(window.focused, "the new game's window has the keyboard");
        QVERIFY(board.showsTheDeal(
            screenWhen([&](const QImage &shot) { return board.showsTheDeal(shot, 1); }), 1));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(readLevelFile(QDir(BinDir).filePath("Levels.res"), table));
        // File > Open opens its form on the game's working folder: two pictures lie there.
        QImage picture(300, 200, QImage::Format_RGB32);
        for (int py = 0; py < 200; ++py)
            for (int px = 0; px < 300; ++px)
                picture.setPixel(px, py, qRgb(px % 256, py, (px * py) % 256));
        QVERIFY(picture.save(pictures.filePath("aa-first.jpg"), "JPEG"));
        QVERIFY(picture.save(pictures.filePath("bb-second.bmp"), "BMP"));
        const QString why = w.start(QStringLiteral(MORVANE_SWAY_CONFIG));
        if (!why.isEmpty())
            QSKIP(qPrintable(QStringLiteral("no Wayland compositor to test on: ") + why));
        QVERIFY2(w.startInput(QStringLiteral(MORVANE_WLINPUT)), "the virtual pointer and keyboard");
    }

    void init() { startFreshGame(); }

    // Nothing of a test function, a dialog left open by a failure included, reaches the next.
    void cleanup() { w.stopGame(); }

    void windowIsKnownToTheDesktop()
    {
        // The app id names the desktop entry, so the desktop shows the game's name and icon.
        QCOMPARE(window.appId, QStringLiteral("org.morvane.Morvane"));
        QVERIFY(
            QFile::exists(QStringLiteral(MORVANE_SOURCE_DIR "/dist/") + window.appId + ".desktop"));
        QVERIFY(window.floating);
        QCOMPARE(window.rect.width(), BoardWidth);
    }

    void pointerButtonsTurnAndSwap()
    {
        // Level 3, where a turn changes what a piece shows.
        keys({QStringLiteral("alt+l"), QStringLiteral("Down"), QStringLiteral("Down"),
              QStringLiteral("Return")});
        locateBoard(QStringLiteral("^Morvane - Level 3$"));
        // The caption changes before the deal: the deal is over once the screen shows it.
        auto dealt = [&](const QImage &shot) { return showsItsDealtTiles(board, shot, table, 3); };
        QImage screen = screenWhen(dealt);
        QVERIFY(dealt(screen));
        const int mirrored = firstMirrored(board, screen, table, 3);
        QVERIFY2(mirrored, "level 3 deals a tile mirrored");
        QList<int> upright;
        for (int j = 1; j <= 18; ++j)
            if (board.shows(screen, 3, j, table(3, j).StartContent))
                upright << j;
        QVERIFY(upright.size() >= 2);

        // The right button turns the mirrored piece upright.
        const uint8_t t = table(3, mirrored).StartContent;
        clickPlace(3, mirrored, QStringLiteral("right"));
        screen = screenWhen([&](const QImage &shot) { return board.shows(shot, 3, mirrored, t); });
        QVERIFY(board.shows(screen, 3, mirrored, t));

        // Two left clicks swap two upright pieces.
        const int p = upright.first(), q = upright.last();
        const uint8_t a = table(3, p).StartContent, b = table(3, q).StartContent;
        clickPlace(3, p);
        clickPlace(3, q);
        screen = screenWhen([&](const QImage &shot) {
            return board.shows(shot, 3, p, b) && board.shows(shot, 3, q, a);
        });
        QVERIFY(board.shows(screen, 3, p, b));
        QVERIFY(board.shows(screen, 3, q, a));
    }

    void aNewPlayerSolvesALevelFromTheKeyboardAlone_data()
    {
        QTest::addColumn<int>("level");
        QTest::newRow("level 1") << 1;
        QTest::newRow("level 3, with turns") << 3;
    }
    void aNewPlayerSolvesALevelFromTheKeyboardAlone()
    {
        // The keys come from our own virtual keyboard, as the compositor hands them on.
        QFETCH(int, level);
        if (level == 3) {
            keys({QStringLiteral("alt+l"), QStringLiteral("Down"), QStringLiteral("Down"),
                  QStringLiteral("Return")});
            locateBoard(QStringLiteral("^Morvane - Level 3$"));
        }
        std::map<int, int> content;
        for (int j = 1; j <= 18; ++j)
            content[j] = table(level, j).StartContent;
        const auto dealt = [&](const QImage &shot) {
            return showsItsDealtTiles(board, shot, table, level);
        };
        QVERIFY(dealt(screenWhen(dealt)));
        KeyboardPlayer player;
        player.grab = [this] { return w.screenshot(); };
        player.place = [this, level](int j) { return board.placeOnScreen(level, j); };
        player.key = [this](const QString &combo) { w.input(QStringLiteral("key ") + combo); };
        const int turned = solveFromTheKeyboard(
            player, board, level, content,
            [&](const std::function<bool(const QImage &)> &ready) { return screenWhen(ready); });
        QVERIFY2(turned >= 0, "the keyboard cursor went where the player pressed it");
        qInfo("level %d solved with %d keys, %d turns", level, player.keysPressed, turned);
        QCOMPARE(turned > 0, level == 3);
        // The whole picture, away from where the banners end.
        const QImage picture = levelPicture(BinDir, level);
        auto whole = [&](const QImage &shot) {
            return showsTheFinishedPicture(shot, board.origin, picture);
        };
        QVERIFY2(whole(screenWhen(whole)), "the finished picture");
    }

    void aboutBoxIsModalOverTheMainWindow()
    {
        const SwayWindow main = window;
        keys({QStringLiteral("alt+h"), QStringLiteral("Return")});
        const std::optional<SwayWindow> about = focusedWindow(QStringLiteral("^About Morvane$"));
        QVERIFY(about);
        QVERIFY2(about->focused, "the About box takes the keyboard");
        QVERIFY(about->floating);
        QVERIFY(main.rect.contains(about->rect.center()));
        // Modal: two clicks on the board beside the box swap nothing.
        QList<int> free;
        for (int j = 1; j <= 18; ++j)
            if (!about->rect.contains(board.placeOnScreen(1, j).center()))
                free.append(j);
        QVERIFY(free.size() >= 2);
        clickPlace(1, free.first());
        clickPlace(1, free.last());
        // The click gave the main window the focus and raised it over the box; the game hands
        // the focus back to the box, which rises again, so the game does not look frozen.
        const std::optional<SwayWindow> again = w.windowWhen(
            about->id, [](const SwayWindow &shown) { return shown.focused; }, Patience);
        QVERIFY2(again && again->focused, "the About box has the focus again");
        keys({QStringLiteral("Escape")});
        QVERIFY(w.windowGone(QStringLiteral("^About Morvane$")));
        pointerAway();
        // A check that nothing happened has no state to wait for: a swap the clicks had made
        // would long have shown (it takes a quarter of a second), and the board rests.
        w.settle(1500);
        QVERIFY2(board.showsTheDeal(w.screenshot(), 1), "no place changed");
    }

    // Done with a menu, the keys play the board again: after one Escape, and after a click on
    // the board that closes the menu or follows it.
    void keysPlayTheBoardAfterAMenu_data()
    {
        QTest::addColumn<bool>("byPointer"); // File clicked, or the Level menu opened with Alt+L
        QTest::addColumn<bool>("escape");    // closed with Escape, or by a click on the board
        QTest::addColumn<bool>("thenClick"); // a click on the board once it is closed
        QTest::newRow("File clicked, Escape") << true << true << false;
        QTest::newRow("File clicked, Escape, the board clicked") << true << true << true;
        QTest::newRow("File clicked, the board clicked") << true << false << false;
        QTest::newRow("Alt+L, Escape") << false << true << false;
    }
    void keysPlayTheBoardAfterAMenu()
    {
        QFETCH(bool, byPointer);
        QFETCH(bool, escape);
        QFETCH(bool, thenClick);
        const int menuBar = window.rect.height() - BoardHeight;
        const QPoint corner = window.rect.topLeft();
        // The board's own background, left of the pieces: a click there is no move of the game.
        const QPoint background = corner + QPoint(4, menuBar + 4);
        // Inside the open menu, under its caption on the menu bar: two of its items (below the
        // first one, which Alt+L picks out).
        const QRect inMenu(corner + (byPointer ? QPoint(8, menuBar + 2) : QPoint(60, menuBar + 24)),
                           QSize(80, 40));
        const QImage before = w.screenshot().copy(inMenu);
        if (byPointer)
            w.click(corner + QPoint(20, menuBar / 2));
        else
            keys({QStringLiteral("alt+l")});
        // Most of that spot changes as the menu covers the board, and shows a menu's captions.
        auto menuShown = [&](const QImage &shot) {
            const QImage now = shot.copy(inMenu);
            int changed = 0;
            for (int y = 0; y < now.height(); ++y)
                for (int x = 0; x < now.width(); ++x)
                    changed += now.pixel(x, y) != before.pixel(x, y);
            return changed * 2 > now.width() * now.height() && drawnWithText(now, 2);
        };
        const QImage opened = screenWhen(menuShown);
        if (!menuShown(opened) || qEnvironmentVariableIsSet("MORVANE_E2E_KEEP"))
            opened.save(QDir::temp().filePath(QStringLiteral("morvane-wayland-menu.png")));
        QVERIFY2(menuShown(opened), "the menu opens, drawn");
        if (escape)
            keys({QStringLiteral("Escape")});
        else
            w.click(background);
        auto menuGone = [&](const QImage &shot) { return !menuShown(shot); };
        const QImage closed = screenWhen(menuGone);
        if (!menuGone(closed) || qEnvironmentVariableIsSet("MORVANE_E2E_KEEP"))
            closed.save(QDir::temp().filePath(QStringLiteral("morvane-wayland-closed.png")));
        QVERIFY2(menuGone(closed), "the menu closes");
        if (thenClick)
            w.click(background);

        KeyboardPlayer player;
        player.grab = [this] { return w.screenshot(); };
        player.place = [this](int j) { return board.placeOnScreen(1, j); };
        keys({QStringLiteral("Right")});
        const int lit = player.glowing(
            screenWhen([&](const QImage &shot) { return player.glowing(shot) != 0; }));
        QVERIFY2(lit != 0, "Right lights a piece");
        keys({QStringLiteral("space")});
        const QRect place = board.placeOnScreen(1, lit);
        auto selected = [&](const QImage &shot) { return marksTheSelection(shot, place); };
        QVERIFY2(selected(screenWhen(selected)), "Space selects it");
    }

    // The About box and the file-open form tell the compositor whose they are, and so come up
    // over the main window wherever a compositor puts a window of its own (sway: the output's
    // middle; other desktops: a corner). Over a full-screen window sway shows only a window it
    // knows to be that window's own; any other waits behind it.
    void dialogsComeUpOverTheMainWindow_data()
    {
        QTest::addColumn<QString>("menu"); // the keys that open the menu holding the dialog
        QTest::addColumn<QString>("title");
        QTest::newRow("About box") << "alt+h"
                                   << "^About Morvane$";
        QTest::newRow("file-open form") << "alt+f"
                                        << "^Open image file$";
    }
    void dialogsComeUpOverTheMainWindow()
    {
        QFETCH(QString, menu);
        QFETCH(QString, title);
        const QSize output(1280, 900);
        QVERIFY(swayOnMainWindow({QStringLiteral("fullscreen"), QStringLiteral("enable")}));
        window =
            mainWindowWhen([&](const SwayWindow &shown) { return shown.rect.size() == output; });
        QCOMPARE(window.rect.size(), output);
        pointerAway();
        w.settle(1000); // the board laid out anew for the whole output
        const QImage before = w.screenshot();
        keys({menu, QStringLiteral("Return")});
        const std::optional<SwayWindow> dialog = w.findWindow(title, Patience);
        QVERIFY(dialog);
        qInfo("the dialog at %d,%d %dx%d over the main window at %d,%d %dx%d", dialog->rect.x(),
              dialog->rect.y(), dialog->rect.width(), dialog->rect.height(), window.rect.x(),
              window.rect.y(), window.rect.width(), window.rect.height());
        const QPoint off = dialog->rect.center() - window.rect.center();
        QVERIFY2(qAbs(off.x()) <= 2 && qAbs(off.y()) <= 2, "centred over the main window");
        // On the screen, in front of the game: most of its place changed, to a dialog's looks.
        auto shown = [&](const QImage &shot) {
            const QImage now = shot.copy(dialog->rect), then = before.copy(dialog->rect);
            int changed = 0;
            for (int y = 0; y < now.height(); ++y)
                for (int x = 0; x < now.width(); ++x)
                    changed += now.pixel(x, y) != then.pixel(x, y);
            return changed * 2 > now.width() * now.height() && drawnWithText(now, 1);
        };
        const QImage screen = screenWhen(shown);
        if (!shown(screen))
            screen.save(QDir::temp().filePath(QStringLiteral("morvane-wayland-dialog.png")));
        QVERIFY2(shown(screen), "the dialog is seen over the game");
        // Shown but not focused: sway gives no window the keyboard over a full-screen one.
        QVERIFY(!w.swaymsg({QStringLiteral("[con_id=%1]").arg(dialog->id), QStringLiteral("kill")})
                     .isEmpty());
        QVERIFY(w.windowGone(title));
    }

    // Waits for the board to fill the window; sway may still be sizing it, so the window is
    // looked up again each round.
    QString boardFillsTheWindowSoon(int menu, QSize units = {640, 490})
    {
        QString wrong;
        QElapsedTimer clock;
        clock.start();
        do {
            w.settle(250);
            window = mainWindowWhen([](const SwayWindow &) { return true; });
            const QRect area = window.rect.adjusted(0, menu, 0, 0);
            wrong = boardFillsItsArea(w.screenshot(), area, units);
        } while (!wrong.isEmpty() && clock.elapsed() < Patience);
        return wrong;
    }

    void hiddenAndShownAgainKeepsTheBoard()
    {
        // sway has no minimised state; its scratchpad hides a window much the same way: the
        // window leaves the screen and the game is not told. Shown again, sway gives it a size
        // of its own choosing (half the output's width, three quarters of its height).
        const int menu = window.rect.height() - BoardHeight;
        const QRect before = window.rect;
        const QImage shown = w.screenshot().copy(before);
        QVERIFY(swayOnMainWindow({QStringLiteral("move"), QStringLiteral("scratchpad")}));
        QVERIFY2(!mainWindowWhen([](const SwayWindow &hidden) { return !hidden.visible; }).visible,
                 "sway hid the window");
        const QImage gone = screenWhen(
            [&](const QImage &shot) { return difference(shot.copy(before), shown) > 10; });
        QVERIFY2(difference(gone.copy(before), shown) > 10, "the window left the screen");
        QVERIFY(swayOnMainWindow({QStringLiteral("scratchpad"), QStringLiteral("show")}));
        window = mainWindowWhen(
            [](const SwayWindow &again) { return again.visible && again.rect.width() > 0; });
        QVERIFY2(window.visible, "sway shows the window again");
        const QString wrong = boardFillsTheWindowSoon(menu);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }

    void fileOpenFitsTheFloatingWindowToThePicture()
    {
        // The game started in the pictures' folder, where the form opens.
        const SwayWindow main = window;
        const int menu = main.rect.height() - BoardHeight;

        const std::optional<SwayWindow> form = openTheForm();
        QVERIFY(form);
        // The form floats over the main window and takes the keyboard.
        QVERIFY2(form->focused, "the form takes the keyboard");
        QVERIFY(form->floating);
        QVERIFY(main.rect.contains(form->rect.center()));
        chooseTheFirstPicture();
        // The window fits the 300 x 200 picture: 340 x 240 of board. The caption changes once
        // the new level is dealt, which may take seconds; the compositor's answer to the form's
        // closing, which once put the old size back, is handled only then.
        const QSize fitted(340, menu + 240);
        window =
            mainWindowWhen([&](const SwayWindow &shown) { return shown.rect.size() == fitted; });
        if (window.rect.size() != fitted)
            w.screenshot().save(QDir::temp().filePath(QStringLiteral("morvane-wayland-open.png")));
        QCOMPARE(window.rect.size(), fitted);
        // And it keeps that size past the time in which the game undoes a stale answer.
        w.settle(OwnSizeKeeper::StaleWithinMs + 1000);
        window = mainWindowWhen([](const SwayWindow &) { return true; });
        if (window.rect.size() != fitted)
            w.screenshot().save(QDir::temp().filePath(QStringLiteral("morvane-wayland-open.png")));
        QCOMPARE(window.rect.size(), fitted);
        // And the board fills it: the picture's frame stands 20 px inside the board's edges.
        pointerAway();
        const QPoint corner = window.rect.topLeft() + QPoint(0, menu);
        auto frameAt = [&](const QImage &shot, int px) {
            const QColor c(shot.pixel(corner + QPoint(px, 120)));
            return c.blue() > 200 && c.red() < 60 && c.green() < 60;
        };
        const QImage screen =
            screenWhen([&](const QImage &shot) { return frameAt(shot, 20) && !frameAt(shot, 12); });
        QVERIFY2(frameAt(screen, 20), "the left frame of the picture");
        QVERIFY2(!frameAt(screen, 12), "background left of the picture");
    }

    void fileOpenOnATiledWindowKeepsTheTile()
    {
        // Tiled, the compositor gives the window the whole output, and the board follows it.
        // The game's own size for a picture is then no more than a wish, and the tile's size,
        // which the compositor restates, is not undone.
        const int menu = window.rect.height() - BoardHeight;
        QVERIFY(swayOnMainWindow({QStringLiteral("floating"), QStringLiteral("disable")}));
        window = mainWindowWhen(
            [](const SwayWindow &shown) { return shown.rect.size() == QSize(1280, 900); });
        QCOMPARE(window.rect.size(), QSize(1280, 900));
        pointerAway();
        QString wrong = boardFillsTheWindowSoon(menu);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        QVERIFY(openTheForm());
        chooseTheFirstPicture();
        // Past the time in which the game undoes a stale answer, the 300 x 200 picture with its
        // margins (340 x 240 units) fills the tile.
        w.settle(OwnSizeKeeper::StaleWithinMs + 1000);
        window = mainWindowWhen([](const SwayWindow &) { return true; });
        QCOMPARE(window.rect.size(), QSize(1280, 900));
        pointerAway();
        wrong = boardFillsTheWindowSoon(menu, QSize(340, 240));
        if (!wrong.isEmpty())
            w.screenshot().save(QDir::temp().filePath(QStringLiteral("morvane-wayland-tiled.png")));
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }

    // A size the player makes just after File > Open, while the game still watches for the
    // compositor's stale answer, stands and the board fills it.
    void aSizeThePlayerMakesAfterFileOpenStands_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QSize>("made");
        QTest::newRow("edge dragged")
            << QStringList{QStringLiteral("resize"), QStringLiteral("set"), QStringLiteral("500"),
                           QStringLiteral("400")}
            << QSize(500, 400);
        QTest::newRow("tiled") << QStringList{QStringLiteral("floating"), QStringLiteral("disable")}
                               << QSize(1280, 900);
    }
    void aSizeThePlayerMakesAfterFileOpenStands()
    {
        QFETCH(QStringList, command);
        QFETCH(QSize, made);
        const int menu = window.rect.height() - BoardHeight;
        QVERIFY(openTheForm());
        chooseTheFirstPicture();
        const QSize fitted(340, menu + 240);
        window =
            mainWindowWhen([&](const SwayWindow &shown) { return shown.rect.size() == fitted; });
        QCOMPARE(window.rect.size(), fitted);
        QVERIFY(swayOnMainWindow(command));
        window = mainWindowWhen([&](const SwayWindow &shown) { return shown.rect.size() == made; });
        QCOMPARE(window.rect.size(), made);
        w.settle(OwnSizeKeeper::StaleWithinMs + 1000);
        window = mainWindowWhen([](const SwayWindow &) { return true; });
        QCOMPARE(window.rect.size(), made);
        pointerAway();
        const QString wrong = boardFillsTheWindowSoon(menu, QSize(340, 240));
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }
};

QTEST_MAIN(WaylandTest)
#include "tst_wayland.moc"
