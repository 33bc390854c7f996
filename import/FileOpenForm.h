// The game's own file chooser: drive, folder and file lists and an OK button.
#pragma once

#include <QString>

class QWidget;

namespace morvane {

// Shows the form modally over `owner`; returns the chosen file's full path, or an empty
// string when the player closed the form without choosing.
QString runFileOpenForm(QWidget *owner);

} // namespace morvane
