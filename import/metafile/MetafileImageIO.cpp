// Answering QImageReader's questions about a metafile: is it one, how large, and its picture.
#include "MetafileImageIO.h"

#include "Limits.h"
#include "MetafileReader.h"

#include <QIODevice>
#include <QImage>
#include <QVariant>

namespace morvane::metafile {

namespace {

constexpr qint64 headBytes = 64;

} // namespace

bool MetafileHandler::canRead(QIODevice *device)
{
    return device && detect(device->peek(headBytes)) != Kind::None;
}

bool MetafileHandler::canRead() const
{
    if (m_bytes)
        return detect(m_bytes->left(headBytes)) != Kind::None;
    return canRead(device());
}

const QByteArray &MetafileHandler::bytes() const
{
    if (!m_bytes) {
        m_bytes.emplace();
        // One byte past the limit is enough for the reader to refuse a file that is too large.
        if (QIODevice *source = device())
            *m_bytes = source->read(Limits::maxFileBytes + 1);
    }
    return *m_bytes;
}

bool MetafileHandler::read(QImage *image)
{
    // The scaled size is a box: a metafile is drawn at the largest size inside it that keeps its
    // proportions, never stretched.
    RenderResult result = render(bytes(), m_scaledSize);
    if (result.image.isNull())
        return false;
    *image = std::move(result.image);
    return true;
}

bool MetafileHandler::supportsOption(ImageOption option) const
{
    return option == Size || option == ScaledSize;
}

QVariant MetafileHandler::option(ImageOption option) const
{
    if (option == Size) {
        const QSize size = naturalSize(bytes());
        return size.isValid() ? QVariant(size) : QVariant();
    }
    if (option == ScaledSize)
        return m_scaledSize;
    return {};
}

void MetafileHandler::setOption(ImageOption option, const QVariant &value)
{
    if (option == ScaledSize)
        m_scaledSize = value.toSize();
}

} // namespace morvane::metafile

QImageIOPlugin::Capabilities MorvaneMetafilePlugin::capabilities(QIODevice *device,
                                                                 const QByteArray &format) const
{
    if (format == "morvane-metafile")
        return CanRead;
    if (format.isEmpty() && morvane::metafile::MetafileHandler::canRead(device))
        return CanRead;
    return {};
}

QImageIOHandler *MorvaneMetafilePlugin::create(QIODevice *device, const QByteArray &format) const
{
    auto *handler = new morvane::metafile::MetafileHandler;
    handler->setDevice(device);
    handler->setFormat(format.isEmpty() ? QByteArray("morvane-metafile") : format);
    return handler;
}
