// The keys of keyboard play.
#include "PlayKeys.h"

namespace morvane {

namespace {

using Action = PlayKey::Action;

struct Binding {
    int key;
    Qt::KeyboardModifier modifier;
    PlayKey play;
};

constexpr Binding Bindings[] = {
    {Qt::Key_Left,   Qt::NoModifier,    {Action::Arrow, ArrowKey::Left} },
    {Qt::Key_Right,  Qt::NoModifier,    {Action::Arrow, ArrowKey::Right}},
    {Qt::Key_Up,     Qt::NoModifier,    {Action::Arrow, ArrowKey::Up}   },
    {Qt::Key_Down,   Qt::NoModifier,    {Action::Arrow, ArrowKey::Down} },
    {Qt::Key_Space,  Qt::NoModifier,    {Action::Click}                 },
    {Qt::Key_Return, Qt::NoModifier,    {Action::Click}                 },
    {Qt::Key_Enter,  Qt::NoModifier,    {Action::Click}                 },
    {Qt::Key_Space,  Qt::ShiftModifier, {Action::RightClick}            },
    {Qt::Key_F10,    Qt::ShiftModifier, {Action::RightClick}            },
    {Qt::Key_Menu,   Qt::NoModifier,    {Action::RightClick}            },
    {Qt::Key_Escape, Qt::NoModifier,    {Action::LetGo}                 },
};

} // namespace

std::optional<PlayKey> playKeyFor(int key, Qt::KeyboardModifiers modifiers)
{
    // The arrows and Enter of the number pad count as the others.
    modifiers &= ~Qt::KeypadModifier;
    for (const Binding &binding : Bindings)
        if (binding.key == key && modifiers == binding.modifier)
            return binding.play;
    return std::nullopt;
}

} // namespace morvane
