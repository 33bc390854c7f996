// The folder list of the file-open form: shows the path from the root down to the current
// folder, then the current folder's subfolders; Enter or a double-click opens a row.
#include "FolderList.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStyle>

namespace morvane {

namespace {
constexpr int FolderPathRole = Qt::UserRole;

bool isListableFolder(const QString &folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

QTreeWidgetItem *addRow(QTreeWidget *tree, QTreeWidgetItem *parent, const QString &text,
                        const QString &folder, QStyle::StandardPixmap icon)
{
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
    item->setText(0, text);
    item->setData(0, FolderPathRole, folder);
    item->setIcon(0, tree->style()->standardIcon(icon));
    return item;
}
} // namespace

FolderList::FolderList(QWidget *parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setRootIsDecorated(false);
    // The rows are a fixed picture of one path; they never fold away.
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setIndentation(10);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeWidget::itemActivated, this, &FolderList::openItem);
}

QString FolderList::path() const { return QDir::toNativeSeparators(m_path); }

bool FolderList::setPath(const QString &folder)
{
    const QString absolute =
        QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(folder)).absoluteFilePath());
    if (!isListableFolder(absolute))
        return false;
    const bool changed = absolute != m_path;
    m_path = absolute;
    rebuild();
    if (changed)
        emit pathChanged(path());
    return true;
}

QString FolderList::highlightedPath() const
{
    const QTreeWidgetItem *item = currentItem();
    return item ? QDir::toNativeSeparators(item->data(0, FolderPathRole).toString()) : QString();
}

void FolderList::rebuild()
{
    clear();
    // Ancestors first, each one level deeper, as open folders.
    QString walked = QDir::rootPath();
    QTreeWidgetItem *row =
        addRow(this, nullptr, QDir::toNativeSeparators(walked), walked, QStyle::SP_DirOpenIcon);
    const QStringList parts = m_path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        walked = QDir(walked).filePath(part);
        row = addRow(this, row, part, walked, QStyle::SP_DirOpenIcon);
    }
    QTreeWidgetItem *current = row;
    const QFileInfoList subfolders = QDir(m_path).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot,
                                                                QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo &sub : subfolders)
        addRow(this, current, sub.fileName(), sub.absoluteFilePath(), QStyle::SP_DirClosedIcon);
    expandAll();
    setCurrentItem(current);
    scrollToItem(current);
}

void FolderList::openItem(QTreeWidgetItem *item)
{
    const QString folder = item->data(0, FolderPathRole).toString();
    if (folder == m_path)
        return;
    if (!setPath(folder))
        QApplication::beep(); // a folder we may not list: stay where we are
}

} // namespace morvane
