// Placement of board controls in the board's units.
#include "BoardControl.h"

#include "BoardArea.h"
#include "RuntimeError.h"

#include <algorithm>
#include <cmath>

namespace morvane {

namespace {

// A width or height below zero, which the links can give a place on a board only a few
// pixels across, is taken as zero: such a piece shows nothing, and the layout goes on.
double checkedExtent(double px)
{
    if (!std::isfinite(px))
        raiseError(ErrorNumber::InvalidPropertyValue, "invalid property value");
    return std::max(px, 0.0);
}

double finite(double px)
{
    if (!std::isfinite(px))
        raiseError(ErrorNumber::InvalidPropertyValue, "invalid property value");
    return px;
}

} // namespace

BoardControl::BoardControl(BoardArea *board) : QWidget(board), m_board(board)
{
    QWidget::setVisible(true);
}

// Reads give single-precision values in the current units.
float BoardControl::Left() const { return float(m_px.x() / m_board->pixelsPerUnitX()); }
float BoardControl::Top() const { return float(m_px.y() / m_board->pixelsPerUnitY()); }
float BoardControl::Width() const { return float(m_px.width() / m_board->pixelsPerUnitX()); }
float BoardControl::Height() const { return float(m_px.height() / m_board->pixelsPerUnitY()); }

void BoardControl::setLeft(double units)
{
    m_px.moveLeft(finite(double(float(units)) * m_board->pixelsPerUnitX()));
    applyGeometry();
}

void BoardControl::setTop(double units)
{
    m_px.moveTop(finite(double(float(units)) * m_board->pixelsPerUnitY()));
    applyGeometry();
}

void BoardControl::setWidth(double units)
{
    m_px.setWidth(checkedExtent(double(float(units)) * m_board->pixelsPerUnitX()));
    applyGeometry();
}

void BoardControl::setHeight(double units)
{
    m_px.setHeight(checkedExtent(double(float(units)) * m_board->pixelsPerUnitY()));
    applyGeometry();
}

void BoardControl::Move(double left, double top, double width, double height)
{
    const double w = checkedExtent(double(float(width)) * m_board->pixelsPerUnitX());
    const double h = checkedExtent(double(float(height)) * m_board->pixelsPerUnitY());
    m_px = QRectF(finite(double(float(left)) * m_board->pixelsPerUnitX()),
                  finite(double(float(top)) * m_board->pixelsPerUnitY()), w, h);
    applyGeometry();
}

void BoardControl::setPixelGeometry(const QRectF &rect)
{
    m_px = rect;
    applyGeometry();
}

void BoardControl::setVisible(bool visible)
{
    m_visible = visible;
    applyGeometry();
}

void BoardControl::ZOrder(int position)
{
    if (position == 0)
        raise();
    else
        lower();
}

void BoardControl::applyGeometry()
{
    // Edges are rounded separately, so that controls whose exact edges meet also meet on screen.
    constexpr double limit = 1 << 24;
    auto edge = [limit](double v) { return int(std::lround(std::clamp(v, -limit, limit))); };
    const int left = edge(m_px.left());
    const int top = edge(m_px.top());
    const QRect rect(left, top, edge(m_px.right()) - left, edge(m_px.bottom()) - top);
    if (geometry() != rect)
        setGeometry(rect);
    // A control of no width or height shows nothing and takes no mouse events.
    const bool shown = m_visible && rect.width() > 0 && rect.height() > 0;
    if (isVisibleTo(parentWidget()) != shown)
        QWidget::setVisible(shown);
}

} // namespace morvane
