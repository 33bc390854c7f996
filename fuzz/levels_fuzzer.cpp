// Fuzz target for the level table reader: any bytes as Levels.res, then the board layout of
// every row at a few window sizes, as start-up and a resize would run it.
#include "components/RuntimeError.h"
#include "game/BoardLayout.h"
#include "game/LevelTable.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

struct BoardSize {
    long long innerWidth, innerHeight;
    int imageWidth, imageHeight;
};

// The start-up window, a tiny one, a huge one, and the largest picture the loader lets through.
constexpr BoardSize Sizes[] = {
    {640,  490,  600,  450 },
    {1,    1,    600,  450 },
    {4000, 3000, 600,  450 },
    {2176, 2138, 2136, 2098},
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    morvane::LevelTable table;
    morvane::readLevelRecords(std::string_view(reinterpret_cast<const char *>(data), size), table);
    for (int row = 1; row <= 7; ++row) {
        for (const BoardSize &s : Sizes) {
            // Broken links and 16-bit overflow are reported as runtime errors, which the game
            // turns into a skipped step; anything else escaping is a fault.
            morvane::LevelTable scratch = table;
            try {
                morvane::layoutPlaces(scratch, row, s.innerWidth, s.innerHeight, s.imageWidth,
                                      s.imageHeight);
            } catch (const morvane::RuntimeError &) {
            }
        }
    }
    return 0;
}
