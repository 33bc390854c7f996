// Window/viewport mapping, mapping modes and the SaveDC/RestoreDC stack.
#include "DeviceContext.h"

#include "Limits.h"

#include <cmath>

namespace morvane::metafile {

DeviceContext::DeviceContext(const QTransform &deviceToImage, QSizeF unitsPerMm)
    : m_deviceToImage(deviceToImage), m_unitsPerMm(unitsPerMm)
{
}

void DeviceContext::save()
{
    if (int(m_saved.size()) >= Limits::maxSaveDepth)
        throw LimitExceeded("SaveDC nested deeper than " + std::to_string(Limits::maxSaveDepth));
    m_saved.push_back(m_state);
}

void DeviceContext::restore(int which)
{
    const int depth = int(m_saved.size());
    int target; // index into m_saved of the state to bring back
    if (which < 0)
        target = depth + which;
    else
        target = which - 1;
    if (target < 0 || target >= depth)
        return; // GDI fails such a call and leaves the state alone
    m_state = m_saved[size_t(target)];
    m_saved.resize(size_t(target));
    m_dirty = true;
}

void DeviceContext::setMapMode(uint32_t mode)
{
    if (mode < MmText || mode > MmAnisotropic)
        return;
    m_state.mapMode = mode;
    m_dirty = true;
}

void DeviceContext::setWindowOrg(QPointF org)
{
    m_state.windowOrg = org;
    m_dirty = true;
}

void DeviceContext::setWindowExt(QSizeF ext)
{
    // Extents only count in the two scalable modes, and a zero extent is refused as GDI does.
    if (ext.width() == 0 || ext.height() == 0)
        return;
    if (m_state.mapMode != MmIsotropic && m_state.mapMode != MmAnisotropic)
        return;
    m_state.windowExt = ext;
    m_dirty = true;
}

void DeviceContext::setViewportOrg(QPointF org)
{
    m_state.viewportOrg = org;
    m_dirty = true;
}

void DeviceContext::setViewportExt(QSizeF ext)
{
    if (ext.width() == 0 || ext.height() == 0)
        return;
    if (m_state.mapMode != MmIsotropic && m_state.mapMode != MmAnisotropic)
        return;
    m_state.viewportExt = ext;
    m_dirty = true;
}

void DeviceContext::setWorld(const QTransform &world)
{
    // A world transform that cannot be inverted would collapse the picture; GDI refuses it too.
    const double det = world.m11() * world.m22() - world.m12() * world.m21();
    if (!std::isfinite(det) || std::abs(det) < 1e-12 || !std::isfinite(world.dx())
        || !std::isfinite(world.dy()))
        return;
    m_state.world = world;
    m_dirty = true;
}

void DeviceContext::update()
{
    const DcState &s = m_state;
    double sx = 1, sy = 1;
    auto metric = [&](double mmPerUnit) {
        sx = m_unitsPerMm.width() * mmPerUnit;
        sy = -m_unitsPerMm.height() * mmPerUnit; // metric modes have y pointing up
    };
    switch (s.mapMode) {
    case MmLoMetric: metric(0.1); break;
    case MmHiMetric: metric(0.01); break;
    case MmLoEnglish: metric(0.254); break;
    case MmHiEnglish: metric(0.0254); break;
    case MmTwips: metric(25.4 / 1440); break;
    case MmIsotropic:
    case MmAnisotropic:
        sx = s.viewportExt.width() / s.windowExt.width();
        sy = s.viewportExt.height() / s.windowExt.height();
        if (s.mapMode == MmIsotropic) {
            // Both axes take the smaller scale, keeping their own direction.
            const double m = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(m, sx);
            sy = std::copysign(m, sy);
        }
        break;
    default: break;
    }
    if (!std::isfinite(sx) || !std::isfinite(sy) || sx == 0 || sy == 0)
        sx = sy = 1;
    const QTransform page(sx, 0, 0, sy, s.viewportOrg.x() - s.windowOrg.x() * sx,
                          s.viewportOrg.y() - s.windowOrg.y() * sy);
    m_toImage = s.world * page * m_deviceToImage;
    m_scaleX = std::hypot(m_toImage.m11(), m_toImage.m12());
    m_scaleY = std::hypot(m_toImage.m21(), m_toImage.m22());
    m_dirty = false;
}

const QTransform &DeviceContext::toImage()
{
    if (m_dirty)
        update();
    return m_toImage;
}

double DeviceContext::scaleX()
{
    toImage();
    return m_scaleX;
}

double DeviceContext::scaleY()
{
    toImage();
    return m_scaleY;
}

double DeviceContext::scale()
{
    toImage();
    return std::sqrt(m_scaleX * m_scaleY);
}

void DeviceContext::select(const GdiObject &object)
{
    if (const auto *pen = std::get_if<Pen>(&object))
        m_state.pen = *pen;
    else if (const auto *brush = std::get_if<Brush>(&object))
        m_state.brush = *brush;
    else if (const auto *font = std::get_if<Font>(&object))
        m_state.font = *font;
}

} // namespace morvane::metafile
