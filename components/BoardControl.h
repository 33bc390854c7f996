// A control placed on the board: position and size kept as exact pixel values and read and
// written in the board's current units, so that a change of scale never moves it.
#pragma once

#include <QWidget>

namespace morvane {

class BoardArea;

class BoardControl : public QWidget {
    Q_OBJECT

public:
    explicit BoardControl(BoardArea *board);

    float Left() const;
    float Top() const;
    float Width() const;
    float Height() const;
    void setLeft(double units);
    void setTop(double units);
    void setWidth(double units);
    void setHeight(double units);
    void Move(double left, double top, double width, double height);

    bool Visible() const { return m_visible; }
    void setVisible(bool visible) override;
    // With 0, brings the control in front of its siblings; otherwise sends it to the back.
    void ZOrder(int position = 0);

    // The exact geometry in pixels of the board.
    QRectF pixelGeometry() const { return m_px; }
    void setPixelGeometry(const QRectF &rect);

protected:
    BoardArea *board() const { return m_board; }

private:
    void applyGeometry();

    BoardArea *m_board;
    QRectF m_px;
    bool m_visible = true;
};

} // namespace morvane
