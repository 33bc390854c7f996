// The file list of the file-open form. Extensions match whatever their case ("PHOTO.JPG"
// is as much a picture as "photo.jpg"); hidden files stay hidden, as in the folder list.
#include "PictureFileList.h"

#include <QDir>

namespace morvane {

PictureFileList::PictureFileList(const QStringList &patterns, QWidget *parent)
    : QListWidget(parent), m_patterns(patterns)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void PictureFileList::setFolder(const QString &folder)
{
    m_folder = folder;
    clear();
    // Without QDir::CaseSensitive the name filters ignore case.
    const QStringList names =
        QDir(folder).entryList(m_patterns, QDir::Files, QDir::Name | QDir::IgnoreCase);
    addItems(names);
    setCurrentItem(nullptr);
}

QString PictureFileList::fileName() const
{
    const QList<QListWidgetItem *> selected = selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

} // namespace morvane
