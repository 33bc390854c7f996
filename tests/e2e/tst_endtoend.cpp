// The real game on a virtual X server: the start-up board, swaps and turns by mouse, a level
// chosen from the menu by keyboard, a level played to its finished picture, the window
// resized, the About box and file-open form opened and closed, animations that are seen, and
// a picture dragged from another program and dropped on the window.
#include "ScreenChecks.h"
#include "XSession.h"

#include "../support/BoardPictures.h"
#include "../support/BoardSolver.h"
#include "../support/KeyboardPlayer.h"
#include "../support/OrientedPictures.h"

#include "game/LevelTable.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QImageReader>
#include <QProcess>
#include <QTest>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <vector>

using namespace morvane;
using namespace morvane::test;

namespace {

const QString BinDir = QStringLiteral(MORVANE_BIN_DIR);
constexpr int BoardWidth = 640;
constexpr int BoardHeight = 490;

} // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

    XSession x;
    LevelTable table;
    QString window;
    // What the board should show; its origin is the board's top-left corner on the screen, and
    // in a grab of the game's window.
    BoardPictures board{table, BinDir};
    BoardPictures inWindow{table, BinDir};
    QPoint &origin = board.origin;

    void clickPlace(int level, int place, int button = 1)
    {
        x.click(board.placeOnScreen(level, place).center(), button);
    }
    QImage screenWhen(const std::function<bool(const QImage &)> &ready, int timeoutMs = 20000)
    {
        return x.screenWhen(ready, timeoutMs);
    }
    void locateBoard(const QString &caption)
    {
        window = x.findWindow(caption);
        QVERIFY2(!window.isEmpty(), qPrintable(caption));
        const QRect geometry = x.windowGeometry(window);
        // The board fills the window below the menu bar.
        origin = QPoint(geometry.left(), geometry.bottom() + 1 - BoardHeight);
        inWindow.origin = QPoint(0, geometry.height() - BoardHeight);
    }
    // A player at the keyboard, reading the game's window as the screen shows it.
    KeyboardPlayer keyboardPlayer(int level)
    {
        KeyboardPlayer player;
        player.grab = [this] { return x.grabWindow(window); };
        player.place = [this, level](int j) { return inWindow.placeOnScreen(level, j); };
        player.key = [this](const QString &combo) {
            x.run(QStringLiteral("xdotool"), {QStringLiteral("key"), combo});
        };
        return player;
    }
    // The mouse out of the window, where it moves no hover.
    void mouseAway()
    {
        const QRect geometry = x.windowGeometry(window);
        x.run(QStringLiteral("xdotool"),
              {QStringLiteral("mousemove"), QString::number(geometry.right() + 40),
               QString::number(geometry.top() + 40)});
    }

    // An open menu: a window of its own, named after the game, straight on the root, and shown;
    // its id and its place in the main window, or an empty id when none at least `minHeight` high
    // is shown within `timeoutMs`.
    struct OpenMenu {
        QString id;
        QRect rect;
    };
    OpenMenu openMenu(int minHeight, int timeoutMs = 20000)
    {
        const QRect geometry = x.windowGeometry(window);
        static const QRegularExpression popup(
            QStringLiteral(R"((0x[0-9a-f]+) "Morvane": \(.*\)\s+(\d+)x(\d+)\+(-?\d+)\+(-?\d+))"));
        QElapsedTimer clock;
        clock.start();
        do {
            // The tree lists a menu closed earlier too, unmapped.
            const QString tree = x.run(QStringLiteral("xwininfo"),
                                       {QStringLiteral("-root"), QStringLiteral("-tree")});
            for (auto it = popup.globalMatch(tree); it.hasNext();) {
                const QRegularExpressionMatch found = it.next();
                const QRect at(found.captured(4).toInt(), found.captured(5).toInt(),
                               found.captured(2).toInt(), found.captured(3).toInt());
                if (at.height() >= minHeight
                    && x.run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), found.captured(1)})
                           .contains(QStringLiteral("IsViewable")))
                    return {found.captured(1), at.translated(-geometry.topLeft())};
            }
            x.settle(100);
        } while (clock.elapsed() < timeoutMs);
        return {};
    }
    // The grab of the game's window once `ready` holds for it, or the last one after 20 s.
    QImage windowWhen(const std::function<bool(const QImage &)> &ready)
    {
        QElapsedTimer clock;
        clock.start();
        QImage grab = x.grabWindow(window);
        while (!ready(grab) && clock.elapsed() < 20000) {
            x.settle(100);
            grab = x.grabWindow(window);
        }
        return grab;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(readLevelFile(QDir(BinDir).filePath("Levels.res"), table));
        QVERIFY2(x.start(), "Xvfb must start");
    }

    // Every test starts from a fresh game on level 1, whatever the test before it left.
    void init()
    {
        QVERIFY(x.startGame(QDir(BinDir).filePath("morvane")));
        locateBoard(QStringLiteral("^Morvane - Level 1$"));
        QCOMPARE(x.windowGeometry(window).width(), BoardWidth);
        x.settle(500);
    }

    void cleanup()
    {
        x.stopGame();
        QVERIFY(x.windowGone(QStringLiteral("^Morvane")));
    }

    void startupBoardShowsTheDealtTiles()
    {
        const QImage screen = screenWhen([&](const QImage &shot) {
            for (int j = 1; j <= 18; ++j)
                if (!board.shows(shot, 1, j, table(1, j).StartContent))
                    return false;
            return true;
        });
        for (int j = 1; j <= 18; ++j) {
            const double d = board.distance(screen, 1, j, table(1, j).StartContent);
            QVERIFY2(d < 6, qPrintable(QStringLiteral("place %1 differs by %2").arg(j).arg(d)));
        }
    }

    void swapByMouse()
    {
        const uint8_t a = table(1, 2).StartContent, b = table(1, 9).StartContent;
        clickPlace(1, 2);
        clickPlace(1, 9);
        const QImage screen = screenWhen([&](const QImage &shot) {
            return board.shows(shot, 1, 2, b) && board.shows(shot, 1, 9, a);
        });
        QVERIFY(board.shows(screen, 1, 2, b));
        QVERIFY(board.shows(screen, 1, 9, a));
    }

    void aLevelOneSwapShowsPicturesOnTheWay()
    {
        // The board as dealt at start-up; places 5 and 14 lie far apart.
        const int a = 5, b = 14;
        const uint8_t tileA = table(1, a).StartContent, tileB = table(1, b).StartContent;
        QVERIFY(board.shows(screenWhen([&](const QImage &shot) {
                                return board.shows(shot, 1, a, tileA)
                                       && board.shows(shot, 1, b, tileB);
                            }),
                            1, a, tileA));
        const QImage showsA = board.expected(1, a, tileA), showsB = board.expected(1, b, tileB);
        const QImage swappedA = board.expected(1, a, tileB), swappedB = board.expected(1, b, tileA);
        // Grabs as fast as xwd allows while the pieces slide; on a busy machine a grab may miss
        // the quarter of a second, so a few swaps back and forth are allowed.
        int onTheWay = 0, swaps = 0;
        while (onTheWay == 0 && swaps < 6) {
            const bool back = swaps % 2 == 1;
            clickPlace(1, a);
            clickPlace(1, b);
            ++swaps;
            QElapsedTimer clock;
            clock.start();
            while (clock.elapsed() < 10000) {
                const QImage grab = x.grabWindow(window);
                const QImage nowA = inWindow.shown(grab, 1, a), nowB = inWindow.shown(grab, 1, b);
                const bool before = difference(nowA, back ? swappedA : showsA) < 6;
                const bool after = difference(nowA, back ? showsA : swappedA) < 6
                                   && difference(nowB, back ? showsB : swappedB) < 6;
                if (after)
                    break;
                if (!before && difference(nowB, back ? swappedB : showsB) >= 6)
                    ++onTheWay; // neither place shows a whole tile: the pieces are between
            }
        }
        qInfo("a level-1 swap: %d pictures caught on the way in %d swaps", onTheWay, swaps);
        QVERIFY2(onTheWay > 0, "no picture of a swap in progress");
    }

    void levelOnePlaysToTheFinishedPicture()
    {
        // Level 1 has no mirrored tile: swaps alone finish it. The game takes clicks in order.
        std::map<int, int> content;
        for (int j = 1; j <= 18; ++j)
            content[j] = table(1, j).StartContent;
        solveBoard({[&](int place) { return content[place]; },
                    [&](int place, int other) {
                        clickPlace(1, place);
                        clickPlace(1, other);
                        std::swap(content[place], content[other]);
                    }});
        const QImage picture = levelPicture(BinDir, 1);
        const QPoint at = origin + QPoint(20, 20);
        auto whole = [&](const QImage &shot) {
            return showsTheFinishedPicture(shot, origin, picture);
        };
        QImage screen = screenWhen(whole);
        QVERIFY(whole(screen));
        x.settle(1500); // the banner's slide and the words
        screen = x.screenshot();
        // The banner's golden letters where the slide ended, the light red words at the top.
        int golden = 0, words = 0;
        for (int y = 100; y < 145; ++y)
            for (int x0 = 257; x0 < 410; ++x0) {
                const QRgb p = screen.pixel(at + QPoint(x0, y)) ^ picture.pixel(x0, y);
                golden += qRed(p) > 100 && qGreen(p) > 60 && qBlue(p) < 60;
            }
        for (int y = 0; y < 30; ++y)
            for (int x0 = 0; x0 < 300; ++x0) {
                const QColor c(screen.pixel(at + QPoint(x0, y)));
                words +=
                    c.red() > 0xF0 && qAbs(c.green() - 0x80) < 16 && qAbs(c.blue() - 0x80) < 16;
            }
        QVERIFY2(golden > 150, "the banner");
        QVERIFY2(words > 40, "All right. Go to next level now");
    }

    void levelChosenByKeyboardAndATurnByRightClick()
    {
        // Alt+L opens the Level menu; the third item is level 3.
        x.keys(window, {QStringLiteral("alt+l"), QStringLiteral("Down"), QStringLiteral("Down"),
                        QStringLiteral("Return")});
        locateBoard(QStringLiteral("^Morvane - Level 3$"));
        auto dealt = [&](const QImage &shot) { return showsItsDealtTiles(board, shot, table, 3); };
        QImage screen = screenWhen(dealt);
        QVERIFY(dealt(screen));
        const int mirrored = firstMirrored(board, screen, table, 3);
        QVERIFY2(mirrored, "level 3 deals a tile mirrored");
        const uint8_t t = table(3, mirrored).StartContent;
        clickPlace(3, mirrored, 3);
        screen = screenWhen([&](const QImage &shot) { return board.shows(shot, 3, mirrored, t); });
        QVERIFY(board.shows(screen, 3, mirrored, t));
    }

    void aNewPlayerSolvesALevelFromTheKeyboardAlone_data()
    {
        QTest::addColumn<int>("level");
        QTest::newRow("level 1") << 1;
        QTest::newRow("level 3, with turns") << 3;
    }
    void aNewPlayerSolvesALevelFromTheKeyboardAlone()
    {
        QFETCH(int, level);
        mouseAway();
        x.keys(window, {}); // the keyboard to the game
        if (level == 3) {
            x.keys(window, {QStringLiteral("alt+l"), QStringLiteral("Down"), QStringLiteral("Down"),
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
        KeyboardPlayer player = keyboardPlayer(level);
        const int turned = solveFromTheKeyboard(
            player, board, level, content,
            [&](const std::function<bool(const QImage &)> &ready) { return screenWhen(ready); });
        QVERIFY2(turned >= 0, "the keyboard cursor went where the player pressed it");
        qInfo("level %d solved with %d keys, %d turns", level, player.keysPressed, turned);
        QCOMPARE(turned > 0, level == 3);
        // The whole picture, away from where the banners end.
        const QImage picture = levelPicture(BinDir, level);
        auto whole = [&](const QImage &shot) {
            return showsTheFinishedPicture(shot, origin, picture);
        };
        QVERIFY2(whole(screenWhen(whole)), "the finished picture");
    }

    void noGhostOfTheClosedMenuDuringADeal_data()
    {
        QTest::addColumn<bool>("byMouse");
        QTest::newRow("Level 7 chosen by mouse") << true;
        QTest::newRow("Level 7 chosen by keyboard") << false;
    }
    void noGhostOfTheClosedMenuDuringADeal()
    {
        QFETCH(bool, byMouse);
        mouseAway();
        const QRect geometry = x.windowGeometry(window);
        const int menuBar = geometry.height() - BoardHeight;
        const QImage before = x.grabWindow(window);
        if (byMouse)
            x.click(geometry.topLeft() + QPoint(55, menuBar / 2));
        else
            x.keys(window, {QStringLiteral("alt+l")});
        // The open menu, seven levels high.
        const OpenMenu opened = openMenu(100);
        const QString menuWindow = opened.id;
        const QRect menu = opened.rect;
        QVERIFY2(menu.height() >= 100, "the Level menu opens over the board");
        // Level 7, the last item, picked out; the menu as it looks when it closes.
        if (byMouse)
            x.run(QStringLiteral("xdotool"),
                  {QStringLiteral("mousemove"), QString::number(geometry.left() + menu.left() + 40),
                   QString::number(geometry.top() + menu.bottom() - 10)});
        else
            x.keys(window, QStringList(6, QStringLiteral("Down")));
        x.settle(300);
        const QImage open = x.grabWindow(menuWindow);
        QCOMPARE(open.size(), menu.size());
        // Drawn, not black: the captions of the levels not picked out, on the menu's background.
        QVERIFY2(drawnWithText(open, 6), "the Level menu is drawn");
        // The menu's own pixels: those unlike the board beneath them and its background.
        const QRgb background = before.pixel(4, menuBar + 4);
        std::vector<QPoint> menuPixels;
        for (int py = 0; py < open.height(); ++py)
            for (int px = 0; px < open.width(); ++px) {
                const QPoint on = menu.topLeft() + QPoint(px, py);
                if (on.y() >= menuBar && open.pixel(px, py) != before.pixel(on)
                    && open.pixel(px, py) != background)
                    menuPixels.push_back(QPoint(px, py));
            }
        if (byMouse)
            x.run(QStringLiteral("xdotool"), {QStringLiteral("click"), QStringLiteral("1")});
        else
            x.run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")});
        // The deal has begun once the old board is gone: at level 7 every piece waits hidden.
        auto begun = [&](const QImage &grab) {
            int plain = 0;
            for (int py = menuBar + 20; py < grab.height() - 20; py += 10)
                for (int px = 20; px < grab.width() - 20; px += 10)
                    plain += !menu.contains(px, py) && grab.pixel(px, py) == background;
            return plain > 1000;
        };
        int frames = 0, worst = 0;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 20000) {
            const QImage grab = x.grabWindow(window);
            if (grab.size() != before.size() || !begun(grab)) {
                if (frames > 0)
                    break; // the pieces cover the board again: the deal is ending
                continue;
            }
            if (++frames == 1)
                continue; // the first frame of the deal may still be on its way
            int ghost = 0;
            for (const QPoint &p : menuPixels)
                ghost += grab.pixel(menu.topLeft() + p) == open.pixel(p);
            worst = std::max(worst, ghost);
        }
        qInfo("%d grabs of the deal, at most %d of %d menu pixels left", frames, worst,
              int(menuPixels.size()));
        QVERIFY2(frames >= 5, "the deal is seen in progress");
        QVERIFY2(worst * 100 < int(menuPixels.size()), "no ghost of the menu");
    }

    // Done with a menu, the keys play the board again: after one Escape, and after a click on
    // the board that closes the menu or follows it.
    void keysPlayTheBoardAfterAMenu_data()
    {
        QTest::addColumn<bool>("byMouse");   // File clicked, or the Level menu opened with Alt+L
        QTest::addColumn<bool>("escape");    // closed with Escape, or by a click on the board
        QTest::addColumn<bool>("thenClick"); // a click on the board once it is closed
        QTest::addColumn<int>("captions");
        QTest::newRow("File clicked, Escape") << true << true << false << 2;
        QTest::newRow("File clicked, Escape, the board clicked") << true << true << true << 2;
        QTest::newRow("File clicked, the board clicked") << true << false << false << 2;
        QTest::newRow("Alt+L, Escape") << false << true << false << 6;
    }
    void keysPlayTheBoardAfterAMenu()
    {
        QFETCH(bool, byMouse);
        QFETCH(bool, escape);
        QFETCH(bool, thenClick);
        QFETCH(int, captions);
        mouseAway();
        x.keys(window, {}); // the keyboard to the game
        const QRect geometry = x.windowGeometry(window);
        const int menuBar = geometry.height() - BoardHeight;
        // The board's own background, left of the pieces: a click there is no move of the game.
        const QPoint background = geometry.topLeft() + QPoint(4, menuBar + 4);
        if (byMouse)
            x.click(geometry.topLeft() + QPoint(20, menuBar / 2));
        else
            x.keys(window, {QStringLiteral("alt+l")});
        const OpenMenu menu = openMenu(30);
        QVERIFY2(!menu.id.isEmpty(), "the menu opens");
        QVERIFY2(drawnWithText(x.grabWindow(menu.id), captions), "the menu is drawn");
        if (escape)
            x.run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Escape")});
        else
            x.click(background);
        QVERIFY2(openMenu(30, 3000).id.isEmpty(), "the menu closes");
        if (thenClick)
            x.click(background);
        x.settle(300);

        KeyboardPlayer player = keyboardPlayer(1);
        player.key(QStringLiteral("Right"));
        const int lit = player.glowing(
            windowWhen([&](const QImage &grab) { return player.glowing(grab) != 0; }));
        QVERIFY2(lit != 0, "Right lights a piece");
        player.key(QStringLiteral("space"));
        const QRect place = inWindow.placeOnScreen(1, lit);
        QVERIFY2(marksTheSelection(
                     windowWhen([&](const QImage &grab) { return marksTheSelection(grab, place); }),
                     place),
                 "Space selects it");
    }

    void theLevelSevenDealIsSeenForSecondsOnTheScreen()
    {
        // Each place's tile as the deal may leave it: upright, or mirrored either way.
        std::vector<std::array<QImage, 3>> looks;
        for (int j = 1; j <= 18; ++j) {
            const int t = table(7, j).StartContent;
            looks.push_back({board.expected(7, j, t), board.expected(7, j, t, true),
                             board.expected(7, j, t, false, true)});
        }
        auto placed = [&](const QImage &grab) {
            int n = 0;
            for (int j = 1; j <= 18; ++j) {
                const QImage now = inWindow.shown(grab, 7, j);
                const auto &tile = looks[size_t(j - 1)];
                n += std::any_of(tile.begin(), tile.end(),
                                 [&](const QImage &look) { return difference(now, look) < 6; });
            }
            return n;
        };
        // The mouse off the board, then Levels > Level 7 by keyboard (in a fresh game the menu
        // opens on its first item).
        const QRect geometry = x.windowGeometry(window);
        x.run(QStringLiteral("xdotool"),
              {QStringLiteral("mousemove"), QString::number(geometry.right() + 40),
               QString::number(geometry.top() + 40)});
        x.keys(window, {QStringLiteral("alt+l"), QStringLiteral("Down"), QStringLiteral("Down"),
                        QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Down"),
                        QStringLiteral("Down")});
        x.run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")});
        // While pieces arrive one by one, some places show their tile and some do not yet.
        QElapsedTimer clock;
        clock.start();
        qint64 first = -1, last = -1;
        int grabs = 0, placedAtEnd = 0;
        while (clock.elapsed() < 60000) {
            const QImage grab = x.grabWindow(window);
            const qint64 at = clock.elapsed();
            if (grab.height() < BoardHeight)
                continue;
            ++grabs;
            placedAtEnd = placed(grab);
            if (placedAtEnd == 18)
                break;
            if (placedAtEnd > 0) {
                if (first < 0)
                    first = at;
                last = at;
            }
        }
        qInfo("the level-7 deal: in progress on the screen for %lld ms, %d grabs",
              first < 0 ? 0LL : last - first, grabs);
        if (placedAtEnd != 18 || qEnvironmentVariableIsSet("MORVANE_E2E_KEEP"))
            x.grabWindow(window).save(
                QDir::temp().filePath(QStringLiteral("morvane-e2e-deal7.png")));
        QCOMPARE(placedAtEnd, 18);
        QVERIFY(first >= 0);
        QVERIFY2(last - first >= 2000, "the deal must be seen for at least 2 s");
        QVERIFY(!x.findWindow(QStringLiteral("^Morvane - Level 7$")).isEmpty());
    }

    void boardFollowsTheWindow()
    {
        const QRect before = x.windowGeometry(window);
        const int menu = before.height() - BoardHeight;
        x.run(QStringLiteral("xdotool"), {QStringLiteral("windowsize"), window,
                                          QStringLiteral("960"), QString::number(menu + 700)});
        x.settle(800);
        const QRect geometry = x.windowGeometry(window);
        QCOMPARE(geometry.size(), QSize(960, menu + 700));
        // The mouse off the pieces, so that no hover glow colours a frame.
        x.run(QStringLiteral("xdotool"),
              {QStringLiteral("mousemove"), QString::number(geometry.left() + 4),
               QString::number(geometry.top() + menu + 4)});
        x.settle(400);
        const QImage screen = x.screenshot();
        screen.save(QDir::temp().filePath(QStringLiteral("morvane-e2e-resized.png")));
        const QString wrong =
            boardFillsItsArea(screen, QRect(geometry.topLeft() + QPoint(0, menu), QSize(960, 700)));
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        x.run(QStringLiteral("xdotool"),
              {QStringLiteral("windowsize"), window, QString::number(before.width()),
               QString::number(before.height())});
        x.settle(500);
    }

    // A dialog of the game as the window system knows it: drawn, modal and owned by the main
    // window, and placed over it. Returns what is wrong, or nothing.
    QString ownedDialogOverTheGame(const QString &dialog)
    {
        const QString transientFor =
            x.run(QStringLiteral("xprop"),
                  {QStringLiteral("-id"), dialog, QStringLiteral("WM_TRANSIENT_FOR")});
        const QString state = x.run(QStringLiteral("xprop"), {QStringLiteral("-id"), dialog,
                                                              QStringLiteral("_NET_WM_STATE")});
        if (!transientFor.endsWith(QStringLiteral("0x") + QString::number(window.toLongLong(), 16)))
            return QStringLiteral("not owned by the main window: ") + transientFor;
        if (!state.contains(QStringLiteral("_NET_WM_STATE_MODAL")))
            return QStringLiteral("not modal: ") + state;
        const QRect main = x.windowGeometry(window), at = x.windowGeometry(dialog);
        qInfo("the dialog at %d,%d %dx%d over the main window at %d,%d %dx%d", at.x(), at.y(),
              at.width(), at.height(), main.x(), main.y(), main.width(), main.height());
        // Centred across the main window, and within it: where the game places it.
        if (!main.contains(at.center()) || qAbs(at.center().x() - main.center().x()) > 16)
            return QStringLiteral("not over the main window");
        QImage drawn;
        for (int tries = 0; tries < 50 && !drawnWithText(drawn, 1); ++tries) {
            x.settle(100);
            drawn = x.grabWindow(dialog);
        }
        return drawnWithText(drawn, 1) ? QString() : QStringLiteral("not drawn");
    }

    void aboutBoxOpensAndCloses()
    {
        x.keys(window, {QStringLiteral("alt+h"), QStringLiteral("Return")});
        const QString about = x.findWindow(QStringLiteral("^About Morvane$"));
        QVERIFY(!about.isEmpty());
        const QString wrong = ownedDialogOverTheGame(about);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        x.keys(about, {QStringLiteral("Escape")});
        QVERIFY(x.windowGone(QStringLiteral("^About Morvane$")));
    }

    void fileOpenFormOpensAndCancels()
    {
        x.keys(window, {QStringLiteral("alt+f"), QStringLiteral("Return")});
        const QString form = x.findWindow(QStringLiteral("^Open image file$"));
        QVERIFY(!form.isEmpty());
        const QString wrong = ownedDialogOverTheGame(form);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        x.run(QStringLiteral("xdotool"), {QStringLiteral("windowclose"), form});
        QVERIFY(x.windowGone(QStringLiteral("^Open image file$")));
        QVERIFY(!x.findWindow(QStringLiteral("^Morvane - Level 1$")).isEmpty());
    }

    void ownPictureThroughTheFormByKeyboardAndMouse()
    {
        // The form opens on the game's working folder: start the game where our pictures lie.
        QTemporaryDir folder;
        QImage picture(300, 200, QImage::Format_RGB32);
        for (int py = 0; py < 200; ++py)
            for (int px = 0; px < 300; ++px)
                picture.setPixel(px, py, qRgb(px % 256, py, (px * py) % 256));
        QVERIFY(picture.save(folder.filePath("aa-first.jpg"), "JPEG"));
        QVERIFY(picture.save(folder.filePath("bb-second.bmp"), "BMP"));
        x.stopGame();
        QVERIFY(x.windowGone(QStringLiteral("^Morvane")));
        QVERIFY(x.startGame(QDir(BinDir).filePath("morvane"), folder.path()));
        locateBoard(QStringLiteral("^Morvane - Level 1$"));
        x.settle(500);

        // Keyboard: File, Open; Tab from OK past the drive and folder lists to the files;
        // down and up again to select the first file, and Enter to take it.
        x.keys(window, {QStringLiteral("alt+f"), QStringLiteral("Return")});
        QString form = x.findWindow(QStringLiteral("^Open image file$"));
        QVERIFY(!form.isEmpty());
        x.keys(form, {QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("Tab"),
                      QStringLiteral("Down"), QStringLiteral("Up"), QStringLiteral("Return")});
        QVERIFY(x.windowGone(QStringLiteral("^Open image file$")));
        locateBoard(QStringLiteral("^Morvane$"));
        // The window fits the 300 x 200 picture: 340 x 240 of board.
        const QRect own = x.windowGeometry(window);
        QCOMPARE(own.width(), 340);

        // Mouse: the second file in the list, then OK.
        x.keys(window, {QStringLiteral("alt+f"), QStringLiteral("Return")});
        form = x.findWindow(QStringLiteral("^Open image file$"));
        QVERIFY(!form.isEmpty());
        const QRect at = x.windowGeometry(form);
        // The file list stands at 208,24 px and OK at 264,216 px inside the form.
        const QFontMetrics rows{QFont()};
        x.click(at.topLeft() + QPoint(208 + 30, 24 + 4 + rows.height() * 3 / 2));
        x.settle(200);
        x.click(at.topLeft() + QPoint(264 + 40, 216 + 12));
        QVERIFY(x.windowGone(QStringLiteral("^Open image file$")));
        QVERIFY(!x.findWindow(QStringLiteral("^Morvane$")).isEmpty());
    }

    void aPictureDroppedFromAnotherProgram_data()
    {
        QTest::addColumn<QStringList>("dragged"); // "@" stands for the folder of the files
        QTest::addColumn<QString>("result");      // what the drag source was told
        QTest::addColumn<QString>("caption");
        QTest::newRow("a phone JPEG") << QStringList{"@/phone.jpg"} << "DROP copy"
                                      << "^Morvane$";
        QTest::newRow("a folder") << QStringList{"@"} << "DROP refused"
                                  << "^Morvane - Level 1$";
        QTest::newRow("text") << QStringList{"--text", "@/phone.jpg"} << "DROP refused"
                              << "^Morvane - Level 1$";
    }

    void aPictureDroppedFromAnotherProgram()
    {
        QFETCH(QStringList, dragged);
        QFETCH(QString, result);
        QFETCH(QString, caption);
        QTemporaryDir folder;
        // Stored lying on its side with the tag that turns it upright, as a phone writes it.
        QFile photo(folder.filePath(QStringLiteral("phone.jpg")));
        QVERIFY(photo.open(QIODevice::WriteOnly));
        photo.write(jpegWithOrientation(storedPicture(uprightPicture(), 6), 6));
        photo.close();
        dragged.replaceInStrings(QStringLiteral("@"), folder.path());

        QProcess source;
        source.setProcessEnvironment(x.environment());
        // The drag source is built beside this test.
        source.start(QDir(QCoreApplication::applicationDirPath()).filePath("drag_source"), dragged);
        QVERIFY(source.waitForStarted(5000));
        const QString sourceWindow = x.findWindow(QStringLiteral("^Drag source$"));
        QVERIFY(!sourceWindow.isEmpty());
        x.settle(300);
        x.drag(x.windowGeometry(sourceWindow).center(), x.windowGeometry(window).center());
        QElapsedTimer clock;
        clock.start();
        QString told;
        while (!told.contains(QLatin1Char('\n')) && clock.elapsed() < 20000) {
            source.waitForReadyRead(250);
            told += QString::fromLocal8Bit(source.readAllStandardOutput());
        }
        QCOMPARE(told.trimmed(), result);
        // The drag is over for the source once it is told, but the game may still be fetching
        // what was dropped: the source lives on until the game has answered.
        locateBoard(caption);
        source.kill();
        source.waitForFinished(3000);
        if (result == QLatin1String("DROP copy")) {
            // Dealt as File > Open deals it: a window of the turned picture's proportions,
            // 300 x 400 and its margins.
            const QRect geometry = x.windowGeometry(window);
            QCOMPARE(geometry.width(), 340);
            QVERIFY(geometry.height() > 440);
        } else {
            QCOMPARE(x.windowGeometry(window).width(), BoardWidth);
        }
    }
};

QTEST_MAIN(EndToEndTest)
#include "tst_endtoend.moc"
