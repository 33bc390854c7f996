// Painting and mouse events of a puzzle piece.
#include "PieceImage.h"

#include "Colour.h"
#include "MirroredImage.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>

namespace morvane {

namespace {

// Sets a property; returns whether its value changed, and so whether anything is to repaint.
template <typename T>
bool assignChanged(T &property, T value)
{
    if (property == value)
        return false;
    property = value;
    return true;
}

// Qt hands a fill of more than about a hundred rows to its thread pool; for a line one or two
// pixels wide, waking those threads costs far more than the drawing, and the selection pulse
// redraws its frame sixty times a second. Frames are therefore filled in short strips.
constexpr int StripRows = 64;

void fillStrips(QPainter &painter, const QRect &r, const QColor &colour)
{
    for (int y = r.top(); y <= r.bottom(); y += StripRows)
        painter.fillRect(QRect(r.left(), y, r.width(), std::min(StripRows, r.bottom() + 1 - y)),
                         colour);
}

// The outline of `r` (its pixels from left to right and top to bottom inclusive), `width`
// pixels thick, each pixel filled once.
void outline(QPainter &painter, const QRect &r, int width, const QColor &colour)
{
    if (r.width() <= 2 * width || r.height() <= 2 * width) {
        fillStrips(painter, r, colour);
        return;
    }
    painter.fillRect(QRect(r.left(), r.top(), r.width(), width), colour);
    painter.fillRect(QRect(r.left(), r.bottom() + 1 - width, r.width(), width), colour);
    const QRect side(r.left(), r.top() + width, width, r.height() - 2 * width);
    fillStrips(painter, side, colour);
    fillStrips(painter, side.translated(r.width() - width, 0), colour);
}

// A dashed outline: dashes of 8 pixels and gaps of 4 along every side, `width` thick.
void dashedOutline(QPainter &painter, const QRect &r, int width, const QColor &colour)
{
    constexpr int Dash = 8, Gap = 4;
    for (int x = r.left(); x <= r.right(); x += Dash + Gap) {
        const int w = std::min(Dash, r.right() + 1 - x);
        painter.fillRect(QRect(x, r.top(), w, width), colour);
        painter.fillRect(QRect(x, r.bottom() + 1 - width, w, width), colour);
    }
    for (int y = r.top(); y <= r.bottom(); y += Dash + Gap) {
        const int h = std::min(Dash, r.bottom() + 1 - y);
        painter.fillRect(QRect(r.left(), y, width, h), colour);
        painter.fillRect(QRect(r.right() + 1 - width, y, width, h), colour);
    }
}

} // namespace

PieceImage::PieceImage(BoardArea *board, int index) : BoardControl(board), m_index(index)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PieceImage::setPicture(const QImage &picture)
{
    m_picture = picture;
    changed();
}

void PieceImage::setBorderStyle(int32_t style)
{
    if (assignChanged(m_borderStyle, style))
        frameChanged();
}

void PieceImage::setBorderColor(int32_t colour)
{
    if (assignChanged(m_borderColor, colour))
        frameChanged();
}

void PieceImage::setBorderWidth(int32_t width)
{
    if (assignChanged(m_borderWidth, width))
        frameChanged();
}

void PieceImage::setFlipHorizontal(bool flip)
{
    if (assignChanged(m_flipHorizontal, flip))
        changed();
}

void PieceImage::setFlipVertical(bool flip)
{
    if (assignChanged(m_flipVertical, flip))
        changed();
}

void PieceImage::setHideColor(int32_t colour)
{
    // The hide colour shows only where the piece has no picture.
    if (assignChanged(m_hideColor, colour) && m_picture.isNull())
        changed();
}

void PieceImage::Redraw()
{
    ++m_redrawCount;
    repaint();
}

// Changes are painted at the next frame; many changes within one frame cost one paint.
void PieceImage::changed() { update(); }

// The frame and its glow lie in a ring along the edge: a change of them repaints only that.
void PieceImage::frameChanged()
{
    const QRect area = rect();
    if (area.width() <= 2 * FrameRing || area.height() <= 2 * FrameRing) {
        update();
        return;
    }
    update(QRegion(area).subtracted(
        QRegion(area.adjusted(FrameRing, FrameRing, -FrameRing, -FrameRing))));
}

// The picture as shown: mirrored as the flips say, at its own size. Rebuilt only when the
// picture or a flip changes.
const QPixmap &PieceImage::mirroredPicture()
{
    if (m_mirrored.isNull() || m_mirroredKey != m_picture.cacheKey()
        || m_mirroredFlipH != m_flipHorizontal || m_mirroredFlipV != m_flipVertical) {
        m_mirrored =
            QPixmap::fromImage(m_flipHorizontal || m_flipVertical
                                   ? mirroredImage(m_picture, m_flipHorizontal, m_flipVertical)
                                   : m_picture);
        m_mirroredKey = m_picture.cacheKey();
        m_mirroredFlipH = m_flipHorizontal;
        m_mirroredFlipV = m_flipVertical;
        m_scaled = QPixmap();
    }
    return m_mirrored;
}

void PieceImage::paintPicture(QPainter &painter, const QRegion &region)
{
    const QPixmap &mirrored = mirroredPicture();
    // Scaled for the screen's real pixels, so that the picture stays crisp on dense screens.
    const qreal ratio = devicePixelRatioF();
    const QSize target = (QSizeF(size()) * ratio).toSize();
    if (!m_scaled.isNull() && m_scaled.size() == target) {
        // Only the parts asked for: a frame that pulses asks for a thin ring, not the picture.
        // Tall parts go in strips, as the frame does, to keep the drawing on this thread.
        for (const QRect &asked : region)
            for (int y = asked.top(); y <= asked.bottom(); y += StripRows) {
                const QRect part(asked.left(), y, asked.width(),
                                 std::min(StripRows, asked.bottom() + 1 - y));
                painter.drawPixmap(
                    part, m_scaled,
                    QRectF(QPointF(part.topLeft()) * ratio, QSizeF(part.size()) * ratio));
            }
        return;
    }
    if (target == m_settledSize) {
        // The size has held for a frame: scale once, carefully, and keep the result.
        m_scaled = QPixmap::fromImage(
            mirrored.toImage().scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        m_scaled.setDevicePixelRatio(ratio);
        painter.drawPixmap(0, 0, m_scaled);
        return;
    }
    // While a piece grows, shrinks or turns, its size changes at every step: a quick stretch
    // serves while it moves, and the careful copy above is made once the size settles.
    painter.drawPixmap(rect(), mirrored);
    m_settledSize = QSize();
    const QSize pending = target;
    QTimer::singleShot(FrameMilliseconds, this, [this, pending] {
        if ((QSizeF(size()) * devicePixelRatioF()).toSize() == pending) {
            m_settledSize = pending;
            update();
        }
    });
}

void PieceImage::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect area = rect();
    if (m_picture.isNull())
        painter.fillRect(area, colourFromBgr(m_hideColor));
    else
        paintPicture(painter, event->region());

    const QColor frame = colourFromBgr(m_borderColor);
    // The glow: rings inside the edge, strongest at the edge.
    const int glow = std::clamp(m_borderWidth, 0, 5);
    for (int ring = 0; ring < glow; ++ring) {
        QColor shade = frame;
        shade.setAlpha(200 - ring * 35);
        outline(painter, area.adjusted(ring + 1, ring + 1, -ring - 1, -ring - 1), 1, shade);
    }
    // Style 1 is a thin frame; the selection style 2 a double frame that stands out.
    outline(painter, area, 1, frame);
    if (m_borderStyle == 2 && area.width() > 6 && area.height() > 6)
        dashedOutline(painter, area.adjusted(1, 1, -1, -1), 2, frame);
}

void PieceImage::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button();
    event->accept();
}

void PieceImage::mouseReleaseEvent(QMouseEvent *event)
{
    const Qt::MouseButton pressed = m_pressed;
    m_pressed = Qt::NoButton;
    event->accept();
    if (event->button() != pressed || !rect().contains(event->position().toPoint()))
        return;
    if (pressed == Qt::LeftButton)
        emit Click(m_index);
    else if (pressed == Qt::RightButton)
        emit RightClick(m_index);
}

void PieceImage::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    emit MouseMove(m_index);
}

} // namespace morvane
