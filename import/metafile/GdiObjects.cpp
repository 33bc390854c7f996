// Object table slots and the stock objects that every device context starts with.
#include "GdiObjects.h"

#include "Limits.h"

#include <algorithm>

namespace morvane::metafile {

ObjectTable::ObjectTable(qint64 size)
{
    if (size < 0)
        size = 0;
    if (size > Limits::maxObjects)
        throw LimitExceeded("an object table of " + std::to_string(size) + " entries");
    m_size = size;
}

void ObjectTable::add(GdiObject object)
{
    while (m_lowestFree < m_size && m_slots.contains(uint32_t(m_lowestFree)))
        ++m_lowestFree;
    if (m_lowestFree >= m_size)
        throw Malformed("object table full");
    m_slots.insert_or_assign(uint32_t(m_lowestFree), std::move(object));
    ++m_lowestFree;
}

void ObjectTable::put(uint32_t index, GdiObject object)
{
    // Some writers undercount the table in their header; grow it up to the hard limit.
    if (qint64(index) >= m_size && index < uint32_t(Limits::maxObjects))
        m_size = qint64(index) + 1;
    if (qint64(index) < m_size)
        m_slots.insert_or_assign(index, std::move(object));
}

const GdiObject *ObjectTable::get(uint32_t index) const
{
    const auto found = m_slots.find(index);
    return found == m_slots.end() ? nullptr : &found->second;
}

void ObjectTable::remove(uint32_t index)
{
    if (qint64(index) >= m_size)
        return;
    m_slots.erase(index);
    m_lowestFree = std::min(m_lowestFree, qint64(index));
}

std::optional<GdiObject> stockObject(uint32_t index)
{
    if (!(index & 0x80000000u))
        return std::nullopt;
    auto brush = [](uint32_t style, QColor color) {
        Brush b;
        b.style = style;
        b.color = color;
        return GdiObject(b);
    };
    auto pen = [](uint32_t style, QColor color) {
        Pen p;
        p.style = style;
        p.color = color;
        return GdiObject(p);
    };
    switch (index & 0x7FFFFFFFu) {
    case 0: return brush(BsSolid, QColor(255, 255, 255)); // WHITE_BRUSH
    case 1: return brush(BsSolid, QColor(192, 192, 192)); // LTGRAY_BRUSH
    case 2: return brush(BsSolid, QColor(128, 128, 128)); // GRAY_BRUSH
    case 3: return brush(BsSolid, QColor(64, 64, 64));    // DKGRAY_BRUSH
    case 4: return brush(BsSolid, QColor(0, 0, 0));       // BLACK_BRUSH
    case 5: return brush(BsNull, QColor(0, 0, 0));        // NULL_BRUSH
    case 6: return pen(PsSolid, QColor(255, 255, 255));   // WHITE_PEN
    case 7: return pen(PsSolid, QColor(0, 0, 0));         // BLACK_PEN
    case 8: return pen(PsNull, QColor(0, 0, 0));          // NULL_PEN
    case 10:
    case 11:
    case 12:
    case 13:
    case 14:
    case 16:
    case 17: {
        Font f;
        f.height = -13;
        f.face = (index & 0x7FFFFFFFu) == 10 || (index & 0x7FFFFFFFu) == 11
                         || (index & 0x7FFFFFFFu) == 16
                     ? QStringLiteral("Courier New")
                     : QStringLiteral("Arial");
        return GdiObject(f);
    }
    case 18: return brush(BsSolid, QColor(255, 255, 255)); // DC_BRUSH
    case 19: return pen(PsSolid, QColor(0, 0, 0));         // DC_PEN
    default: return GdiObject(OtherObject{});              // palettes and the rest
    }
}

} // namespace morvane::metafile
