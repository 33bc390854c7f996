// Where the keyboard cursor goes: the place beside another one in the direction of an arrow key.
#pragma once

namespace morvane {

class LevelTable;

enum class ArrowKey { Left, Right, Up, Down };

// The place of `level` beside place `from` in the direction of `arrow`, or 0 at the board's
// edge. Of the places lying wholly on that side of `from`, the nearest one is taken; among
// places equally near, the one sharing most of `from`'s side, then the lowest number. A place
// that shares none of that side (a corner touch) is never taken.
int placeBeside(const LevelTable &table, int level, int from, ArrowKey arrow);

} // namespace morvane
