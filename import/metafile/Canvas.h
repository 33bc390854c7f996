// Draws GDI-style shapes, paths, text and bitmaps onto the output image under a device context.
#pragma once

#include "DeviceContext.h"
#include "Limits.h"

#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QRectF>

#include <optional>
#include <vector>

namespace morvane::metafile {

enum class ArcKind { Arc, ArcTo, Chord, Pie };

// Raster operations used by the blit records.
enum RasterOp : uint32_t {
    RopSrcCopy = 0x00CC0020,
    RopSrcPaint = 0x00EE0086,
    RopSrcAnd = 0x008800C6,
    RopSrcInvert = 0x00660046,
    RopNotSrcCopy = 0x00330008,
    RopDstInvert = 0x00550009,
    RopPatCopy = 0x00F00021,
    RopPatInvert = 0x005A0049,
    RopBlackness = 0x00000042,
    RopWhiteness = 0x00FF0062,
    RopMergeCopy = 0x00C000CA,
    RopNoOp = 0x00AA0029,
};

// Region combine modes.
enum RegionMode : uint32_t { RgnAnd = 1, RgnOr = 2, RgnXor = 3, RgnDiff = 4, RgnCopy = 5 };

class Canvas {
public:
    Canvas(QImage &image, DeviceContext &dc, Budget &budget);

    // A shape in logical coordinates: filled with the brush and/or outlined with the pen; inside a
    // path bracket it is added to the path instead.
    void shape(const QPainterPath &logical, bool fill, bool stroke);
    void polyline(const QPolygonF &points);
    void polygons(const std::vector<QPolygonF> &polys, bool fill);
    void rectangle(const QRectF &box);
    void roundRect(const QRectF &box, QSizeF corner);
    void ellipse(const QRectF &box);
    void arc(ArcKind kind, const QRectF &box, QPointF start, QPointF end);
    void angleArc(QPointF center, double radius, double startDegrees, double sweepDegrees);
    void bezier(const QPolygonF &points); // start point, then control, control, end triples
    // Drawing that continues from the current position (LineTo, PolylineTo, PolyBezierTo).
    void lineTo(const QPolygonF &points);
    void bezierTo(const QPolygonF &points);
    // PolyDraw: points with GDI point types (PT_MOVETO, PT_LINETO, PT_BEZIERTO, PT_CLOSEFIGURE).
    void polyDraw(const QPolygonF &points, const std::vector<uint8_t> &types);
    void moveTo(QPointF point);
    void setPixel(QPointF point, QColor color);

    // Text at a logical reference point; dx gives per-character advances in logical units.
    void text(QPointF reference, const QString &text, const std::vector<double> &dx,
              uint32_t options, std::optional<QRectF> rect);

    // A bitmap stretched from src (bitmap pixels) onto dest (logical units).
    void bitmap(const QImage &image, const QRectF &dest, const QRectF &src, uint32_t rop,
                double opacity = 1);
    // A blit without a source: fills dest with the brush, black, white or an inversion.
    void patBlt(const QRectF &dest, uint32_t rop);
    // Fills a region given in device units with a brush.
    void fillRegion(const QRegion &deviceRegion, const Brush &brush);
    // A gradient between two colours over a logical rectangle, horizontal or vertical.
    void gradientRect(const QRectF &box, QColor from, QColor to, bool vertical);
    void gradientTriangle(const QPolygonF &triangle, QColor average);

    // Path bracket.
    void beginPath();
    void endPath();
    void abortPath();
    void closeFigure();
    void fillPath(bool fill, bool stroke);
    void selectClipPath(uint32_t mode);

    // Clipping.
    void intersectClip(const QRectF &logical);
    void excludeClip(const QRectF &logical);
    void combineClip(const std::optional<QRegion> &deviceRegion, uint32_t mode);
    void offsetClip(QPointF logical);

private:
    void combineImageClip(const QRegion &imageRegion, uint32_t mode);
    QPen makePen();
    QBrush makeBrush(const Brush &brush);
    void prepare(bool withPen, bool withBrush);
    void drawMapped(const QPainterPath &mapped, bool fill, bool stroke);
    // Roughly what rasterising the path costs; penWidth < 0 when it is not stroked.
    double rasterWork(const QPainterPath &mapped, double penWidth) const;
    void addToPath(const QPainterPath &mapped, bool connect);
    void continueLine(const QPainterPath &logical);
    bool sane(const QRectF &bounds) const;
    bool ropDrawsNothing() const;
    QPainter::CompositionMode ropComposition() const;

    QImage &m_image;
    DeviceContext &m_dc;
    Budget &m_budget;
    QPainter m_painter;
    std::optional<QRegion> m_appliedClip;
    bool m_clipKnown = false; // whether m_appliedClip is what the painter has
    bool m_hasGui;
};

} // namespace morvane::metafile
