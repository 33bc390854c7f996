// A private virtual X server with the real game on it: start, find windows, send input with
// xdotool, and read the screen back.
#pragma once

#include <QImage>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QProcess;

namespace morvane::test {

class XSession {
public:
    XSession();
    ~XSession();

    bool start();
    // Starts the game in `workingFolder` (where its file-open form opens), or here.
    bool startGame(const QString &binary, const QString &workingFolder = QString());
    void stopGame();

    // Runs a command on this display; returns its standard output (empty on failure).
    QString run(const QString &program, const QStringList &arguments, int timeoutMs = 20000);
    // The id of the first window whose name matches `pattern`, waiting up to `timeoutMs`
    // (generous: the machine may be busy compiling).
    QString findWindow(const QString &pattern, int timeoutMs = 30000);
    bool windowGone(const QString &pattern, int timeoutMs = 15000);
    QRect windowGeometry(const QString &window);
    QImage screenshot();
    // The screen as soon as `ready` holds for it, or the last one after `timeoutMs`: the game
    // runs in its own process and a busy machine may take a while to show a move.
    QImage screenWhen(const std::function<bool(const QImage &)> &ready, int timeoutMs = 20000);
    // The window's contents, read straight from xwd: a few milliseconds, fast enough to catch
    // the single pictures of an animation.
    QImage grabWindow(const QString &window);

    void click(QPoint at, int button = 1);
    // Presses the left button at `from`, moves the pointer in steps to `to` and lets go there:
    // a drag as a hand makes it, for whichever program is under the pointer.
    void drag(QPoint from, QPoint to);
    void keys(const QString &window, const QStringList &keys);
    void settle(int milliseconds);

    QString display() const { return m_display; }
    // What a program started on this display runs with.
    QProcessEnvironment environment() const;

private:
    QString m_display;
    std::unique_ptr<QProcess> m_server;
    std::unique_ptr<QProcess> m_game;
};

} // namespace morvane::test
