// Plays the records of a Windows metafile (placeable or standard) onto a Canvas.
#pragma once

#include "ByteReader.h"
#include "Canvas.h"
#include "GdiObjects.h"

#include <QByteArrayView>
#include <QRectF>
#include <QSizeF>

namespace morvane::metafile {

// What a WMF's headers say about its picture.
struct WmfFrame {
    QRectF deviceRect;       // the picture area in the metafile's device units
    QSizeF naturalPixels;    // size at 96 dpi
    QSizeF unitsPerMm;       // device units per millimetre, for the metric mapping modes
    qsizetype firstRecord = 0;
    qint64 objectCount = 0;
};

class WmfPlayer {
public:
    // Reads the placeable and standard headers; throws Malformed when they are not valid.
    static WmfFrame probe(QByteArrayView data);

    WmfPlayer(QByteArrayView data, const WmfFrame &frame, DeviceContext &dc, Canvas &canvas,
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

    QByteArrayView m_data;
    WmfFrame m_frame;
    DeviceContext &m_dc;
    Canvas &m_canvas;
    Budget &m_budget;
    ObjectTable m_objects;
};

} // namespace morvane::metafile
