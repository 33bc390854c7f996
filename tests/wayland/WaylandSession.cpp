// The headless sway session of the Wayland end-to-end test.
#include "WaylandSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>

#include <unistd.h>

namespace morvane::test {

namespace {

void collectWindows(const QJsonObject &node, bool floating, QList<SwayWindow> &found)
{
    if (node.contains(QStringLiteral("app_id")) && !node.value(QStringLiteral("app_id")).isNull()) {
        const QJsonObject rect = node.value(QStringLiteral("rect")).toObject();
        const QJsonObject inner = node.value(QStringLiteral("window_rect")).toObject();
        SwayWindow window;
        window.id = node.value(QStringLiteral("id")).toInteger();
        window.name = node.value(QStringLiteral("name")).toString();
        window.appId = node.value(QStringLiteral("app_id")).toString();
        // window_rect is the client's own area, relative to the container.
        window.rect = QRect(
            rect.value(QStringLiteral("x")).toInt() + inner.value(QStringLiteral("x")).toInt(),
            rect.value(QStringLiteral("y")).toInt() + inner.value(QStringLiteral("y")).toInt(),
            inner.value(QStringLiteral("width")).toInt(),
            inner.value(QStringLiteral("height")).toInt());
        window.floating = floating;
        window.focused = node.value(QStringLiteral("focused")).toBool();
        window.visible = node.value(QStringLiteral("visible")).toBool();
        found.append(window);
    }
    for (const QJsonValue child : node.value(QStringLiteral("nodes")).toArray())
        collectWindows(child.toObject(), floating, found);
    for (const QJsonValue child : node.value(QStringLiteral("floating_nodes")).toArray())
        collectWindows(child.toObject(), true, found);
}

} // namespace

WaylandSession::WaylandSession() = default;

WaylandSession::~WaylandSession()
{
    stopGame();
    for (auto *process : {m_input.get(), m_sway.get()}) {
        if (process && process->state() != QProcess::NotRunning) {
            process->terminate();
            if (!process->waitForFinished(5000))
                process->kill();
            process->waitForFinished(2000);
        }
    }
}

QString WaylandSession::start(const QString &config)
{
    for (const char *tool : {"sway", "swaymsg", "grim"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return QStringLiteral("%1 is not installed").arg(QString::fromLatin1(tool));
    if (!m_runtime.isValid())
        return QStringLiteral("no temporary folder for XDG_RUNTIME_DIR");
    QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "SWAYSOCK", "WAYLAND_SOCKET"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    env.insert(QStringLiteral("HOME"), m_runtime.path());
    env.insert(QStringLiteral("WLR_BACKENDS"), QStringLiteral("headless"));
    env.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    env.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));

    m_sway = std::make_unique<QProcess>();
    m_sway->setProcessEnvironment(env);
    m_sway->setProcessChannelMode(QProcess::MergedChannels);
    QString program = QStringLiteral("sway");
    QStringList arguments{QStringLiteral("-c"), config};
    if (geteuid() == 0) {
        // sway will not run as root; an unprivileged user of its own namespace owns it, and
        // root outside still reaches its sockets.
        if (QStandardPaths::findExecutable(QStringLiteral("unshare")).isEmpty())
            return QStringLiteral("running as root and unshare is not installed");
        arguments.prepend(program);
        arguments = QStringList{QStringLiteral("--user"), QStringLiteral("--map-user=1000"),
                                QStringLiteral("--map-group=1000")}
                    + arguments;
        program = QStringLiteral("unshare");
    }
    m_sway->start(program, arguments);
    if (!m_sway->waitForStarted(10000))
        return QStringLiteral("%1 did not start: %2").arg(program, m_sway->errorString());

    // Ready once both the Wayland socket and the IPC socket are there.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 20000) {
        if (m_sway->state() == QProcess::NotRunning) {
            const QStringList lines =
                QString::fromLocal8Bit(m_sway->readAll()).split('\n', Qt::SkipEmptyParts);
            return QStringLiteral("sway exited (%1): %2")
                .arg(m_sway->exitCode())
                .arg(lines.isEmpty() ? QStringLiteral("no output") : lines.last());
        }
        const QDir folder(m_runtime.path());
        const QStringList sockets = folder.entryList({QStringLiteral("wayland-*")}, QDir::System);
        const QStringList ipc = folder.entryList({QStringLiteral("sway-ipc.*")}, QDir::System);
        for (const QString &name : sockets)
            if (!name.endsWith(QStringLiteral(".lock")))
                m_socket = name;
        if (!m_socket.isEmpty() && !ipc.isEmpty()) {
            m_ipc = folder.filePath(ipc.first());
            if (!swaymsg({QStringLiteral("-t"), QStringLiteral("get_version")}).isEmpty())
                return QString();
        }
        QThread::msleep(50);
    }
    return QStringLiteral("sway did not open its sockets within 20 s");
}

