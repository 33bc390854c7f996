// The real main window, with its real clock and frame-paced pauses, and modal windows that
// never block.
#pragma once

#include "app/frmMain.h"

namespace morvane::bench {

class BenchWindow : public frmMain {
public:
    using frmMain::frmMain;

    // What the file-open form answers when the player presses OK.
    QString openChoice;

    // A benchmark has nobody to press OK; a message would stall the run.
    int messageBox(const QString &, const QString &) override { return 1; }
    QString chooseFileWithForm() override { return openChoice; }
    void showAbout() override {}
};

} // namespace morvane::bench
