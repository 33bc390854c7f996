// GDI drawing semantics on a QPainter: pens, brushes, arcs, paths, clipping, text and blits.
#include "Canvas.h"

#include "RegionBuilder.h"

#include <QBitmap>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLinearGradient>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace morvane::metafile {

namespace {

// Binary raster operations (SetROP2).
enum Rop2 : uint32_t {
    R2Black = 1,
    R2NotCopyPen = 4,
    R2Not = 6,
    R2XorPen = 7,
    R2MaskPen = 9,
    R2Nop = 11,
    R2CopyPen = 13,
    R2MergePen = 15,
    R2White = 16,
};

enum TextOptions : uint32_t { EtoOpaque = 0x2, EtoClipped = 0x4 };

enum PointType : uint8_t { PtCloseFigure = 1, PtLineTo = 2, PtBezierTo = 4, PtMoveTo = 6 };

// Angle of a point as seen from the centre of an ellipse, in the ellipse's own parameter (the
// angle QPainterPath::arcTo expects), degrees counter-clockwise with y pointing down.
double ellipseAngle(const QRectF &box, QPointF point)
{
    const QPointF c = box.center();
    const double dx = (point.x() - c.x()) * box.height();
    const double dy = -(point.y() - c.y()) * box.width();
    if (dx == 0 && dy == 0)
        return 0;
    return std::atan2(dy, dx) * 180 / std::numbers::pi;
}

} // namespace

Canvas::Canvas(QImage &image, DeviceContext &dc, Budget &budget)
    : m_image(image), m_dc(dc), m_budget(budget), m_painter(&image)
{
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    // Fonts and bitmaps need the GUI application; without one (a bare tool), text and clip paths
    // are left out.
    m_hasGui = qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
}

bool Canvas::sane(const QRectF &bounds) const
{
    const double limit = Limits::maxCoordinate;
    return std::isfinite(bounds.left()) && std::isfinite(bounds.right())
           && std::isfinite(bounds.top()) && std::isfinite(bounds.bottom())
           && bounds.left() > -limit && bounds.right() < limit && bounds.top() > -limit
           && bounds.bottom() < limit;
}

bool Canvas::ropDrawsNothing() const { return m_dc.state().rop2 == R2Nop; }

