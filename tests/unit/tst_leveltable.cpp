// The level file's conversion rules, the table's bounds and the checked arithmetic under them.
#include "components/CheckedMath.h"
#include "components/RuntimeError.h"
#include "game/LevelTable.h"

#include <QTemporaryDir>
#include <QTest>

#include <string>

using namespace morvane;

namespace {

// Builds one record from its eleven fields, each right-aligned in its width.
std::string record(const std::string &a, const std::string &b, const std::string &c,
                   const std::string &d, const std::string &e, char f, char g,
                   const std::string &h = "0", const std::string &i = "0",
                   const std::string &j = "0", const std::string &k = "0")
{
    auto pad = [](const std::string &text, size_t width) {
        return std::string(width - std::min(width, text.size()), ' ') + text.substr(0, width);
    };
    return pad(a, 4) + pad(b, 4) + pad(c, 4) + pad(d, 4) + pad(e, 2) + f + g + pad(h, 3) + pad(i, 3)
           + pad(j, 3) + pad(k, 3) + "\r\n";
}

} // namespace

class LevelTableTest : public QObject {
    Q_OBJECT

private slots:
    void edgesBecomeTileRectangle()
    {
        PieceRecord r;
        convertRecord(record("10", "110", "90", "0", "7", 'H', '1', "-3", "12", "0", "4"), r);
        QCOMPARE(r.SrcTop, int16_t(10));
        QCOMPARE(r.SrcHeight, int16_t(80));
        QCOMPARE(r.SrcLeft, int16_t(0));
        QCOMPARE(r.SrcWidth, int16_t(110));
        QCOMPARE(r.StartContent, uint8_t(7));
        QCOMPARE(r.FlipAxis, 'H');
        QCOMPARE(r.Flipped, int16_t(-1));
        QCOMPARE(r.TopLink, int16_t(-3));
        QCOMPARE(r.RightLink, int16_t(12));
        QCOMPARE(r.BottomLink, int16_t(0));
        QCOMPARE(r.LeftLink, int16_t(4));
        // The place fields and the content are the deal's business, not the file's.
        QCOMPARE(r.PlaceLeft, int16_t(0));
        QCOMPARE(r.Content, uint8_t(0));
    }

    void flippedOnlyForTheNumberOne_data()
    {
        QTest::addColumn<char>("g");
        QTest::addColumn<int>("flipped");
        QTest::newRow("one") << '1' << -1;
        QTest::newRow("zero") << '0' << 0;
        QTest::newRow("blank") << ' ' << 0;
        QTest::newRow("two") << '2' << 0;
        QTest::newRow("letter") << 'x' << 0;
    }
    void flippedOnlyForTheNumberOne()
    {
        QFETCH(char, g);
        QFETCH(int, flipped);
        PieceRecord r;
        r.Flipped = -1; // a field that is not a number still gives False
        convertRecord(record("0", "50", "40", "0", "1", 'V', g), r);
        QCOMPARE(int(r.Flipped), flipped);
    }

    void failingFieldKeepsItsValueOthersStillConvert()
    {
        PieceRecord r;
        r.SrcLeft = 33;
        r.SrcWidth = 44;
        r.TopLink = 5;
        // D blank: SrcLeft and SrcWidth keep their values; A and C still give top and height.
        convertRecord(record("20", "100", "60", "", "3", 'H', '0', "abc", "2"), r);
        QCOMPARE(r.SrcLeft, int16_t(33));
        QCOMPARE(r.SrcWidth, int16_t(44));
        QCOMPARE(r.SrcTop, int16_t(20));
        QCOMPARE(r.SrcHeight, int16_t(40));
        QCOMPARE(r.TopLink, int16_t(5));
        QCOMPARE(r.RightLink, int16_t(2));
        QCOMPARE(r.StartContent, uint8_t(3));
    }