QProcessEnvironment WaylandSession::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    env.insert(QStringLiteral("WAYLAND_DISPLAY"), m_socket);
    env.insert(QStringLiteral("SWAYSOCK"), m_ipc);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    return env;
}

bool WaylandSession::startInput(const QString &program)
{
    m_input = std::make_unique<QProcess>();
    m_input->setProcessEnvironment(environment());
    m_input->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_input->start(program, {});
    if (!m_input->waitForStarted(10000))
        return false;
    while (m_input->waitForReadyRead(10000) || m_input->canReadLine())
        if (m_input->canReadLine())
            return m_input->readLine().startsWith("ready");
    return false;
}

bool WaylandSession::input(const QString &command)
{
    if (!m_input || m_input->state() != QProcess::Running)
        return false;
    m_input->write(command.toUtf8() + '\n');
    QElapsedTimer clock;
    clock.start();
    while (!m_input->canReadLine() && clock.elapsed() < 10000)
        m_input->waitForReadyRead(500);
    const QByteArray reply = m_input->readLine().trimmed();
    if (reply != "ok")
        qWarning("input %s: %s", qPrintable(command), reply.constData());
    return reply == "ok";
}

bool WaylandSession::startGame(const QString &binary, const QString &workingFolder)
{
    m_game = std::make_unique<QProcess>();
    m_game->setProcessEnvironment(environment());
    m_game->setProcessChannelMode(QProcess::ForwardedChannels);
    if (!workingFolder.isEmpty())
        m_game->setWorkingDirectory(workingFolder);
    m_game->start(binary, {});
    return m_game->waitForStarted(10000);
}

void WaylandSession::stopGame()
{
    if (m_game && m_game->state() != QProcess::NotRunning) {
        m_game->terminate();
        if (!m_game->waitForFinished(5000))
            m_game->kill();
        m_game->waitForFinished(2000);
    }
    m_game.reset();
}

QString WaylandSession::swaymsg(const QStringList &arguments)
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(QStringLiteral("swaymsg"), QStringList{QStringLiteral("-s"), m_ipc} + arguments);
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QList<SwayWindow> WaylandSession::windows()
{
    QList<SwayWindow> found;
    const QString tree =
        swaymsg({QStringLiteral("-r"), QStringLiteral("-t"), QStringLiteral("get_tree")});
    collectWindows(QJsonDocument::fromJson(tree.toUtf8()).object(), false, found);
    return found;
}

std::optional<SwayWindow> WaylandSession::findWindow(const QString &pattern, int timeoutMs)
{
    const QRegularExpression name(pattern);
    QElapsedTimer clock;
    clock.start();
    do {
        // A window counts once it has a size: sway lists it a moment before it is mapped.
        for (const SwayWindow &window : windows())
            if (name.match(window.name).hasMatch() && window.rect.width() > 0)
                return window;
        settle(100);
    } while (clock.elapsed() < timeoutMs);
    return std::nullopt;
}

bool WaylandSession::windowGone(const QString &pattern, int timeoutMs)
{
    const QRegularExpression name(pattern);
    QElapsedTimer clock;
    clock.start();
    do {
        bool present = false;
        for (const SwayWindow &window : windows())
            present = present || name.match(window.name).hasMatch();
        if (!present)
            return true;
        settle(100);
    } while (clock.elapsed() < timeoutMs);
    return false;
}

std::optional<SwayWindow> WaylandSession::windowWhen(
    qint64 id, const std::function<bool(const SwayWindow &)> &ready, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    std::optional<SwayWindow> last;
    do {
        last.reset();
        for (const SwayWindow &window : windows())
            if (window.id == id)
                last = window;
        if (last && ready(*last))
            return last;
        settle(100);
    } while (clock.elapsed() < timeoutMs);
    return last;
}

QImage WaylandSession::screenshot()
{
    QProcess grim;
    grim.setProcessEnvironment(environment());
    grim.start(QStringLiteral("grim"),
               {QStringLiteral("-t"), QStringLiteral("ppm"), QStringLiteral("-")});
    if (!grim.waitForFinished(20000))
        return QImage();
    return QImage::fromData(grim.readAllStandardOutput(), "PPM")
        .convertToFormat(QImage::Format_RGB32);
}

void WaylandSession::click(QPoint at, const QString &button)
{
    input(QStringLiteral("move %1 %2").arg(at.x()).arg(at.y()));
    input(QStringLiteral("click ") + button);
}

void WaylandSession::settle(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
}

} // namespace morvane::test
