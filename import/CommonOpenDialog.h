// The system's open dialog, titled "Open" with the game's one "Image files" filter.
#pragma once

#include <QString>

class QWidget;

namespace morvane {

// Shows the dialog starting on `fileName`; on a choice stores the full path there and returns
// true, on cancel returns false and leaves `fileName` alone.
bool runCommonOpenDialog(QWidget *owner, QString &fileName);

} // namespace morvane
