// WMF record playback: headers, the device-context records, objects, drawing, text and bitmaps.
#include "WmfPlayer.h"

#include "AnsiText.h"
#include "ByteReader.h"
#include "Dib.h"

#include <cmath>

namespace morvane::metafile {

namespace {

constexpr uint32_t placeableKey = 0x9AC6CDD7;
constexpr double defaultWidth = 600, defaultHeight = 450;

// Record functions as [MS-WMF] numbers them.
enum Function : uint16_t {
    Eof = 0x0000,
    SaveDc = 0x001E,
    RealizePalette = 0x0035,
    SetPalEntries = 0x0037,
    CreatePalette = 0x00F7,
    SetBkMode = 0x0102,
    SetMapMode = 0x0103,
    SetRop2 = 0x0104,
    SetRelAbs = 0x0105,
    SetPolyFillMode = 0x0106,
    SetStretchBltMode = 0x0107,
    SetTextCharExtra = 0x0108,
    RestoreDc = 0x0127,
    InvertRegion = 0x012A,
    PaintRegion = 0x012B,
    SelectClipRegion = 0x012C,
    SelectObject = 0x012D,
    SetTextAlign = 0x012E,
    ResizePalette = 0x0139,
    DibCreatePatternBrush = 0x0142,
    DeleteObject = 0x01F0,
    CreatePatternBrush = 0x01F9,
    SetBkColor = 0x0201,
    SetTextColor = 0x0209,
    SetTextJustification = 0x020A,
    SetWindowOrg = 0x020B,
    SetWindowExt = 0x020C,
    SetViewportOrg = 0x020D,
    SetViewportExt = 0x020E,
    OffsetWindowOrg = 0x020F,
    OffsetViewportOrg = 0x0211,
    LineTo = 0x0213,
    MoveTo = 0x0214,
    OffsetClipRgn = 0x0220,
    FillRegion = 0x0228,
    SetMapperFlags = 0x0231,
    SelectPalette = 0x0234,
    CreatePenIndirect = 0x02FA,
    CreateFontIndirect = 0x02FB,
    CreateBrushIndirect = 0x02FC,
    Polygon = 0x0324,
    Polyline = 0x0325,
    ScaleWindowExt = 0x0410,
    ScaleViewportExt = 0x0412,
    ExcludeClipRect = 0x0415,
    IntersectClipRect = 0x0416,
    Ellipse = 0x0418,
    FloodFill = 0x0419,
    Rectangle = 0x041B,
    SetPixel = 0x041F,
    FrameRegion = 0x0429,
    AnimatePalette = 0x0436,
    TextOut = 0x0521,
    PolyPolygon = 0x0538,
    ExtFloodFill = 0x0548,
    RoundRect = 0x061C,
    PatBlt = 0x061D,
    Escape = 0x0626,
    CreateRegion = 0x06FF,
    Arc = 0x0817,
    Pie = 0x081A,
    Chord = 0x0830,
    BitBlt = 0x0922,
    DibBitBlt = 0x0940,
    ExtTextOut = 0x0A32,
    StretchBlt = 0x0B23,
    DibStretchBlt = 0x0B41,
    SetDibToDev = 0x0D33,
    StretchDib = 0x0F43,
};

constexpr uint16_t etoOpaque = 0x2, etoClipped = 0x4;
constexpr uint16_t dibPalColors = 1;

double i16(ByteReader &p) { return p.i16(); }

} // namespace

MetafileFrame WmfPlayer::probe(QByteArrayView data)
{
    ByteReader r(data);
    MetafileFrame frame;
    bool placeable = false;
    if (r.has(4) && r.u32() == placeableKey) {
        placeable = true;
        r.skip(2); // handle, always zero
        const double left = r.i16(), top = r.i16(), right = r.i16(), bottom = r.i16();
        double inch = r.u16();
        r.skip(6); // reserved, checksum
        if (inch <= 0)
            inch = 1440;
        frame.deviceRect = QRectF(QPointF(left, top), QPointF(right, bottom)).normalized();
        frame.naturalPixels =
            QSizeF(frame.deviceRect.width() / inch * 96, frame.deviceRect.height() / inch * 96);
        frame.unitsPerMm = QSizeF(inch / 25.4, inch / 25.4);
    } else {
        r.seek(0);
    }
    const qsizetype headerStart = r.pos();
    const uint16_t type = r.u16();
    const uint16_t headerWords = r.u16();
    const uint16_t version = r.u16();
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x0100 && version != 0x0300))
        throw Malformed("not a WMF header");
    r.skip(4); // file size in words; often wrong, so the records' own sizes are what counts
    frame.objectCount = r.u16();
    frame.firstRecord = headerStart + 18;

    if (placeable && !frame.deviceRect.isEmpty())
        return frame;

    // No usable bounding box: take the picture area from the first window origin and extent.
    QPointF org(0, 0);
    QSizeF ext;
    qsizetype pos = frame.firstRecord;
    for (int i = 0; i < 10'000 && pos + 6 <= data.size(); ++i) {
        ByteReader rec(data.data() + pos, data.size() - pos);
        const uint32_t words = rec.u32();
        const uint16_t function = rec.u16();
        if (words < 3 || function == Eof || qint64(words) * 2 > rec.size())
            break;
        if (function == SetWindowOrg && words >= 5) {
            const double y = rec.i16();
            org = QPointF(rec.i16(), y);
        } else if (function == SetWindowExt && words >= 5 && ext.isEmpty()) {
            const double h = rec.i16();
            ext = QSizeF(rec.i16(), h);
            if (ext.width() == 0 || ext.height() == 0)
                ext = QSizeF();
        }
        pos += qsizetype(words) * 2;
    }
    if (ext.isValid() && !ext.isEmpty()) {
        frame.deviceRect = QRectF(org, ext).normalized();
        // No physical size is known: take the extent as pixels unless it is implausibly small or
        // large for that, then keep only its proportions.
        QSizeF size(std::abs(ext.width()), std::abs(ext.height()));
        const double longer = std::max(size.width(), size.height());
        if (longer < 64 || longer > 2048)
            size *= defaultWidth / longer;
        frame.naturalPixels = size;
    } else {
        frame.deviceRect = QRectF(0, 0, defaultWidth, defaultHeight);
        frame.naturalPixels = QSizeF(defaultWidth, defaultHeight);
    }
    if (!placeable)
        frame.unitsPerMm = QSizeF(96 / 25.4, 96 / 25.4);
    return frame;
}

