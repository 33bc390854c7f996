// EMF record playback: header, device-context state, world transform, objects, drawing, paths,
// clipping, text and bitmaps. EMF+ records live in comments and are passed over.
#include "EmfPlayer.h"

#include "AnsiText.h"
#include "ByteReader.h"
#include "Dib.h"
#include "RegionBuilder.h"

#include <cmath>

namespace morvane::metafile {

namespace {

constexpr uint32_t emfSignature = 0x464D4520; // " EMF"

// Record types as [MS-EMF] numbers them.
enum Type : uint32_t {
    Header = 1,
    PolyBezier = 2,
    Polygon = 3,
    Polyline = 4,
    PolyBezierTo = 5,
    PolylineTo = 6,
    PolyPolyline = 7,
    PolyPolygon = 8,
    SetWindowExtEx = 9,
    SetWindowOrgEx = 10,
    SetViewportExtEx = 11,
    SetViewportOrgEx = 12,
    Eof = 14,
    SetPixelV = 15,
    SetMapMode = 17,
    SetBkMode = 18,
    SetPolyFillMode = 19,
    SetRop2 = 20,
    SetTextAlign = 22,
    SetTextColor = 24,
    SetBkColor = 25,
    OffsetClipRgn = 26,
    MoveToEx = 27,
    ExcludeClipRect = 29,
    IntersectClipRect = 30,
    ScaleViewportExtEx = 31,
    ScaleWindowExtEx = 32,
    SaveDc = 33,
    RestoreDc = 34,
    SetWorldTransform = 35,
    ModifyWorldTransform = 36,
    SelectObject = 37,
    CreatePen = 38,
    CreateBrushIndirect = 39,
    DeleteObject = 40,
    AngleArc = 41,
    Ellipse = 42,
    Rectangle = 43,
    RoundRect = 44,
    Arc = 45,
    Chord = 46,
    Pie = 47,
    CreatePalette = 49,
    LineTo = 54,
    ArcTo = 55,
    PolyDraw = 56,
    SetArcDirection = 57,
    BeginPath = 59,
    EndPath = 60,
    CloseFigure = 61,
    FillPath = 62,
    StrokeAndFillPath = 63,
    StrokePath = 64,
    SelectClipPath = 67,
    AbortPath = 68,
    GdiComment = 70,
    FillRgn = 71,
    PaintRgn = 74,
    ExtSelectClipRgn = 75,
    BitBlt = 76,
    StretchBlt = 77,
    SetDiBitsToDevice = 80,
    StretchDiBits = 81,
    ExtCreateFontIndirectW = 82,
    ExtTextOutA = 83,
    ExtTextOutW = 84,
    PolyBezier16 = 85,
    Polygon16 = 86,
    Polyline16 = 87,
    PolyBezierTo16 = 88,
    PolylineTo16 = 89,
    PolyPolyline16 = 90,
    PolyPolygon16 = 91,
    PolyDraw16 = 92,
    CreateMonoBrush = 93,
    CreateDibPatternBrushPt = 94,
    ExtCreatePen = 95,
    PolyTextOutA = 96,
    PolyTextOutW = 97,
    CreateColorSpace = 99,
    SmallTextOut = 108,
    AlphaBlend = 114,
    TransparentBlt = 116,
    GradientFill = 118,
    CreateColorSpaceW = 122,
};

constexpr uint32_t emfPlusSignature = 0x2B464D45; // "EMF+", at the start of a comment's data

// The records that put something on the page; the rest set up state, objects or clipping.
bool draws(uint32_t type)
{
    switch (type) {
    case PolyBezier:
    case Polygon:
    case Polyline:
    case PolyBezierTo:
    case PolylineTo:
    case PolyPolyline:
    case PolyPolygon:
    case SetPixelV:
    case AngleArc:
    case Ellipse:
    case Rectangle:
    case RoundRect:
    case Arc:
    case Chord:
    case Pie:
    case LineTo:
    case ArcTo:
    case PolyDraw:
    case FillPath:
    case StrokeAndFillPath:
    case StrokePath:
    case FillRgn:
    case PaintRgn:
    case BitBlt:
    case StretchBlt:
    case SetDiBitsToDevice:
    case StretchDiBits:
    case ExtTextOutA:
    case ExtTextOutW:
    case PolyBezier16:
    case Polygon16:
    case Polyline16:
    case PolyBezierTo16:
    case PolylineTo16:
    case PolyPolyline16:
    case PolyPolygon16:
    case PolyDraw16:
    case PolyTextOutA:
    case PolyTextOutW:
    case SmallTextOut:
    case AlphaBlend:
    case TransparentBlt:
    case GradientFill: return true;
    default: return false;
    }
}

constexpr uint32_t etoOpaque = 0x2, etoClipped = 0x4, etoNoRect = 0x100, etoSmallChars = 0x200,
                   etoPdy = 0x2000;
constexpr uint32_t dibPalColors = 1;

QTransform xform(ByteReader &r)
{
    const double m11 = r.f32(), m12 = r.f32(), m21 = r.f32(), m22 = r.f32(), dx = r.f32(),
                 dy = r.f32();
    return QTransform(m11, m12, m21, m22, dx, dy);
}

} // namespace

MetafileFrame EmfPlayer::probe(QByteArrayView data)
{
    ByteReader r(data);
    MetafileFrame frame;
    if (r.u32() != Header)
        throw Malformed("not an EMF header");
    const uint32_t headerSize = r.u32();
    const double bl = r.i32(), bt = r.i32(), br = r.i32(), bb = r.i32();
    const double fl = r.i32(), ft = r.i32(), fr = r.i32(), fb = r.i32();
    if (r.u32() != emfSignature)
        throw Malformed("not an EMF header");
    r.skip(12); // version, size in bytes, record count
    frame.objectCount = r.u16();
    r.skip(2 + 12); // reserved, description, palette
    const double deviceW = r.i32(), deviceH = r.i32(), mmW = r.i32(), mmH = r.i32();
    if (headerSize < 88 || headerSize % 4 || headerSize > uint32_t(data.size()))
        throw Malformed("EMF header has an invalid size");
    frame.firstRecord = headerSize;

    // Reference-device pixels per millimetre; 96 dpi when the header gives nothing sensible.
    double pxPerMmX = deviceW > 0 && mmW > 0 ? deviceW / mmW : 96 / 25.4;
    double pxPerMmY = deviceH > 0 && mmH > 0 ? deviceH / mmH : 96 / 25.4;
    if (!std::isfinite(pxPerMmX) || pxPerMmX <= 0 || pxPerMmX > 1e6)
        pxPerMmX = 96 / 25.4;
    if (!std::isfinite(pxPerMmY) || pxPerMmY <= 0 || pxPerMmY > 1e6)
        pxPerMmY = 96 / 25.4;
    frame.unitsPerMm = QSizeF(pxPerMmX, pxPerMmY);

    const QRectF frameMm(QPointF(fl / 100, ft / 100), QPointF(fr / 100, fb / 100));
    if (fr > fl && fb > ft) {
        // The frame, in hundredths of a millimetre, is the picture.
        frame.deviceRect = QRectF(frameMm.left() * pxPerMmX, frameMm.top() * pxPerMmY,
                                  frameMm.width() * pxPerMmX, frameMm.height() * pxPerMmY);
        frame.naturalPixels = QSizeF(frameMm.width() / 25.4 * 96, frameMm.height() / 25.4 * 96);
    } else if (br > bl && bb > bt) {
        // No frame: the bounds, in device pixels, taken as pixels at 96 dpi.
        frame.deviceRect = QRectF(QPointF(bl, bt), QPointF(br + 1, bb + 1));
        frame.naturalPixels = frame.deviceRect.size();
    } else {
        frame.deviceRect = QRectF(0, 0, 600, 450);
        frame.naturalPixels = QSizeF(600, 450);
    }
    return frame;
}

EmfPlayer::EmfPlayer(QByteArrayView data, const MetafileFrame &frame, DeviceContext &dc,
                     Canvas &canvas, Budget &budget)
    : MetafilePlayer(data, frame, dc, canvas, budget,
                     std::min<qint64>(frame.objectCount, Limits::maxObjects))
{
}

QString EmfPlayer::play()
{
    QString note = playRecords();
    // A file drawn only in EMF+ records (what GDI+ writes when asked for no EMF beside them)
    // would come out as a blank page: it is refused instead. A dual file draws from its EMF.
    if (m_emfPlusSeen && !m_drawingSeen)
        throw OnlyEmfPlus("the picture is drawn only in EMF+ records, which are not played");
    return note;
}

QString EmfPlayer::playRecords()
{
    qsizetype pos = m_frame.firstRecord;
    while (true) {
        if (pos + 8 > m_data.size())
            return pos >= m_data.size() ? QStringLiteral("the file ends without an end record")
                                        : QStringLiteral("the last record is cut short");
        m_budget.record();
        ByteReader head(m_data.data() + pos, m_data.size() - pos);
        const uint32_t type = head.u32();
        const uint32_t size = head.u32();
        if (type == Eof)
            return {};
        if (size < 8 || size % 4)
            return QStringLiteral("a record with an invalid size at byte %1").arg(pos);
        if (qint64(size) > m_data.size() - pos)
            return QStringLiteral("a record runs past the end of the file at byte %1").arg(pos);
        ByteReader record(m_data.data() + pos, qsizetype(size));
        record.skip(8);
        m_drawingSeen = m_drawingSeen || draws(type);
        if (type == GdiComment && size >= 16) {
            ByteReader comment(m_data.data() + pos + 8, 8);
            comment.skip(4); // the size of the comment's data
            m_emfPlusSeen = m_emfPlusSeen || comment.u32() == emfPlusSignature;
        }
        try {
            dispatch(type, record);
        } catch (const Malformed &) {
            ++m_budget.malformedRecords;
        }
        pos += qsizetype(size);
    }
}

QPointF EmfPlayer::pointL(ByteReader &r)
{
    const double x = r.i32();
    return QPointF(x, r.i32());
}

QRectF EmfPlayer::rectL(ByteReader &r)
{
    const double left = r.i32(), top = r.i32(), right = r.i32(), bottom = r.i32();
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

QPolygonF EmfPlayer::points(ByteReader &r, qint64 count, bool small)
{
    m_budget.points(count);
    if (!r.has(count * (small ? 4 : 8)))
        throw Malformed("point list runs past its record");
    QPolygonF poly;
    poly.reserve(qsizetype(count));
    for (qint64 i = 0; i < count; ++i) {
        m_budget.step();
        if (small) {
            const double x = r.i16();
            poly.append(QPointF(x, r.i16()));
        } else {
            poly.append(pointL(r));
        }
    }
    return poly;
}

void EmfPlayer::polyRecord(uint32_t type, ByteReader &r, bool small)
{
    r.skip(16); // bounds
    const QPolygonF pts = points(r, r.u32(), small);
    switch (type) {
    case PolyBezier:
    case PolyBezier16: m_canvas.bezier(pts); break;
    case Polygon:
    case Polygon16: m_canvas.polygons({pts}, true); break;
    case Polyline:
    case Polyline16: m_canvas.polyline(pts); break;
    case PolyBezierTo:
    case PolyBezierTo16: m_canvas.bezierTo(pts); break;
    case PolylineTo:
    case PolylineTo16: m_canvas.lineTo(pts); break;
    case PolyDraw:
    case PolyDraw16: {
        const QByteArrayView types = r.bytes(pts.size());
        m_canvas.polyDraw(pts, std::vector<uint8_t>(types.begin(), types.end()));
        break;
    }
    default: break;
    }
}

void EmfPlayer::polyPolyRecord(uint32_t type, ByteReader &r, bool small)
{
    r.skip(16); // bounds
    const uint32_t count = r.u32();
    const uint32_t total = r.u32();
    m_budget.points(total);
    m_budget.polygons(count);
    if (!r.has(qint64(count) * 4))
        throw Malformed("polygon counts run past their record");
    std::vector<uint32_t> sizes;
    sizes.reserve(count);
    qint64 sum = 0;
    for (uint32_t i = 0; i < count; ++i) {
        m_budget.step();
        sizes.push_back(r.u32());
        sum += sizes.back();
    }
    if (sum != total)
        throw Malformed("polygon counts do not add up");
    std::vector<QPolygonF> polys;
    polys.reserve(count);
    for (uint32_t size : sizes) {
        m_budget.step();
        polys.push_back(points(r, size, small));
    }
    if (type == PolyPolygon || type == PolyPolygon16) {
        m_canvas.polygons(polys, true);
    } else {
        QPainterPath path;
        for (const QPolygonF &poly : polys)
            if (poly.size() >= 2)
                path.addPolygon(poly);
        m_canvas.shape(path, false, true);
    }
}

void EmfPlayer::select(uint32_t index)
{
    std::optional<GdiObject> stock = stockObject(index);
    const GdiObject *object = stock ? &*stock : m_objects.get(index);
    if (object)
        m_dc.select(*object);
}

void EmfPlayer::createPen(ByteReader &r, bool extended)
{
    const uint32_t index = r.u32();
    Pen pen;
    if (!extended) {
        pen.style = r.u32();
        pen.width = std::abs(double(r.i32()));
        r.skip(4);
        pen.color = colorFromRef(r.u32());
        pen.cosmetic = pen.width == 0;
    } else {
        r.skip(16); // the brush bitmap of a patterned pen; drawn in the pen's colour instead
        pen.style = r.u32();
        pen.width = r.u32();
        const uint32_t brushStyle = r.u32();
        pen.color = colorFromRef(r.u32());
        r.skip(4); // hatch
        const uint32_t entries = r.u32();
        pen.cosmetic = !(pen.style & PsGeometric) || pen.width == 0;
        if (brushStyle == BsNull)
            pen.style = (pen.style & ~uint32_t(PsStyleMask)) | PsNull;
        if ((pen.style & PsStyleMask) == PsUserStyle) {
            for (uint32_t i = 0; i < entries && i < 16; ++i)
                pen.dashes.push_back(r.u32());
        }
    }
    m_objects.put(index, pen);
}

void EmfPlayer::createBrush(uint32_t type, ByteReader &r)
{
    const uint32_t index = r.u32();
    Brush brush;
    if (type == CreateBrushIndirect) {
        brush.style = r.u32();
        brush.color = colorFromRef(r.u32());
        brush.hatch = r.u32();
        if (brush.style == BsPattern || brush.style == BsDibPattern
            || brush.style == BsDibPatternPt)
            brush.style = BsSolid;
    } else {
        const uint32_t usage = r.u32();
        const uint32_t offBmi = r.u32(), cbBmi = r.u32(), offBits = r.u32(), cbBits = r.u32();
        brush.style = BsDibPatternPt;
        brush.color = Qt::gray;
        // Keep the slot even if the bitmap is unreadable, so that selecting it still works.
        m_objects.put(index, brush);
        if (usage != dibPalColors)
            brush.pattern = decodeDib(r.sub(offBmi, cbBmi).bytes(cbBmi),
                                      r.sub(offBits, cbBits).bytes(cbBits), m_budget);
    }
    m_objects.put(index, brush);
}

void EmfPlayer::createFont(ByteReader &r)
{
    const uint32_t index = r.u32();
    Font font;
    font.height = r.i32();
    font.width = r.i32();
    font.escapement = r.i32();
    r.skip(4); // orientation
    font.weight = r.i32();
    font.italic = r.u8();
    font.underline = r.u8();
    font.strikeOut = r.u8();
    font.charset = r.u8();
    r.skip(4);
    QString face;
    for (int i = 0; i < 32 && r.has(2); ++i) {
        const char16_t c = r.u16();
        if (c == 0)
            break;
        face.append(QChar(c));
    }
    font.face = face;
    m_objects.put(index, font);
}

void EmfPlayer::textItem(ByteReader &record, ByteReader &t, bool wide)
{
    const QPointF reference = pointL(t);
    const uint32_t chars = t.u32();
    const uint32_t offString = t.u32();
    const uint32_t options = t.u32();
    std::optional<QRectF> box;
    const QRectF rect = rectL(t);
    if (options & (etoOpaque | etoClipped))
        box = rect;
    const uint32_t offDx = t.u32();
    m_budget.textClaimed(chars);
    QString text;
    if (wide) {
        ByteReader s = record.sub(offString, qint64(chars) * 2);
        text.reserve(qsizetype(chars));
        for (uint32_t i = 0; i < chars; ++i) {
            m_budget.step();
            text.append(QChar(char16_t(s.u16())));
        }
    } else {
        text = decodeAnsi(record.sub(offString, chars).bytes(chars), m_dc.state().font.charset);
    }
    std::vector<double> dx;
    const int step = (options & etoPdy) ? 2 : 1;
    if (offDx != 0) {
        try {
            ByteReader d = record.sub(offDx, qint64(chars) * 4 * step);
            dx.reserve(chars);
            for (uint32_t i = 0; i < chars; ++i) {
                m_budget.step();
                dx.push_back(d.i32());
                if (step == 2)
                    d.skip(4);
            }
        } catch (const Malformed &) {
            dx.clear(); // no usable spacing: fall back to the font's own
        }
    }
    m_canvas.text(reference, text, dx, options, box);
}

void EmfPlayer::text(ByteReader &r, bool wide)
{
    r.skip(16 + 12); // bounds, graphics mode, x and y scale
    textItem(r, r, wide);
}

void EmfPlayer::smallText(ByteReader &r)
{
    const QPointF reference = pointL(r);
    const uint32_t chars = r.u32();
    const uint32_t options = r.u32();
    r.skip(12); // graphics mode, x and y scale
    std::optional<QRectF> box;
    if (!(options & etoNoRect)) {
        const QRectF rect = rectL(r);
        if (options & (etoOpaque | etoClipped))
            box = rect;
    }
    m_budget.textClaimed(chars);
    QString text;
    if (options & etoSmallChars) {
        text = decodeAnsi(r.bytes(chars), m_dc.state().font.charset);
    } else {
        if (!r.has(qint64(chars) * 2))
            throw Malformed("text runs past its record");
        for (uint32_t i = 0; i < chars; ++i) {
            m_budget.step();
            text.append(QChar(char16_t(r.u16())));
        }
    }
    m_canvas.text(reference, text, {}, options, box);
}

void EmfPlayer::blit(uint32_t type, ByteReader &r)
{
    r.skip(16); // bounds
    double xDest, yDest, cxDest = 0, cyDest = 0, xSrc, ySrc, cxSrc = 0, cySrc = 0;
    uint32_t rop = RopSrcCopy, usage, offBmi, cbBmi, offBits, cbBits;
    uint32_t blend = 0, transparent = 0;
    if (type == StretchDiBits || type == SetDiBitsToDevice) {
        xDest = r.i32();
        yDest = r.i32();
        xSrc = r.i32();
        ySrc = r.i32();
        cxSrc = r.i32();
        cySrc = r.i32();
        offBmi = r.u32();
        cbBmi = r.u32();
        offBits = r.u32();
        cbBits = r.u32();
        usage = r.u32();
        if (type == StretchDiBits) {
            rop = r.u32();
            cxDest = r.i32();
            cyDest = r.i32();
        } else {
            cxDest = cxSrc;
            cyDest = cySrc;
        }
    } else {
        xDest = r.i32();
        yDest = r.i32();
        cxDest = r.i32();
        cyDest = r.i32();
        const uint32_t op = r.u32();
        if (type == AlphaBlend)
            blend = op;
        else if (type == TransparentBlt)
            transparent = op;
        else
            rop = op;
        xSrc = r.i32();
        ySrc = r.i32();
        r.skip(24 + 4); // source transform, source background colour
        usage = r.u32();
        offBmi = r.u32();
        cbBmi = r.u32();
        offBits = r.u32();
        cbBits = r.u32();
        if (type == BitBlt) {
            cxSrc = cxDest;
            cySrc = cyDest;
        } else {
            cxSrc = r.i32();
            cySrc = r.i32();
        }
    }
    const QRectF dest(xDest, yDest, cxDest, cyDest);
    if (cbBmi == 0) {
        if (type == BitBlt || type == StretchBlt)
            m_canvas.patBlt(dest, rop);
        return;
    }
    if (usage == dibPalColors)
        return;
    const bool sourceAlpha = type == AlphaBlend && ((blend >> 24) & 0xFF) == 1;
    QImage image = decodeDib(r.sub(offBmi, cbBmi).bytes(cbBmi),
                             r.sub(offBits, cbBits).bytes(cbBits), m_budget, sourceAlpha);
    if (image.isNull())
        return;
    double opacity = 1;
    if (type == AlphaBlend) {
        opacity = ((blend >> 16) & 0xFF) / 255.0;
    } else if (type == TransparentBlt) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        const QRgb key = colorFromRef(transparent).rgb() & 0xFFFFFF;
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((line[x] & 0xFFFFFF) == key)
                    line[x] = 0;
        }
    }
    m_canvas.bitmap(image, dest, QRectF(xSrc, ySrc, cxSrc, cySrc), rop, opacity);
}