QPainter::CompositionMode Canvas::ropComposition() const
{
    switch (m_dc.state().rop2) {
    case R2NotCopyPen: return QPainter::RasterOp_NotSource;
    case R2Not: return QPainter::RasterOp_NotDestination;
    case R2XorPen: return QPainter::RasterOp_SourceXorDestination;
    case R2MaskPen: return QPainter::RasterOp_SourceAndDestination;
    case R2MergePen: return QPainter::RasterOp_SourceOrDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

QPen Canvas::makePen()
{
    const DcState &s = m_dc.state();
    const Pen &p = s.pen;
    const uint32_t style = p.style & PsStyleMask;
    if (style == PsNull)
        return Qt::NoPen;
    QColor color = p.color;
    if (s.rop2 == R2Black)
        color = Qt::black;
    else if (s.rop2 == R2White)
        color = Qt::white;
    double width = p.cosmetic || p.width <= 0 ? 1.0 : p.width * m_dc.scale();
    if (!std::isfinite(width) || width < 1)
        width = 1; // GDI never draws a line thinner than one pixel
    width = std::min(width, 4.0 * (m_image.width() + m_image.height()));
    QPen pen(color, width);
    if (p.cosmetic) {
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
    } else {
        switch (p.style & PsEndCapMask) {
        case PsEndCapSquare: pen.setCapStyle(Qt::SquareCap); break;
        case PsEndCapFlat: pen.setCapStyle(Qt::FlatCap); break;
        default: pen.setCapStyle(Qt::RoundCap); break;
        }
        switch (p.style & PsJoinMask) {
        case PsJoinBevel: pen.setJoinStyle(Qt::BevelJoin); break;
        case PsJoinMiter: pen.setJoinStyle(Qt::MiterJoin); break;
        default: pen.setJoinStyle(Qt::RoundJoin); break;
        }
    }
    switch (style) {
    case PsDash: pen.setStyle(Qt::DashLine); break;
    case PsDot:
    case PsAlternate: pen.setStyle(Qt::DotLine); break;
    case PsDashDot: pen.setStyle(Qt::DashDotLine); break;
    case PsDashDotDot: pen.setStyle(Qt::DashDotDotLine); break;
    case PsUserStyle: {
        // User dashes are in logical units; QPen wants multiples of the pen width, and at least
        // a tenth of it, so that a tiny pattern cannot split a long line into millions of dashes.
        QList<qreal> pattern;
        const double factor = (p.cosmetic ? 1.0 : m_dc.scale()) / width;
        for (double entry : p.dashes)
            pattern.append(std::clamp(entry * factor, 0.1, 1000.0));
        if (pattern.size() % 2)
            pattern.append(pattern.back());
        if (pattern.size() >= 2)
            pen.setDashPattern(pattern);
        break;
    }
    default: break;
    }
    return pen;
}

QBrush Canvas::makeBrush(const Brush &brush)
{
    const DcState &s = m_dc.state();
    if (s.rop2 == R2Black)
        return QBrush(Qt::black);
    if (s.rop2 == R2White)
        return QBrush(Qt::white);
    switch (brush.style) {
    case BsNull: return Qt::NoBrush;
    case BsHatched: {
        static const Qt::BrushStyle hatches[] = {Qt::HorPattern,   Qt::VerPattern,
                                                 Qt::FDiagPattern, Qt::BDiagPattern,
                                                 Qt::CrossPattern, Qt::DiagCrossPattern};
        return QBrush(brush.color, brush.hatch < 6 ? hatches[brush.hatch] : Qt::SolidPattern);
    }
    case BsPattern:
    case BsDibPattern:
    case BsDibPatternPt:
        if (!brush.pattern.isNull())
            return QBrush(brush.pattern);
        return QBrush(brush.color);
    default: return QBrush(brush.color);
    }
}

void Canvas::prepare(bool withPen, bool withBrush)
{
    m_budget.checkTime();
    const DcState &s = m_dc.state();
    m_painter.resetTransform();
    if (!m_clipKnown || s.clip != m_appliedClip) {
        if (s.clip)
            m_painter.setClipRegion(*s.clip);
        else
            m_painter.setClipping(false);
        m_appliedClip = s.clip;
        m_clipKnown = true;
    }
    m_painter.setCompositionMode(ropComposition());
    m_painter.setPen(withPen ? makePen() : QPen(Qt::NoPen));
    m_painter.setBrush(withBrush ? makeBrush(s.brush) : QBrush(Qt::NoBrush));
    m_painter.setBackgroundMode(s.bkOpaque ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter.setBackground(s.bkColor);
    m_painter.setBrushOrigin(0, 0);
}

void Canvas::drawMapped(const QPainterPath &mapped, bool fill, bool stroke)
{
    if (ropDrawsNothing() || mapped.isEmpty() || !sane(mapped.controlPointRect()))
        return;
    prepare(stroke, fill);
    const double penWidth = stroke ? m_painter.pen().widthF() : -1;
    // A shape wholly off the picture leaves no mark: not worth rasterising. The margin holds
    // the widest pen with its mitred corners.
    const double margin = 5 * std::max(1.0, penWidth) + 2;
    if (!mapped.controlPointRect()
             .adjusted(-margin, -margin, margin, margin)
             .intersects(QRectF(m_image.rect())))
        return;
    m_budget.rasterWork(rasterWork(mapped, penWidth));
    QPainterPath path = mapped;
    path.setFillRule(m_dc.state().windingFill ? Qt::WindingFill : Qt::OddEvenFill);
    m_painter.drawPath(path);
}

double Canvas::rasterWork(const QPainterPath &mapped, double penWidth) const
{
    // The rasteriser walks every edge over every scanline it crosses inside the image, and a
    // stroke adds an outline on both sides of each edge, as tall as the pen is wide.
    const double height = m_image.height();
    double work = 0;
    QPointF last;
    for (int i = 0; i < mapped.elementCount(); ++i) {
        if (i % 4096 == 0)
            m_budget.step();
        const QPainterPath::Element e = mapped.elementAt(i);
        const QPointF at(e.x, e.y);
        if (!e.isMoveTo()) {
            const double low = std::max(0.0, std::min(last.y(), at.y()));
            const double high = std::min(height, std::max(last.y(), at.y()));
            const double crossed = std::max(0.0, high - low);
            work += 1 + crossed;
            if (penWidth >= 0)
                work += 2 * (crossed + std::max(1.0, penWidth));
        }
        last = at;
    }
    return work;
}

void Canvas::addToPath(const QPainterPath &mapped, bool connect)
{
    m_dc.pathElements += mapped.elementCount();
    if (m_dc.pathElements > Limits::maxPathElements)
        throw LimitExceeded("a path of more than " + std::to_string(Limits::maxPathElements)
                            + " elements");
    if (connect && !m_dc.path.isEmpty() && mapped.elementCount() > 0
        && QPointF(mapped.elementAt(0)) == m_dc.path.currentPosition())
        m_dc.path.connectPath(mapped);
    else
        m_dc.path.addPath(mapped);
}

void Canvas::shape(const QPainterPath &logical, bool fill, bool stroke)
{
    const QPainterPath mapped = m_dc.toImage().map(logical);
    if (m_dc.inPath)
        addToPath(mapped, false);
    else
        drawMapped(mapped, fill, stroke);
}

void Canvas::polyline(const QPolygonF &points)
{
    if (points.size() < 2)
        return;
    QPainterPath path;
    path.addPolygon(points);
    shape(path, false, true);
}

void Canvas::polygons(const std::vector<QPolygonF> &polys, bool fill)
{
    QPainterPath path;
    for (const QPolygonF &poly : polys) {
        m_budget.step();
        if (poly.size() < 2)
            continue;
        path.addPolygon(poly);
        path.closeSubpath();
    }
    shape(path, fill, true);
}

void Canvas::rectangle(const QRectF &box)
{
    QPainterPath path;
    path.addRect(box.normalized());
    shape(path, true, true);
}

void Canvas::roundRect(const QRectF &box, QSizeF corner)
{
    QPainterPath path;
    const QRectF r = box.normalized();
    const double rx = std::min(std::abs(corner.width()) / 2, r.width() / 2);
    const double ry = std::min(std::abs(corner.height()) / 2, r.height() / 2);
    path.addRoundedRect(r, rx, ry);
    shape(path, true, true);
}

void Canvas::ellipse(const QRectF &box)
{
    QPainterPath path;
    path.addEllipse(box.normalized());
    shape(path, true, true);
}

void Canvas::arc(ArcKind kind, const QRectF &rawBox, QPointF start, QPointF end)
{
    const QRectF box = rawBox.normalized();
    const double a0 = ellipseAngle(box, start);
    const double a1 = ellipseAngle(box, end);
    // GDI turns counter-clockwise as seen on the device unless told otherwise; a mapping that
    // mirrors one axis turns the logical direction around.
    const QTransform &t = m_dc.toImage();
    const bool mirrored = (t.m11() * t.m22() - t.m12() * t.m21()) < 0;
    const bool clockwise = m_dc.state().clockwiseArcs != mirrored;
    double sweep;
    if (!clockwise) {
        sweep = std::fmod(a1 - a0 + 720, 360);
        if (sweep <= 1e-9)
            sweep = 360;
    } else {
        sweep = -std::fmod(a0 - a1 + 720, 360);
        if (sweep >= -1e-9)
            sweep = -360;
    }
    QPainterPath path;
    switch (kind) {
    case ArcKind::Pie:
        path.moveTo(box.center());
        path.arcTo(box, a0, sweep);
        path.closeSubpath();
        shape(path, true, true);
        break;
    case ArcKind::Chord:
        path.arcMoveTo(box, a0);
        path.arcTo(box, a0, sweep);
        path.closeSubpath();
        shape(path, true, true);
        break;
    case ArcKind::Arc:
        path.arcMoveTo(box, a0);
        path.arcTo(box, a0, sweep);
        shape(path, false, true);
        break;
    case ArcKind::ArcTo: {
        path.moveTo(m_dc.state().currentPos);
        path.arcTo(box, a0, sweep);
        m_dc.state().currentPos = path.currentPosition();
        const QPainterPath mapped = t.map(path);
        if (m_dc.inPath)
            addToPath(mapped, true);
        else
            drawMapped(mapped, false, true);
        break;
    }
    }
}

void Canvas::angleArc(QPointF center, double radius, double startDegrees, double sweepDegrees)
{
    if (!std::isfinite(startDegrees) || !std::isfinite(sweepDegrees) || !std::isfinite(radius))
        return;
    startDegrees = std::fmod(startDegrees, 360);
    sweepDegrees = std::clamp(sweepDegrees, -3600.0, 3600.0);
    const QRectF box(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
    QPainterPath path;
    path.moveTo(m_dc.state().currentPos);
    path.arcTo(box, startDegrees, sweepDegrees);
    m_dc.state().currentPos = path.currentPosition();
    continueLine(path);
}

// A line drawn on from the current position: joined to the open path while one is being
// recorded, stroked otherwise.
void Canvas::continueLine(const QPainterPath &logical)
{
    const QPainterPath mapped = m_dc.toImage().map(logical);
    if (m_dc.inPath)
        addToPath(mapped, true);
    else
        drawMapped(mapped, false, true);
}

void Canvas::bezier(const QPolygonF &points)
{
    if (points.size() < 4)
        return;
    QPainterPath path(points[0]);
    for (qsizetype i = 1; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    shape(path, false, true);
}

void Canvas::lineTo(const QPolygonF &points)
{
    if (points.isEmpty())
        return;
    QPainterPath path(m_dc.state().currentPos);
    for (const QPointF &p : points)
        path.lineTo(p);
    m_dc.state().currentPos = points.back();
    continueLine(path);
}

void Canvas::bezierTo(const QPolygonF &points)
{
    if (points.size() < 3)
        return;
    QPainterPath path(m_dc.state().currentPos);
    qsizetype i = 0;
    for (; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    m_dc.state().currentPos = points[i - 1];
    continueLine(path);
}

void Canvas::polyDraw(const QPolygonF &points, const std::vector<uint8_t> &types)
{
    const qsizetype n = std::min<qsizetype>(points.size(), qsizetype(types.size()));
    QPainterPath path(m_dc.state().currentPos);
    QPointF figureStart = m_dc.state().currentPos;
    for (qsizetype i = 0; i < n; ++i) {
        const uint8_t type = types[size_t(i)] & ~PtCloseFigure;
        if (type == PtMoveTo) {
            path.moveTo(points[i]);
            figureStart = points[i];
        } else if (type == PtLineTo) {
            path.lineTo(points[i]);
        } else if (type == PtBezierTo && i + 2 < n) {
            path.cubicTo(points[i], points[i + 1], points[i + 2]);
            i += 2;
        } else {
            break; // an unknown type ends the figure list, as GDI rejects the call
        }
        if (types[size_t(i)] & PtCloseFigure) {
            path.closeSubpath();
            path.moveTo(figureStart);
        }
    }
    m_dc.state().currentPos = path.currentPosition();
    continueLine(path);
}

void Canvas::moveTo(QPointF point)
{
    m_dc.state().currentPos = point;
    if (m_dc.inPath) {
        const QPointF mapped = m_dc.toImage().map(point);
        if (std::isfinite(mapped.x()) && std::isfinite(mapped.y()))
            m_dc.path.moveTo(mapped);
    }
}

void Canvas::setPixel(QPointF point, QColor color)
{
    const QPointF p = m_dc.toImage().map(point);
    if (!sane(QRectF(p, QSizeF(1, 1))))
        return;
    prepare(false, false);
    m_painter.fillRect(QRectF(std::floor(p.x()), std::floor(p.y()), 1, 1), color);
}

void Canvas::text(QPointF reference, const QString &text, const std::vector<double> &dx,
                  uint32_t options, std::optional<QRectF> rect)
{
    m_budget.textChars(text.size());
    DcState &s = m_dc.state();
    const QTransform &t = m_dc.toImage();
    if (s.textAlign & TaUpdateCp)
        reference = s.currentPos;

    if (rect && (options & EtoOpaque) && !ropDrawsNothing()) {
        const QPainterPath box = t.map([&] {
            QPainterPath p;
            p.addRect(rect->normalized());
            return p;
        }());
        if (sane(box.controlPointRect())) {
            prepare(false, false);
            m_painter.fillPath(box, s.bkColor);
        }
    }
    if (text.isEmpty() || !m_hasGui || ropDrawsNothing())
        return;

    const Font &lf = s.font;
    const double scaleY = m_dc.scaleY();
    const double scaleX = m_dc.scaleX();
    double logicalHeight = lf.height == 0 ? 12 : std::abs(lf.height);
    double pixels = logicalHeight * scaleY;
    if (!std::isfinite(pixels) || pixels < 0.5 || pixels > Limits::maxFontPixels)
        return;
    const QPointF origin = t.map(reference);
    if (!sane(QRectF(origin, QSizeF(1, 1))))
        return;

    QFont font(lf.face.isEmpty() ? QStringLiteral("Arial") : lf.face);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, int(std::lround(pixels))));
    if (lf.height > 0) {
        // A positive height is the whole cell; the em is that less the internal leading.
        const double cell = QFontMetricsF(font).height();
        if (cell > 0)
            font.setPixelSize(std::max(1, int(std::lround(pixels * pixels / cell))));
    }
    font.setWeight(QFont::Weight(std::clamp(lf.weight == 0 ? 400 : lf.weight, 100, 900)));
    font.setItalic(lf.italic);
    font.setUnderline(lf.underline);
    font.setStrikeOut(lf.strikeOut);
    if (lf.width != 0) {
        const double average = QFontMetricsF(font).averageCharWidth();
        const double wanted = std::abs(lf.width) * scaleX;
        // FreeType cannot rasterise a letter stretched far past its height (Qt then copies its
        // glyph from a null bitmap and crashes): widening stops at an em 512 pixels wide.
        const int widest = std::max(100, int(100 * Limits::maxWidenedEmPixels / font.pixelSize()));
        if (average > 0 && std::isfinite(wanted))
            font.setStretch(
                std::clamp(int(std::lround(100 * wanted / average)), 1, std::min(4000, widest)));
    }
    const QFontMetricsF metrics(font);

    // Advances: from the record's dx array when it has one for every character.
    std::vector<double> advances;
    double width = 0;
    if (!dx.empty() && dx.size() >= size_t(text.size())) {
        advances.reserve(size_t(text.size()));
        for (qsizetype i = 0; i < text.size(); ++i) {
            const double a = dx[size_t(i)] * scaleX;
            advances.push_back(std::isfinite(a) ? a : 0);
            width += advances.back();
        }
    } else {
        width = metrics.horizontalAdvance(text);
    }
    if (!std::isfinite(width) || std::abs(width) > Limits::maxCoordinate)
        return;

    double x = 0;
    switch (s.textAlign & TaHorizontalMask) {
    case TaRight: x = -width; break;
    case TaCenter: x = -width / 2; break;
    default: break;
    }
    double y = 0;
    switch (s.textAlign & TaVerticalMask) {
    case TaBottom: y = -metrics.descent(); break;
    case TaBaseline: break;
    default: y = metrics.ascent(); break;
    }

    prepare(false, false);
    if (rect && (options & EtoClipped)) {
        QPainterPath clip;
        clip.addRect(rect->normalized());
        const QPainterPath mappedClip = t.map(clip);
        if (sane(mappedClip.controlPointRect()))
            m_painter.setClipPath(mappedClip, m_appliedClip ? Qt::IntersectClip : Qt::ReplaceClip);
        m_clipKnown = false; // the painter's clip now differs from the state's
    }
    m_painter.translate(origin);
    // Escapement turns the baseline counter-clockwise; a mirrored y axis turns it back.
    double angle = lf.escapement / 10.0;
    if (t.m22() < 0)
        angle = -angle;
    if (angle != 0 && std::isfinite(angle))
        m_painter.rotate(-angle);
    m_painter.setFont(font);
    if (s.bkOpaque && !(options & EtoOpaque))
        m_painter.fillRect(QRectF(x, y - metrics.ascent(), width, metrics.height()), s.bkColor);
    m_painter.setPen(s.rop2 == R2Black   ? QColor(Qt::black)
                     : s.rop2 == R2White ? QColor(Qt::white)
                                         : s.textColor);
    if (advances.empty()) {
        m_painter.drawText(QPointF(x, y), text);
    } else {
        double pos = x;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (i % 64 == 0)
                m_budget.checkTime();
            m_painter.drawText(QPointF(pos, y), QString(text[i]));
            pos += advances[size_t(i)];
        }
    }
    m_painter.resetTransform();

    if (s.textAlign & TaUpdateCp) {
        const double logicalAdvance = scaleX > 0 ? width / scaleX : 0;
        s.currentPos.rx() += (t.m11() < 0 ? -logicalAdvance : logicalAdvance);
    }
}

void Canvas::bitmap(const QImage &image, const QRectF &dest, const QRectF &rawSrc, uint32_t rop,
                    double opacity)
{
    if (image.isNull() || dest.width() == 0 || dest.height() == 0)
        return;
    QRectF src = rawSrc;
    if (src.width() <= 0 || src.height() <= 0)
        src = QRectF(image.rect());
    src = src.intersected(QRectF(image.rect()));
    if (src.isEmpty())
        return;
    QTransform placement;
    placement.translate(dest.x(), dest.y());
    placement.scale(dest.width() / src.width(), dest.height() / src.height());
    placement.translate(-src.x(), -src.y());
    const QTransform total = placement * m_dc.toImage();
    if (!sane(total.mapRect(src)))
        return;
    prepare(false, false);
    QImage source = image;
    switch (rop) {
    case RopSrcAnd: m_painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination); break;
    case RopSrcPaint: m_painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination); break;
    case RopSrcInvert: m_painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
    case RopNotSrcCopy:
        source = image.convertToFormat(QImage::Format_RGB32);
        source.invertPixels();
        m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        break;
    default: m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver); break;
    }
    m_painter.setTransform(total);
    m_painter.setOpacity(std::clamp(opacity, 0.0, 1.0));
    m_painter.drawImage(src.topLeft(), source, src);
    m_painter.setOpacity(1);
    m_painter.resetTransform();
}

