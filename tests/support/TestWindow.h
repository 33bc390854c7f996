// A main window for tests: the real board and components, with the fake host's clock whose
// pauses return at once, counted redraws, recorded message boxes and scripted file choices and
// random numbers.
#pragma once

#include "FakeHost.h"
#include "GameData.h"

#include "app/frmMain.h"
#include "components/PieceImage.h"

namespace morvane::test {

class TestWindow : public FakeHost<frmMain> {
public:
    explicit TestWindow(const QString &dataFolder, Random *random = nullptr)
        : FakeHost(dataFolder, random)
    {
    }

    int pieceRedraws()
    {
        int total = 0;
        for (int i = 1; i <= 18; ++i)
            total += piece(i).redrawCount();
        return total;
    }
};

} // namespace morvane::test
