// The file-open form (placeholder until the full form lands).
#include "FileOpenForm.h"

namespace morvane {

QString runFileOpenForm(QWidget *) { return QString(); }

} // namespace morvane