void Canvas::patBlt(const QRectF &dest, uint32_t rop)
{
    QPainterPath path;
    path.addRect(dest.normalized());
    const QPainterPath mapped = m_dc.toImage().map(path);
    if (!sane(mapped.controlPointRect()))
        return;
    prepare(false, false);
    switch (rop) {
    case RopPatCopy: m_painter.fillPath(mapped, makeBrush(m_dc.state().brush)); break;
    case RopBlackness: m_painter.fillPath(mapped, Qt::black); break;
    case RopWhiteness: m_painter.fillPath(mapped, Qt::white); break;
    case RopDstInvert:
        m_painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        m_painter.fillPath(mapped, Qt::black);
        break;
    case RopPatInvert:
        m_painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        m_painter.fillPath(mapped, makeBrush(m_dc.state().brush));
        break;
    default: break; // operations that read a source we do not have, or leave the destination
    }
}

void Canvas::fillRegion(const QRegion &deviceRegion, const Brush &brush)
{
    if (ropDrawsNothing())
        return;
    prepare(false, false);
    const QBrush qbrush = makeBrush(brush);
    for (const QRect &r : deviceRegion) {
        m_budget.step();
        const QRectF mapped = m_dc.deviceToImage().mapRect(QRectF(r));
        if (sane(mapped))
            m_painter.fillRect(mapped, qbrush);
    }
}

