// Painting and mouse events of a puzzle piece.
#include "PieceImage.h"

#include "Colour.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace morvane {

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
    if (style != m_borderStyle) {
        m_borderStyle = style;
        changed();
    }
}

void PieceImage::setBorderColor(int32_t colour)
{
    if (colour != m_borderColor) {
        m_borderColor = colour;
        changed();
    }
}

void PieceImage::setBorderWidth(int32_t width)
{
    if (width != m_borderWidth) {
        m_borderWidth = width;
        changed();
    }
}

void PieceImage::setFlipHorizontal(bool flip)
{
    if (flip != m_flipHorizontal) {
        m_flipHorizontal = flip;
        changed();
    }
}

void PieceImage::setFlipVertical(bool flip)
{
    if (flip != m_flipVertical) {
        m_flipVertical = flip;
        changed();
    }
}

void PieceImage::setHideColor(int32_t colour)
{
    if (colour != m_hideColor) {
        m_hideColor = colour;
        if (m_picture.isNull())
            changed();
    }
}

void PieceImage::Redraw()
{
    ++m_redrawCount;
    repaint();
}

// A change is shown at the next frame: the 1 ms selection pulse would otherwise repaint a
// thousand times a second, far more often than any screen can show.
void PieceImage::changed()
{
    if (m_updatePending)
        return;
    m_updatePending = true;
    QTimer::singleShot(FrameMilliseconds, this, [this] {
        m_updatePending = false;
        update();
    });
}

const QPixmap &PieceImage::scaledPicture()
{
    // Scaled for the screen's real pixels, so that the picture stays crisp on dense screens.
    const qreal ratio = devicePixelRatioF();
    const QSize target = (QSizeF(size()) * ratio).toSize();
    if (m_scaled.isNull() || m_scaledKey != m_picture.cacheKey() || m_scaledSize != target
        || m_scaledFlipH != m_flipHorizontal || m_scaledFlipV != m_flipVertical) {
        QImage image = m_picture;
        if (m_flipHorizontal || m_flipVertical)
            image = image.mirrored(m_flipHorizontal, m_flipVertical);
        if (image.size() != target)
            image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_scaled = QPixmap::fromImage(image);
        m_scaled.setDevicePixelRatio(ratio);
        m_scaledKey = m_picture.cacheKey();
        m_scaledSize = target;
        m_scaledFlipH = m_flipHorizontal;
        m_scaledFlipV = m_flipVertical;
    }
    return m_scaled;
}

void PieceImage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect area = rect();
    if (m_picture.isNull())
        painter.fillRect(area, colourFromBgr(m_hideColor));
    else
        painter.drawPixmap(0, 0, scaledPicture());

    const QColor frame = colourFromBgr(m_borderColor);
    // The glow: rings inside the edge, strongest at the edge.
    const int glow = std::clamp(m_borderWidth, 0, 5);
    for (int ring = 0; ring < glow; ++ring) {
        QColor shade = frame;
        shade.setAlpha(200 - ring * 35);
        painter.setPen(QPen(shade, 1));
        painter.drawRect(area.adjusted(ring + 1, ring + 1, -ring - 2, -ring - 2));
    }
    // Style 1 is a thin frame; the selection style 2 a double frame that stands out.
    painter.setPen(QPen(frame, 1));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    if (m_borderStyle == 2 && area.width() > 6 && area.height() > 6) {
        painter.setPen(QPen(frame, 2, Qt::DashLine));
        painter.drawRect(QRectF(area).adjusted(2, 2, -2, -2));
    }
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
