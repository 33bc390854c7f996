// The drive list of the file-open form: lists the mounted volumes and reports the player's picks.
#include "DriveList.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

namespace morvane {

namespace {
constexpr int RootPathRole = Qt::UserRole;

Volume volumeFrom(const QStorageInfo &info)
{
    return {QDir::toNativeSeparators(info.rootPath()), info.name()};
}
} // namespace

QList<Volume> mountedVolumes()
{
    QList<Volume> volumes;
    for (const QStorageInfo &info : QStorageInfo::mountedVolumes()) {
        // Single files bind-mounted into containers are volumes too, but no drive to browse.
        if (!info.isValid() || !QFileInfo(info.rootPath()).isDir())
            continue;
        const Volume volume = volumeFrom(info);
        const bool known = std::any_of(volumes.begin(), volumes.end(), [&](const Volume &v) {
            return v.rootPath == volume.rootPath;
        });
        if (!known)
            volumes.append(volume);
    }
    std::sort(volumes.begin(), volumes.end(),
              [](const Volume &a, const Volume &b) { return a.rootPath < b.rootPath; });
    return volumes;
}

Volume systemRootVolume()
{
    const QStorageInfo root = QStorageInfo::root();
    return root.isValid() ? volumeFrom(root)
                          : Volume{QDir::toNativeSeparators(QDir::rootPath()), {}};
}

QString volumeRootOf(const QString &path)
{
    // Where no mount holds the path, as in a chroot whose root is no mount point of its own, Qt
    // 6.8 names the path itself as the root of its volume (Qt 6.4 finds none): the path then
    // lies on the system root's volume.
    const QStorageInfo info(path);
    const QString root = info.isValid() ? info.rootPath() : QString();
    const QList<QStorageInfo> mounted = QStorageInfo::mountedVolumes();
    const bool mountPoint = std::any_of(mounted.begin(), mounted.end(), [&](const QStorageInfo &v) {
        return v.rootPath() == root;
    });
    return mountPoint ? QDir::toNativeSeparators(root) : systemRootVolume().rootPath;
}

DriveList::DriveList(const QList<Volume> &volumes, QWidget *parent) : QComboBox(parent)
{
    for (const Volume &volume : volumes)
        addVolume(volume);
    // `activated` comes from the player only (mouse or arrow keys), never from setDrive.
    connect(this, &QComboBox::activated, this, [this] { emit driveChanged(drive()); });
}

QString DriveList::drive() const { return currentData(RootPathRole).toString(); }

void DriveList::setDrive(const QString &rootPath)
{
    int index = findData(rootPath, RootPathRole);
    if (index < 0) {
        addVolume({rootPath, QString()});
        index = count() - 1;
    }
    setCurrentIndex(index);
}

void DriveList::addVolume(const Volume &volume)
{
    const QString text = volume.label.isEmpty() ? volume.rootPath
                                                : volume.rootPath + QStringLiteral("  [")
                                                      + volume.label + QLatin1Char(']');
    addItem(text, volume.rootPath);
}

} // namespace morvane
