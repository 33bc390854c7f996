// Plays the records of an enhanced metafile onto a Canvas, skipping EMF+ comments.
#pragma once

#include "ByteReader.h"
#include "MetafilePlayer.h"

#include <QByteArrayView>

namespace morvane::metafile {

class EmfPlayer : private MetafilePlayer {
public:
    // Reads the header record; throws Malformed when it is not a valid EMF header.
    static MetafileFrame probe(QByteArrayView data);

    EmfPlayer(QByteArrayView data, const MetafileFrame &frame, DeviceContext &dc, Canvas &canvas,
              Budget &budget);
    // Plays every record; returns a note when playback stopped before the end record.
    QString play();

private:
    void dispatch(uint32_t type, ByteReader &r);
    void select(uint32_t index);
    void polyRecord(uint32_t type, ByteReader &r, bool small);
    void polyPolyRecord(uint32_t type, ByteReader &r, bool small);
    void createPen(ByteReader &r, bool extended);
    void createBrush(uint32_t type, ByteReader &r);
    void createFont(ByteReader &r);
    void text(ByteReader &r, bool wide);
    void textItem(ByteReader &r, ByteReader &emrText, bool wide);
    void smallText(ByteReader &r);
    void blit(uint32_t type, ByteReader &r);
    void gradientFill(ByteReader &r);
    std::optional<QRegion> region(ByteReader &r, uint32_t bytes);
    QPointF pointL(ByteReader &r);
    QRectF rectL(ByteReader &r);
    QPolygonF points(ByteReader &r, qint64 count, bool small);
};

} // namespace morvane::metafile
