// Loading pictures by content, within memory and size limits.
#include "PictureLoader.h"

#include "components/RuntimeError.h"

#include "import/metafile/MetafileReader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace morvane {

QSize fittedPictureSize(QSize size)
{
    if (size.width() <= MaxPictureWidth && size.height() <= MaxPictureHeight)
        return size;
    const double scale =
        std::min(double(MaxPictureWidth) / size.width(), double(MaxPictureHeight) / size.height());
    return QSize(std::clamp(int(std::floor(size.width() * scale)), 1, MaxPictureWidth),
                 std::clamp(int(std::floor(size.height() * scale)), 1, MaxPictureHeight));
}

namespace {

QImage readWith(QImageReader &reader, PictureUse use)
{
    reader.setAllocationLimit(PictureAllocationLimitMiB);
    // An own picture is turned the way its orientation tag says it is meant to be seen (a phone
    // stores an upright photo lying on its side and says so in the tag), before anything else
    // is decided about it. A level's table cuts its picture as it is stored.
    reader.setAutoTransform(use == PictureUse::Own);
    const QSize announced = reader.size();
    if (announced.isValid() && announced.isEmpty())
        return {};
    if (use == PictureUse::Level) {
        // A level's table cuts its picture at the picture's own size.
        QImage image = reader.read();
        return image.isNull() || image.width() <= 0 || image.height() <= 0 ? QImage() : image;
    }
    if (announced.isValid()) {
        // Decoding straight at the reduced size is much cheaper than scaling afterwards. The
        // reader announces and scales the picture as stored and turns it only afterwards, while
        // the limits are for the turned picture: a quarter turn swaps the sides both ways.
        const bool quarterTurn = reader.transformation() & QImageIOHandler::TransformationRotate90;
        const QSize seen = quarterTurn ? announced.transposed() : announced;
        const QSize fitted = fittedPictureSize(seen);
        if (fitted != seen)
            reader.setScaledSize(quarterTurn ? fitted.transposed() : fitted);
    }
    QImage image = reader.read();
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return {};
    const QSize fitted = fittedPictureSize(image.size());
    if (fitted != image.size())
        image = image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

QImage decodeRaster(const QByteArray &bytes, const QByteArray &format, PictureUse use)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(format.isEmpty());
    return readWith(reader, use);
}

} // namespace

QImage decodePicture(const QByteArray &bytes, bool dibHint, PictureUse use)
{
    // Windows and enhanced metafiles are played by our own reader; Qt reads neither.
    if (metafile::detect(bytes.left(64)) != metafile::Kind::None) {
        const QSize box =
            use == PictureUse::Own ? QSize(MaxPictureWidth, MaxPictureHeight) : QSize();
        return metafile::render(bytes, box).image;
    }
    if (dibHint) {
        if (QImage image = decodeRaster(bytes, "dib", use); !image.isNull())
            return image;
    }
    return decodeRaster(bytes, QByteArray(), use);
}

QByteArray readPictureFile(const QString &path)
{
    // Opened without blocking before anything is asked about it: a named pipe or a device then
    // cannot hold the game, even one put in place of a file after it was listed.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            raiseError(ErrorNumber::FileNotFound, "file not found");
        raiseError(ErrorNumber::InvalidPicture, "invalid picture");
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > MaxPictureFileBytes)
        raiseError(ErrorNumber::InvalidPicture, "invalid picture");
    // Only as many bytes as the file holds; a file that grows meanwhile is read to that size.
    QByteArray bytes(qsizetype(info.st_size), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            raiseError(ErrorNumber::InvalidPicture, "invalid picture");
        if (got == 0)
            break;
        done += got;
    }
    bytes.truncate(done);
    return bytes;
}

QImage loadPicture(const QString &path, PictureUse use)
{
    const QByteArray bytes = readPictureFile(path);
    const bool dibHint =
        QFileInfo(path).suffix().compare(QLatin1String("dib"), Qt::CaseInsensitive) == 0;
    QImage image = decodePicture(bytes, dibHint, use);
    if (image.isNull())
        raiseError(ErrorNumber::InvalidPicture, "invalid picture");
    return image;
}

QImage loadLevelPicture(const QString &path) { return loadPicture(path, PictureUse::Level); }

} // namespace morvane
