// The two window sizes every board benchmark runs at: the start size and a full-HD window.
#pragma once

#include "BenchWindow.h"
#include "Timing.h"
#include "components/Twips.h"

#include <QString>

namespace morvane::bench {

struct WindowSize {
    const char *key;  // used in result names
    int outerWidthPx; // the window's outer size as the game counts it (board plus frame allowance)
    int outerHeightPx;
};

constexpr WindowSize StartSize{"start", 648, 536};
constexpr WindowSize FullHd{"1920x1080", 1920, 1080};

inline WindowSize sizeFromArgument(const QString &argument)
{
    return argument == QLatin1String("1920x1080") ? FullHd : StartSize;
}

// Starts the game as the player sees it, then gives the window the asked outer size; the
// game lays its board out for it as it would after a drag of the window's edge.
inline void startAt(BenchWindow &window, WindowSize size)
{
    window.start();
    settle(200);
    if (size.outerWidthPx != StartSize.outerWidthPx
        || size.outerHeightPx != StartSize.outerHeightPx) {
        window.setOuterHeightTwips(size.outerHeightPx * TwipsPerPixel);
        window.setOuterWidthTwips(size.outerWidthPx * TwipsPerPixel);
        settle(200);
    }
}

} // namespace morvane::bench
