// Loading pictures by content, within memory and size limits.
#include "PictureLoader.h"

#include "components/RuntimeError.h"

#include "import/metafile/MetafileReader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cmath>

namespace morvane {

QSize fittedPictureSize(QSize size)
{
    if (size.width() <= MaxPictureWidth && size.height() <= MaxPictureHeight)
        return size;
    const double scale = std::min(double(MaxPictureWidth) / size.width(),
                                  double(MaxPictureHeight) / size.height());
    return QSize(std::clamp(int(std::floor(size.width() * scale)), 1, MaxPictureWidth),
                 std::clamp(int(std::floor(size.height() * scale)), 1, MaxPictureHeight));
}

namespace {

QImage readWith(QImageReader &reader)
{
    reader.setAllocationLimit(PictureAllocationLimitMiB);
    const QSize announced = reader.size();
    if (announced.isValid()) {
        if (announced.isEmpty())
            return {};
        // Decoding straight at the reduced size is much cheaper than scaling afterwards.
        const QSize fitted = fittedPictureSize(announced);
        if (fitted != announced)
            reader.setScaledSize(fitted);
    }
    QImage image = reader.read();
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return {};
    const QSize fitted = fittedPictureSize(image.size());
    if (fitted != image.size())
        image = image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image;
}

QImage decodeRaster(const QByteArray &bytes, const QByteArray &format)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(format.isEmpty());
    return readWith(reader);
}

} // namespace

QImage decodePicture(const QByteArray &bytes, bool dibHint)
{
    // Windows and enhanced metafiles are played by our own reader; Qt reads neither.
    if (metafile::detect(bytes.left(64)) != metafile::Kind::None)
        return metafile::render(bytes, QSize(MaxPictureWidth, MaxPictureHeight)).image;
    if (dibHint) {
        if (QImage image = decodeRaster(bytes, "dib"); !image.isNull())
            return image;
    }
    return decodeRaster(bytes, QByteArray());
}

QImage loadPicture(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        raiseError(ErrorNumber::FileNotFound, "file not found");
    // Only regular files: a pipe or a device would block the game for ever.
    if (!info.isFile() || info.size() > MaxPictureFileBytes)
        raiseError(ErrorNumber::InvalidPicture, "invalid picture");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        raiseError(ErrorNumber::InvalidPicture, "invalid picture");
    const QByteArray bytes = file.read(MaxPictureFileBytes);
    const bool dibHint = info.suffix().compare(QLatin1String("dib"), Qt::CaseInsensitive) == 0;
    QImage image = decodePicture(bytes, dibHint);
    if (image.isNull())
        raiseError(ErrorNumber::InvalidPicture, "invalid picture");
    return image;
}

} // namespace morvane
