// What the game needs of the window that hosts it: painting now, the clock and a sleep that
// pace the animations, the caption, the level menu's check marks, the window's size and state,
// the screen, and modal windows. The main window implements it for real; tests implement it
// without a screen and with a clock of their own.
#pragma once

#include <QSize>
#include <QString>

#include <chrono>

namespace morvane {

class Host {
public:
    virtual ~Host() = default;

    // Redraws the whole window before returning, without handling other events.
    virtual void redrawWindow() = 0;
    // A monotonic clock, from any fixed origin.
    virtual std::chrono::nanoseconds clockNow() const = 0;
    // Sleeps until clockNow() reaches `deadline`, without handling events.
    virtual void sleepUntil(std::chrono::nanoseconds deadline) = 0;
    // Clears what was drawn on the window's own surface.
    virtual void clearWindowDrawing() = 0;

    virtual void setCaption(const QString &caption) = 0;
    virtual void setLevelChecked(int level, bool checked) = 0;

    // The window's outer size in twips (board area plus the frame allowance). Setting it
    // delivers the resize of the board before returning.
    virtual int outerWidthTwips() const = 0;
    virtual int outerHeightTwips() const = 0;
    virtual void setOuterWidthTwips(int twips) = 0;
    virtual void setOuterHeightTwips(int twips) = 0;
    virtual bool isMinimised() const = 0;
    virtual void showWindow() = 0;
    // From now on, changes of the board's size reach Game::Resize.
    virtual void attachResizeWatcher() = 0;
    virtual void showNormalState() = 0;
    // The screen's size in twips.
    virtual QSize screenSizeTwips() const = 0;

    // A modal message box with an OK button and no icon; returns the button's result (1).
    virtual int messageBox(const QString &text, const QString &title) = 0;
    // The game's own file-open form: returns the chosen full path, or empty when cancelled.
    virtual QString chooseFileWithForm() = 0;
    // The common open dialog, starting on `fileName`; returns false when cancelled.
    virtual bool chooseFileWithDialog(QString &fileName) = 0;
    // The platform identifier of the running system (2 = the NT family).
    virtual int platformId() const = 0;
    virtual void showAbout() = 0;
    virtual void exitProgram() = 0;
};

} // namespace morvane