void Canvas::gradientRect(const QRectF &box, QColor from, QColor to, bool vertical)
{
    QPainterPath path;
    path.addRect(box.normalized());
    const QTransform &t = m_dc.toImage();
    const QPainterPath mapped = t.map(path);
    if (ropDrawsNothing() || !sane(mapped.controlPointRect()))
        return;
    const QPointF a = t.map(box.topLeft());
    const QPointF b = t.map(vertical ? box.bottomLeft() : box.topRight());
    QLinearGradient gradient(a, b);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    prepare(false, false);
    m_painter.fillPath(mapped, gradient);
}

void Canvas::gradientTriangle(const QPolygonF &triangle, QColor average)
{
    QPainterPath path;
    path.addPolygon(triangle);
    path.closeSubpath();
    const QPainterPath mapped = m_dc.toImage().map(path);
    if (ropDrawsNothing() || !sane(mapped.controlPointRect()))
        return;
    prepare(false, false);
    m_painter.fillPath(mapped, average);
}

void Canvas::beginPath()
{
    m_dc.inPath = true;
    m_dc.path = QPainterPath();
    m_dc.pathElements = 0;
}

void Canvas::endPath() { m_dc.inPath = false; }

void Canvas::abortPath()
{
    m_dc.inPath = false;
    m_dc.path = QPainterPath();
    m_dc.pathElements = 0;
}

