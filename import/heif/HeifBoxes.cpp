// The few ISO base media boxes read before libheif sees a file: its brands and its grids.
#include "HeifBoxes.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace morvane::heif {

namespace {

constexpr std::array<const char *, 14> HeifBrands = {"heic", "heix", "heim", "heis", "hevc",
                                                     "hevx", "hevm", "hevs", "mif1", "mif2",
                                                     "msf1", "avif", "avis", "avio"};

bool isHeifBrand(const char *fourcc)
{
    for (const char *brand : HeifBrands) {
        if (std::memcmp(fourcc, brand, 4) == 0)
            return true;
    }
    return false;
}

// A bounded view of the bytes: every read is checked against the end.
class Bytes {
public:
    Bytes(const char *data, std::int64_t size) : m_data(data), m_size(size) {}
    std::int64_t size() const { return m_size; }
    bool has(std::int64_t at, std::int64_t count) const
    {
        return at >= 0 && count >= 0 && at <= m_size && count <= m_size - at;
    }
    std::uint64_t be(std::int64_t at, int bytes) const
    {
        std::uint64_t value = 0;
        for (int i = 0; i < bytes; ++i)
            value = (value << 8) | static_cast<unsigned char>(m_data[at + i]);
        return value;
    }
    bool typeIs(std::int64_t at, const char *fourcc) const
    {
        return std::memcmp(m_data + at, fourcc, 4) == 0;
    }

private:
    const char *m_data;
    std::int64_t m_size;
};

struct Box {
    std::int64_t start = 0;   // of its header
    std::int64_t payload = 0; // first byte after its header
    std::int64_t end = 0;     // one past its last byte
};

// The box at 'at' within [.., limit), or false when its header or size is broken.
bool boxAt(const Bytes &bytes, std::int64_t at, std::int64_t limit, Box &box)
{
    if (!bytes.has(at, 8) || at + 8 > limit)
        return false;
    std::uint64_t size = bytes.be(at, 4);
    std::int64_t header = 8;
    if (size == 1) {
        if (!bytes.has(at + 8, 8) || at + 16 > limit)
            return false;
        size = bytes.be(at + 8, 8);
        header = 16;
    } else if (size == 0) {
        size = static_cast<std::uint64_t>(limit - at); // to the end of its parent
    }
    if (size < static_cast<std::uint64_t>(header) || size > static_cast<std::uint64_t>(limit - at))
        return false;
    box = {at, at + header, at + static_cast<std::int64_t>(size)};
    return true;
}

// The first child of type 'fourcc' in [from, to); false when there is none or the walk breaks.
bool findChild(const Bytes &bytes, std::int64_t from, std::int64_t to, const char *fourcc,
               Box &found)
{
    for (std::int64_t at = from; at < to;) {
        Box box;
        if (!boxAt(bytes, at, to, box))
            return false;
        if (bytes.typeIs(at + 4, fourcc)) {
            found = box;
            return true;
        }
        at = box.end;
    }
    return false;
}

} // namespace

bool hasHeifBrand(const QByteArray &head)
{
    const Bytes bytes(head.constData(), head.size());
    if (!bytes.has(0, 16) || !bytes.typeIs(4, "ftyp"))
        return false;
    const std::int64_t declared = static_cast<std::int64_t>(bytes.be(0, 4));
    if (declared < 16)
        return false;
    if (isHeifBrand(head.constData() + 8))
        return true;
    // Compatible brands follow the major brand and its minor version, as far as we have them.
    const std::int64_t end = std::min<std::int64_t>(declared, head.size());
    for (std::int64_t at = 16; at + 4 <= end; at += 4) {
        if (isHeifBrand(head.constData() + at))
            return true;
    }
    return false;
}

