// Hard limits for metafile playback and the budget that enforces them while a file plays.
#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdint>
#include <stdexcept>
#include <string>

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
    static constexpr int maxOutputSide = 8'192;                 // output image, either side
    static constexpr qint64 maxOutputPixels = 40 * 1000 * 1000; // output image, whole area
    static constexpr qint64 maxTextChars = 16'384;              // characters in one text record
    static constexpr qint64 maxTextCharsTotal = 1'000'000;      // characters over the whole file
    static constexpr double maxFontPixels = 4'096;              // larger text is not drawn
    static constexpr int maxClipRects = 4'096;                  // rectangles in a clip region
    static constexpr qint64 maxMilliseconds = 8'000;            // wall-clock time for one file
    static constexpr double maxCoordinate = 1e7;                // output-space coordinate bound
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

// Counts what one playback has spent and stops it when a limit is passed.
class Budget {
public:
    Budget() { m_clock.start(); }

    void record()
    {
        if (++m_records > Limits::maxRecords)
            throw LimitExceeded("more than " + std::to_string(Limits::maxRecords) + " records");
        if ((m_records & 63) == 0)
            checkTime();
    }
    void points(qint64 count)
    {
        if (count < 0 || count > Limits::maxPointsPerRecord)
            throw LimitExceeded("a record with " + std::to_string(count) + " points");
        m_points += count;
        if (m_points > Limits::maxPointsTotal)
            throw LimitExceeded("more than " + std::to_string(Limits::maxPointsTotal) + " points");
    }
    void bitmapPixels(qint64 count)
    {
        if (count > Limits::maxBitmapPixels)
            throw LimitExceeded("an embedded bitmap of " + std::to_string(count) + " pixels");
        m_bitmapPixels += count;
        if (m_bitmapPixels > Limits::maxBitmapPixelsTotal)
            throw LimitExceeded("embedded bitmaps over " + std::to_string(Limits::maxBitmapPixelsTotal)
                                + " pixels");
    }
    void textChars(qint64 count)
    {
        m_textChars += count;
        if (count > Limits::maxTextChars || m_textChars > Limits::maxTextCharsTotal)
            throw LimitExceeded("too much text");
    }
    void checkTime() const
    {
        if (m_clock.elapsed() > Limits::maxMilliseconds)
            throw LimitExceeded("playback took longer than " + std::to_string(Limits::maxMilliseconds)
                                + " ms");
    }
    qint64 records() const { return m_records; }
    int malformedRecords = 0; // records skipped because they could not be read

private:
    QElapsedTimer m_clock;
    qint64 m_records = 0;
    qint64 m_points = 0;
    qint64 m_bitmapPixels = 0;
    qint64 m_textChars = 0;
};

} // namespace morvane::metafile
