// The Qt image-format plugin reading HEIF/HEIC and AVIF pictures through libheif.
#pragma once

#include <QImageIOHandler>
#include <QImageIOPlugin>
#include <QSize>

struct heif_context;
struct heif_image_handle;

namespace morvane::heif {

// Whether a grid with alpha is read: libheif before 1.19 pastes an alpha tile coded smaller
// than its colour tile past the end of the alpha's pixels, so such grids are refused with it.
bool readsGridsWithAlpha();

// Reads the primary picture of a HEIF or AVIF file, turned and mirrored as the file says it
// is meant to be seen, with its alpha and its colour space.
class HeifHandler : public QImageIOHandler {
public:
    HeifHandler();
    ~HeifHandler() override;

    bool canRead() const override;
    bool read(QImage *image) override;
    bool supportsOption(ImageOption option) const override;
    QVariant option(ImageOption option) const override;
    void setOption(ImageOption option, const QVariant &value) override;

    // True when the device's next bytes are a HEIF or AVIF file (peeked, never consumed).
    static bool canRead(QIODevice *device);

private:
    // Reads the file and opens its primary picture once; false when it is refused.
    bool open();
    void close();

    enum class State { New, Open, Failed };
    State m_state = State::New;
    QByteArray m_file; // libheif reads it in place while the context lives
    heif_context *m_context = nullptr;
    heif_image_handle *m_handle = nullptr;
    QSize m_size;
    QSize m_scaledSize;
};

} // namespace morvane::heif

class MorvaneHeifPlugin : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "heif.json")
public:
    Capabilities capabilities(QIODevice *device, const QByteArray &format) const override;
    QImageIOHandler *create(QIODevice *device, const QByteArray &format) const override;
};
