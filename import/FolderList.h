// The folder list of the file-open form: the current folder's ancestors and its subfolders.
#pragma once

#include <QString>
#include <QTreeWidget>

namespace morvane {

class FolderList : public QTreeWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget *parent = nullptr);

    // The current folder, absolute, in native separators. Only a root folder ends in a separator.
    QString path() const;

    // Makes `folder` the current one. Returns false, and changes nothing, when it is not a
    // folder that can be listed.
    bool setPath(const QString &folder);

    // The folder of the highlighted row, which Enter or a double-click would open.
    QString highlightedPath() const;

signals:
    void pathChanged(const QString &path);

protected:
    // No fold arrows: every row is always open, the indentation alone shows the levels.
    void drawBranches(QPainter *, const QRect &, const QModelIndex &) const override {}

private:
    void rebuild();
    void openItem(QTreeWidgetItem *item);

    QString m_path; // with '/' separators
};

} // namespace morvane
