// Plays a board from the keyboard alone, as a player would: finds the piece whose frame glows
// (the keyboard cursor), presses the arrow toward the place it wants until the glow is there,
// then Space to click it or Shift+Space to turn it. Shared by the end-to-end tests on X11 and
// on Wayland, each with its own way of reading the screen and of pressing keys.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QRect>
#include <QString>
#include <QThread>

#include <functional>

namespace morvane::test {

class KeyboardPlayer {
public:
    std::function<QImage()> grab;                  // the screen, or the game's window, now
    std::function<QRect(int place)> place;         // where a place stands in a grab
    std::function<void(const QString &combo)> key; // "Right", "space", "shift+space", ...
    int patienceMs = 20000;

    // Where the glow was last seen; 0 before the first arrow.
    int cursor = 0;
    // The piece selected with Space and not yet swapped; it does not glow under the cursor.
    int selected = 0;
    int keysPressed = 0;

    // The place whose frame glows in full cyan, or 0 when none does.
    int glowing(const QImage &shot) const
    {
        for (int j = 1; j <= 18; ++j) {
            const QRect r = place(j);
            int cyan = 0, all = 0;
            for (int x = r.left() + 8; x < r.right() - 8; x += 2, ++all) {
                const QRgb p = shot.pixel(x, r.top());
                cyan += qRed(p) < 60 && qGreen(p) > 230 && qBlue(p) > 230;
            }
            if (all > 0 && cyan * 5 >= all * 4)
                return j;
        }
        return 0;
    }

    // Moves the cursor onto `target`; false when the glow never gets there.
    bool moveTo(int target)
    {
        if (cursor == 0 && !press(QStringLiteral("Right")))
            return false;
        for (int steps = 0; cursor != target && steps < 30; ++steps)
            if (!press(arrowToward(place(cursor), place(target))))
                return false;
        return cursor == target;
    }
    // Space on `target`: selects it, or swaps it with the selected piece.
    bool click(int target)
    {
        if (!moveTo(target))
            return false;
        key(QStringLiteral("space"));
        ++keysPressed;
        const bool swaps = selected != 0 && selected != target;
        selected = selected == 0 ? target : 0;
        // While two pieces move, a glowing one passes over other places: look again once the
        // board rests.
        return !swaps || waitForRest();
    }
    bool turn(int target)
    {
        if (!moveTo(target))
            return false;
        key(QStringLiteral("shift+space"));
        ++keysPressed;
        return waitForRest();
    }

private:
    // The arrow that leads from one place toward another lying elsewhere on the board.
    static QString arrowToward(const QRect &from, const QRect &to)
    {
        if (to.left() > from.right())
            return QStringLiteral("Right");
        if (to.right() < from.left())
            return QStringLiteral("Left");
        if (to.top() > from.bottom())
            return QStringLiteral("Down");
        return QStringLiteral("Up");
    }

    // Waits until nothing on the screen moves: two looks a moment apart see the same.
    bool waitForRest()
    {
        QElapsedTimer clock;
        clock.start();
        QImage last = grab();
        while (clock.elapsed() < patienceMs) {
            QThread::msleep(150);
            const QImage now = grab();
            if (now == last)
                return true;
            last = now;
        }
        return false;
    }

    // Presses an arrow and waits for the glow to leave the place it was on. A cursor that
    // comes onto the selected piece shows no glow: the old glow is simply gone.
    bool press(const QString &arrow)
    {
        key(arrow);
        ++keysPressed;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < patienceMs) {
            const int now = glowing(grab());
            if (now != 0 && now != cursor) {
                cursor = now;
                return true;
            }
            if (now == 0 && selected != 0 && clock.elapsed() > 300) {
                cursor = selected;
                return true;
            }
            QThread::msleep(30);
        }
        return false;
    }
};

} // namespace morvane::test
