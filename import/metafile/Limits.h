// Hard limits for metafile playback and the budget that enforces them while a file plays.
#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

namespace morvane::metafile {

// Every limit in one place, so that a hostile file can cost at most this much.
struct Limits {
    static constexpr qint64 maxFileBytes = 32 * 1024 * 1024;    // larger files are refused outright
    static constexpr qint64 maxRecords = 1'000'000;             // records played per file
    static constexpr qint64 maxObjects = 65'536;                // object table slots
    static constexpr int maxSaveDepth = 1'024;                  // nested SaveDC levels
    static constexpr qint64 maxPointsPerRecord = 1'000'000;     // points in one poly record
    static constexpr qint64 maxPointsTotal = 8'000'000;         // points over the whole file
    static constexpr qint64 maxPathElements = 2'000'000;        // elements in one open path
    static constexpr qint64 maxBitmapPixels = 16 * 1024 * 1024; // one embedded bitmap
    static constexpr qint64 maxBitmapPixelsTotal = 64 * 1024 * 1024; // all embedded bitmaps
    static constexpr int maxOutputSide = 8'192;                      // output image, either side
    static constexpr qint64 maxOutputPixels = 40 * 1000 * 1000;      // output image, whole area
    static constexpr qint64 maxTextChars = 16'384;         // characters in one text record
    static constexpr qint64 maxTextCharsTotal = 1'000'000; // characters over the whole file
    static constexpr double maxFontPixels = 4'096;         // larger text is not drawn
    static constexpr double maxWidenedEmPixels = 512;      // text is widened no further
    static constexpr int maxClipRects = 4'096;             // rectangles in a clip region
    static constexpr qint64 maxPolygonsPerRecord = 65'536; // polygons in one poly-polygon
    // Scanlines crossed by the edges of one drawn shape: what filling it costs the rasteriser.
    static constexpr qint64 maxRasterWork = 4'000'000;
    // Wall-clock time for one file. The last drawing call may run past the check that stops it,
    // so this leaves room under the two seconds a player may wait for any file.
    static constexpr qint64 maxMilliseconds = 1'200;
    static constexpr double maxCoordinate = 1e7; // output-space coordinate bound
};

// A record that cannot be read as it claims; playback skips it and goes on.
class Malformed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A limit was passed; playback stops and the whole render fails.
class LimitExceeded : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The limits one playback is held to. The defaults are the game's; tests inject small ones (and a
// clock of their own) to reach every limit with a small file.
struct Allowance {
    qint64 milliseconds = Limits::maxMilliseconds;
    qint64 regionRects = Limits::maxClipRects;
    qint64 pointsPerRecord = Limits::maxPointsPerRecord;
    qint64 pointsTotal = Limits::maxPointsTotal;
    qint64 polygonsPerRecord = Limits::maxPolygonsPerRecord;
    qint64 textChars = Limits::maxTextChars;
    qint64 textCharsTotal = Limits::maxTextCharsTotal;
    qint64 rasterWork = Limits::maxRasterWork;
    std::function<qint64()> clock; // milliseconds since an arbitrary start; a steady clock if empty
};

// Counts what one playback has spent and stops it when a limit is passed.
class Budget {
public:
    explicit Budget(Allowance allowance = {}) : m_allowance(std::move(allowance))
    {
        m_clock.start();
        m_start = now();
    }

    const Allowance &allowance() const { return m_allowance; }

    void record()
    {
        if (++m_records > Limits::maxRecords)
            throw LimitExceeded("more than " + std::to_string(Limits::maxRecords) + " records");
        if ((m_records & 63) == 0)
            checkTime();
    }
    // One item of a long loop inside a record (a rectangle, a point, a polygon, a character):
    // the clock is read every few hundred items, so no single record can outlast the budget.
    void step()
    {
        if ((++m_steps & 255) == 0)
            checkTime();
    }
    void points(qint64 count)
    {
        if (count < 0 || count > m_allowance.pointsPerRecord)
            throw LimitExceeded("a record with " + std::to_string(count) + " points");
        m_points += count;
        if (m_points > m_allowance.pointsTotal)
            throw LimitExceeded("more than " + std::to_string(m_allowance.pointsTotal) + " points");
    }
    // Polygons one record asks to hold at once, before any of them is built.
    void polygons(qint64 count)
    {
        if (count < 0 || count > m_allowance.polygonsPerRecord)
            throw LimitExceeded("a record with " + std::to_string(count) + " polygons");
    }
    // Rectangles a region has, or would have once built.
    void regionRects(qint64 count)
    {
        if (count > m_allowance.regionRects)
            throw LimitExceeded("a region of more than " + std::to_string(m_allowance.regionRects)
                                + " rectangles");
    }
    // The rasterising work of one shape, estimated before it is drawn.
    void rasterWork(double work)
    {
        if (!(work <= double(m_allowance.rasterWork)))
            throw LimitExceeded("a shape too intricate to draw");
    }
    void bitmapPixels(qint64 count)
    {
        if (count > Limits::maxBitmapPixels)
            throw LimitExceeded("an embedded bitmap of " + std::to_string(count) + " pixels");
        m_bitmapPixels += count;
        if (m_bitmapPixels > Limits::maxBitmapPixelsTotal)
            throw LimitExceeded("embedded bitmaps over "
                                + std::to_string(Limits::maxBitmapPixelsTotal) + " pixels");
    }
    // Characters a text record claims, checked before they are read; they are counted when
    // drawn (textChars), so that no character counts twice.
    void textClaimed(qint64 count)
    {
        if (count > m_allowance.textChars || m_textChars + count > m_allowance.textCharsTotal)
            throw LimitExceeded("too much text");
    }
    // Characters drawn, whatever the kind of file.
    void textChars(qint64 count)
    {
        m_textChars += count;
        if (count > m_allowance.textChars || m_textChars > m_allowance.textCharsTotal)
            throw LimitExceeded("too much text");
    }
    void checkTime()
    {
        ++m_clockReads;
        if (now() - m_start > m_allowance.milliseconds)
            throw LimitExceeded("playback took longer than "
                                + std::to_string(m_allowance.milliseconds) + " ms");
    }
    qint64 records() const { return m_records; }
    qint64 clockReads() const { return m_clockReads; }
    int malformedRecords = 0; // records skipped because they could not be read

private:
    qint64 now() const { return m_allowance.clock ? m_allowance.clock() : m_clock.elapsed(); }

    Allowance m_allowance;
    QElapsedTimer m_clock;
    qint64 m_start = 0;
    qint64 m_records = 0;
    qint64 m_steps = 0;
    qint64 m_clockReads = 0;
    qint64 m_points = 0;
    qint64 m_bitmapPixels = 0;
    qint64 m_textChars = 0;
};

} // namespace morvane::metafile
