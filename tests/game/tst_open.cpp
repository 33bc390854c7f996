// Opening an own picture: the window size rules, level 0 from a template, the open command's
// paths (form, dialog, cancel, bad file, a dropped file), and the picture loader on broken,
// huge and turned files.
#include "../support/GameFixture.h"
#include "../support/OrientedPictures.h"
#include "../support/TestData.h"

#include "components/BoardArea.h"
#include "components/CheckedMath.h"
#include "components/PictureClip.h"
#include "components/RuntimeError.h"
#include "import/OwnLevel.h"
#include "import/PictureLoader.h"

#include <QAction>
#include <QBuffer>
#include <QDialog>
#include <QDirIterator>
#include <QDropEvent>
#include <QImageWriter>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <sys/stat.h>

#include <cmath>

using namespace morvane;
using namespace morvane::test;

namespace {

QString writePicture(const QString &path, QSize size, const char *format = "PNG")
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb((x * 7) % 256, (y * 5) % 256, ((x + y) * 3) % 256));
    QImageWriter writer(path, format);
    writer.setQuality(90);
    writer.write(image);
    return path;
}

QString writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qWarning("%s not written", qPrintable(path));
    return path;
}

QRect dealtBoard(TestWindow &window)
{
    QRect united;
    for (int j = 1; j <= 18; ++j)
        united |= window.piece(j).geometry();
    return united;
}

std::vector<uint8_t> contents(Game &game, int row)
{
    std::vector<uint8_t> c;
    for (int j = 1; j <= 18; ++j)
        c.push_back(game.LevelTable(row, j).Content);
    return c;
}

bool isPermutation(std::vector<uint8_t> c)
{
    std::sort(c.begin(), c.end());
    for (int j = 1; j <= 18; ++j)
        if (c[size_t(j - 1)] != j)
            return false;
    return true;
}

} // namespace

class OpenTest : public QObject {
    Q_OBJECT

private slots:
    void windowSizeRules()
    {
        const QSize screen(1920 * 15, 1080 * 15);
        QCOMPARE(ownPictureWindowTwips(600, 450, screen.width(), screen.height()),
                 QSize(9720, 8040));
        // 100 x 100: raised to 3000 wide, then to 3000 high.
        QCOMPARE(ownPictureWindowTwips(100, 100, screen.width(), screen.height()),
                 QSize(3030, 3000));
        // Too wide: both sides scaled so that the width is the screen's.
        const QSize wide = ownPictureWindowTwips(2000, 500, 12000, 20000);
        QCOMPARE(wide.width(), 12000);
        QCOMPARE(wide.height(), int(std::lrint(12000.0 * (540 * 15 + 690) / (2040 * 15 + 120))));
        // Too tall for the screen less 400 twips: scaled to that height.
        const QSize tall = ownPictureWindowTwips(500, 2000, 30000, 12400);
        QCOMPARE(tall.height(), 12000);
        QCOMPARE(tall.width(), int(std::lrint(12000.0 * (540 * 15 + 120) / (2040 * 15 + 690))));
        // Beyond the 16-bit arithmetic of the first step.
        QVERIFY_THROWS_EXCEPTION(RuntimeError, ownPictureWindowTwips(2137, 100, 99999, 99999));
        QCOMPARE(ownPictureWindowTwips(2136, 2098, 32760, 33160), QSize(32760, 32760));
    }

