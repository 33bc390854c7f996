// JPEG XL files for the decoder tests: encoded here with libjxl, or real ones with a lying header.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <jxl/decode.h>
#include <jxl/encode.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace morvane::jxl::test {

struct EncodeOptions {
    JxlColorEncoding colour{};
    bool lossless = true;
    uint32_t orientation = 1; // JXL_ORIENT_IDENTITY
    int layers = 1;           // the same picture this many times, each blended over the last
    bool fast = false;        // the encoder's quickest effort
};

inline JxlColorEncoding encoding(JxlColorSpace space, JxlPrimaries primaries,
                                 JxlTransferFunction transfer, double gamma = 0)
{
    JxlColorEncoding colour{};
    colour.color_space = space;
    colour.white_point = JXL_WHITE_POINT_D65;
    colour.primaries = primaries;
    colour.transfer_function = transfer;
    colour.gamma = gamma;
    colour.rendering_intent = JXL_RENDERING_INTENT_RELATIVE;
    return colour;
}

inline JxlColorEncoding srgb()
{
    return encoding(JXL_COLOR_SPACE_RGB, JXL_PRIMARIES_SRGB, JXL_TRANSFER_FUNCTION_SRGB);
}

// The picture (RGBA8888 or Grayscale8) as a bare JPEG XL codestream; empty when libjxl refuses.
inline QByteArray encodeJxl(const QImage &picture, const EncodeOptions &options)
{
    const bool grey = picture.format() == QImage::Format_Grayscale8;
    const QImage pixels = grey ? picture : picture.convertToFormat(QImage::Format_RGBA8888);
    const uint32_t channels = grey ? 1 : 4;
    std::unique_ptr<JxlEncoder, void (*)(JxlEncoder *)> encoder(JxlEncoderCreate(nullptr),
                                                                JxlEncoderDestroy);
    JxlBasicInfo info;
    JxlEncoderInitBasicInfo(&info);
    info.xsize = uint32_t(pixels.width());
    info.ysize = uint32_t(pixels.height());
    info.bits_per_sample = 8;
    info.num_color_channels = grey ? 1 : 3;
    info.num_extra_channels = grey ? 0 : 1;
    info.alpha_bits = grey ? 0 : 8;
    info.uses_original_profile = options.lossless ? JXL_TRUE : JXL_FALSE;
    info.orientation = JxlOrientation(options.orientation);
    if (JxlEncoderSetBasicInfo(encoder.get(), &info) != JXL_ENC_SUCCESS
        || JxlEncoderSetColorEncoding(encoder.get(), &options.colour) != JXL_ENC_SUCCESS)
        return {};
    JxlEncoderFrameSettings *settings = JxlEncoderFrameSettingsCreate(encoder.get(), nullptr);
    if (options.lossless ? JxlEncoderSetFrameLossless(settings, JXL_TRUE) != JXL_ENC_SUCCESS
                         : JxlEncoderSetFrameDistance(settings, 1.0f) != JXL_ENC_SUCCESS)
        return {};
    if (options.fast
        && JxlEncoderFrameSettingsSetOption(settings, JXL_ENC_FRAME_SETTING_EFFORT, 1)
               != JXL_ENC_SUCCESS)
        return {};
    // Rows packed, as the format below says; QImage pads rows to 32 bits.
    QByteArray packed;
    for (int y = 0; y < pixels.height(); ++y)
        packed.append(reinterpret_cast<const char *>(pixels.constScanLine(y)),
                      qsizetype(pixels.width()) * channels);
    const JxlPixelFormat format{channels, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    for (int layer = 0; layer < options.layers; ++layer)
        if (JxlEncoderAddImageFrame(settings, &format, packed.constData(), size_t(packed.size()))
            != JXL_ENC_SUCCESS)
            return {};
    JxlEncoderCloseInput(encoder.get());
    QByteArray out(4096, '\0');
    size_t written = 0;
    for (;;) {
        auto *next = reinterpret_cast<uint8_t *>(out.data()) + written;
        size_t avail = size_t(out.size()) - written;
        const JxlEncoderStatus status = JxlEncoderProcessOutput(encoder.get(), &next, &avail);
        written = size_t(next - reinterpret_cast<uint8_t *>(out.data()));
        if (status == JXL_ENC_SUCCESS)
            break;
        if (status != JXL_ENC_NEED_MORE_OUTPUT)
            return {};
        out.resize(out.size() * 2);
    }
    out.truncate(qsizetype(written));
    return out;
}

// A file of `layers` equal layers made from the encodings of two and three of them, without
// encoding them all: the encoder writes equal layers as equal bytes, so the three-layer file
// is the two-layer one with one layer's bytes more, and those bytes can be repeated.
inline QByteArray withLayersRepeated(const QByteArray &twoLayers, const QByteArray &threeLayers,
                                     int layers)
{
    const qsizetype layerBytes = threeLayers.size() - twoLayers.size();
    qsizetype common = 0;
    while (common < twoLayers.size() && twoLayers[common] == threeLayers[common])
        ++common;
    // The shared start runs past the header and the first layer into the second: a window of
    // one layer's length ending there is one whole layer, rotated, between two equal ones.
    const qsizetype at = common - layerBytes;
    if (layerBytes <= 0 || at < 0 || layers < 3)
        return {};
    const QByteArray layer = threeLayers.mid(at, layerBytes);
    QByteArray result = threeLayers.left(at + layerBytes);
    for (int i = 3; i < layers; ++i)
        result += layer;
    return result + threeLayers.mid(at + layerBytes);
}

// The size a JPEG XL file declares, as libjxl reads it (before orientation).
inline std::optional<QSize> declaredSize(const QByteArray &file)
{
    std::unique_ptr<JxlDecoder, void (*)(JxlDecoder *)> decoder(JxlDecoderCreate(nullptr),
                                                                JxlDecoderDestroy);
    JxlDecoderSubscribeEvents(decoder.get(), JXL_DEC_BASIC_INFO);
    JxlDecoderSetInput(decoder.get(), reinterpret_cast<const uint8_t *>(file.constData()),
                       size_t(file.size()));
    JxlDecoderCloseInput(decoder.get());
    JxlBasicInfo info;
    if (JxlDecoderProcessInput(decoder.get()) != JXL_DEC_BASIC_INFO
        || JxlDecoderGetBasicInfo(decoder.get(), &info) != JXL_DEC_SUCCESS)
        return std::nullopt;
    return QSize(int(info.xsize), int(info.ysize));
}

// A bare codestream whose size header says width x height instead; everything after the
// header follows unchanged, shifted to its new bit position (so the pixel data no longer lines
// up: such a file can announce its size but not be decoded). Empty when the input is no bare
// codestream.
inline QByteArray withDeclaredSize(const QByteArray &codestream, uint32_t width, uint32_t height)
{
    if (codestream.size() < 8 || uint8_t(codestream[0]) != 0xFF || uint8_t(codestream[1]) != 0x0A)
        return {};
    size_t at = 16; // bits are read least significant first, after the two signature bytes
    auto bit = [&](size_t index) {
        return (uint8_t(codestream[qsizetype(index / 8)]) >> (index % 8)) & 1;
    };
    auto bits = [&](int count) {
        uint32_t value = 0;
        for (int i = 0; i < count; ++i)
            value |= uint32_t(bit(at++)) << i;
        return value;
    };
    const int u32Bits[] = {9, 13, 18, 30};
    const bool small = bits(1);
    auto skipSide = [&] {
        if (small)
            bits(5);
        else
            bits(u32Bits[bits(2)]);
    };
    skipSide();
    if (bits(3) == 0) // no aspect ratio: the width is given too
        skipSide();

    std::vector<bool> out;
    auto put = [&](uint32_t value, int count) {
        for (int i = 0; i < count; ++i)
            out.push_back((value >> i) & 1);
    };
    auto putSide = [&](uint32_t side) {
        put(3, 2); // the 30-bit form holds any side
        put(side - 1, 30);
    };
    put(0, 1); // not a multiple-of-8 small size
    putSide(height);
    put(0, 3); // no aspect ratio
    putSide(width);
    for (size_t index = at; index < size_t(codestream.size()) * 8; ++index)
        out.push_back(bit(index));

    QByteArray result = codestream.left(2);
    result.append(QByteArray(qsizetype((out.size() + 7) / 8), '\0'));
    for (size_t index = 0; index < out.size(); ++index)
        if (out[index])
            result[qsizetype(2 + index / 8)] =
                char(uint8_t(result[qsizetype(2 + index / 8)]) | (1 << (index % 8)));
    return result;
}

} // namespace morvane::jxl::test