void Canvas::closeFigure()
{
    if (m_dc.inPath)
        m_dc.path.closeSubpath();
}

void Canvas::fillPath(bool fill, bool stroke)
{
    const QPainterPath path = m_dc.path;
    abortPath();
    drawMapped(path, fill, stroke);
}

void Canvas::selectClipPath(uint32_t mode)
{
    QPainterPath path = m_dc.path;
    abortPath();
    // An intricate clip path is left out rather than costing more than the drawing it clips.
    if (path.isEmpty() || !sane(path.controlPointRect()) || path.elementCount() > 10'000
        || !m_hasGui || rasterWork(path, -1) > double(m_budget.allowance().rasterWork))
        return;
    path.setFillRule(m_dc.state().windingFill ? Qt::WindingFill : Qt::OddEvenFill);
    // The region comes from the path painted into a mask the size of the image: cost follows the
    // image, however far the path reaches (and Qt's polygon-to-region code leaks on odd input).
    QImage mask(m_image.size(), QImage::Format_Grayscale8);
    if (mask.isNull())
        return;
    mask.fill(255); // white is outside; QRegion takes the black (color1) pixels of a bitmap
    {
        QPainter painter(&mask);
        painter.fillPath(path, QColor(0, 0, 0));
    }
    const QRegion region(
        QBitmap::fromImage(mask.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither)));
    combineImageClip(region, mode);
}