WmfPlayer::WmfPlayer(QByteArrayView data, const MetafileFrame &frame, DeviceContext &dc,
                     Canvas &canvas, Budget &budget)
    : MetafilePlayer(data, frame, dc, canvas, budget, frame.objectCount)
{
    // Playback starts as a player sets it up: the window and viewport both cover the picture area,
    // so that the file's own window records then map their coordinates onto it.
    m_dc.setMapMode(MmAnisotropic);
    m_dc.setWindowOrg(frame.deviceRect.topLeft());
    m_dc.setWindowExt(frame.deviceRect.size());
    m_dc.setViewportOrg(frame.deviceRect.topLeft());
    m_dc.setViewportExt(frame.deviceRect.size());
    m_dc.state().pen.width = 0;
}

QString WmfPlayer::play()
{
    qsizetype pos = m_frame.firstRecord;
    while (true) {
        if (pos + 6 > m_data.size())
            return pos >= m_data.size() ? QString()
                                        : QStringLiteral("the last record is cut short");
        m_budget.record();
        ByteReader head(m_data.data() + pos, m_data.size() - pos);
        const qint64 bytes = qint64(head.u32()) * 2;
        const uint16_t function = head.u16();
        if (function == Eof)
            return {};
        if (bytes < 6)
            return QStringLiteral("a record with an invalid size at byte %1").arg(pos);
        if (bytes > m_data.size() - pos)
            return QStringLiteral("a record runs past the end of the file at byte %1").arg(pos);
        ByteReader params(m_data.data() + pos + 6, qsizetype(bytes - 6));
        try {
            dispatch(function, params, qsizetype(bytes - 6));
        } catch (const Malformed &) {
            ++m_budget.malformedRecords;
        }
        pos += qsizetype(bytes);
    }
}

