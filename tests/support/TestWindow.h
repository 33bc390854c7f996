// A main window for tests: the real board and components, with a clock of the test's own whose
// pauses return at once, counted redraws, recorded message boxes and scripted file choices and
// random numbers.
#pragma once

#include "GameData.h"
#include "TestClock.h"

#include "app/frmMain.h"
#include "components/PieceImage.h"

#include <QStringList>

#include <chrono>
#include <functional>

namespace morvane::test {

class TestWindow : public frmMain, public TestClock {
public:
    explicit TestWindow(const QString &dataFolder, Random *random = nullptr)
        : frmMain(dataFolder, random)
    {
    }

    // How long every window redraw takes on that clock.
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
        betweenFrames().deliverPainting();
        sleepTill(deadline);
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
        resetPauses();
        windowRedraws = 0;
    }
};

} // namespace morvane::test
