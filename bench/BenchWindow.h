// The real main window with real 1 ms pauses, counted, and modal windows that never block.
#pragma once

#include "app/frmMain.h"

namespace morvane::bench {

class BenchWindow : public frmMain {
public:
    using frmMain::frmMain;

    int pauses = 0;
    // What the file-open form answers when the player presses OK.
    QString openChoice;

    void pause(int milliseconds) override
    {
        ++pauses;
        frmMain::pause(milliseconds);
    }
    // A benchmark has nobody to press OK; a message would stall the run.
    int messageBox(const QString &, const QString &) override { return 1; }
    QString chooseFileWithForm() override { return openChoice; }
    void showAbout() override {}
};

} // namespace morvane::bench
