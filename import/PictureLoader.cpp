// Loading pictures by content, within memory and size limits.
#include "PictureLoader.h"

#include "components/RuntimeError.h"

#include "import/PictureColours.h"
#include "import/PictureFormats.h"

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
    // A photo's colours as a colour-managed viewer shows them, its transparency on white paper.
    return shownColours(std::move(image));
}

// Reads the picture on the device with the decoder of `format` and no other: with format
// detection off, a second image plugin for the same format cannot answer in its place.
QImage readAs(QIODevice &device, const QByteArray &format, PictureUse use)
{
    device.seek(0);
    QImageReader reader(&device, format);
    reader.setAutoDetectImageFormat(false);
    return readWith(reader, use);
}

// Every picture, whatever its format, comes through here. A bare device-independent bitmap has
// no signature to be recognised by: it is tried first where the name says it is one.
QImage decodeFrom(QIODevice &device, bool dibHint, PictureUse use)
{
    if (dibHint) {
        if (QImage image = readAs(device, "dib", use); !image.isNull())
            return image;
    }
    device.seek(0);
    const QByteArray format = pictureFormatOf(device);
    return format.isEmpty() ? QImage() : readAs(device, format, use);
}

// A picture file opened for reading: a regular file within the size limit. It is opened
// without blocking before anything is asked about it: a named pipe or a device then cannot
// hold the game, even one put in place of a file after it was listed.
class PictureFile {
public:
    explicit PictureFile(const QString &path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC))
    {
        if (m_fd < 0) {
            if (errno == ENOENT || errno == ENOTDIR)
                raiseError(ErrorNumber::FileNotFound, "file not found");
            raiseError(ErrorNumber::InvalidPicture, "invalid picture");
        }
        struct stat info = {};
        if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)
            || info.st_size > MaxPictureFileBytes) {
            ::close(m_fd);
            raiseError(ErrorNumber::InvalidPicture, "invalid picture");
        }
        // Only as many bytes as the file holds now; a file that grows meanwhile is read to
        // this size.
        m_size = info.st_size;
    }
    ~PictureFile() { ::close(m_fd); }
    PictureFile(const PictureFile &) = delete;
    PictureFile &operator=(const PictureFile &) = delete;

    qint64 size() const { return m_size; }

    // Up to `length` bytes from `offset`, fewer at the end of the file.
    qint64 readAt(qint64 offset, char *data, qint64 length) const
    {
        qint64 done = 0;
        length = std::min(length, m_size - offset);
        while (done < length) {
            const ssize_t got = ::pread(m_fd, data + done, size_t(length - done), offset + done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                raiseError(ErrorNumber::InvalidPicture, "invalid picture");
            if (got == 0)
                break;
            done += got;
        }
        return done;
    }

    QByteArray readAll() const
    {
        QByteArray bytes(qsizetype(m_size), Qt::Uninitialized);
        bytes.truncate(qsizetype(readAt(0, bytes.data(), m_size)));
        return bytes;
    }

private:
    int m_fd;
    qint64 m_size = 0;
};

// The picture file as the reader's device, read piece by piece where the decoder asks: a large
// photo is decoded without a copy of its whole file in memory beside the picture.
class PictureFileDevice : public QIODevice {
public:
    explicit PictureFileDevice(const PictureFile &file) : m_file(file)
    {
        // Unbuffered: the decoders read in blocks of their own, and pos() is then where the
        // next byte comes from.
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_file.size(); }

protected:
    qint64 readData(char *data, qint64 length) override
    {
        try {
            return m_file.readAt(pos(), data, length);
        } catch (const RuntimeError &) {
            return -1;
        }
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    const PictureFile &m_file;
};

} // namespace

QImage decodePicture(const QByteArray &bytes, bool dibHint, PictureUse use)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return decodeFrom(buffer, dibHint, use);
}

QByteArray readPictureFile(const QString &path) { return PictureFile(path).readAll(); }

QImage loadPicture(const QString &path, PictureUse use)
{
    const PictureFile file(path);
    const bool dibHint =
        QFileInfo(path).suffix().compare(QLatin1String("dib"), Qt::CaseInsensitive) == 0;
    // Decoded straight from the file: a decoder reads what it needs, where it needs it.
    PictureFileDevice device(file);
    QImage image = decodeFrom(device, dibHint, use);
    if (image.isNull())
        raiseError(ErrorNumber::InvalidPicture, "invalid picture");
    return image;
}

QImage loadLevelPicture(const QString &path) { return loadPicture(path, PictureUse::Level); }

} // namespace morvane
