// Reading and converting the fixed-width records of the level file into the level table.
#include "LevelTable.h"

#include "components/CheckedMath.h"
#include "components/ErrorGuard.h"
#include "components/RuntimeError.h"

#include <QFile>
#include <QFileInfo>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

namespace morvane {

namespace {

PieceRecord &checkedAt(auto &rows, long long row, long long place)
{
    if (row < LevelTable::FirstRow || row > LevelTable::LastRow || place < LevelTable::FirstPlace
        || place > LevelTable::LastPlace)
        raiseError(ErrorNumber::SubscriptOutOfRange, "subscript out of range");
    return const_cast<PieceRecord &>(rows[size_t(row)][size_t(place - 1)]);
}

double numberOrFail(std::string_view text)
{
    const auto value = parseNumber(text);
    if (!value)
        raiseError(ErrorNumber::TypeMismatch, "type mismatch");
    return *value;
}

} // namespace

PieceRecord &LevelTable::operator()(long long row, long long place)
{
    return checkedAt(m_rows, row, place);
}

const PieceRecord &LevelTable::operator()(long long row, long long place) const
{
    return checkedAt(m_rows, row, place);
}

std::optional<double> parseNumber(std::string_view text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && text[begin] == ' ')
        ++begin;
    while (end > begin && text[end - 1] == ' ')
        --end;
    if (begin == end)
        return std::nullopt;

    // Validate the shape first: [sign] digits [. digits] [e [sign] digits].
    size_t i = begin;
    if (text[i] == '+' || text[i] == '-')
        ++i;
    size_t digits = 0;
    while (i < end && std::isdigit(static_cast<unsigned char>(text[i]))) {
        ++i;
        ++digits;
    }
    if (i < end && text[i] == '.') {
        ++i;
        while (i < end && std::isdigit(static_cast<unsigned char>(text[i]))) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-'))
            ++i;
        size_t exponentDigits = 0;
        while (i < end && std::isdigit(static_cast<unsigned char>(text[i]))) {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != end)
        return std::nullopt;

    const std::string number(text.substr(begin, end - begin));
    const double value = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

void convertRecord(std::string_view fields, PieceRecord &record)
{
    std::string padded(fields.substr(0, LevelRecordFieldBytes));
    padded.resize(LevelRecordFieldBytes, ' ');
    const std::string_view f(padded);
    const auto A = f.substr(0, 4), B = f.substr(4, 4), C = f.substr(8, 4), D = f.substr(12, 4);
    const auto E = f.substr(16, 2);
    const char F = f[18];
    const auto G = f.substr(19, 1);
    const auto H = f.substr(20, 3), I = f.substr(23, 3), J = f.substr(26, 3), K = f.substr(29, 3);

    // Each field is converted on its own: one that fails keeps its value, the others go on.
    skipStepOnError([&] { record.SrcHeight = toInt16(numberOrFail(C) - numberOrFail(A)); });
    skipStepOnError([&] { record.SrcWidth = toInt16(numberOrFail(B) - numberOrFail(D)); });
    skipStepOnError([&] { record.SrcLeft = toInt16(numberOrFail(D)); });
    skipStepOnError([&] { record.SrcTop = toInt16(numberOrFail(A)); });
    skipStepOnError([&] { record.StartContent = toByte(numberOrFail(E)); });
    record.FlipAxis = F;
    const auto g = parseNumber(G);
    record.Flipped = (g && *g == 1.0) ? -1 : 0;
    skipStepOnError([&] { record.TopLink = toInt16(numberOrFail(H)); });
    skipStepOnError([&] { record.RightLink = toInt16(numberOrFail(I)); });
    skipStepOnError([&] { record.BottomLink = toInt16(numberOrFail(J)); });
    skipStepOnError([&] { record.LeftLink = toInt16(numberOrFail(K)); });
}

void readLevelRecords(std::string_view data, LevelTable &table)
{
    for (int level = 1; level <= 7; ++level) {
        for (int place = 1; place <= 18; ++place) {
            const size_t offset = size_t((level - 1) * 18 + place - 1) * LevelRecordSize;
            if (offset >= data.size())
                return;
            convertRecord(data.substr(offset, LevelRecordFieldBytes), table(level, place));
        }
    }
}

bool readLevelFile(const QString &path, LevelTable &table)
{
    // Only a regular file is read: a pipe or a device of that name would never end.
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.read(qint64(LevelRecordCount) * LevelRecordSize);
    readLevelRecords(std::string_view(data.constData(), size_t(data.size())), table);
    return true;
}

} // namespace morvane
