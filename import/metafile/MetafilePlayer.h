// What both metafile players hold while they play a file onto a Canvas: the file, what its
// headers said, the device context, the canvas, the budget and the table of objects the file
// creates. Each kind's player reads its own records.
#pragma once

#include "Canvas.h"
#include "GdiObjects.h"
#include "MetafileFrame.h"

#include <QByteArrayView>

namespace morvane::metafile {

class MetafilePlayer {
protected:
    MetafilePlayer(QByteArrayView data, const MetafileFrame &frame, DeviceContext &dc,
                   Canvas &canvas, Budget &budget, qint64 objectSlots)
        : m_data(data), m_frame(frame), m_dc(dc), m_canvas(canvas), m_budget(budget),
          m_objects(objectSlots)
    {
    }

    QByteArrayView m_data;
    MetafileFrame m_frame;
    DeviceContext &m_dc;
    Canvas &m_canvas;
    Budget &m_budget;
    ObjectTable m_objects;
};

} // namespace morvane::metafile
