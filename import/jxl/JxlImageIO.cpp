// The JPEG XL reader behind QImageReader: a handler decoding through libjxl and its plugin.
#include "JxlImageIO.h"

#include "JxlColorSpace.h"
#include "Libjxl.h"

#include <QIODevice>
#include <QImage>
#include <QThread>
#include <QVariant>

#include <jxl/decode.h>
#include <jxl/resizable_parallel_runner.h>
#include <jxl/version.h>

#include <algorithm>
#include <ctime>
#include <cstdint>

#if JPEGXL_NUMERIC_VERSION >= JPEGXL_COMPUTE_NUMERIC_VERSION(0, 9, 0)
// libjxl 0.9 dropped the unused pixel-format argument of the colour-profile queries.
#define MORVANE_JXL_PROFILE_ARGS(target) (target)
#else
#define MORVANE_JXL_PROFILE_ARGS(target) nullptr, (target)
#endif

namespace morvane::jxl {

namespace {

constexpr int signatureBytes = 12; // enough for the container's signature box

// A bare codestream, or the container's signature box. Told without libjxl, so that asking
// whether any picture is a JPEG XL one never opens the library.
bool isJxlSignature(const QByteArray &head)
{
    static const QByteArray container("\0\0\0\x0CJXL \r\n\x87\n", 12);
    return head.startsWith("\xFF\x0A") || head.startsWith(container);
}

// The rest of the device, unless it holds more than `limit` bytes. Read in pieces: a single
// read(limit) would reserve the whole limit first, however small the file.
bool readAtMost(QIODevice *device, qint64 limit, QByteArray *data)
{
    if (!device->isSequential()) {
        const qint64 left = device->size() - device->pos();
        if (left > limit)
            return false;
        data->reserve(qsizetype(left));
    }
    constexpr qint64 piece = 1 << 20;
    for (;;) {
        const QByteArray chunk = device->read(piece);
        if (chunk.isEmpty())
            return true;
        if (data->size() + chunk.size() > limit)
            return false;
        data->append(chunk);
    }
}

struct DecoderDeleter {
    void operator()(JxlDecoder *decoder) const { JxlDecoderDestroy(decoder); }
};
struct RunnerDeleter {
    void operator()(void *runner) const { JxlResizableParallelRunnerDestroy(runner); }
};

// The colour description of the decoded pixels: their ICC profile (libjxl makes one from an
// encoded description too) and the encoded description itself when the file has one.
QColorSpace decodedColorSpace(const JxlDecoder *decoder)
{
    QByteArray icc;
    size_t iccSize = 0;
    if (JxlDecoderGetICCProfileSize(
            decoder, MORVANE_JXL_PROFILE_ARGS(JXL_COLOR_PROFILE_TARGET_DATA), &iccSize)
            == JXL_DEC_SUCCESS
        && iccSize > 0 && iccSize <= size_t(16 * 1024 * 1024)) {
        icc.resize(qsizetype(iccSize));
        if (JxlDecoderGetColorAsICCProfile(decoder,
                                           MORVANE_JXL_PROFILE_ARGS(JXL_COLOR_PROFILE_TARGET_DATA),
                                           reinterpret_cast<uint8_t *>(icc.data()), iccSize)
            != JXL_DEC_SUCCESS)
            icc.clear();
    }
    JxlColorEncoding encoded{};
    const bool hasEncoded =
        JxlDecoderGetColorAsEncodedProfile(
            decoder, MORVANE_JXL_PROFILE_ARGS(JXL_COLOR_PROFILE_TARGET_DATA), &encoded)
        == JXL_DEC_SUCCESS;
    return colorSpaceOf(icc, hasEncoded ? &encoded : nullptr);
}

// sRGB in libjxl's terms, asked for when libjxl may choose the colours it decodes to (lossy
// XYB pictures): the board is sRGB, so no colours are lost that it could show.
JxlColorEncoding srgbEncoding(bool grey)
{
    JxlColorEncoding srgb{};
    srgb.color_space = grey ? JXL_COLOR_SPACE_GRAY : JXL_COLOR_SPACE_RGB;
    srgb.white_point = JXL_WHITE_POINT_D65;
    srgb.primaries = JXL_PRIMARIES_SRGB;
    srgb.transfer_function = JXL_TRANSFER_FUNCTION_SRGB;
    srgb.rendering_intent = JXL_RENDERING_INTENT_RELATIVE;
    return srgb;
}

} // namespace

// One decoding of one file: the whole file as libjxl's input, the decoder, and what the header
// said. It lives from the first question about the picture until its pixels are delivered.
struct JxlHandler::Decoding {
    QByteArray data;
    std::unique_ptr<void, RunnerDeleter> threads; // declared first: outlives the decoder
    std::unique_ptr<JxlDecoder, DecoderDeleter> decoder;
    JxlBasicInfo info{};
    QSize shownSize;
    std::clock_t cpuStart = 0;
    std::clock_t cpuBudget = 0;
};

namespace {

// libjxl hands every stage of its work to this runner, several for every layer it blends:
// between stages, a decoding past its CPU budget is stopped, which libjxl reports as an error.
// CPU time rather than the clock on the wall, so that a busy machine refuses no good picture.
JxlParallelRetCode runWithinBudget(void *opaque, void *jxlOpaque, JxlParallelRunInit init,
                                   JxlParallelRunFunction run, uint32_t begin, uint32_t end)
{
    const auto *decoding = static_cast<const JxlHandler::Decoding *>(opaque);
    if (std::clock() - decoding->cpuStart > decoding->cpuBudget)
        return JXL_PARALLEL_RET_RUNNER_ERROR;
    return JxlResizableParallelRunner(decoding->threads.get(), jxlOpaque, init, run, begin, end);
}

} // namespace

JxlHandler::JxlHandler() = default;
JxlHandler::~JxlHandler() = default;

bool JxlHandler::canRead(QIODevice *device)
{
    return device && isJxlSignature(device->peek(signatureBytes));
}

bool JxlHandler::canRead() const
{
    if (m_failed || m_done || !canRead(device()))
        return false;
    setFormat("morvane-jxl");
    return true;
}

// Reads the file and decodes as far as its basic information: size, orientation, alpha.
bool JxlHandler::readHeader() const
{
    if (m_decoding)
        return true;
    if (m_failed || m_done || !device())
        return false;
    m_failed = true; // until the header is read and accepted
    auto decoding = std::make_unique<Decoding>();
    if (!isJxlSignature(device()->peek(signatureBytes)) || !libjxlOpened()
        || !readAtMost(device(), maxFileBytes, &decoding->data))
        return false;

    decoding->decoder.reset(JxlDecoderCreate(nullptr));
    decoding->threads.reset(JxlResizableParallelRunnerCreate(nullptr));
    decoding->cpuStart = std::clock();
    decoding->cpuBudget = std::clock_t(cpuSecondsBase * CLOCKS_PER_SEC);
    JxlDecoder *decoder = decoding->decoder.get();
    if (!decoder || !decoding->threads
        || JxlDecoderSubscribeEvents(decoder, JXL_DEC_BASIC_INFO | JXL_DEC_COLOR_ENCODING
                                                  | JXL_DEC_FULL_IMAGE)
               != JXL_DEC_SUCCESS
        || JxlDecoderSetKeepOrientation(decoder, JXL_FALSE) != JXL_DEC_SUCCESS
        || JxlDecoderSetCoalescing(decoder, JXL_TRUE) != JXL_DEC_SUCCESS
        || JxlDecoderSetParallelRunner(decoder, runWithinBudget, decoding.get()) != JXL_DEC_SUCCESS
        || JxlDecoderSetInput(decoder,
                              reinterpret_cast<const uint8_t *>(decoding->data.constData()),
                              size_t(decoding->data.size()))
               != JXL_DEC_SUCCESS)
        return false;
    // All of the file is there: wanting more input means it was cut short.
    JxlDecoderCloseInput(decoder);
    if (JxlDecoderProcessInput(decoder) != JXL_DEC_BASIC_INFO
        || JxlDecoderGetBasicInfo(decoder, &decoding->info) != JXL_DEC_SUCCESS)
        return false;

    const JxlBasicInfo &info = decoding->info;
    const qint64 pixels = qint64(info.xsize) * qint64(info.ysize);
    if (info.xsize == 0 || info.ysize == 0 || pixels > maxPixels)
        return false;
    // libjxl turns the picture itself; orientations 5 to 8 swap its sides.
    const bool sidesSwapped = info.orientation >= JXL_ORIENT_TRANSPOSE;
    decoding->shownSize = sidesSwapped ? QSize(int(info.ysize), int(info.xsize))
                                       : QSize(int(info.xsize), int(info.ysize));
    const auto threads =
        std::min<size_t>(JxlResizableParallelRunnerSuggestThreads(info.xsize, info.ysize),
                         size_t(std::max(1, QThread::idealThreadCount())));
    JxlResizableParallelRunnerSetThreads(decoding->threads.get(), threads);
    decoding->cpuBudget = std::clock_t(
        (cpuSecondsBase + cpuSecondsPerMegapixel * double(pixels) / 1e6) * CLOCKS_PER_SEC);
    m_decoding = std::move(decoding);
    m_failed = false;
    return true;
}

// Decodes the main image straight into a picture allocated at the shown size.
bool JxlHandler::decodeInto(QImage *image) const
{
    JxlDecoder *decoder = m_decoding->decoder.get();
    const JxlBasicInfo &info = m_decoding->info;
    // Four 8-bit channels in the byte order Qt's RGBA formats use, rows packed as QImage packs
    // them (four bytes a pixel are always 32-bit aligned); without alpha libjxl fills it opaque.
    const JxlPixelFormat pixelFormat{4, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    const QImage::Format format = info.alpha_bits == 0       ? QImage::Format_RGBX8888
                                  : info.alpha_premultiplied ? QImage::Format_RGBA8888_Premultiplied
                                                             : QImage::Format_RGBA8888;
    // Allocated before libjxl builds its own frame buffers, so the reader's limit refuses a big
    // picture before anything of its size exists.
    QImage decoded;
    if (!allocateImage(m_decoding->shownSize, format, &decoded))
        return false;
    QColorSpace colorSpace;
    m_decoding->cpuStart = std::clock();
    for (;;) {
        switch (JxlDecoderProcessInput(decoder)) {
        case JXL_DEC_COLOR_ENCODING:
            if (!info.uses_original_profile) {
                const JxlColorEncoding srgb = srgbEncoding(info.num_color_channels == 1);
                JxlDecoderSetPreferredColorProfile(decoder, &srgb);
            }
            colorSpace = decodedColorSpace(decoder);
            break;
        case JXL_DEC_NEED_IMAGE_OUT_BUFFER: {
            size_t needed = 0;
            if (JxlDecoderImageOutBufferSize(decoder, &pixelFormat, &needed) != JXL_DEC_SUCCESS
                || needed > size_t(decoded.sizeInBytes())
                || JxlDecoderSetImageOutBuffer(decoder, &pixelFormat, decoded.bits(),
                                               size_t(decoded.sizeInBytes()))
                       != JXL_DEC_SUCCESS)
                return false;
            break;
        }
        case JXL_DEC_FULL_IMAGE:
            // The first frame, blended as shown: the rest of an animation is not wanted.
            if (colorSpace.isValid())
                decoded.setColorSpace(colorSpace);
            *image = std::move(decoded);
            return true;
        default:
            // An error, input wanted after all of it was given, or the end without an image.
            return false;
        }
    }
}

bool JxlHandler::read(QImage *image)
{
    if (!image || !readHeader())
        return false;
    QImage decoded;
    const bool decodedOk = decodeInto(&decoded);
    m_decoding.reset(); // the file's bytes and libjxl's buffers go before any scaling
    m_done = true;
    if (!decodedOk)
        return false;
    if (m_scaledSize.isValid() && !m_scaledSize.isEmpty() && m_scaledSize != decoded.size()) {
        // Qt scales premultiplied pixels without a copy to another format first; the switch is
        // made in place.
        if (decoded.format() == QImage::Format_RGBA8888)
            decoded.convertTo(QImage::Format_RGBA8888_Premultiplied);
        const QColorSpace colorSpace = decoded.colorSpace();
        decoded = decoded.scaled(m_scaledSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (decoded.isNull())
            return false;
        if (colorSpace.isValid())
            decoded.setColorSpace(colorSpace);
    }
    *image = std::move(decoded);
    return true;
}

bool JxlHandler::supportsOption(ImageOption option) const
{
    return option == Size || option == ScaledSize || option == ImageTransformation;
}

QVariant JxlHandler::option(ImageOption option) const
{
    switch (option) {
    case Size: return readHeader() ? QVariant(m_decoding->shownSize) : QVariant();
    case ScaledSize: return m_scaledSize;
    case ImageTransformation:
        // libjxl has already turned and mirrored the pixels as the file asks.
        return int(QImageIOHandler::TransformationNone);
    default: return {};
    }
}

void JxlHandler::setOption(ImageOption option, const QVariant &value)
{
    if (option == ScaledSize)
        m_scaledSize = value.toSize();
}

} // namespace morvane::jxl

QImageIOPlugin::Capabilities MorvaneJxlPlugin::capabilities(QIODevice *device,
                                                            const QByteArray &format) const
{
    if (format == "morvane-jxl")
        return CanRead;
    if (format.isEmpty() && device && device->isReadable()
        && morvane::jxl::JxlHandler::canRead(device))
        return CanRead;
    return {};
}

QImageIOHandler *MorvaneJxlPlugin::create(QIODevice *device, const QByteArray &format) const
{
    auto *handler = new morvane::jxl::JxlHandler;
    handler->setDevice(device);
    handler->setFormat(format.isEmpty() ? QByteArray("morvane-jxl") : format);
    return handler;
}
