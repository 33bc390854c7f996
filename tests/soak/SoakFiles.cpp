// Writing the soak's pictures.
#include "SoakFiles.h"

#include "tests/support/TestData.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace morvane::test {

namespace {

QImage scene(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, Qt::darkBlue);
    gradient.setColorAt(0.5, Qt::yellow);
    gradient.setColorAt(1, Qt::darkRed);
    painter.fillRect(image.rect(), gradient);
    painter.setPen(QPen(Qt::white, 3));
    for (int x = 0; x < size.width(); x += size.width() / 7 + 1)
        painter.drawLine(x, 0, size.width() - x, size.height());
    return image;
}

QString write(const QDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    // Qt 6.10 marks open() nodiscard; a soak run on files it could not write would prove nothing.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
}

} // namespace

SoakFiles::SoakFiles()
{
    const QDir dir(m_dir.path());
    const QString png = dir.filePath(QStringLiteral("meadow.png"));
    scene(QSize(300, 200)).save(png);
    const QString jpeg = dir.filePath(QStringLiteral("harbour.jpg"));
    scene(QSize(800, 500)).save(jpeg, "JPEG", 85);
    huge = dir.filePath(QStringLiteral("huge.jpg"));
    scene(QSize(4000, 3000)).save(huge, "JPEG", 60);
    good << png << jpeg << huge;

    const QString tiny = dir.filePath(QStringLiteral("tiny.png"));
    scene(QSize(12, 40)).save(tiny);
    QFile jpegFile(jpeg);
    if (!jpegFile.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(jpeg));
    const QByteArray jpegBytes = jpegFile.readAll();
    // A JPEG cut short still decodes in part, so either outcome of opening it is sound.
    doubtful << write(dir, QStringLiteral("cut.jpg"), jpegBytes.left(jpegBytes.size() / 40));
    bad << tiny
        << write(dir, QStringLiteral("noise.bmp"), QByteArray("BM") + QByteArray(300, '\x7f'))
        << write(dir, QStringLiteral("empty.gif"), QByteArray()) << m_dir.path()
        << dir.filePath(QStringLiteral("gone.jpg"));

    const QDir shared(testDataFolder(QStringLiteral("badimages")));
    for (const QString &name : shared.entryList(QDir::Files))
        if (!name.endsWith(QLatin1String(".md")))
            doubtful << shared.filePath(name);
}

} // namespace morvane::test
