// The drive list of the file-open form: a drop-down of the mounted volumes.
#pragma once

#include <QComboBox>
#include <QList>
#include <QString>

namespace morvane {

// One mounted volume, known by the folder it is mounted on.
struct Volume {
    QString rootPath;
    QString label;
};

// The system's mounted volumes whose root is a folder, sorted by root path.
QList<Volume> mountedVolumes();

// The volume that holds the file system's root, where an unreadable drive falls back to.
Volume systemRootVolume();

// The root path of the mounted volume that holds `path`.
QString volumeRootOf(const QString &path);

class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(const QList<Volume> &volumes, QWidget *parent = nullptr);

    // The root path of the selected volume.
    QString drive() const;

    // Selects the volume mounted on `rootPath`, adding it to the list if it is missing.
    // Does not raise driveChanged: only the player's own picks do.
    void setDrive(const QString &rootPath);

signals:
    void driveChanged(const QString &rootPath);

private:
    void addVolume(const Volume &volume);
};

} // namespace morvane
