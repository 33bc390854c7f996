// Taking or refusing a drag over the main window.
#include "DroppedPicture.h"

#include <QApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace morvane {

namespace {

QString pictureFileIn(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return {};
    const QString path = urls.first().toLocalFile();
    // Whether the file is a picture is the loader's to say, as for File > Open; only what can
    // never be one (a folder, a device, a pipe, nothing at all) is refused here.
    return QFileInfo(path).isFile() ? path : QString();
}

} // namespace

QString takePictureDrag(QDropEvent &event)
{
    // While a modal window is open the main window takes no input, and a drop is input.
    const QString path =
        QApplication::activeModalWidget() ? QString() : pictureFileIn(event.mimeData());
    // Only ever a copy: a drop accepted as a move would have the file manager delete the
    // player's picture once the game has it.
    if (path.isEmpty() || !(event.possibleActions() & Qt::CopyAction)) {
        event.ignore();
        return {};
    }
    event.setDropAction(Qt::CopyAction);
    event.accept();
    return path;
}

} // namespace morvane
