// The file list of the file-open form: the files of one folder that match the picture patterns.
#pragma once

#include <QListWidget>
#include <QString>
#include <QStringList>

namespace morvane {

class PictureFileList : public QListWidget {
    Q_OBJECT
public:
    explicit PictureFileList(const QStringList &patterns, QWidget *parent = nullptr);

    // Lists the matching files of `folder`, with none selected.
    void setFolder(const QString &folder);
    QString folder() const { return m_folder; }

    // The selected file's name without its folder, or the empty string.
    QString fileName() const;

private:
    QStringList m_patterns;
    QString m_folder;
};

} // namespace morvane
