// The About box (placeholder until the full box lands).
#include "AboutBox.h"

#include <QIcon>
#include <QMessageBox>

namespace morvane {

void runAboutBox(QWidget *owner, const QIcon &)
{
    QMessageBox::about(owner, QStringLiteral("About Morvane"), QStringLiteral("Morvane"));
}

} // namespace morvane
