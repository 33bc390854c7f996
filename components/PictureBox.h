// A picture box with a persistent image: what is drawn on it (pictures, text) stays until
// cleared, and is shown at the next refresh. Used for the finished picture and the banner.
#pragma once

#include "BoardControl.h"

#include <QFont>
#include <QImage>

#include <cstdint>

namespace morvane {

class PictureBox : public BoardControl {
    Q_OBJECT

public:
    enum class RasterOp { Copy, Invert };

    explicit PictureBox(BoardArea *board);

    // The box's own picture, shown under whatever is drawn. May be empty.
    const QImage &Picture() const { return m_picture; }
    void setPicture(const QImage &picture);
    // With auto-size the box takes its picture's size.
    void setAutoSize(bool autoSize);

    int32_t BackColor() const { return m_backColor; }
    void setBackColor(int32_t colour);
    int32_t ForeColor() const { return m_foreColor; }
    void setForeColor(int32_t colour) { m_foreColor = colour; }
    void setFont(const QFont &font) { m_font = font; }
    const QFont &font() const { return m_font; }

    // The inner size in the box's own units, which are pixels.
    int ScaleWidth() const;
    int ScaleHeight() const;
    double CurrentX() const { return m_currentX; }
    double CurrentY() const { return m_currentY; }

    // Clears the drawing to the background (and picture) and puts the text position home.
    void Cls();
    // Draws `source` (its rectangle sx, sy, sw, sh) stretched into the rectangle x, y, w, h.
    // A negative w or h mirrors the picture on that axis, the rectangle then reaching left of
    // x or above y.
    void PaintPicture(const QImage &source, double x, double y, double w, double h, double sx,
                      double sy, double sw, double sh, RasterOp op);
    // Prints one line of text at the current text position and moves to the next line.
    void Print(const QString &text);
    // Shows the drawing on screen at once.
    void Refresh();

    // The persistent image, as drawn so far, in the screen's pixels.
    const QImage &image() const { return m_image; }

    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void fitImage();
    // Marks part of the box as drawn on: painted at the next frame, or at once by Refresh.
    void changed(const QRect &area);

    QImage m_picture;
    QImage m_image;
    bool m_autoSize = false;
    int32_t m_backColor = 0xC0C0C0;
    int32_t m_foreColor = 0;
    QFont m_font;
    double m_currentX = 0;
    double m_currentY = 0;
    QRect m_dirty;
};

} // namespace morvane