namespace {

struct DerivedItem {
    std::uint64_t id;
    bool overlay;
};

// The grids and overlays listed in the item information box.
bool derivedItems(const Bytes &bytes, const Box &iinf, std::vector<DerivedItem> &items)
{
    if (iinf.payload + 4 > iinf.end)
        return false;
    const int countBytes = bytes.be(iinf.payload, 1) == 0 ? 2 : 4;
    for (std::int64_t at = iinf.payload + 4 + countBytes; at < iinf.end;) {
        Box infe;
        if (!boxAt(bytes, at, iinf.end, infe))
            return false;
        if (bytes.typeIs(at + 4, "infe") && infe.payload + 4 <= infe.end) {
            const std::uint64_t version = bytes.be(infe.payload, 1);
            const int idBytes = version == 3 ? 4 : 2;
            const std::int64_t type = infe.payload + 4 + idBytes + 2;
            if (version >= 2 && type + 4 <= infe.end
                && (bytes.typeIs(type, "grid") || bytes.typeIs(type, "iovl")))
                items.push_back({bytes.be(infe.payload + 4, idBytes), bytes.typeIs(type, "iovl")});
        }
        at = infe.end;
    }
    return true;
}

// The output size a grid's or an overlay's data declares, in pixels; -1 when it cannot be found.
long long canvasPixels(const Bytes &bytes, std::int64_t data, std::int64_t length, bool overlay)
{
    const std::int64_t fieldsAt = data + (overlay ? 2 + 8 : 4);
    if (length < 2 || !bytes.has(data, 2))
        return -1;
    const int field = (bytes.be(data + 1, 1) & 1) ? 4 : 2;
    if (fieldsAt + 2 * field > data + length || !bytes.has(fieldsAt, 2 * field))
        return -1;
    return static_cast<long long>(bytes.be(fieldsAt, field) * bytes.be(fieldsAt + field, field));
}

// The largest canvas of the given items, found through the item location box; -1 when an
// item's data lies outside the file.
long long largestCanvas(const Bytes &bytes, const Box &iloc, const Box *idat,
                        const std::vector<DerivedItem> &items, bool &emptyExtent)
{
    if (iloc.payload + 6 > iloc.end)
        return -1;
    const std::uint64_t version = bytes.be(iloc.payload, 1);
    const int offsetSize = static_cast<int>(bytes.be(iloc.payload + 4, 1) >> 4);
    const int lengthSize = static_cast<int>(bytes.be(iloc.payload + 4, 1) & 15);
    const int baseSize = static_cast<int>(bytes.be(iloc.payload + 5, 1) >> 4);
    const int indexSize = version >= 1 ? static_cast<int>(bytes.be(iloc.payload + 5, 1) & 15) : 0;
    const int idBytes = version < 2 ? 2 : 4;
    std::int64_t at = iloc.payload + 6;
    auto take = [&](int size, std::uint64_t &value) {
        if (size > 8 || at + size > iloc.end)
            return false;
        value = bytes.be(at, size);
        at += size;
        return true;
    };
    std::uint64_t count = 0;
    if (!take(idBytes, count))
        return -1;
    long long largest = 0;
    for (std::uint64_t item = 0; item < count; ++item) {
        std::uint64_t id = 0, method = 0, reference = 0, base = 0, extents = 0;
        if (!take(idBytes, id) || (version >= 1 && !take(2, method)) || !take(2, reference)
            || !take(baseSize, base) || !take(2, extents))
            return -1;
        std::uint64_t offset = 0, length = 0, index = 0;
        for (std::uint64_t extent = 0; extent < extents; ++extent) {
            std::uint64_t extentOffset = 0, extentLength = 0;
            if ((indexSize > 0 && !take(indexSize, index)) || !take(offsetSize, extentOffset)
                || !take(lengthSize, extentLength))
                return -1;
            emptyExtent |= extentLength == 0;
            if (extent == 0) {
                offset = extentOffset;
                length = extentLength;
            }
        }
        for (const DerivedItem &derived : items) {
            if (derived.id != id)
                continue;
            std::int64_t start = static_cast<std::int64_t>(base + offset);
            if ((method & 15) == 1) {
                if (!idat)
                    return -1;
                start += idat->payload;
            }
            const std::int64_t size =
                length == 0 ? bytes.size() - start : static_cast<std::int64_t>(length);
            const long long pixels = canvasPixels(bytes, start, size, derived.overlay);
            if (pixels < 0)
                return -1;
            largest = std::max(largest, pixels);
        }
    }
    return largest;
}

} // namespace

DerivedPictures derivedPictures(const QByteArray &file)
{
    const Bytes bytes(file.constData(), file.size());
    DerivedPictures result;
    Box meta;
    if (!findChild(bytes, 0, bytes.size(), "meta", meta) || meta.payload + 4 > meta.end)
        return result;
    const std::int64_t children = meta.payload + 4; // a full box: version and flags first
    Box iref;
    if (findChild(bytes, children, meta.end, "iref", iref)) {
        if (iref.payload + 4 > iref.end)
            return result;
        const int refBytes = bytes.be(iref.payload, 1) == 0 ? 2 : 4;
        for (std::int64_t at = iref.payload + 4; at < iref.end;) {
            Box reference;
            if (!boxAt(bytes, at, iref.end, reference))
                return result;
            const std::int64_t fields = reference.payload;
            if (fields + refBytes + 2 > reference.end)
                return result;
            const std::uint64_t count = bytes.be(fields + refBytes, 2);
            if (fields + refBytes + 2 + static_cast<std::int64_t>(count) * refBytes > reference.end)
                return result;
            if (bytes.typeIs(at + 4, "dimg"))
                result.references += static_cast<long long>(count);
            at = reference.end;
        }
    }
    Box iinf;
    std::vector<DerivedItem> items;
    if (findChild(bytes, children, meta.end, "iinf", iinf) && !derivedItems(bytes, iinf, items))
        return result;
    Box pitm;
    if (findChild(bytes, children, meta.end, "pitm", pitm) && pitm.payload + 4 < pitm.end) {
        const int idBytes = bytes.be(pitm.payload, 1) == 0 ? 2 : 4;
        if (pitm.payload + 4 + idBytes > pitm.end)
            return result;
        const std::uint64_t primary = bytes.be(pitm.payload + 4, idBytes);
        for (const DerivedItem &item : items)
            result.primaryDerived |= item.id == primary;
    }
    Box iloc, idat;
    if (!findChild(bytes, children, meta.end, "iloc", iloc))
        return result;
    const bool hasIdat = findChild(bytes, children, meta.end, "idat", idat);
    const long long largest =
        largestCanvas(bytes, iloc, hasIdat ? &idat : nullptr, items, result.emptyExtent);
    if (largest < 0)
        return result;
    result.largestCanvasPixels = largest;
    result.readable = true;
    return result;
}

} // namespace morvane::heif