    void ownLevelFromATemplate()
    {
        DataFolder data;
        LevelTable table;
        QVERIFY(readLevelFile(data.file("Levels.res"), table));
        const LevelTable before = table;
        ScriptedRandom random;
        // A picture of 300 x 225 halves every tile; 1.5 halves to even.
        buildOwnLevel(table, 3, 300, 225, random);
        for (int j = 1; j <= 18; ++j) {
            const PieceRecord &S = table(3, j);
            const PieceRecord &R = table(0, j);
            QCOMPARE(R.SrcLeft, toInt16(0.5 * S.SrcLeft));
            QCOMPARE(R.SrcWidth, toInt16(0.5 * S.SrcWidth));
            QCOMPARE(R.SrcTop, toInt16(0.5 * S.SrcTop));
            QCOMPARE(R.SrcHeight, toInt16(0.5 * S.SrcHeight));
            QCOMPARE(R.StartContent, S.StartContent);
            QCOMPARE(R.FlipAxis, S.FlipAxis);
            QCOMPARE(R.Flipped, S.Flipped);
            QCOMPARE(R.LeftLink, S.LeftLink);
            QCOMPARE(R.BottomLink, S.BottomLink);
        }
        for (int level = 1; level <= 7; ++level)
            for (int j = 1; j <= 18; ++j)
                QCOMPARE(table(level, j), before(level, j));
        std::vector<uint8_t> c;
        for (int j = 1; j <= 18; ++j)
            c.push_back(table(0, j).Content);
        QVERIFY(isPermutation(c));

        // The shuffle: a draw of 0 swaps place j with place 1 at every step.
        LevelTable scripted = before;
        random.script.assign(18, 0.0f);
        buildOwnLevel(scripted, 1, 600, 450, random);
        std::vector<uint8_t> expected;
        for (int j = 1; j <= 18; ++j)
            expected.push_back(before(1, j).StartContent);
        for (int j = 1; j <= 18; ++j)
            std::swap(expected[0], expected[size_t(j - 1)]);
        for (int j = 1; j <= 18; ++j)
            QCOMPARE(scripted(0, j).Content, expected[size_t(j - 1)]);
    }

    void openThroughTheForm()
    {
        DataFolder data;
        ScriptedRandom random;
        TestWindow window(data.path(), &random);
        window.start();
        Game &game = window.game();
        game.LevelCommand(7);
        game.Click(2); // a selection, cleared by the deal
        const QString path = writePicture(data.file("mine.jpg"), QSize(400, 300), "JPEG");
        window.formChoice = path;
        random.script = {0.5f}; // template level int(0.5 * 7 + 1) = 4
        const LevelTable rowsBefore = game.LevelTable;
        window.resetCounts();
        window.openCommand().run();
        QCOMPARE(random.reseeds, 1);
        QCOMPARE(game.CurrentLevel, 0);
        QCOMPARE(window.windowTitle(), QStringLiteral("Morvane"));
        for (int n = 1; n <= 7; ++n)
            QVERIFY(!window.levelAction(n)->isChecked());
        QCOMPARE(window.clipper().ImageWidth(), int16_t(400));
        QCOMPARE(game.LevelTable(0, 1).SrcWidth,
                 toInt16(400.0 / 600 * game.LevelTable(4, 1).SrcWidth));
        QVERIFY(isPermutation(contents(game, 0)));
        for (int level = 1; level <= 7; ++level)
            for (int j = 1; j <= 18; ++j)
                QCOMPARE(game.LevelTable(level, j).StartContent, rowsBefore(level, j).StartContent);
        QCOMPARE(game.SelectedPiece, 0);
        QCOMPARE(window.pauses, 0); // no entry animation
        // The window fits the picture: 400 x 300 plus the margins.
        QCOMPARE(window.board().size(), QSize(440, 340));
        QCOMPARE(window.board().scaleMode(), BoardArea::ScaleMode::Pixels);
        QRect united;
        for (int j = 1; j <= 18; ++j)
            united |= window.piece(j).geometry();
        QCOMPARE(united, QRect(20, 20, 400, 300));

        // Own pictures play: swaps and turns work on row 0, and it can be completed.
        solveGame(window);
        QVERIFY(game.PuzzleSolved);

        // Back to a level: the start-up size again, and row 0 stays.
        const std::vector<uint8_t> own = contents(game, 0);
        game.LevelCommand(2);
        QCOMPARE(window.outerWidthTwips(), 9720);
        QCOMPARE(window.outerHeightTwips(), 8040);
        QCOMPARE(contents(game, 0), own);
    }

    void cancelChangesNothing()
    {
        DataFolder data;
        TestWindow window(data.path());
        window.start();
        Game &game = window.game();
        game.Click(4);
        window.formChoice.clear();
        window.openCommand().run();
        QCOMPARE(game.CurrentLevel, 1);
        QCOMPARE(game.SelectedPiece, 4);
        QVERIFY(window.levelAction(1)->isChecked());
        QVERIFY(window.messages.isEmpty());

        // The common dialog starts on the previous name; a cancel changes nothing either.
        window.setPlatformId(1);
        const QString path = writePicture(data.file("one.png"), QSize(200, 150));
        window.dialogAccepts = true;
        window.dialogChoice = path;
        window.openCommand().run();
        QCOMPARE(game.CurrentLevel, 0);
        window.dialogAccepts = false;
        window.openCommand().run();
        QCOMPARE(window.dialogStartedOn, path);
        QCOMPARE(game.CurrentLevel, 0);
        QVERIFY(window.messages.isEmpty());
    }

