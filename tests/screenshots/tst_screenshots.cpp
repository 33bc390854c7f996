// The screenshots rendered at build time show the real game's window with its level dealt, as
// the level files deal it, and the AppStream metadata names each of them at a web address.
#include "tests/support/BoardPictures.h"
#include "tests/support/LevelFileRecords.h"
#include "tools/screenshots/Screenshots.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace morvane;
using namespace morvane::test;

class ScreenshotsTest : public QObject {
    Q_OBJECT

    LevelTable table;
    const QString data = QStringLiteral(MORVANE_BIN_DIR);
    const LevelFileRecords file{data};
    BoardPictures board{table, data};

private slots:
    void initTestCase()
    {
        QVERIFY(readLevelFile(QDir(data).filePath(QStringLiteral("Levels.res")), table));
    }

    void eachShowsItsLevelDealt_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("fileName");
        for (const Screenshot &shot : screenshots())
            QTest::newRow(qPrintable(shot.fileName)) << shot.level << shot.fileName;
    }
    void eachShowsItsLevelDealt()
    {
        QFETCH(int, level);
        QFETCH(QString, fileName);
        const QImage shot = QImage(QDir(QStringLiteral(MORVANE_SCREENSHOT_DIR)).filePath(fileName))
                                .convertToFormat(QImage::Format_RGB32);
        QVERIFY2(!shot.isNull(), qPrintable(fileName));
        // The whole window: the 640 x 490 board under the menu bar.
        QCOMPARE(shot.width(), 640);
        QVERIFY2(shot.height() > 490 + 10, "a menu bar above the board");
        board.origin = QPoint(0, shot.height() - 490);
        int mirrored = 0;
        for (int j = 1; j <= 18; ++j) {
            const FileRecord tile = file(level, file(level, j).dealt);
            const bool h = tile.mirrored && tile.axis == 'H';
            const bool v = tile.mirrored && tile.axis == 'V';
            const double d = board.distance(shot, level, j, file(level, j).dealt, h, v);
            QVERIFY2(d < 6, qPrintable(QStringLiteral("place %1 differs by %2").arg(j).arg(d)));
            mirrored += tile.mirrored;
        }
        // Levels 1 and 2 deal nothing mirrored; from level 3 on some tiles start mirrored.
        QCOMPARE(mirrored > 0, level >= 3);
    }

    // In their order, the first the default one, each at an https address ending in its name.
    void theMetadataNamesEachAtAWebAddress()
    {
        QFile metainfo(QStringLiteral(MORVANE_SOURCE_DIR "/dist/org.morvane.Morvane.metainfo.xml"));
        QVERIFY(metainfo.open(QIODevice::ReadOnly));
        const QString xml = QString::fromUtf8(metainfo.readAll());
        static const QRegularExpression entry(QStringLiteral(
            R"(<screenshot( type="default")?>\s*<caption>[^<]+</caption>\s*)"
            R"(<image type="source">(https://[^<]+/([^</]+))</image>\s*</screenshot>)"));
        QStringList named;
        bool firstIsDefault = false;
        for (auto it = entry.globalMatch(xml); it.hasNext();) {
            const QRegularExpressionMatch found = it.next();
            if (named.isEmpty())
                firstIsDefault = !found.captured(1).isEmpty();
            else
                QVERIFY2(found.captured(1).isEmpty(), "only the first is the default one");
            named << found.captured(3);
        }
        QStringList made;
        for (const Screenshot &shot : screenshots())
            made << shot.fileName;
        QCOMPARE(named, made);
        QVERIFY(firstIsDefault);
        QCOMPARE(xml.count(QStringLiteral("<screenshot"))
                     - xml.count(QStringLiteral("<screenshots")),
                 made.size());
    }
};

QTEST_MAIN(ScreenshotsTest)
#include "tst_screenshots.moc"
