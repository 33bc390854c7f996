// The one fake host of the game tests: a clock of the test's own whose pauses return at once,
// counted redraws, recorded message boxes and scripted file choices. It stands in for the
// window's side of the game either on its own (the recorded game, without a main window) or
// over the real main window (the test window), so both kinds of test count and script alike.
#pragma once

#include "TestClock.h"

#include "app/frmMain.h"
#include "game/Host.h"

#include <QStringList>

#include <chrono>
#include <functional>
#include <type_traits>

namespace morvane::test {

template <typename Window>
class FakeHost : public Window, public TestClock {
    // Over the real window, painting still happens; on its own nothing is painted.
    static constexpr bool OverMainWindow = std::is_base_of_v<frmMain, Window>;

public:
    using Window::Window;

    // How long every window redraw takes on the test's clock.
    std::chrono::nanoseconds redrawCost{0};
    int windowRedraws = 0;
    QStringList messages; // "title|text"
    QString formChoice;
    bool dialogAccepts = false;
    QString dialogChoice;
    QString dialogStartedOn;
    int aboutShown = 0;
    bool exited = false;
    // Called at every window redraw, before its cost is added to the clock.
    std::function<void()> onRedraw;

    std::chrono::nanoseconds clockNow() const override { return now; }
    void sleepUntil(std::chrono::nanoseconds deadline) override
    {
        // Between frames, as the real window does where the window system needs it.
        if constexpr (OverMainWindow)
            Window::betweenFrames().deliverPainting();
        sleepTill(deadline);
    }
    void redrawWindow() override
    {
        ++windowRedraws;
        if (onRedraw)
            onRedraw();
        now += redrawCost;
        if constexpr (OverMainWindow)
            Window::redrawWindow();
    }
    int messageBox(const QString &text, const QString &title) override
    {
        messages << title + QLatin1Char('|') + text;
        return 1;
    }
    QString chooseFileWithForm() override { return formChoice; }
    bool chooseFileWithDialog(QString &fileName) override
    {
        dialogStartedOn = fileName;
        if (dialogAccepts)
            fileName = dialogChoice;
        return dialogAccepts;
    }
    void showAbout() override { ++aboutShown; }
    void exitProgram() override { exited = true; }

    void resetCounts()
    {
        resetPauses();
        windowRedraws = 0;
    }
};

} // namespace morvane::test