    void badFileLeavesTheGameAsItWas()
    {
        DataFolder data;
        TestWindow window(data.path());
        window.start();
        Game &game = window.game();
        game.LevelCommand(5);
        game.Click(6);
        const QImage picture = window.clipper().Picture();
        const std::vector<uint8_t> before = contents(game, 5);
        QFile junk(data.file("junk.gif"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("GIF89a this is not a picture");
        junk.close();
        for (const QString &path : {junk.fileName(), data.file("missing.bmp"), data.path(),
                                    QStringLiteral("/dev/zero")}) {
            window.messages.clear();
            window.formChoice = path;
            window.openCommand().run();
            QCOMPARE(window.messages,
                     QStringList{QStringLiteral("Bad Image File|           Error Loading File ")
                                 + path + QStringLiteral("             ")});
            QCOMPARE(game.CurrentLevel, 5);
            QCOMPARE(game.SelectedPiece, 6);
            QVERIFY(window.levelAction(5)->isChecked());
            QCOMPARE(window.clipper().Picture(), picture);
            QCOMPARE(contents(game, 5), before);
            QCOMPARE(window.windowTitle(), QStringLiteral("Morvane - Level 5"));
        }
    }

    void hugePictureIsShrunkAndPlays()
    {
        DataFolder data;
        TestWindow window(data.path());
        window.start();
        const QString path = writePicture(data.file("big.jpg"), QSize(4000, 3000), "JPEG");
        const QImage loaded = loadPicture(path);
        QVERIFY(loaded.width() <= MaxPictureWidth && loaded.height() <= MaxPictureHeight);
        QVERIFY(qAbs(double(loaded.width()) / loaded.height() - 4.0 / 3.0) < 0.01);
        window.formChoice = path;
        window.openCommand().run();
        QCOMPARE(window.game().CurrentLevel, 0);
        QCOMPARE(window.windowTitle(), QStringLiteral("Morvane"));
        // The window fits the screen, and the board fills it.
        QVERIFY(window.outerWidthTwips() <= window.screenSizeTwips().width());
        QRect united;
        for (int j = 1; j <= 18; ++j)
            united |= window.piece(j).geometry();
        QVERIFY(united.width() > window.board().width() * 0.9);
        QVERIFY(united.right() < window.board().width());
    }

    void loaderReadsByContentAndRefusesNonPictures()
    {
        QTemporaryDir dir;
        // A PNG named like a level file, and a bare bitmap without its file header.
        const QString res = writePicture(dir.filePath("Level9.res"), QSize(30, 20));
        QCOMPARE(loadPicture(res).size(), QSize(30, 20));
        QImage small(12, 8, QImage::Format_RGB32);
        small.fill(qRgb(10, 200, 30));
        QBuffer bmp;
        bmp.open(QIODevice::WriteOnly);
        small.save(&bmp, "BMP");
        QFile dib(dir.filePath("bare.dib"));
        QVERIFY(dib.open(QIODevice::WriteOnly));
        dib.write(bmp.data().mid(14)); // without the 14-byte file header
        dib.close();
        const QImage fromDib = loadPicture(dib.fileName());
        QCOMPARE(fromDib.size(), QSize(12, 8));
        QCOMPARE(QColor(fromDib.pixel(3, 3)), QColor(10, 200, 30));
        try {
            loadPicture(dir.filePath("none.png"));
            QFAIL("a missing file must fail");
        } catch (const RuntimeError &error) {
            QCOMPARE(error.number(), ErrorNumber::FileNotFound);
        }
        QVERIFY_THROWS_EXCEPTION(RuntimeError, loadPicture(dir.path()));
    }

    void everyBrokenPictureOpensOrIsRefused()
    {
        // Real broken files from public test suites: each gives a picture within the limits
        // or a clean failure; none crashes, hangs or blows the memory limit.
        const QString corpus = testDataFolder(QStringLiteral("badimages"));
        QDirIterator it(corpus, {"*.bmp", "*.gif", "*.jpg", "*.jpeg", "*.png", "*.dib"},
                        QDir::Files);
        int files = 0, refused = 0;
        while (it.hasNext()) {
            const QString path = it.next();
            ++files;
            try {
                const QImage image = loadPicture(path);
                QVERIFY2(!image.isNull() && image.width() <= MaxPictureWidth
                             && image.height() <= MaxPictureHeight,
                         qPrintable(path));
            } catch (const RuntimeError &) {
                ++refused;
            }
        }
        QCOMPARE(files, filesListedInSources(corpus).size());
        QVERIFY(refused > 0);
    }

    void metafilesOpenLikeAnyPicture()
    {
        DataFolder data;
        TestWindow window(data.path());
        window.start();
        for (const char *name : {"pillow-drawing.wmf", "poi-wrench.emf"}) {
            window.formChoice = testDataFolder(QStringLiteral("metafiles/")) + QLatin1String(name);
            window.openCommand().run();
            QVERIFY2(window.messages.isEmpty(), qPrintable(window.messages.join(',')));
            QCOMPARE(window.game().CurrentLevel, 0);
            QCOMPARE(window.windowTitle(), QStringLiteral("Morvane"));
            QVERIFY(window.clipper().ImageWidth() >= 16);
        }
    }

    void shuffleIndexStaysAmongTheFirstJ()
    {
        // The largest number the generator can give: j times it plus one rounds up to j + 1
        // in single precision for some j. The swap partner must still be one of places 1..j.
        DataFolder data;
        LevelTable table;
        QVERIFY(readLevelFile(data.file("Levels.res"), table));
        ScriptedRandom random;
        random.script.assign(18, std::nextafter(1.0f, 0.0f));
        buildOwnLevel(table, 2, 600, 450, random);
        for (int j = 1; j <= 18; ++j)
            QCOMPARE(table(0, j).Content,
                     table(2, j).StartContent); // each place swapped with itself

        // Through the whole command: the first Open deals completely and every tile is there once.
        ScriptedRandom draws;
        TestWindow window(data.path(), &draws);
        window.start();
        draws.script.assign(40, std::nextafter(1.0f, 0.0f));
        window.formChoice = writePicture(data.file("mine.png"), QSize(400, 300));
        window.openCommand().run();
        QVERIFY(window.messages.isEmpty());
        QCOMPARE(window.game().CurrentLevel, 0);
        QCOMPARE(window.game().LoopCounter, 19.0);
        QVERIFY(isPermutation(contents(window.game(), 0)));
        for (int j = 1; j <= 18; ++j)
            QVERIFY(!window.piece(j).Picture().isNull());
    }

    void levelPicturesAreUsedAtTheirSize()
    {
        DataFolder data;
        // A level picture larger than an own picture may be: the level's table cuts it as it is.
        QVERIFY(data.remove("Level2.res"));
        writePicture(data.file("Level2.res"), QSize(2400, 2200), "JPEG");
        QCOMPARE(loadLevelPicture(data.file("Level2.res")).size(), QSize(2400, 2200));
        QVERIFY(loadPicture(data.file("Level2.res")).width() <= MaxPictureWidth);
        TestWindow window(data.path());
        window.start();
        window.game().LevelCommand(2);
        QVERIFY(window.messages.isEmpty());
        QCOMPARE(window.clipper().ImageWidth(), int16_t(2400));
        QCOMPARE(window.clipper().ImageHeight(), int16_t(2200));
        QRect united;
        for (int j = 1; j <= 18; ++j)
            united |= window.piece(j).geometry();
        QVERIFY(window.board().rect().contains(united));
    }

    void pipesAndDevicesAreRefusedWithoutBlocking()
    {
        DataFolder data;
        // A named pipe with a picture's name: nobody writes to it, so an open that waits would
        // wait for ever.
        const QString pipe = data.file("waiting.jpg");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        try {
            loadPicture(pipe);
            QFAIL("a pipe must be refused");
        } catch (const RuntimeError &error) {
            QCOMPARE(error.number(), ErrorNumber::InvalidPicture);
        }
        QVERIFY_THROWS_EXCEPTION(RuntimeError, loadPicture(QStringLiteral("/dev/zero")));

        TestWindow window(data.path());
        window.start();
        window.formChoice = pipe;
        window.openCommand().run();
        QCOMPARE(window.messages.size(), 1);
        QVERIFY(window.messages.first().startsWith(QStringLiteral("Bad Image File|")));
        QCOMPARE(window.game().CurrentLevel, 1);

        // A regular file is read whole, and only as far as it goes.
        QFile file(data.file("bytes.bin"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray bytes(12345, 'x');
        file.write(bytes);
        file.close();
        QCOMPARE(readPictureFile(file.fileName()), bytes);
    }

    void badFileMessageShowsTheNameAsPlainText()
    {
        DataFolder data;
        TestWindow window(data.path());
        window.start();
        const QString name = data.file("<h1>x.jpg");
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a picture");
        file.close();
        window.formChoice = name;
        window.openCommand().run();
        QCOMPARE(window.messages.size(), 1);
        const QString text = window.messages.first().section(QLatin1Char('|'), 1);
        QVERIFY(text.contains(QStringLiteral("<h1>x.jpg")));

        // The window's own message box shows that text as it is, spaces and angle brackets kept.
        QString shown;
        Qt::TextFormat format = Qt::AutoText;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            format = box->textFormat();
            for (const QLabel *label : box->findChildren<QLabel *>())
                if (label->text() == text)
                    shown = label->text();
            box->accept();
        });
        QCOMPARE(window.frmMain::messageBox(text, QStringLiteral("Bad Image File")), 1);
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(shown, text);
        QVERIFY(shown.startsWith(QStringLiteral("           Error Loading File ")));
    }

    void ownPicturesAreDealtUpright_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("name");
        // Every orientation a camera writes, in a JPEG's EXIF block and in a TIFF's own tag.
        const QImage upright = uprightPicture();
        for (int tag = 1; tag <= 8; ++tag) {
            QTest::addRow("JPEG, orientation %d", tag)
                << jpegWithOrientation(storedPicture(upright, tag), tag)
                << QStringLiteral("phone%1.jpg").arg(tag);
            QTest::addRow("TIFF, orientation %d", tag)
                << tiffWithOrientation(storedPicture(upright, tag), tag)
                << QStringLiteral("scan%1.tif").arg(tag);
        }
    }

    void ownPicturesAreDealtUpright()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, name);
        DataFolder data;
        TestWindow window(data.path());
        window.start();
        window.formChoice = writeBytes(data.file(name), file);
        window.openCommand().run();
        QVERIFY2(window.messages.isEmpty(), qPrintable(window.messages.join(',')));
        QCOMPARE(window.game().CurrentLevel, 0);
        // The portrait is cut as a portrait, its marks at the top, in a portrait window.
        const QImage dealt = window.clipper().Picture();
        QCOMPARE(dealt.size(), QSize(300, 400));
        QCOMPARE(cornerColours(dealt), QStringLiteral("red blue grey grey"));
        QCOMPARE(window.board().size(), QSize(340, 440));
        QCOMPARE(dealtBoard(window), QRect(20, 20, 300, 400));
        QCOMPARE(window.windowTitle(), QStringLiteral("Morvane"));
    }

    void turnedPhotoIsShrunkAsSeen()
    {
        // A 3000 x 2000 photo stored sideways is a 2000 x 3000 portrait: the height is the
        // limit, 2098 of 3000, and the width follows, 2000 x 2098 / 3000 = 1398.7.
        QTemporaryDir dir;
        const QImage upright = uprightPicture(2000, 3000);
        const QString path = writeBytes(dir.filePath(QStringLiteral("big.jpg")),
                                        jpegWithOrientation(storedPicture(upright, 6), 6));
        const QImage loaded = loadPicture(path);
        QCOMPARE(loaded.size(), QSize(1398, 2098));
        QCOMPARE(cornerColours(loaded), QStringLiteral("red blue grey grey"));
    }

    void levelPicturesKeepTheirStoredOrientation()
    {
        DataFolder data;
        const QImage stored = storedPicture(uprightPicture(), 6);
        QVERIFY(data.remove("Level2.res"));
        writeBytes(data.file("Level2.res"), jpegWithOrientation(stored, 6));
        // As stored: 400 x 300, lying on its left side, blue at the top left, red below it.
        const QImage level = loadLevelPicture(data.file("Level2.res"));
        QCOMPARE(level.size(), QSize(400, 300));
        QCOMPARE(cornerColours(level), QStringLiteral("blue grey red grey"));
        TestWindow window(data.path());
        window.start();
        window.game().LevelCommand(2);
        QVERIFY(window.messages.isEmpty());
        QCOMPARE(window.clipper().Picture().size(), QSize(400, 300));
    }

    void todaysFileTypesOpen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("PNG screenshot") << QStringLiteral("shot.png") << QByteArray("PNG");
        QTest::newRow("WebP download") << QStringLiteral("download.webp") << QByteArray("WEBP");
        QTest::newRow("TIFF scan, .tif") << QStringLiteral("scan.tif") << QByteArray("TIFF");
        QTest::newRow("TIFF scan, .TIFF") << QStringLiteral("SCAN.TIFF") << QByteArray("TIFF");
    }

    void todaysFileTypesOpen()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        DataFolder data;
        TestWindow window(data.path());
        window.start();
        QImageWriter writer(data.file(name), format);
        writer.setQuality(95);
        QVERIFY2(writer.write(uprightPicture()), qPrintable(writer.errorString()));
        window.formChoice = data.file(name);
        window.openCommand().run();
        QVERIFY2(window.messages.isEmpty(), qPrintable(window.messages.join(',')));
        QCOMPARE(window.game().CurrentLevel, 0);
        QCOMPARE(cornerColours(window.clipper().Picture()), QStringLiteral("red blue grey grey"));
        QCOMPARE(window.board().size(), QSize(340, 440));
    }

    void droppedFileOpensAsOpenDoes_data()
    {
        QTest::addColumn<QStringList>("urls"); // "@" stands for the data folder
        QTest::addColumn<QString>("text");
        QTest::addColumn<Qt::DropActions>("actions");
        QTest::addColumn<bool>("modal");
        QTest::addColumn<QString>("opened"); // the file dealt, or empty when nothing changes
        QTest::addColumn<bool>("badFile");

        const Qt::DropActions copy = Qt::CopyAction | Qt::MoveAction;
        QTest::newRow("a phone JPEG")
            << QStringList{"@/phone.jpg"} << QString() << copy << false << "@/phone.jpg" << false;
        QTest::newRow("several files: the first")
            << QStringList{"@/phone.jpg", "@/wide.png"} << QString() << copy << false
            << "@/phone.jpg" << false;
        QTest::newRow("a file that is not a picture")
            << QStringList{"@/notes.jpg"} << QString() << copy << false << QString() << true;
        QTest::newRow("a folder") << QStringList{"@/folder"} << QString() << copy << false
                                  << QString() << false;
        QTest::newRow("a folder, then a picture")
            << QStringList{"@/folder", "@/phone.jpg"} << QString() << copy << false << QString()
            << false;
        QTest::newRow("a file gone")
            << QStringList{"@/gone.jpg"} << QString() << copy << false << QString() << false;
        QTest::newRow("a named pipe")
            << QStringList{"@/pipe.jpg"} << QString() << copy << false << QString() << false;
        QTest::newRow("a remote picture") << QStringList{"https://pictures.invalid/phone.jpg"}
                                          << QString() << copy << false << QString() << false;
        QTest::newRow("text only")
            << QStringList() << "@/phone.jpg" << copy << false << QString() << false;
        QTest::newRow("a drag that can only move the file")
            << QStringList{"@/phone.jpg"} << QString() << Qt::DropActions(Qt::MoveAction) << false
            << QString() << false;
        QTest::newRow("a modal window open")
            << QStringList{"@/phone.jpg"} << QString() << copy << true << QString() << false;
    }

    void droppedFileOpensAsOpenDoes()
    {
        QFETCH(QStringList, urls);
        QFETCH(QString, text);
        QFETCH(Qt::DropActions, actions);
        QFETCH(bool, modal);
        QFETCH(QString, opened);
        QFETCH(bool, badFile);

        DataFolder data;
        const QString folder = data.path();
        writeBytes(data.file("phone.jpg"),
                   jpegWithOrientation(storedPicture(uprightPicture(), 6), 6));
        writePicture(data.file("wide.png"), QSize(200, 150));
        writeBytes(data.file("notes.jpg"), "a shopping list, not a picture");
        QVERIFY(QDir(folder).mkdir(QStringLiteral("folder")));
        QCOMPARE(::mkfifo(QFile::encodeName(data.file("pipe.jpg")).constData(), 0600), 0);
        opened.replace(QLatin1Char('@'), folder);
        text.replace(QLatin1Char('@'), folder);

        TestWindow window(data.path());
        window.start();
        Game &game = window.game();
        game.LevelCommand(3);
        game.Click(5);
        const QImage before = window.clipper().Picture();
        const QSize boardBefore = window.board().size();
        QVERIFY(window.acceptDrops());

        QDialog dialog(&window);
        if (modal) {
            dialog.setModal(true);
            dialog.show();
            QCOMPARE(QApplication::activeModalWidget(), &dialog);
        }
        QMimeData mime;
        QList<QUrl> list;
        for (const QString &url : urls)
            list << (url.startsWith(QLatin1Char('@'))
                         ? QUrl::fromLocalFile(QString(url).replace(QLatin1Char('@'), folder))
                         : QUrl(url));
        if (!list.isEmpty())
            mime.setUrls(list);
        if (!text.isEmpty())
            mime.setText(text);

        // What the platform sends as the drag comes in, moves over the board and is let go.
        const QPoint at = window.board().geometry().center();
        const bool taken = !opened.isEmpty() || badFile;
        QDragEnterEvent enter(at, actions, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        QCOMPARE(enter.isAccepted(), taken);
        QDragMoveEvent move(at + QPoint(5, 5), actions, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &move);
        QCOMPARE(move.isAccepted(), taken);
        QDropEvent drop(at + QPoint(5, 5), actions, &mime, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &drop);
        QCOMPARE(drop.isAccepted(), taken);
        if (taken) // never a move, which would have the file's owner delete it
            QCOMPARE(drop.dropAction(), Qt::CopyAction);
        QCoreApplication::processEvents();

        if (badFile) {
            const QString path = data.file("notes.jpg");
            QCOMPARE(window.messages,
                     QStringList{QStringLiteral("Bad Image File|           Error Loading File ")
                                 + path + QStringLiteral("             ")});
        } else {
            QVERIFY2(window.messages.isEmpty(), qPrintable(window.messages.join(',')));
        }
        if (opened.isEmpty()) {
            QCOMPARE(game.CurrentLevel, 3);
            QCOMPARE(game.SelectedPiece, 5);
            QVERIFY(window.levelAction(3)->isChecked());
            QCOMPARE(window.clipper().Picture(), before);
            QCOMPARE(window.board().size(), boardBefore);
            QCOMPARE(window.windowTitle(), QStringLiteral("Morvane - Level 3"));
            return;
        }
        // As File > Open deals it: level 0, no check mark, the portrait upright in a window of
        // its own proportions, caption "Morvane".
        QCOMPARE(game.CurrentLevel, 0);
        QCOMPARE(game.SelectedPiece, 0);
        for (int n = 1; n <= 7; ++n)
            QVERIFY(!window.levelAction(n)->isChecked());
        QCOMPARE(cornerColours(window.clipper().Picture()), QStringLiteral("red blue grey grey"));
        QCOMPARE(window.board().size(), QSize(340, 440));
        QCOMPARE(dealtBoard(window), QRect(20, 20, 300, 400));
        QCOMPARE(window.windowTitle(), QStringLiteral("Morvane"));
        // The dropped file is the chosen name the common dialog starts on next time.
        window.setPlatformId(1);
        window.openCommand().run();
        QCOMPARE(window.dialogStartedOn, opened);
    }

    void tinyPictureIsRefusedBeforeAnythingChanges()
    {
        DataFolder data;
        TestWindow window(data.path());
        window.start();
        window.formChoice = writePicture(data.file("dot.png"), QSize(3, 3));
        window.openCommand().run();
        QCOMPARE(window.messages.size(), 1);
        QVERIFY(window.messages.first().startsWith(QStringLiteral("Bad Image File|")));
        QCOMPARE(window.game().CurrentLevel, 1);
    }
};

QTEST_MAIN(OpenTest)
#include "tst_open.moc"