void EmfPlayer::gradientFill(ByteReader &r)
{
    r.skip(16); // bounds
    const uint32_t vertexCount = r.u32();
    const uint32_t shapeCount = r.u32();
    const uint32_t mode = r.u32();
    m_budget.points(qint64(vertexCount) + qint64(shapeCount));
    if (!r.has(qint64(vertexCount) * 16))
        throw Malformed("gradient vertices run past their record");
    struct Vertex {
        QPointF at;
        QColor color;
    };
    std::vector<Vertex> vertices;
    vertices.reserve(vertexCount);
    for (uint32_t i = 0; i < vertexCount; ++i) {
        m_budget.step();
        const QPointF at = pointL(r);
        const int red = r.u16() >> 8, green = r.u16() >> 8, blue = r.u16() >> 8;
        r.skip(2);
        vertices.push_back({at, QColor(red, green, blue)});
    }
    for (uint32_t i = 0; i < shapeCount; ++i) {
        m_budget.step();
        if (mode == 0 || mode == 1) {
            const uint32_t a = r.u32(), b = r.u32();
            if (a >= vertexCount || b >= vertexCount)
                continue;
            m_canvas.gradientRect(QRectF(vertices[a].at, vertices[b].at), vertices[a].color,
                                  vertices[b].color, mode == 1);
        } else if (mode == 2) {
            const uint32_t a = r.u32(), b = r.u32(), c = r.u32();
            if (a >= vertexCount || b >= vertexCount || c >= vertexCount)
                continue;
            const QColor &ca = vertices[a].color, &cb = vertices[b].color, &cc = vertices[c].color;
            const QColor average((ca.red() + cb.red() + cc.red()) / 3,
                                 (ca.green() + cb.green() + cc.green()) / 3,
                                 (ca.blue() + cb.blue() + cc.blue()) / 3);
            m_canvas.gradientTriangle(QPolygonF{vertices[a].at, vertices[b].at, vertices[c].at},
                                      average);
        } else {
            break;
        }
    }
}

