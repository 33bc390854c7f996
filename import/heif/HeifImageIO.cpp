// The Qt image-format plugin reading HEIF/HEIC and AVIF pictures through libheif.
#include "HeifImageIO.h"

#include "HeifBoxes.h"
#include "HeifColorSpace.h"
#include "HeifLimits.h"
#include "Libheif.h"

#include <QIODevice>
#include <QImage>
#include <QVariant>

#include <libheif/heif.h>

#include <cstring>
#include <memory>

namespace morvane::heif {

namespace {

struct ImageRelease {
    void operator()(heif_image *image) const { heif_image_release(image); }
};
using DecodedImage = std::unique_ptr<heif_image, ImageRelease>;

struct OptionsRelease {
    void operator()(heif_decoding_options *options) const { heif_decoding_options_free(options); }
};

void setLimits(heif_context *context)
{
    heif_context_set_maximum_image_size_limit(context, MaxSide);
#if LIBHEIF_HAVE_VERSION(1, 19, 0)
    heif_security_limits *limits = heif_context_get_security_limits(context);
    if (limits) {
        limits->max_image_size_pixels = static_cast<uint64_t>(MaxPixels);
        limits->max_number_of_tiles = MaxTiles;
        limits->max_items = MaxItems;
    }
#endif
}

// Reads the whole device, or nothing when it holds more than any picture we accept. The
// buffer grows with what is read: asking the device for the cap at once would allocate it.
QByteArray readAllBounded(QIODevice *device)
{
    if (!device->isSequential()) {
        const qint64 left = device->size() - device->pos();
        return left > MaxFileBytes ? QByteArray() : device->read(left);
    }
    QByteArray bytes;
    constexpr qint64 Chunk = 1 << 20;
    while (bytes.size() <= MaxFileBytes) {
        const QByteArray chunk = device->read(Chunk);
        if (chunk.isEmpty() && !device->waitForReadyRead(0))
            break;
        bytes += chunk;
    }
    return bytes.size() > MaxFileBytes ? QByteArray() : bytes;
}

// libheif gives straight alpha; Qt's smooth scaling works on premultiplied pixels and would
// otherwise make a converted full-size copy first.
void premultiply(uchar *pixels, int width, int height, int stride)
{
    for (int y = 0; y < height; ++y) {
        uchar *p = pixels + static_cast<qsizetype>(y) * stride;
        for (int x = 0; x < width; ++x, p += 4) {
            const unsigned alpha = p[3];
            if (alpha == 255)
                continue;
            for (int c = 0; c < 3; ++c)
                p[c] = static_cast<uchar>((p[c] * alpha + 127) / 255);
        }
    }
}

} // namespace

bool readsGridsWithAlpha() { return LIBHEIF_HAVE_VERSION(1, 19, 0); }

HeifHandler::HeifHandler() = default;

HeifHandler::~HeifHandler() { close(); }

bool HeifHandler::canRead(QIODevice *device)
{
    return device && hasHeifBrand(device->peek(SniffBytes));
}

bool HeifHandler::canRead() const
{
    if (m_state == State::Failed || !canRead(device()))
        return false;
    const_cast<HeifHandler *>(this)->setFormat("morvane-heif");
    return true;
}

void HeifHandler::close()
{
    if (m_handle)
        heif_image_handle_release(m_handle);
    if (m_context)
        heif_context_free(m_context);
    m_handle = nullptr;
    m_context = nullptr;
    m_file = QByteArray();
}

bool HeifHandler::open()
{
    if (m_state != State::New)
        return m_state == State::Open;
    m_state = State::Failed;
    if (!device() || !canRead(device()) || !libheifOpened())
        return false;
    m_file = readAllBounded(device());
    // Grids and overlays are measured before libheif reads the file: libheif 1.15 tells neither
    // their tiles nor their canvas, allocates the canvas a grid declares whatever its 'ispe'
    // says, and decodes every tile it is given.
    const DerivedPictures derived = derivedPictures(m_file);
    if (m_file.isEmpty() || !derived.readable || derived.references > MaxTiles
        || derived.largestCanvasPixels > MaxPixels || derived.emptyExtent) {
        close();
        return false;
    }
    m_context = heif_context_alloc();
    if (!m_context) {
        close();
        return false;
    }
    setLimits(m_context);
    if (heif_context_read_from_memory_without_copy(m_context, m_file.constData(),
                                                   static_cast<size_t>(m_file.size()), nullptr)
                .code
            != heif_error_Ok
        || heif_context_get_primary_image_handle(m_context, &m_handle).code != heif_error_Ok) {
        close();
        return false;
    }
    // The size as displayed (after the file's crop and turn) and the size as coded: the
    // decoding costs the second, which a crop can make much larger than the first.
    const int width = heif_image_handle_get_width(m_handle);
    const int height = heif_image_handle_get_height(m_handle);
    const int codedWidth = heif_image_handle_get_ispe_width(m_handle);
    const int codedHeight = heif_image_handle_get_ispe_height(m_handle);
    const qint64 cap =
        heif_image_handle_get_luma_bits_per_pixel(m_handle) > 8 ? MaxDeepPixels : MaxPixels;
    if (width <= 0 || height <= 0 || static_cast<qint64>(width) * height > cap
        || static_cast<qint64>(codedWidth) * codedHeight > cap || derived.largestCanvasPixels > cap
        || (derived.primaryDerived && !readsGridsWithAlpha()
            && heif_image_handle_has_alpha_channel(m_handle))) {
        close();
        return false;
    }
    m_size = QSize(width, height);
    m_state = State::Open;
    return true;
}

bool HeifHandler::read(QImage *image)
{
    if (!image || !open())
        return false;
    m_state = State::Failed; // one picture a handler
    const bool alpha = heif_image_handle_has_alpha_channel(m_handle) != 0;
    const QImage::Format format =
        alpha ? QImage::Format_RGBA8888_Premultiplied : QImage::Format_RGBX8888;
    const QSize target = m_scaledSize.isValid() && !m_scaledSize.isEmpty() ? m_scaledSize : m_size;
    // The picture handed out is allocated (or at least allowed) before anything is decoded, so
    // that the reader's allocation limit refuses it without the cost of decoding.
    QImage result;
    if (!allocateImage(target, format, &result)) {
        close();
        return false;
    }
    const QColorSpace colorSpace = colorSpaceOf(m_handle);
    const bool premultiplied = heif_image_handle_is_premultiplied_alpha(m_handle) != 0;

    std::unique_ptr<heif_decoding_options, OptionsRelease> options(heif_decoding_options_alloc());
    if (!options) {
        close();
        return false;
    }
    options->convert_hdr_to_8bit = 1;
    // A file that is not whole (a tile cut short or missing) is refused, where a lenient libheif
    // would fill the gap and hand out the rest as the picture.
    options->strict_decoding = 1;
    heif_image *decodedRaw = nullptr;
    const heif_error error = heif_decode_image(m_handle, &decodedRaw, heif_colorspace_RGB,
                                               heif_chroma_interleaved_RGBA, options.get());
    DecodedImage decoded(decodedRaw);
    close(); // the file and libheif's view of it are no longer needed
    if (error.code != heif_error_Ok || !decoded)
        return false;
    const int width = heif_image_get_width(decoded.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(decoded.get(), heif_channel_interleaved);
    int stride = 0;
    uchar *pixels = heif_image_get_plane(decoded.get(), heif_channel_interleaved, &stride);
    if (!pixels || QSize(width, height) != m_size
        || heif_image_get_bits_per_pixel_range(decoded.get(), heif_channel_interleaved) != 8)
        return false;
    if (alpha && !premultiplied)
        premultiply(pixels, width, height, stride);

    const QImage full(pixels, width, height, stride, format);
    if (target == m_size) {
        for (int y = 0; y < height; ++y)
            std::memcpy(result.scanLine(y), full.constScanLine(y), static_cast<size_t>(width) * 4);
    } else {
        result = QImage(); // the scaled copy takes its place
        result = full.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    decoded.reset();
    if (result.isNull())
        return false;
    if (colorSpace.isValid())
        result.setColorSpace(colorSpace);
    *image = std::move(result);
    return true;
}

bool HeifHandler::supportsOption(ImageOption option) const
{
    return option == Size || option == ScaledSize || option == ImageTransformation;
}

QVariant HeifHandler::option(ImageOption option) const
{
    switch (option) {
    case Size:
        if (!const_cast<HeifHandler *>(this)->open())
            return {};
        return m_size;
    case ScaledSize: return m_scaledSize;
    case ImageTransformation:
        // libheif turns, mirrors and crops as the file says, in the file's own order.
        return int(TransformationNone);
    default: return {};
    }
}

void HeifHandler::setOption(ImageOption option, const QVariant &value)
{
    if (option == ScaledSize)
        m_scaledSize = value.toSize();
}

} // namespace morvane::heif

QImageIOPlugin::Capabilities MorvaneHeifPlugin::capabilities(QIODevice *device,
                                                             const QByteArray &format) const
{
    if (format == "morvane-heif")
        return CanRead;
    if (!format.isEmpty() || !device || !device->isOpen())
        return {};
    return morvane::heif::HeifHandler::canRead(device) ? CanRead : Capabilities();
}

QImageIOHandler *MorvaneHeifPlugin::create(QIODevice *device, const QByteArray &format) const
{
    auto *handler = new morvane::heif::HeifHandler;
    handler->setDevice(device);
    handler->setFormat(format.isEmpty() ? QByteArray("morvane-heif") : format);
    return handler;
}
