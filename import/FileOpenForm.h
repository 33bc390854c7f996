// The game's own file chooser: drive, folder and file lists and an OK button.
#pragma once

#include "DriveList.h"

#include <QDialog>
#include <QList>
#include <QString>

class QPushButton;
class QWidget;

namespace morvane {

class FolderList;
class PictureFileList;

// The full path of `fileName` in `folder`: folder, separator, name. A root folder already ends
// in a separator, so "/" and "a.bmp" give "//a.bmp"; the path is handed over in that form.
QString pathInFolder(const QString &folder, const QString &fileName);

class FileOpenForm : public QDialog {
    Q_OBJECT
public:
    // Opens on the program's current working directory and its volume.
    explicit FileOpenForm(QWidget *owner = nullptr);
    // The same over a given list of volumes instead of the system's.
    FileOpenForm(QWidget *owner, const QList<Volume> &volumes);

    // The path handed over by OK; empty until then.
    QString chosenPath() const { return m_chosenPath; }

    DriveList *driveList() const { return m_drives; }
    FolderList *folderList() const { return m_folders; }
    PictureFileList *fileList() const { return m_files; }
    QPushButton *okButton() const { return m_ok; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void driveChanged();
    void folderChanged();
    void okClicked();

    QPushButton *m_ok;
    DriveList *m_drives;
    FolderList *m_folders;
    PictureFileList *m_files;
    QString m_chosenPath;
};

// Shows the form modally over `owner`; returns the chosen file's full path, or an empty
// string when the player closed the form without choosing.
QString runFileOpenForm(QWidget *owner);

} // namespace morvane
