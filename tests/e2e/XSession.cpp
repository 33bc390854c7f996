// Running Xvfb, the game, xdotool and xwd for the end-to-end tests.
#include "XSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

namespace morvane::test {

XSession::XSession() = default;

XSession::~XSession()
{
    stopGame();
    if (m_server) {
        m_server->terminate();
        m_server->waitForFinished(3000);
    }
}

QProcessEnvironment XSession::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), m_display);
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    return env;
}

bool XSession::start()
{
    // A display number of our own, so that parallel runs never meet.
    for (int number = 40 + int(QCoreApplication::applicationPid() % 200); number < 400; ++number) {
        if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number))
            || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
            continue;
        m_display = QStringLiteral(":%1").arg(number);
        m_server = std::make_unique<QProcess>();
        // -noreset: the server must not reset while the game is being restarted, when it
        // briefly has no client at all.
        m_server->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server->start(QStringLiteral("Xvfb"),
                        {m_display, QStringLiteral("-screen"), QStringLiteral("0"),
                         QStringLiteral("1280x1024x24"), QStringLiteral("-noreset"),
                         QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (!m_server->waitForStarted(5000))
            return false;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 10000) {
            if (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))
                return true;
            if (m_server->state() != QProcess::Running)
                break;
            QThread::msleep(50);
        }
        m_server->kill();
        m_server->waitForFinished();
    }
    return false;
}

bool XSession::startGame(const QString &binary, const QString &workingFolder)
{
    m_game = std::make_unique<QProcess>();
    if (!workingFolder.isEmpty())
        m_game->setWorkingDirectory(workingFolder);
    m_game->setProcessEnvironment(environment());
    m_game->setProcessChannelMode(QProcess::ForwardedChannels);
    m_game->start(binary, {});
    return m_game->waitForStarted(5000);
}

void XSession::stopGame()
{
    if (m_game && m_game->state() == QProcess::Running) {
        m_game->kill();
        m_game->waitForFinished(3000);
    }
    m_game.reset();
}

QString XSession::run(const QString &program, const QStringList &arguments, int timeoutMs)
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

QString XSession::findWindow(const QString &pattern, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        const QString ids = run(QStringLiteral("xdotool"),
                                {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                 QStringLiteral("--name"), pattern});
        if (!ids.isEmpty())
            return ids.split(QLatin1Char('\n')).first();
        QThread::msleep(100);
    }
    return {};
}

bool XSession::windowGone(const QString &pattern, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        if (run(QStringLiteral("xdotool"),
                {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                 QStringLiteral("--name"), pattern})
                .isEmpty())
            return true;
        QThread::msleep(100);
    }
    return false;
}

QRect XSession::windowGeometry(const QString &window)
{
    const QString shell = run(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"),
                                                          QStringLiteral("--shell"), window});
    QRect rect;
    for (const QString &line : shell.split(QLatin1Char('\n'))) {
        const QStringList pair = line.split(QLatin1Char('='));
        if (pair.size() != 2)
            continue;
        const int value = pair[1].toInt();
        if (pair[0] == QLatin1String("X"))
            rect.moveLeft(value);
        else if (pair[0] == QLatin1String("Y"))
            rect.moveTop(value);
        else if (pair[0] == QLatin1String("WIDTH"))
            rect.setWidth(value);
        else if (pair[0] == QLatin1String("HEIGHT"))
            rect.setHeight(value);
    }
    return rect;
}

