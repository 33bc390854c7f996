// Plays the records of an enhanced metafile onto a Canvas, skipping EMF+ comments.
#pragma once

#include "ByteReader.h"
#include "MetafilePlayer.h"

#include <QByteArrayView>

#include <stdexcept>

namespace morvane::metafile {

// A metafile whose whole picture is in EMF+ records, which this player does not draw.
class OnlyEmfPlus : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EmfPlayer : private MetafilePlayer {
public:
    // Reads the header record; throws Malformed when it is not a valid EMF header.
    static MetafileFrame probe(QByteArrayView data);

    EmfPlayer(QByteArrayView data, const MetafileFrame &frame, DeviceContext &dc, Canvas &canvas,
              Budget &budget);
    // Plays every record; returns a note when playback stopped before the end record. Throws
    // OnlyEmfPlus for a file with EMF+ records and no drawing of its own beside them.
    QString play();

private:
    QString playRecords();
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

    bool m_emfPlusSeen = false;
    bool m_drawingSeen = false;
};

} // namespace morvane::metafile
