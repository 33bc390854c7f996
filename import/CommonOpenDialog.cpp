// The common open dialog (placeholder until the full dialog lands).
#include "CommonOpenDialog.h"

namespace morvane {

bool runCommonOpenDialog(QWidget *, QString &) { return false; }

} // namespace morvane
