// The JPEG XL reader behind QImageReader: a handler decoding through libjxl and its plugin.
#pragma once

#include <QImageIOHandler>
#include <QImageIOPlugin>
#include <QSize>

#include <memory>

namespace morvane::jxl {

// Reads the main image of a JPEG XL file (bare codestream or ISOBMFF container): turned and
// mirrored as the file says, the first frame of an animation, alpha kept (straight or
// premultiplied, as the file stores it), 8 bits a channel, grey delivered as RGB, and the
// colour space of the decoded pixels set on the image when they are not plain sRGB.
class JxlHandler : public QImageIOHandler {
public:
    // Declared pictures above this many pixels are refused from the header alone. Decoding
    // takes about twice the output's four bytes a pixel (a 12-megapixel photo peaks near 90 MiB),
    // so this keeps the largest accepted picture within the game's memory.
    static constexpr qint64 maxPixels = 100'000'000;
    // The whole file is handed to libjxl at once; a picture the game can show is far smaller.
    static constexpr qint64 maxFileBytes = 256LL * 1024 * 1024;

    // The CPU time (of all threads) decoding may take: plenty for one pass over the picture, a
    // few tens of layers blended at most. A small file can stack hundreds of full-size layers,
    // each blended in turn, and take minutes.
    static constexpr double cpuSecondsBase = 1.0;
    static constexpr double cpuSecondsPerMegapixel = 0.2;

    JxlHandler();
    ~JxlHandler() override;

    bool canRead() const override;
    bool read(QImage *image) override;
    bool supportsOption(ImageOption option) const override;
    QVariant option(ImageOption option) const override;
    void setOption(ImageOption option, const QVariant &value) override;

    // Whether the next bytes of the device start a JPEG XL file; peeks, never consumes.
    static bool canRead(QIODevice *device);

    struct Decoding; // one file's decoding under way

private:
    bool readHeader() const;
    bool decodeInto(QImage *image) const;

    mutable std::unique_ptr<Decoding> m_decoding;
    mutable bool m_failed = false;
    bool m_done = false;
    QSize m_scaledSize;
};

} // namespace morvane::jxl

class MorvaneJxlPlugin : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "jxl.json")

public:
    Capabilities capabilities(QIODevice *device, const QByteArray &format) const override;
    QImageIOHandler *create(QIODevice *device,
                            const QByteArray &format = QByteArray()) const override;
};
