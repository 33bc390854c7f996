// An image plugin that claims every picture and the names of the formats the game decodes itself,
// as a second plugin for those formats on a player's machine might.
#pragma once

#include <QImage>
#include <QImageIOHandler>
#include <QImageIOPlugin>

// Whatever it is asked to read comes out as this small magenta square.
class GreedyImageHandler : public QImageIOHandler {
public:
    bool canRead() const override { return true; }
    bool read(QImage *image) override
    {
        *image = QImage(7, 7, QImage::Format_RGB32);
        image->fill(Qt::magenta);
        return true;
    }
};

class GreedyImagePlugin : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "GreedyImagePlugin.json")
public:
    Capabilities capabilities(QIODevice *, const QByteArray &) const override { return CanRead; }
    QImageIOHandler *create(QIODevice *device, const QByteArray &format) const override
    {
        auto *handler = new GreedyImageHandler;
        handler->setDevice(device);
        handler->setFormat(format);
        return handler;
    }
};
