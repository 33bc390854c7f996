// The About box: name, version, credit, and how to play.
#pragma once

class QIcon;
class QWidget;

namespace morvane {

// Shows the About box modally over `owner`; every showing builds it afresh.
void runAboutBox(QWidget *owner, const QIcon &icon);

} // namespace morvane
