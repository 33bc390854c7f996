// A private headless Wayland compositor (sway) with the real game on it: start, find windows
// through sway's IPC, send input through our own virtual-device client, read the screen back
// with grim.
#pragma once

#include <QImage>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>

class QProcess;

namespace morvane::test {

struct SwayWindow {
    qint64 id = 0;
    QString name;  // the window title
    QString appId; // the xdg-shell app id
    QRect rect;    // the window's contents in layout coordinates
    bool floating = false;
    bool focused = false;
    bool visible = false; // on a shown workspace, not hidden in the scratchpad
};

class WaylandSession {
public:
    WaylandSession();
    ~WaylandSession();

    // Starts sway on its own runtime folder; returns why not when it cannot start, or an empty
    // string. As root, sway runs in a user namespace: it refuses to run as root.
    QString start(const QString &config);
    // Starts the input client; it holds a pointer and a keyboard until the session ends.
    bool startInput(const QString &program);
    // One command to the input client ("move X Y", "click left", "key alt+l", ...).
    bool input(const QString &command);
    bool startGame(const QString &binary, const QString &workingFolder = QString());
    void stopGame();

    // The first window whose title matches `pattern`, waiting up to `timeoutMs`.
    std::optional<SwayWindow> findWindow(const QString &pattern, int timeoutMs = 30000);
    bool windowGone(const QString &pattern, int timeoutMs = 30000);
    // The window with sway's container id `id` once `ready` holds for it, waiting up to
    // `timeoutMs`; the last state seen (or nothing, when it is gone) otherwise.
    std::optional<SwayWindow> windowWhen(qint64 id,
                                         const std::function<bool(const SwayWindow &)> &ready,
                                         int timeoutMs = 30000);
    QList<SwayWindow> windows();
    // Runs swaymsg with these arguments; returns its standard output.
    QString swaymsg(const QStringList &arguments);
    QImage screenshot();
    void click(QPoint at, const QString &button = QStringLiteral("left"));
    void settle(int milliseconds);

    QProcessEnvironment environment() const;

private:
    QTemporaryDir m_runtime;
    QString m_socket; // the Wayland display's name in the runtime folder
    QString m_ipc;    // sway's IPC socket
    std::unique_ptr<QProcess> m_sway;
    std::unique_ptr<QProcess> m_input;
    std::unique_ptr<QProcess> m_game;
};

} // namespace morvane::test