    void signsSpacesFractionsAndRange()
    {
        PieceRecord r;
        r.StartContent = 9;
        // "+12" and " -7" are numbers; 2.5 rounds to even (2); -1 is no byte; 999 is fine.
        convertRecord(record("+12", "2.5", "  30", "0", "-1", 'V', '1', "999", "-99", "1.5"), r);
        QCOMPARE(r.SrcTop, int16_t(12));
        QCOMPARE(r.SrcWidth, int16_t(2));
        QCOMPARE(r.SrcHeight, int16_t(18));
        QCOMPARE(r.StartContent, uint8_t(9));
        QCOMPARE(r.TopLink, int16_t(999));
        QCOMPARE(r.RightLink, int16_t(-99));
        QCOMPARE(r.BottomLink, int16_t(2));
        QVERIFY(!parseNumber("1 2"));
        QVERIFY(!parseNumber("  "));
        QVERIFY(!parseNumber("-"));
        QVERIFY(!parseNumber("."));
        QCOMPARE(*parseNumber(" 1e2"), 100.0);
        QCOMPARE(*parseNumber("-.5 "), -0.5);
    }

    void recordsGoToTheirLevelAndPlace()
    {
        // Record r (from 1) describes level (r - 1) / 18 + 1, place (r - 1) % 18 + 1.
        std::string file;
        for (int r = 1; r <= 126; ++r)
            file += record(std::to_string(r), "0", "0", "0", "1", 'H', '0');
        LevelTable table;
        readLevelRecords(file, table);
        QCOMPARE(table(3, 5).SrcTop, int16_t(41));
        QCOMPARE(table(1, 1).SrcTop, int16_t(1));
        QCOMPARE(table(7, 18).SrcTop, int16_t(126));
        // Row 0 belongs to the player's own picture and is never read from the file.
        QCOMPARE(table(0, 1), PieceRecord());
    }

    void shortAndMissingFilesLeaveZeros()
    {
        std::string file;
        for (int r = 1; r <= 20; ++r)
            file += record("5", "60", "45", "0", "2", 'H', '1');
        file += "   7"; // a broken last record: its first field only
        LevelTable table;
        readLevelRecords(file, table);
        QCOMPARE(table(2, 2).SrcHeight, int16_t(40));
        QCOMPARE(table(2, 3).SrcTop, int16_t(7));
        QCOMPARE(table(2, 3).SrcHeight, int16_t(0));
        QCOMPARE(table(2, 4), PieceRecord());
        QCOMPARE(table(7, 18), PieceRecord());

        QTemporaryDir dir;
        LevelTable untouched;
        QVERIFY(!readLevelFile(dir.filePath("Levels.res"), untouched));
        QVERIFY(!readLevelFile(dir.path(), untouched)); // a folder is no level file
        QCOMPARE(untouched, LevelTable());
    }

    void tableChecksBothBounds()
    {
        LevelTable table;
        table(0, 1).Content = 4;
        table(7, 18).Content = 5;
        QCOMPARE(table(0, 1).Content, uint8_t(4));
        for (auto [row, place] : {
                 std::pair{-1, 1 },
                 {8,  1 },
                 {0,  0 },
                 {0,  19},
                 {3,  -2}
        }) {
            try {
                table(row, place);
                QFAIL("an index outside the table must fail");
            } catch (const RuntimeError &error) {
                QCOMPARE(error.number(), ErrorNumber::SubscriptOutOfRange);
            }
        }
    }

    void arithmeticRaisesOverflowInsteadOfWrapping()
    {
        QCOMPARE(add16(32747, 20), int16_t(32767));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, add16(32748, 20));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, sub16(-32768, 1));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, toInt16(32767.5));
        QCOMPARE(toInt16(32766.5), int16_t(32766));
        QCOMPARE(toInt16(-2.5), int16_t(-2));
        QCOMPARE(toInt16(3.5), int16_t(4));
        QCOMPARE(toByte(255.4), uint8_t(255));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, toByte(-0.6));
        QCOMPARE(sub32(0xFF0000, 0x3300), int32_t(0xFECD00));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, add32(0x7FFFFFFF, 1));
    }
};

QTEST_APPLESS_MAIN(LevelTableTest)
#include "tst_leveltable.moc"
