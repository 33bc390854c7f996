// Drawing into a picture box's persistent image.
#include "PictureBox.h"

#include "BoardArea.h"
#include "Colour.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace morvane {

PictureBox::PictureBox(BoardArea *board) : BoardControl(board)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Mouse moves over a picture box are its own: they do not reach the board's background.
    setMouseTracking(true);
}

int PictureBox::ScaleWidth() const { return qRound(m_image.width() / m_image.devicePixelRatio()); }

int PictureBox::ScaleHeight() const
{
    return qRound(m_image.height() / m_image.devicePixelRatio());
}

void PictureBox::setPicture(const QImage &picture)
{
    m_picture = picture;
    if (m_autoSize && !picture.isNull())
        setPixelGeometry(QRectF(pixelGeometry().topLeft(), QSizeF(picture.size())));
    Cls();
}

void PictureBox::setAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    if (autoSize && !m_picture.isNull())
        setPixelGeometry(QRectF(pixelGeometry().topLeft(), QSizeF(m_picture.size())));
}

void PictureBox::setBackColor(int32_t colour)
{
    m_backColor = colour;
    Cls();
}

void PictureBox::Cls()
{
    fitImage();
    m_image.fill(colourFromBgr(m_backColor));
    if (!m_picture.isNull()) {
        QPainter painter(&m_image);
        painter.drawImage(0, 0, m_picture);
    }
    m_currentX = 0;
    m_currentY = 0;
    changed(rect());
}

void PictureBox::changed(const QRect &area)
{
    const QRect visible = area.intersected(rect());
    m_dirty |= visible;
    update(visible);
}

void PictureBox::fitImage()
{
    // The image holds the screen's real pixels, so that the finished picture stays crisp on
    // dense screens; drawing on it still works in the box's own units.
    const qreal ratio = devicePixelRatioF();
    const QSize wanted = (QSizeF(size().expandedTo(QSize(0, 0))) * ratio).toSize();
    if (m_image.size() == wanted && m_image.devicePixelRatio() == ratio)
        return;
    // A larger box keeps what was drawn in its top-left corner, like a window's persistent image.
    QImage grown(wanted, QImage::Format_RGB32);
    grown.setDevicePixelRatio(ratio);
    grown.fill(colourFromBgr(m_backColor));
    if (!m_image.isNull() && !grown.isNull()) {
        QPainter painter(&grown);
        painter.drawImage(0, 0, m_image);
    }
    m_image = grown;
}

void PictureBox::PaintPicture(const QImage &source, double x, double y, double w, double h,
                              double sx, double sy, double sw, double sh, RasterOp op)
{
    fitImage();
    if (m_image.isNull() || source.isNull() || sw == 0 || sh == 0)
        return;
    QPainter painter(&m_image);
    painter.setCompositionMode(op == RasterOp::Invert ? QPainter::RasterOp_SourceXorDestination
                                                      : QPainter::CompositionMode_SourceOver);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, op == RasterOp::Copy);
    // A transform maps the source rectangle onto the target; a negative scale mirrors it.
    painter.translate(x, y);
    painter.scale(w / sw, h / sh);
    painter.drawImage(QRectF(0, 0, sw, sh), source, QRectF(sx, sy, sw, sh));
    changed(QRectF(x, y, w, h).normalized().toAlignedRect().adjusted(-1, -1, 1, 1));
}

void PictureBox::Print(const QString &text)
{
    fitImage();
    if (!m_image.isNull()) {
        QPainter painter(&m_image);
        painter.setFont(m_font);
        painter.setPen(colourFromBgr(m_foreColor));
        const QFontMetrics metrics(m_font);
        painter.drawText(QPointF(m_currentX, m_currentY + metrics.ascent()), text);
        changed(
            QRectF(m_currentX, m_currentY, metrics.horizontalAdvance(text) + 2, metrics.height())
                .toAlignedRect());
    }
    m_currentX = 0;
    m_currentY += QFontMetrics(m_font).height();
}

// Shows at once what was drawn since the last refresh; the rest of the box is as on screen.
void PictureBox::Refresh()
{
    if (!m_dirty.isEmpty())
        repaint(m_dirty);
    m_dirty = QRect();
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect area = event->rect();
    const qreal ratio = m_image.devicePixelRatio();
    painter.drawImage(area, m_image, QRectF(area.topLeft() * ratio, QSizeF(area.size()) * ratio));
}

void PictureBox::resizeEvent(QResizeEvent *event)
{
    fitImage();
    BoardControl::resizeEvent(event);
}

void PictureBox::mouseMoveEvent(QMouseEvent *event) { event->accept(); }

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())
        && onClick)
        onClick();
}

} // namespace morvane