std::optional<QRegion> EmfPlayer::region(ByteReader &r, uint32_t bytes)
{
    if (bytes < 32)
        return std::nullopt;
    ByteReader d = r.sub(r.pos(), bytes);
    d.skip(8); // header size, type
    const uint32_t count = d.u32();
    d.skip(4 + 16); // region size, bounds
    m_budget.regionRects(count);
    if (!d.has(qint64(count) * 16))
        throw Malformed("region rectangles run past their record");
    std::vector<Edges> rects;
    rects.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        Edges e;
        e.left = d.i32();
        e.top = d.i32();
        e.right = d.i32();
        e.bottom = d.i32();
        rects.push_back(e);
    }
    return regionFromRects(std::move(rects), m_budget);
}

void EmfPlayer::dispatch(uint32_t type, ByteReader &r)
{
    DcState &s = m_dc.state();
    switch (type) {
    case PolyBezier:
    case Polygon:
    case Polyline:
    case PolyBezierTo:
    case PolylineTo:
    case PolyDraw: polyRecord(type, r, false); break;
    case PolyBezier16:
    case Polygon16:
    case Polyline16:
    case PolyBezierTo16:
    case PolylineTo16:
    case PolyDraw16: polyRecord(type == PolyDraw16 ? uint32_t(PolyDraw) : type, r, true); break;
    case PolyPolyline:
    case PolyPolygon: polyPolyRecord(type, r, false); break;
    case PolyPolyline16:
    case PolyPolygon16: polyPolyRecord(type, r, true); break;
    case SetWindowExtEx: {
        const double w = r.i32();
        m_dc.setWindowExt(QSizeF(w, r.i32()));
        break;
    }
    case SetWindowOrgEx: m_dc.setWindowOrg(pointL(r)); break;
    case SetViewportExtEx: {
        const double w = r.i32();
        m_dc.setViewportExt(QSizeF(w, r.i32()));
        break;
    }
    case SetViewportOrgEx: m_dc.setViewportOrg(pointL(r)); break;
    case ScaleViewportExtEx:
    case ScaleWindowExtEx: {
        const double xNum = r.i32(), xDenom = r.i32(), yNum = r.i32(), yDenom = r.i32();
        if (xDenom == 0 || yDenom == 0)
            break;
        if (type == ScaleWindowExtEx)
            m_dc.setWindowExt(
                QSizeF(s.windowExt.width() * xNum / xDenom, s.windowExt.height() * yNum / yDenom));
        else
            m_dc.setViewportExt(QSizeF(s.viewportExt.width() * xNum / xDenom,
                                       s.viewportExt.height() * yNum / yDenom));
        break;
    }
    case SetPixelV: {
        const QPointF at = pointL(r);
        m_canvas.setPixel(at, colorFromRef(r.u32()));
        break;
    }
    case SetMapMode: m_dc.setMapMode(r.u32()); break;
    case SetBkMode: s.bkOpaque = r.u32() == 2; break;
    case SetPolyFillMode: s.windingFill = r.u32() == 2; break;
    case SetRop2: s.rop2 = r.u32(); break;
    case SetTextAlign: s.textAlign = r.u32(); break;
    case SetTextColor: s.textColor = colorFromRef(r.u32()); break;
    case SetBkColor: s.bkColor = colorFromRef(r.u32()); break;
    case OffsetClipRgn: m_canvas.offsetClip(pointL(r)); break;
    case MoveToEx: m_canvas.moveTo(pointL(r)); break;
    case LineTo: m_canvas.lineTo(QPolygonF{pointL(r)}); break;
    case ExcludeClipRect: m_canvas.excludeClip(rectL(r)); break;
    case IntersectClipRect: m_canvas.intersectClip(rectL(r)); break;
    case SaveDc: m_dc.save(); break;
    case RestoreDc: m_dc.restore(r.i32()); break;
    case SetWorldTransform: m_dc.setWorld(xform(r)); break;
    case ModifyWorldTransform: {
        const QTransform x = xform(r);
        switch (r.u32()) {
        case 1: m_dc.setWorld(QTransform()); break;
        case 2: m_dc.setWorld(x * s.world); break;
        case 3: m_dc.setWorld(s.world * x); break;
        case 4: m_dc.setWorld(x); break;
        default: break;
        }
        break;
    }
    case SelectObject: select(r.u32()); break;
    case DeleteObject: m_objects.remove(r.u32()); break;
    case CreatePen: createPen(r, false); break;
    case ExtCreatePen: createPen(r, true); break;
    case CreateBrushIndirect:
    case CreateMonoBrush:
    case CreateDibPatternBrushPt: createBrush(type, r); break;
    case ExtCreateFontIndirectW: createFont(r); break;
    case CreatePalette:
    case CreateColorSpace:
    case CreateColorSpaceW: m_objects.put(r.u32(), OtherObject{}); break;
    case AngleArc: {
        const QPointF center = pointL(r);
        const double radius = r.u32();
        const double start = r.f32();
        m_canvas.angleArc(center, radius, start, r.f32());
        break;
    }
    case Ellipse: m_canvas.ellipse(rectL(r)); break;
    case Rectangle: m_canvas.rectangle(rectL(r)); break;
    case RoundRect: {
        const QRectF box = rectL(r);
        const double w = r.i32();
        m_canvas.roundRect(box, QSizeF(w, r.i32()));
        break;
    }
    case Arc:
    case Chord:
    case Pie:
    case ArcTo: {
        const QRectF box = rectL(r);
        const QPointF start = pointL(r);
        const QPointF end = pointL(r);
        const ArcKind kind = type == Arc     ? ArcKind::Arc
                             : type == Chord ? ArcKind::Chord
                             : type == Pie   ? ArcKind::Pie
                                             : ArcKind::ArcTo;
        m_canvas.arc(kind, box, start, end);
        break;
    }
    case SetArcDirection: s.clockwiseArcs = r.u32() == 2; break;
    case BeginPath: m_canvas.beginPath(); break;
    case EndPath: m_canvas.endPath(); break;
    case CloseFigure: m_canvas.closeFigure(); break;
    case FillPath: m_canvas.fillPath(true, false); break;
    case StrokeAndFillPath: m_canvas.fillPath(true, true); break;
    case StrokePath: m_canvas.fillPath(false, true); break;
    case AbortPath: m_canvas.abortPath(); break;
    case SelectClipPath: m_canvas.selectClipPath(r.u32()); break;
    case GdiComment: break; // EMF+ records and application data: not drawn
    case FillRgn: {
        r.skip(16);
        const uint32_t bytes = r.u32();
        const uint32_t brushIndex = r.u32();
        std::optional<GdiObject> stock = stockObject(brushIndex);
        const GdiObject *object = stock ? &*stock : m_objects.get(brushIndex);
        const auto *brush = object ? std::get_if<Brush>(object) : nullptr;
        if (const auto rgn = region(r, bytes); rgn && brush)
            m_canvas.fillRegion(*rgn, *brush);
        break;
    }
    case PaintRgn: {
        r.skip(16);
        const uint32_t bytes = r.u32();
        if (const auto rgn = region(r, bytes))
            m_canvas.fillRegion(*rgn, s.brush);
        break;
    }
    case ExtSelectClipRgn: {
        const uint32_t bytes = r.u32();
        const uint32_t mode = r.u32();
        m_canvas.combineClip(region(r, bytes), mode);
        break;
    }
    case BitBlt:
    case StretchBlt:
    case SetDiBitsToDevice:
    case StretchDiBits:
    case AlphaBlend:
    case TransparentBlt: blit(type, r); break;
    case ExtTextOutA: text(r, false); break;
    case ExtTextOutW: text(r, true); break;
    case PolyTextOutA:
    case PolyTextOutW: {
        r.skip(16 + 12);
        const uint32_t count = r.u32();
        for (uint32_t i = 0; i < count && r.has(40); ++i) {
            m_budget.step();
            textItem(r, r, type == PolyTextOutW);
        }
        break;
    }
    case SmallTextOut: smallText(r); break;
    case GradientFill: gradientFill(r); break;
    default: break; // palettes, colour management, OpenGL, escapes and the rest are skipped
    }
}

} // namespace morvane::metafile