QPolygonF WmfPlayer::points(ByteReader &p, qint64 count)
{
    m_budget.points(count);
    if (!p.has(count * 4))
        throw Malformed("point list runs past its record");
    QPolygonF poly;
    poly.reserve(qsizetype(count));
    for (qint64 i = 0; i < count; ++i) {
        m_budget.step();
        const double x = p.i16();
        poly.append(QPointF(x, p.i16()));
    }
    return poly;
}

QRectF WmfPlayer::rect(ByteReader &p)
{
    const double bottom = p.i16(), right = p.i16(), top = p.i16(), left = p.i16();
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

void WmfPlayer::select(uint32_t index)
{
    const GdiObject *object = m_objects.get(index);
    if (object)
        m_dc.select(*object);
}

void WmfPlayer::createObject(uint16_t function, ByteReader &p)
{
    // Every create record takes a slot, even when its contents cannot be used, so that the
    // indices of later objects stay right.
    GdiObject object = OtherObject{};
    try {
        switch (function) {
        case CreatePenIndirect: {
            Pen pen;
            pen.style = p.u16();
            pen.width = std::abs(p.i16());
            p.skip(2);
            pen.color = colorFromRef(p.u32());
            pen.cosmetic = pen.width == 0;
            object = pen;
            break;
        }
        case CreateBrushIndirect: {
            Brush brush;
            brush.style = p.u16();
            brush.color = colorFromRef(p.u32());
            brush.hatch = p.u16();
            if (brush.style == BsPattern || brush.style == BsDibPattern
                || brush.style == BsDibPatternPt)
                brush.style = BsSolid; // these need a bitmap this record cannot carry
            object = brush;
            break;
        }
        case CreateFontIndirect: {
            Font font;
            font.height = p.i16();
            font.width = p.i16();
            font.escapement = p.i16();
            p.skip(2); // orientation
            font.weight = p.i16();
            font.italic = p.u8();
            font.underline = p.u8();
            font.strikeOut = p.u8();
            font.charset = p.u8();
            p.skip(4);
            const QByteArrayView face = p.bytes(std::min<qsizetype>(p.remaining(), 32));
            const qsizetype nul = face.indexOf('\0');
            font.face = decodeAnsi(nul >= 0 ? face.first(nul) : face, 0);
            object = font;
            break;
        }
        case DibCreatePatternBrush: {
            Brush brush;
            const uint16_t style = p.u16();
            const uint16_t usage = p.u16();
            brush.style = BsDibPattern;
            brush.color = Qt::gray;
            if (style != BsPattern && usage != dibPalColors)
                brush.pattern = decodePackedDib(p.bytes(p.remaining()), m_budget);
            object = brush;
            break;
        }
        default: break; // palettes, regions, old-style pattern brushes
        }
    } catch (const Malformed &) {
        ++m_budget.malformedRecords;
    }
    m_objects.add(std::move(object));
}

void WmfPlayer::text(ByteReader &p, bool extended)
{
    QPointF at;
    QByteArrayView bytes;
    uint16_t options = 0;
    std::optional<QRectF> box;
    std::vector<double> dx;
    if (!extended) {
        const uint16_t length = p.u16();
        bytes = p.bytes(length);
        if (length % 2)
            p.skip(1);
        const double y = p.i16();
        at = QPointF(p.i16(), y);
    } else {
        const double y = p.i16();
        at = QPointF(p.i16(), y);
        const uint16_t length = p.u16();
        options = p.u16();
        if (options & (etoOpaque | etoClipped)) {
            const double left = p.i16(), top = p.i16(), right = p.i16(), bottom = p.i16();
            box = QRectF(QPointF(left, top), QPointF(right, bottom));
        }
        bytes = p.bytes(length);
        if (length % 2 && p.has(1))
            p.skip(1);
        if (p.has(qint64(length) * 2)) {
            dx.reserve(length);
            for (uint16_t i = 0; i < length; ++i)
                dx.push_back(p.i16());
        }
    }
    m_canvas.text(at, decodeAnsi(bytes, m_dc.state().font.charset), dx, options, box);
}

void WmfPlayer::blit(uint16_t function, ByteReader &p, qsizetype paramBytes)
{
    // The DIB blits also come without a bitmap; then they only fill with the brush.
    const bool withoutBitmap = paramBytes == qsizetype((function >> 8) + 3) * 2 - 6;
    const uint32_t rop = p.u32();
    if (function == StretchDib) {
        const uint16_t usage = p.u16();
        const double srcH = i16(p), srcW = i16(p), ySrc = i16(p), xSrc = i16(p);
        const double destH = i16(p), destW = i16(p), yDest = i16(p), xDest = i16(p);
        if (usage == dibPalColors)
            return;
        const QImage image = decodePackedDib(p.bytes(p.remaining()), m_budget);
        m_canvas.bitmap(image, QRectF(xDest, yDest, destW, destH), QRectF(xSrc, ySrc, srcW, srcH),
                        rop);
        return;
    }
    if (withoutBitmap)
        p.skip(2);
    double srcH = 0, srcW = 0;
    if (function == DibStretchBlt || function == StretchBlt) {
        srcH = i16(p);
        srcW = i16(p);
    }
    const double ySrc = i16(p), xSrc = i16(p);
    const double destH = i16(p), destW = i16(p), yDest = i16(p), xDest = i16(p);
    if (function == DibBitBlt || function == BitBlt) {
        srcW = destW;
        srcH = destH;
    }
    const QRectF dest(xDest, yDest, destW, destH);
    if (withoutBitmap) {
        m_canvas.patBlt(dest, rop);
        return;
    }
    if (function == BitBlt || function == StretchBlt)
        return; // device-dependent bitmaps from 16-bit Windows are not drawn
    const QImage image = decodePackedDib(p.bytes(p.remaining()), m_budget);
    m_canvas.bitmap(image, dest, QRectF(xSrc, ySrc, srcW, srcH), rop);
}

void WmfPlayer::dispatch(uint16_t function, ByteReader &p, qsizetype paramBytes)
{
    DcState &s = m_dc.state();
    switch (function) {
    case SaveDc: m_dc.save(); break;
    case RestoreDc: m_dc.restore(p.i16()); break;
    case SetBkMode: s.bkOpaque = p.u16() == 2; break;
    case SetMapMode: m_dc.setMapMode(p.u16()); break;
    case SetRop2: s.rop2 = p.u16(); break;
    case SetPolyFillMode: s.windingFill = p.u16() == 2; break;
    case SetTextAlign: s.textAlign = p.u16(); break;
    case SetBkColor: s.bkColor = colorFromRef(p.u32()); break;
    case SetTextColor: s.textColor = colorFromRef(p.u32()); break;
    case SetWindowOrg: {
        const double y = p.i16();
        m_dc.setWindowOrg(QPointF(p.i16(), y));
        break;
    }
    case SetWindowExt: {
        const double h = p.i16();
        m_dc.setWindowExt(QSizeF(p.i16(), h));
        break;
    }
    case SetViewportOrg: {
        const double y = p.i16();
        m_dc.setViewportOrg(QPointF(p.i16(), y));
        break;
    }
    case SetViewportExt: {
        const double h = p.i16();
        m_dc.setViewportExt(QSizeF(p.i16(), h));
        break;
    }
    case OffsetWindowOrg: {
        const double y = p.i16(), x = p.i16();
        m_dc.setWindowOrg(s.windowOrg + QPointF(x, y));
        break;
    }
    case OffsetViewportOrg: {
        const double y = p.i16(), x = p.i16();
        m_dc.setViewportOrg(s.viewportOrg + QPointF(x, y));
        break;
    }
    case ScaleWindowExt:
    case ScaleViewportExt: {
        const double yDenom = p.i16(), yNum = p.i16(), xDenom = p.i16(), xNum = p.i16();
        if (xDenom == 0 || yDenom == 0)
            break;
        if (function == ScaleWindowExt)
            m_dc.setWindowExt(
                QSizeF(s.windowExt.width() * xNum / xDenom, s.windowExt.height() * yNum / yDenom));
        else
            m_dc.setViewportExt(QSizeF(s.viewportExt.width() * xNum / xDenom,
                                       s.viewportExt.height() * yNum / yDenom));
        break;
    }
    case LineTo: {
        const double y = p.i16();
        m_canvas.lineTo(QPolygonF{QPointF(p.i16(), y)});
        break;
    }
    case MoveTo: {
        const double y = p.i16();
        m_canvas.moveTo(QPointF(p.i16(), y));
        break;
    }
    case Polygon: m_canvas.polygons({points(p, p.u16())}, true); break;
    case Polyline: m_canvas.polyline(points(p, p.u16())); break;
    case PolyPolygon: {
        const uint16_t count = p.u16();
        m_budget.polygons(count);
        std::vector<uint16_t> sizes;
        sizes.reserve(count);
        qint64 total = 0;
        for (uint16_t i = 0; i < count; ++i) {
            sizes.push_back(p.u16());
            total += sizes.back();
        }
        m_budget.points(total);
        std::vector<QPolygonF> polys;
        polys.reserve(count);
        for (uint16_t size : sizes) {
            m_budget.step();
            polys.push_back(points(p, size));
        }
        m_canvas.polygons(polys, true);
        break;
    }
    case Rectangle: m_canvas.rectangle(rect(p)); break;
    case Ellipse: m_canvas.ellipse(rect(p)); break;
    case RoundRect: {
        const double h = p.i16(), w = p.i16();
        m_canvas.roundRect(rect(p), QSizeF(w, h));
        break;
    }
    case Arc:
    case Pie:
    case Chord: {
        const double yEnd = p.i16(), xEnd = p.i16(), yStart = p.i16(), xStart = p.i16();
        const ArcKind kind = function == Arc   ? ArcKind::Arc
                             : function == Pie ? ArcKind::Pie
                                               : ArcKind::Chord;
        m_canvas.arc(kind, rect(p), QPointF(xStart, yStart), QPointF(xEnd, yEnd));
        break;
    }
    case SetPixel: {
        const QColor color = colorFromRef(p.u32());
        const double y = p.i16();
        m_canvas.setPixel(QPointF(p.i16(), y), color);
        break;
    }
    case TextOut: text(p, false); break;
    case ExtTextOut: text(p, true); break;
    case SelectObject: select(p.u16()); break;
    case DeleteObject: m_objects.remove(p.u16()); break;
    case CreatePenIndirect:
    case CreateBrushIndirect:
    case CreateFontIndirect:
    case DibCreatePatternBrush:
    case CreatePatternBrush:
    case CreatePalette:
    case CreateRegion: createObject(function, p); break;
    case IntersectClipRect: m_canvas.intersectClip(rect(p)); break;
    case ExcludeClipRect: m_canvas.excludeClip(rect(p)); break;
    case OffsetClipRgn: {
        const double y = p.i16();
        m_canvas.offsetClip(QPointF(p.i16(), y));
        break;
    }
    case SelectClipRegion: m_canvas.combineClip(std::nullopt, RgnCopy); break;
    case PatBlt: {
        const uint32_t rop = p.u32();
        const double h = p.i16(), w = p.i16(), y = p.i16(), x = p.i16();
        m_canvas.patBlt(QRectF(x, y, w, h), rop);
        break;
    }
    case BitBlt:
    case StretchBlt:
    case DibBitBlt:
    case DibStretchBlt:
    case StretchDib: blit(function, p, paramBytes); break;
    case SetDibToDev: {
        const uint16_t usage = p.u16();
        p.skip(4); // scan count, start scan
        const double yDib = i16(p), xDib = i16(p), h = i16(p), w = i16(p), yDest = i16(p),
                     xDest = i16(p);
        if (usage == dibPalColors)
            break;
        const QImage image = decodePackedDib(p.bytes(p.remaining()), m_budget);
        m_canvas.bitmap(image, QRectF(xDest, yDest, w, h), QRectF(xDib, yDib, w, h), RopSrcCopy);
        break;
    }
    default: break; // palettes, regions, flood fills, escapes and the rest are skipped
    }
}

} // namespace morvane::metafile
