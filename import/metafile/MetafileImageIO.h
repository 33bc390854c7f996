// The metafile reader as a Qt image-format plugin, so that QImageReader reads WMF and EMF files.
#pragma once

#include <QByteArray>
#include <QImageIOHandler>
#include <QImageIOPlugin>
#include <QSize>

#include <optional>

namespace morvane::metafile {

// Reads one metafile from its device. The whole file is read at the first question about it:
// a metafile's size needs its header, and drawing it needs all its records.
class MetafileHandler : public QImageIOHandler {
public:
    bool canRead() const override;
    bool read(QImage *image) override;
    bool supportsOption(ImageOption option) const override;
    QVariant option(ImageOption option) const override;
    void setOption(ImageOption option, const QVariant &value) override;

    // Whether the device holds a metafile, judged from its first bytes without consuming them.
    static bool canRead(QIODevice *device);

private:
    const QByteArray &bytes() const;

    mutable std::optional<QByteArray> m_bytes;
    QSize m_scaledSize;
};

} // namespace morvane::metafile

// The plugin itself is outside any namespace: Q_IMPORT_PLUGIN names it by its plain class name.
class MorvaneMetafilePlugin : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "metafile.json")
public:
    Capabilities capabilities(QIODevice *device, const QByteArray &format) const override;
    QImageIOHandler *create(QIODevice *device, const QByteArray &format) const override;
};
