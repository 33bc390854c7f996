// Which keys play the game: arrows move the keyboard cursor, and keys stand for the clicks.
#pragma once

#include "game/KeyboardCursor.h"

#include <Qt>

#include <optional>

namespace morvane {

struct PlayKey {
    enum class Action { Arrow, Click, RightClick, LetGo } action;
    ArrowKey arrow = ArrowKey::Left; // for Action::Arrow
};

// The play a key press stands for, or nothing for keys the game leaves to the window (Alt with
// a menu's letter, Tab, and every other key).
std::optional<PlayKey> playKeyFor(int key, Qt::KeyboardModifiers modifiers);

} // namespace morvane
