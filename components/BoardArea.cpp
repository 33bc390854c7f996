// The board surface and its coordinate systems.
#include "BoardArea.h"

#include "Twips.h"

#include <QPainter>
#include <QPaintEvent>

namespace morvane {

BoardArea::BoardArea(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

double BoardArea::scaleWidth() const
{
    switch (m_mode) {
    case ScaleMode::User: return m_userWidth;
    case ScaleMode::Twips: return double(width()) * TwipsPerPixel;
    case ScaleMode::Pixels: break;
    }
    return double(width());
}

double BoardArea::scaleHeight() const
{
    switch (m_mode) {
    case ScaleMode::User: return m_userHeight;
    case ScaleMode::Twips: return double(height()) * TwipsPerPixel;
    case ScaleMode::Pixels: break;
    }
    return double(height());
}

void BoardArea::setScaleWidth(double units)
{
    if (m_mode != ScaleMode::User)
        m_userHeight = scaleHeight();
    m_userWidth = units;
    m_mode = ScaleMode::User;
}

void BoardArea::setScaleHeight(double units)
{
    if (m_mode != ScaleMode::User)
        m_userWidth = scaleWidth();
    m_userHeight = units;
    m_mode = ScaleMode::User;
}

void BoardArea::resetScale() { m_mode = ScaleMode::Twips; }

void BoardArea::setScaleModePixels() { m_mode = ScaleMode::Pixels; }

double BoardArea::pixelsPerUnitX() const
{
    const double units = scaleWidth();
    if (m_mode == ScaleMode::User)
        return units != 0 ? double(width()) / units : 0.0;
    return m_mode == ScaleMode::Twips ? 1.0 / TwipsPerPixel : 1.0;
}

double BoardArea::pixelsPerUnitY() const
{
    const double units = scaleHeight();
    if (m_mode == ScaleMode::User)
        return units != 0 ? double(height()) / units : 0.0;
    return m_mode == ScaleMode::Twips ? 1.0 / TwipsPerPixel : 1.0;
}

void BoardArea::mouseMoveEvent(QMouseEvent *event)
{
    if (onBackgroundMouseMove)
        onBackgroundMouseMove();
    QWidget::mouseMoveEvent(event);
}

void BoardArea::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Window));
}

} // namespace morvane
