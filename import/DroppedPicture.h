// Whether a drag may be dropped on the main window, and which picture file it brings.
#pragma once

#include <QString>

class QDropEvent;

namespace morvane {

// Answers a drag over the main window (its entering, each move and the drop itself). The drag is
// taken, as a copy, when its first URL names a local regular file and no modal window is open;
// that file's path is returned. Otherwise it is refused, so that the pointer shows that nothing
// can be dropped there, and the path is empty: a folder, a remote address, text without a URL,
// a drag that can only move its file away.
QString takePictureDrag(QDropEvent &event);

} // namespace morvane
