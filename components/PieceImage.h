// One puzzle piece (a ZAD control): shows a tile picture scaled to its size, mirrored as its
// flips say, inside a frame that can glow; a plain colour where it has no picture.
#pragma once

#include "BoardControl.h"

#include <QImage>
#include <QPixmap>

class QPainter;
class QRegion;

#include <cstdint>

namespace morvane {

class PieceImage : public BoardControl {
    Q_OBJECT

public:
    PieceImage(BoardArea *board, int index);

    int index() const { return m_index; }

    const QImage &Picture() const { return m_picture; }
    void setPicture(const QImage &picture);

    int32_t BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(int32_t style);
    int32_t BorderColor() const { return m_borderColor; }
    void setBorderColor(int32_t colour);
    int32_t BorderWidth() const { return m_borderWidth; }
    void setBorderWidth(int32_t width);
    bool FlipHorizontal() const { return m_flipHorizontal; }
    void setFlipHorizontal(bool flip);
    bool FlipVertical() const { return m_flipVertical; }
    void setFlipVertical(bool flip);
    int32_t HideCount() const { return m_hideCount; }
    void setHideCount(int32_t count) { m_hideCount = count; }
    int32_t HideColor() const { return m_hideColor; }
    void setHideColor(int32_t colour);

    // Repaints at once, before returning.
    void Redraw();
    // How many times Redraw has been called: lets tests count an animation's steps.
    int redrawCount() const { return m_redrawCount; }

signals:
    void Click(int index);
    void RightClick(int index);
    void MouseMove(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    const QPixmap &mirroredPicture();
    void paintPicture(QPainter &painter, const QRegion &region);
    void changed();
    void frameChanged();

    const int m_index;
    QImage m_picture;
    int32_t m_borderStyle = 1;
    int32_t m_borderColor = 0xFF0000;
    int32_t m_borderWidth = 0;
    bool m_flipHorizontal = false;
    bool m_flipVertical = false;
    int32_t m_hideCount = 0;
    int32_t m_hideColor = 0;

    // The picture mirrored at its own size, and that copy scaled to the piece once its size
    // has settled; repainting an unchanged piece never rescales it.
    QPixmap m_mirrored;
    qint64 m_mirroredKey = 0;
    bool m_mirroredFlipH = false;
    bool m_mirroredFlipV = false;
    QPixmap m_scaled;
    QSize m_settledSize;
    Qt::MouseButton m_pressed = Qt::NoButton;
    int m_redrawCount = 0;
    static constexpr int FrameMilliseconds = 16;
    // Wide enough for the glow (5 px) and the selection frame's dashes.
    static constexpr int FrameRing = 7;
};

} // namespace morvane
