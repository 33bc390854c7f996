// The drawing objects a metafile creates (pens, brushes, fonts) and the object table that holds
// them.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QVector>

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <variant>
#include <vector>

namespace morvane::metafile {

// GDI pen style bits as stored in LOGPEN / LOGPENEX.
enum PenStyleBits : uint32_t {
    PsSolid = 0,
    PsDash = 1,
    PsDot = 2,
    PsDashDot = 3,
    PsDashDotDot = 4,
    PsNull = 5,
    PsInsideFrame = 6,
    PsUserStyle = 7,
    PsAlternate = 8,
    PsStyleMask = 0x0F,
    PsEndCapRound = 0x000,
    PsEndCapSquare = 0x100,
    PsEndCapFlat = 0x200,
    PsEndCapMask = 0xF00,
    PsJoinRound = 0x0000,
    PsJoinBevel = 0x1000,
    PsJoinMiter = 0x2000,
    PsJoinMask = 0xF000,
    PsGeometric = 0x10000,
};

enum BrushStyle : uint32_t {
    BsSolid = 0,
    BsNull = 1,
    BsHatched = 2,
    BsPattern = 3,
    BsDibPattern = 5,
    BsDibPatternPt = 6,
};

struct Pen {
    uint32_t style = PsSolid;
    double width = 0; // logical units; 0 means one device pixel
    QColor color = Qt::black;
    bool cosmetic = true;       // drawn one pixel wide whatever the mapping
    std::vector<double> dashes; // PS_USERSTYLE entries, in logical units
};

struct Brush {
    uint32_t style = BsSolid;
    QColor color = Qt::white;
    uint32_t hatch = 0;
    QImage pattern; // BS_PATTERN / BS_DIBPATTERN tiles
};

struct Font {
    double height = -12; // <0: character height, >0: cell height, 0: default
    double width = 0;
    double escapement = 0; // tenths of a degree, counter-clockwise
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    uint8_t charset = 0;
    QString face;
};

// Palettes and regions take a slot in the table but are not drawn with.
struct OtherObject {};

using GdiObject = std::variant<OtherObject, Pen, Brush, Font>;

// The metafile's object table: records create objects into slots and refer to them by index.
class ObjectTable {
public:
    // WMF tables have a fixed size and fill the lowest free slot; EMF records name their slot.
    explicit ObjectTable(qint64 size);

    // Puts an object into the lowest free slot (WMF); throws Malformed when the table is full.
    void add(GdiObject object);
    // Puts an object into the given slot (EMF), growing the table up to the object limit.
    void put(uint32_t index, GdiObject object);
    // The object in a slot, or null when the slot is empty or out of range.
    const GdiObject *get(uint32_t index) const;
    void remove(uint32_t index);
    qint64 size() const { return m_size; }

private:
    // Only the slots in use are held: a header may announce tens of thousands of slots that a
    // file never fills.
    std::unordered_map<uint32_t, GdiObject> m_slots;
    qint64 m_size = 0;
    qint64 m_lowestFree = 0;
};

// EMF stock objects: indices with the high bit set name built-in pens, brushes and fonts.
std::optional<GdiObject> stockObject(uint32_t index);

} // namespace morvane::metafile
