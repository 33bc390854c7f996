// The file-open form: picks a picture file through a drive list, a folder list and a file list.
#include "FileOpenForm.h"

#include "FolderList.h"
#include "PicturePatterns.h"
#include "PictureFileList.h"
#include "components/Twips.h"

#include <QDir>
#include <QKeyEvent>
#include <QPushButton>

namespace morvane {

namespace {
constexpr int ClientWidthTwips = 6645;
constexpr int ClientHeightTwips = 3885;
} // namespace

QString pathInFolder(const QString &folder, const QString &fileName)
{
    return folder + QDir::separator() + fileName;
}

FileOpenForm::FileOpenForm(QWidget *owner) : FileOpenForm(owner, mountedVolumes()) {}

FileOpenForm::FileOpenForm(QWidget *owner, const QList<Volume> &volumes)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
                         | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                         | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("Open image file"));
    setFixedSize(ClientWidthTwips / TwipsPerPixel, ClientHeightTwips / TwipsPerPixel);

    // Created in tab order: OK first, so that it holds the focus when the form opens.
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setGeometry(twipsRect(3960, 3240, 1215, 375));
    // OK is not the form's default button: Enter in a list opens a folder or a file instead.
    m_ok->setAutoDefault(false);
    m_ok->setDefault(false);

    m_drives = new DriveList(volumes, this);
    m_drives->setGeometry(twipsRect(480, 360, 2295, 315));

    m_folders = new FolderList(this);
    m_folders->setGeometry(twipsRect(480, 840, 2295, 2115));

    m_files = new PictureFileList(picturePatterns(), this);
    m_files->setGeometry(twipsRect(3120, 360, 3135, 2625));

    setTabOrder(m_ok, m_drives);
    setTabOrder(m_drives, m_folders);
    setTabOrder(m_folders, m_files);
    m_ok->setFocus();

    // Every showing starts on the working directory; the form never changes it.
    const QString start = QDir::currentPath();
    m_drives->setDrive(volumeRootOf(start));
    if (!m_folders->setPath(start)) {
        m_folders->setPath(QDir::rootPath());
        m_drives->setDrive(systemRootVolume().rootPath);
    }
    m_files->setFolder(m_folders->path());

    connect(m_drives, &DriveList::driveChanged, this, &FileOpenForm::driveChanged);
    connect(m_folders, &FolderList::pathChanged, this, &FileOpenForm::folderChanged);
    connect(m_ok, &QPushButton::clicked, this, &FileOpenForm::okClicked);
    // A file opened from the list (double-click, or Enter on it) is taken as with OK.
    connect(m_files, &QListWidget::itemActivated, this, &FileOpenForm::okClicked);
}

void FileOpenForm::driveChanged()
{
    // A volume whose root cannot be listed falls back to the system root, without a word.
    if (!m_folders->setPath(m_drives->drive())) {
        m_folders->setPath(QDir::rootPath());
        m_drives->setDrive(systemRootVolume().rootPath);
    }
}

void FileOpenForm::folderChanged() { m_files->setFolder(m_folders->path()); }

void FileOpenForm::okClicked()
{
    const QString name = m_files->fileName();
    if (name.isEmpty())
        return;
    m_chosenPath = pathInFolder(m_folders->path(), name);
    accept();
}

void FileOpenForm::keyPressEvent(QKeyEvent *event)
{
    // OK is no default button, so a QPushButton ignores Enter; a player who tabbed to OK
    // still expects Enter to press it.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && focusWidget() == m_ok) {
        m_ok->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

QString runFileOpenForm(QWidget *owner)
{
    FileOpenForm form(owner);
    if (form.exec() != QDialog::Accepted)
        return QString();
    return form.chosenPath();
}

} // namespace morvane