void Canvas::combineImageClip(const QRegion &region, uint32_t mode)
{
    std::optional<QRegion> &clip = m_dc.state().clip;
    const QRegion current = clip ? *clip : QRegion(m_image.rect());
    QRegion result;
    switch (mode) {
    case RgnAnd: result = current & region; break;
    case RgnOr: result = current | region; break;
    case RgnXor: result = current ^ region; break;
    case RgnDiff: result = current - region; break;
    case RgnCopy: result = region; break;
    default: return;
    }
    if (result.rectCount() > Limits::maxClipRects)
        return; // too intricate to be worth the cost; drawing stays unclipped by this step
    clip = result;
}

void Canvas::intersectClip(const QRectF &logical)
{
    const QRectF r = m_dc.toImage().mapRect(logical.normalized());
    if (!sane(r))
        return;
    combineImageClip(QRegion(r.toAlignedRect()), RgnAnd);
}

void Canvas::excludeClip(const QRectF &logical)
{
    const QRectF r = m_dc.toImage().mapRect(logical.normalized());
    if (!sane(r))
        return;
    combineImageClip(QRegion(r.toRect()), RgnDiff);
}

void Canvas::combineClip(const std::optional<QRegion> &deviceRegion, uint32_t mode)
{
    if (!deviceRegion) {
        if (mode == RgnCopy)
            m_dc.state().clip.reset();
        return;
    }
    // Rectangles that meet once scaled down overlap: the region is built again in one go.
    std::vector<Edges> mapped;
    mapped.reserve(size_t(deviceRegion->rectCount()));
    for (const QRect &r : *deviceRegion) {
        m_budget.step();
        const QRectF m = m_dc.deviceToImage().mapRect(QRectF(r));
        if (!sane(m))
            continue;
        const QRect aligned = m.toAlignedRect();
        mapped.push_back({aligned.left(), aligned.top(), qint64(aligned.left()) + aligned.width(),
                          qint64(aligned.top()) + aligned.height()});
    }
    combineImageClip(regionFromRects(std::move(mapped), m_budget), mode);
}

void Canvas::offsetClip(QPointF logical)
{
    std::optional<QRegion> &clip = m_dc.state().clip;
    if (!clip)
        return;
    const QTransform &t = m_dc.toImage();
    const QPointF d = t.map(logical) - t.map(QPointF(0, 0));
    if (!sane(QRectF(d, QSizeF(1, 1))))
        return;
    clip->translate(d.toPoint());
}

} // namespace morvane::metafile
