// A main window for tests: the real board and components, with pauses that return at once,
// counted redraws, recorded message boxes and scripted file choices and random numbers.
#pragma once

#include "GameData.h"

#include "app/frmMain.h"
#include "components/PieceImage.h"

#include <QStringList>

#include <functional>

namespace morvane::test {

class TestWindow : public frmMain {
public:
    explicit TestWindow(const QString &dataFolder, Random *random = nullptr)
        : frmMain(dataFolder, random)
    {
    }

    int pauses = 0;
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

    void pause(int) override
    {
        ++pauses;
        if (onPause)
            onPause();
    }
    void redrawWindow() override
    {
        ++windowRedraws;
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
        windowRedraws = 0;
    }
};

} // namespace morvane::test
