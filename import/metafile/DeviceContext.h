// Device-context state: mapping mode, window and viewport, world transform, selected objects,
// colours.
#pragma once

#include "GdiObjects.h"

#include <QPainterPath>
#include <QPointF>
#include <QRegion>
#include <QTransform>

#include <optional>
#include <vector>

namespace morvane::metafile {

enum MapMode : uint32_t {
    MmText = 1,
    MmLoMetric = 2,
    MmHiMetric = 3,
    MmLoEnglish = 4,
    MmHiEnglish = 5,
    MmTwips = 6,
    MmIsotropic = 7,
    MmAnisotropic = 8,
};

enum TextAlignBits : uint32_t {
    TaUpdateCp = 1,
    TaRight = 2,
    TaCenter = 6,
    TaHorizontalMask = 6,
    TaBottom = 8,
    TaBaseline = 24,
    TaVerticalMask = 24,
};

// Everything SaveDC keeps and RestoreDC brings back.
struct DcState {
    uint32_t mapMode = MmText;
    QPointF windowOrg{0, 0};
    QSizeF windowExt{1, 1};
    QPointF viewportOrg{0, 0};
    QSizeF viewportExt{1, 1};
    QTransform world; // EMF world transform (logical -> page)

    Pen pen;
    Brush brush;
    Font font;
    QColor textColor = Qt::black;
    QColor bkColor = Qt::white;
    bool bkOpaque = true;     // OPAQUE background mode fills hatch gaps and text boxes
    bool windingFill = false; // ALTERNATE (even-odd) unless WINDING is set
    uint32_t textAlign = 0;
    uint32_t rop2 = 13; // R2_COPYPEN
    bool clockwiseArcs = false;
    QPointF currentPos{0, 0};
    std::optional<QRegion> clip; // in output-image pixels; none means unclipped
};

class DeviceContext {
public:
    // deviceToImage maps the metafile's device units onto the output image; unitsPerMm gives the
    // device units per millimetre that the metric mapping modes use.
    DeviceContext(const QTransform &deviceToImage, QSizeF unitsPerMm);

    DcState &state() { return m_state; }
    const DcState &state() const { return m_state; }
    // Makes a pen, brush or font the current one of its kind.
    void select(const GdiObject &object);

    void save();
    // Restores a saved level: negative counts back from the newest, positive is an absolute level.
    void restore(int which);

    void setMapMode(uint32_t mode);
    void setWindowOrg(QPointF org);
    void setWindowExt(QSizeF ext);
    void setViewportOrg(QPointF org);
    void setViewportExt(QSizeF ext);
    void setWorld(const QTransform &world);
    void changed() { m_dirty = true; }

    // Logical coordinates -> output image pixels.
    const QTransform &toImage();
    // How many output pixels one logical unit spans (geometric mean of the two axes).
    double scale();
    double scaleX();
    double scaleY();
    // Device units -> output image pixels (for regions, which EMF gives in device units).
    const QTransform &deviceToImage() const { return m_deviceToImage; }

    // The path bracket (BeginPath .. EndPath); geometry goes here instead of onto the image.
    bool inPath = false;
    QPainterPath path; // in output pixels
    qint64 pathElements = 0;

private:
    void update();

    DcState m_state;
    std::vector<DcState> m_saved;
    QTransform m_deviceToImage;
    QSizeF m_unitsPerMm;
    QTransform m_toImage;
    double m_scaleX = 1, m_scaleY = 1;
    bool m_dirty = true;
};

} // namespace morvane::metafile
