// The common open dialog: a non-native QFileDialog titled "Open" with the "Image files" filter.
#include "CommonOpenDialog.h"

#include "PicturePatterns.h"

namespace morvane {

QString CommonOpenDialog::imageFilesFilter()
{
    return QStringLiteral("Image files (") + picturePatterns().join(QLatin1Char(' '))
           + QLatin1Char(')');
}

CommonOpenDialog::CommonOpenDialog(QWidget *owner, const QString &previousName)
    : QFileDialog(owner, QStringLiteral("Open"))
{
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFile);
    setNameFilter(imageFilesFilter());
    // An absolute previous name also moves the dialog to that name's folder.
    if (!previousName.isEmpty())
        selectFile(previousName);
}

bool runCommonOpenDialog(QWidget *owner, QString &fileName)
{
    CommonOpenDialog dialog(owner, fileName);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return false;
    fileName = chosen.first();
    return true;
}

} // namespace morvane
