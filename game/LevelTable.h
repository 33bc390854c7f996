// The level table: 8 rows (0 = the player's own picture, 1..7 the built-in levels) by 18 places.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

class QString;

namespace morvane {

// One place of one level: where it stands on the board, which rectangle of the picture is its
// tile, which tile it shows, how that tile may be mirrored and how its edges join its neighbours.
struct PieceRecord {
    int16_t PlaceHeight = 0;
    int16_t PlaceLeft = 0;
    int16_t PlaceTop = 0;
    int16_t PlaceWidth = 0;
    int16_t SrcHeight = 0;
    int16_t SrcLeft = 0;
    int16_t SrcTop = 0;
    int16_t SrcWidth = 0;
    uint8_t Content = 0;
    uint8_t StartContent = 0;
    char FlipAxis = 0;
    int16_t Flipped = 0; // 0 or -1
    int16_t TopLink = 0;
    int16_t RightLink = 0;
    int16_t BottomLink = 0;
    int16_t LeftLink = 0;

    bool operator==(const PieceRecord &) const = default;
};

class LevelTable {
public:
    static constexpr int FirstRow = 0;
    static constexpr int LastRow = 7;
    static constexpr int FirstPlace = 1;
    static constexpr int LastPlace = 18;

    // Both indices are checked; outside the table is a SubscriptOutOfRange error.
    PieceRecord &operator()(long long row, long long place);
    const PieceRecord &operator()(long long row, long long place) const;

    bool operator==(const LevelTable &) const = default;

private:
    std::array<std::array<PieceRecord, LastPlace>, LastRow + 1> m_rows{};
};

// The level file is made of fixed 34-byte records; the first 32 bytes hold the fields.
constexpr int LevelRecordSize = 34;
constexpr int LevelRecordFieldBytes = 32;
constexpr int LevelRecordCount = 126;

// Reads text as a number the way the level file is read: surrounding spaces and a sign are
// allowed, as are a fraction and an exponent; anything else (blanks included) is no number.
std::optional<double> parseNumber(std::string_view text);

// Converts one record's 32 field bytes into `record`. Every step stands alone: a field that
// is not a number, or does not fit its target, leaves that target as it was.
void convertRecord(std::string_view fields, PieceRecord &record);

// Reads records 1..126 of a level file held in memory into rows 1..7. Records the data does
// not reach are left as they were.
void readLevelRecords(std::string_view data, LevelTable &table);

// Reads the level file at `path` into rows 1..7; a missing or unreadable file changes nothing.
// Returns whether the file could be opened.
bool readLevelFile(const QString &path, LevelTable &table);

} // namespace morvane
