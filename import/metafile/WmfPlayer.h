// Plays the records of a Windows metafile (placeable or standard) onto a Canvas.
#pragma once

#include "ByteReader.h"
#include "MetafilePlayer.h"

#include <QByteArrayView>

namespace morvane::metafile {

class WmfPlayer : private MetafilePlayer {
public:
    // Reads the placeable and standard headers; throws Malformed when they are not valid.
    static MetafileFrame probe(QByteArrayView data);

    WmfPlayer(QByteArrayView data, const MetafileFrame &frame, DeviceContext &dc, Canvas &canvas,
              Budget &budget);
    // Plays every record; returns a note when playback stopped before the end record.
    QString play();

private:
    void dispatch(uint16_t function, ByteReader &p, qsizetype paramBytes);
    void select(uint32_t index);
    void createObject(uint16_t function, ByteReader &p);
    void text(ByteReader &p, bool extended);
    void blit(uint16_t function, ByteReader &p, qsizetype paramBytes);
    QPolygonF points(ByteReader &p, qint64 count);
    QRectF rect(ByteReader &p); // bottom, right, top, left as WMF stores them
};

} // namespace morvane::metafile
