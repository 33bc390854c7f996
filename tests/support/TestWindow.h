// A main window for tests: the real board and components, with a clock of the test's own whose
// pauses return at once, counted redraws, recorded message boxes and scripted file choices and
// random numbers.
#pragma once

#include "GameData.h"

#include "app/frmMain.h"
#include "components/PieceImage.h"

#include <QStringList>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace morvane::test {

class TestWindow : public frmMain {
public:
    explicit TestWindow(const QString &dataFolder, Random *random = nullptr)
        : frmMain(dataFolder, random)
    {
    }

    // The window's clock: it moves only when the game sleeps or a test moves it.
    std::chrono::nanoseconds now{std::chrono::hours(1)};
    // How long every window redraw takes on that clock.
    std::chrono::nanoseconds redrawCost{0};
    int pauses = 0;
    // The clock at the end of every pause, in order.
    std::vector<std::chrono::nanoseconds> pauseEnds;
    int windowRedraws = 0;
    QStringList messages; // "title|text"
    QString formChoice;
    bool dialogAccepts = false;
    QString dialogChoice;
    QString dialogStartedOn;
    int aboutShown = 0;
    bool exited = false;

    // Called at every pause, to look at an animation while it runs.
    std::function<void()> onPause;
    // Called at every window redraw, before its cost is added to the clock.
    std::function<void()> onRedraw;

    std::chrono::nanoseconds clockNow() const override { return now; }
    void sleepUntil(std::chrono::nanoseconds deadline) override
    {
        ++pauses;
        now = std::max(now, deadline);
        pauseEnds.push_back(now);
        if (onPause)
            onPause();
    }
    void redrawWindow() override
    {
        ++windowRedraws;
        if (onRedraw)
            onRedraw();
        now += redrawCost;
        frmMain::redrawWindow();
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

    int pieceRedraws() 
    {
        int total = 0;
        for (int i = 1; i <= 18; ++i)
            total += piece(i).redrawCount();
        return total;
    }
    void resetCounts()
    {
        pauses = 0;
        pauseEnds.clear();
        windowRedraws = 0;
    }
};

} // namespace morvane::test