void XSession::drag(QPoint from, QPoint to)
{
    const auto moveTo = [this](QPoint at) {
        run(QStringLiteral("xdotool"),
            {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
        settle(100);
    };
    moveTo(from);
    run(QStringLiteral("xdotool"), {QStringLiteral("mousedown"), QStringLiteral("1")});
    settle(200);
    // Several moves: the source starts its drag on the first, the target sees it enter and
    // move over it on the others.
    for (int step = 1; step <= 6; ++step)
        moveTo(from + (to - from) * step / 6);
    settle(300);
    run(QStringLiteral("xdotool"), {QStringLiteral("mouseup"), QStringLiteral("1")});
}

QImage XSession::screenWhen(const std::function<bool(const QImage &)> &ready, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    QImage screen = screenshot();
    while (!ready(screen) && clock.elapsed() < timeoutMs) {
        settle(250);
        screen = screenshot();
    }
    return screen;
}

QImage XSession::screenshot()
{
    QProcess xwd;
    xwd.setProcessEnvironment(environment());
    QProcess convert;
    xwd.setStandardOutputProcess(&convert);
    xwd.start(QStringLiteral("xwd"), {QStringLiteral("-root"), QStringLiteral("-silent"),
                                      QStringLiteral("-display"), m_display});
    const QString converter = QFile::exists(QStringLiteral("/usr/bin/convert"))
                                  ? QStringLiteral("/usr/bin/convert")
                                  : QStringLiteral("convert");
    convert.start(converter, {QStringLiteral("xwd:-"), QStringLiteral("png:-")});
    xwd.waitForFinished(20000);
    convert.waitForFinished(20000);
    return QImage::fromData(convert.readAllStandardOutput(), "PNG")
        .convertToFormat(QImage::Format_RGB32);
}

namespace {

quint32 bigEndian32(const QByteArray &data, int offset)
{
    const auto *p = reinterpret_cast<const uchar *>(data.constData() + offset);
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

// Reads a window dump of 32 bits a pixel in TrueColor, as Xvfb at depth 24 writes it.
QImage fromXwd(const QByteArray &data)
{
    if (data.size() < 100)
        return {};
    const quint32 headerSize = bigEndian32(data, 0);
    const int width = int(bigEndian32(data, 16)), height = int(bigEndian32(data, 20));
    const quint32 byteOrder = bigEndian32(data, 28), bitsPerPixel = bigEndian32(data, 44);
    const int bytesPerLine = int(bigEndian32(data, 48));
    const quint32 redMask = bigEndian32(data, 56), greenMask = bigEndian32(data, 60);
    const quint32 blueMask = bigEndian32(data, 64), colours = bigEndian32(data, 76);
    const qint64 pixels = qint64(headerSize) + qint64(colours) * 12;
    if (bitsPerPixel != 32 || width <= 0 || height <= 0
        || pixels + qint64(bytesPerLine) * height > data.size())
        return {};
    auto shiftOf = [](quint32 mask) { return mask ? int(qCountTrailingZeroBits(mask)) : 0; };
    const int rs = shiftOf(redMask), gs = shiftOf(greenMask), bs = shiftOf(blueMask);
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const auto *row =
            reinterpret_cast<const uchar *>(data.constData() + pixels + qint64(y) * bytesPerLine);
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const uchar *p = row + 4 * x;
            const quint32 v = byteOrder == 0 ? quint32(p[0]) | quint32(p[1]) << 8
                                                   | quint32(p[2]) << 16 | quint32(p[3]) << 24
                                             : quint32(p[3]) | quint32(p[2]) << 8
                                                   | quint32(p[1]) << 16 | quint32(p[0]) << 24;
            out[x] = qRgb(int((v & redMask) >> rs), int((v & greenMask) >> gs),
                          int((v & blueMask) >> bs));
        }
    }
    return image;
}

} // namespace

QImage XSession::grabWindow(const QString &window)
{
    QProcess xwd;
    xwd.setProcessEnvironment(environment());
    xwd.start(QStringLiteral("xwd"), {QStringLiteral("-id"), window, QStringLiteral("-silent"),
                                      QStringLiteral("-display"), m_display});
    xwd.waitForFinished(20000);
    return fromXwd(xwd.readAllStandardOutput());
}

void XSession::click(QPoint at, int button)
{
    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
         QStringLiteral("click"), QString::number(button)});
}

void XSession::keys(const QString &window, const QStringList &keys)
{
    // Without a window manager the keyboard focus does not follow the pointer.
    run(QStringLiteral("xdotool"),
        {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    for (const QString &key : keys) {
        run(QStringLiteral("xdotool"), {QStringLiteral("key"), key});
        QThread::msleep(150);
    }
}

void XSession::settle(int milliseconds) { QThread::msleep(milliseconds); }

} // namespace morvane::test
