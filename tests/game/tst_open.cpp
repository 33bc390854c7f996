// Opening an own picture: the window size rules, level 0 from a template, the open command's
// paths (form, dialog, cancel, bad file, a dropped file), and the picture loader on broken,
// huge and turned files.
#include "../support/GameFixture.h"
#include "../support/OrientedPictures.h"
#include "../support/TestData.h"
#include "../metafile/MetafileBuilders.h"
#include "GreedyImagePlugin.h"

#include "components/BoardArea.h"
#include "components/PictureClip.h"
#include "components/RuntimeError.h"
#include "import/OwnLevel.h"
#include "import/PictureLoader.h"

#include <QAction>
#include <QBuffer>
#include <QColorSpace>
#include <QDialog>
#include <QDirIterator>
#include <QDropEvent>
#include <QImageWriter>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QtPlugin>

#include <sys/stat.h>

#include <array>
#include <cmath>

Q_IMPORT_PLUGIN(GreedyImagePlugin)

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

// Tile `place` of `level` as the text record of Levels.res holds it, read here without the
// game's reader: records of 34 bytes, 18 to a level, the fields at fixed columns.
struct TileRecord {
    int top, right, bottom, left, start;
    char axis;
    bool mirrored;
    int links[4]{}; // top, right, bottom, left
};

TileRecord tileRecord(const QByteArray &levels, int level, int place)
{
    const QByteArray r = levels.mid(((level - 1) * 18 + place - 1) * 34, 34);
    auto field = [&](int at, int width) { return r.mid(at, width).trimmed().toInt(); };
    TileRecord t{field(0, 4),  field(4, 4), field(8, 4),      field(12, 4),
                 field(16, 2), r.at(18),    field(19, 1) == 1};
    for (int k = 0; k < 4; ++k)
        t.links[k] = field(20 + 3 * k, 3);
    return t;
}

// A length of the 600 x 450 layout on a picture `factor` times as large (a half, the same or
// twice), in whole pixels: half of an odd length ends in .5, which goes to the even neighbour
// (5 -> 2, 7 -> 4).
int scaled(int length, double factor)
{
    if (factor == 0.5)
        return length % 4 == 3 ? length / 2 + 1 : length / 2;
    return int(length * factor);
}

// An sRGB-encoded colour of the Display P3 space as sRGB shows it: both spaces share the sRGB
// curve and the D65 white; the matrix takes linear P3 to linear sRGB.
QRgb p3InSrgb(QRgb p3)
{
    auto linear = [](int v) {
        const double c = v / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    auto encoded = [](double c) {
        c = std::clamp(c, 0.0, 1.0);
        c = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
        return int(std::lround(c * 255));
    };
    const double r = linear(qRed(p3)), g = linear(qGreen(p3)), b = linear(qBlue(p3));
    return qRgb(encoded(1.2249401 * r - 0.2249404 * g), encoded(-0.0420569 * r + 1.0420571 * g),
                encoded(-0.0196376 * r - 0.0786361 * g + 1.0982735 * b));
}

// An enhanced metafile whose one drawing record is an EMF+ rectangle in a comment.
QByteArray emfPlusOnly()
{
    using namespace metafiletest;
    QByteArray plus;
    put32(plus, 32);         // the comment's data: the signature and one EMF+ record
    put32(plus, 0x2B464D45); // "EMF+"
    put32(plus, 0x400A);     // EmfPlusFillRects
    put32(plus, 28);
    put32(plus, 16);
    put32(plus, 0xFFFF0000); // solid red
    put32(plus, 1);
    for (int v : {10, 10, 100, 100})
        put16(plus, v);
    EmfBuilder emf;
    emf.raw(70, plus);
    return emf.build();
}

// The things a bad file is made of.
enum class Made { Nothing, Bytes, Pipe, Picture, EmfPlusOnly };

} // namespace

Q_DECLARE_METATYPE(Made)

class OpenTest : public QObject {
    Q_OBJECT

private slots:
    // The codec libraries cost the game nothing until a picture of theirs is read: neither the
    // start nor any other picture opens them, not even to tell what a file is. First of all the
    // tests, before any of them has read a HEIF or JPEG XL picture.
    void codecLibrariesOpenOnlyForTheirPictures()
    {
        auto mapped = [](const char *library) {
            QFile maps(QStringLiteral("/proc/self/maps"));
            return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(library);
        };
        DataFolder data;
        TestWindow window(data.path());
        window.start();
        window.game().LevelCommand(2);
        window.formChoice = writePicture(data.file("photo.jpg"), QSize(400, 300), "JPEG");
        window.openCommand().run();
        QCOMPARE(window.game().CurrentLevel, 0);
        QVERIFY(!mapped("libheif"));
        QVERIFY(!mapped("libjxl"));
        window.formChoice = testDataFolder(QStringLiteral("heif/libavif-paris_icc_exif_xmp.avif"));
        window.openCommand().run();
        QVERIFY2(window.messages.isEmpty(), qPrintable(window.messages.join(',')));
        QVERIFY(mapped("libheif"));
        QVERIFY(!mapped("libjxl"));
        window.formChoice = testDataFolder(QStringLiteral("jxl/conformance-bicycles.jxl"));
        window.openCommand().run();
        QVERIFY2(window.messages.isEmpty(), qPrintable(window.messages.join(',')));
        QVERIFY(mapped("libjxl"));
    }

    void windowSizeRules_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("screen"); // twips
        QTest::addColumn<QSize>("window"); // twips; invalid when the picture is refused
        const QSize large(1920 * 15, 1080 * 15);
        QTest::newRow("600 x 450: the start-up size")
            << QSize(600, 450) << large << QSize(9720, 8040);
        // 2220 x 2790: raised to 3000 wide (2790 x 3000 / 2220 - 800 = 2970 high), then to
        // 3000 high (3000 x 3000 / 2970 = 3030.3 wide).
        QTest::newRow("100 x 100: raised to 3000 a side")
            << QSize(100, 100) << large << QSize(3030, 3000);
        QTest::newRow("152 wide: 3000 already, not raised")
            << QSize(152, 450) << large << QSize(3000, 8040);
        // 30720 x 8790 on a screen 12000 wide: 8790 x 12000 / 30720 = 3433.6 high.
        QTest::newRow("too wide: the screen's width")
            << QSize(2000, 500) << QSize(12000, 20000) << QSize(12000, 3434);
        // 8220 x 31290 on a screen 12400 high: 8220 x 12000 / 31290 = 3152.5 wide, halves to even.
        QTest::newRow("too tall: the screen's height less 400")
            << QSize(500, 2000) << QSize(30000, 12400) << QSize(3152, 12000);
        // 8220 x 8040 on a screen 8400 high: 40 over 8000, so 8220 x 8000 / 8040 = 8179.1 wide.
        QTest::newRow("just too tall: the screen's height less 400")
            << QSize(500, 450) << QSize(30000, 8400) << QSize(8179, 8000);
        QTest::newRow("the largest picture")
            << QSize(2136, 2098) << QSize(32760, 33160) << QSize(32760, 32760);
        QTest::newRow("a pixel too wide for 16 bits")
            << QSize(2137, 100) << QSize(99999, 99999) << QSize();
        QTest::newRow("a pixel too tall for 16 bits")
            << QSize(100, 2099) << QSize(99999, 99999) << QSize();
    }
    void windowSizeRules()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, screen);
        QFETCH(QSize, window);
        if (!window.isValid()) {
            QVERIFY_THROWS_EXCEPTION(RuntimeError,
                                     ownPictureWindowTwips(picture.width(), picture.height(),
                                                           screen.width(), screen.height()));
            return;
        }
        QCOMPARE(ownPictureWindowTwips(picture.width(), picture.height(), screen.width(),
                                       screen.height()),
                 window);
    }

    void ownLevelFollowsItsTemplate_data()
    {
        QTest::addColumn<float>("templateDraw");
        QTest::addColumn<float>("shuffleDraw"); // every draw of the shuffle
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("turnedOn"); // the arrangement turned one place on
        const float largest = std::nextafter(1.0f, 0.0f);
        // A draw of 0 swaps place j with place 1 at every step: place 1 ends with the last
        // place's tile, and every other place with the tile of the place before it.
        QTest::newRow("draw 0: level 1, at its own size")
            << 0.0f << 0.0f << QSize(600, 450) << 1 << true;
        QTest::newRow("draw 0.5: level 4, half as wide, twice as tall")
            << 0.5f << 0.0f << QSize(300, 900) << 4 << true;
        // The largest draw times j, plus one, rounds up to j + 1 in single precision for some j:
        // each place is still swapped with itself.
        QTest::newRow("largest draw: level 7, twice as wide, half as tall")
            << largest << largest << QSize(1200, 225) << 7 << false;
    }
    void ownLevelFollowsItsTemplate()
    {
        QFETCH(float, templateDraw);
        QFETCH(float, shuffleDraw);
        QFETCH(QSize, picture);
        QFETCH(int, level);
        QFETCH(bool, turnedOn);
        DataFolder data;
        QFile file(data.file("Levels.res"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray levels = file.readAll();
        ScriptedRandom random;
        TestWindow window(data.path(), &random);
        window.start();
        Game &game = window.game();
        const LevelTable before = game.LevelTable;
        random.script = {templateDraw};
        random.script.insert(random.script.end(), 18, shuffleDraw);
        window.formChoice = writePicture(data.file("mine.png"), picture);
        window.openCommand().run();
        QVERIFY2(window.messages.isEmpty(), qPrintable(window.messages.join(',')));
        QCOMPARE(game.CurrentLevel, 0);

        const double across = picture.width() / 600.0, down = picture.height() / 450.0;
        for (int j = 1; j <= 18; ++j) {
            const TileRecord t = tileRecord(levels, level, j);
            const PieceRecord &R = game.LevelTable(0, j);
            const QString at = QStringLiteral("place %1").arg(j);
            QVERIFY2(int(R.SrcLeft) == scaled(t.left, across), qPrintable(at));
            QVERIFY2(int(R.SrcWidth) == scaled(t.right - t.left, across), qPrintable(at));
            QVERIFY2(int(R.SrcTop) == scaled(t.top, down), qPrintable(at));
            QVERIFY2(int(R.SrcHeight) == scaled(t.bottom - t.top, down), qPrintable(at));
            QCOMPARE(int(R.StartContent), t.start);
            QCOMPARE(R.FlipAxis, t.axis);
            QCOMPARE(R.Flipped, int16_t(t.mirrored ? -1 : 0));
            QCOMPARE(int(R.TopLink), t.links[0]);
            QCOMPARE(int(R.RightLink), t.links[1]);
            QCOMPARE(int(R.BottomLink), t.links[2]);
            QCOMPARE(int(R.LeftLink), t.links[3]);
            const int from = !turnedOn ? j : j == 1 ? 18 : j - 1;
            QCOMPARE(int(R.Content), tileRecord(levels, level, from).start);
            QVERIFY(!window.piece(j).Picture().isNull());
        }
        // The seven levels are only read.
        for (int n = 1; n <= 7; ++n)
            for (int j = 1; j <= 18; ++j)
                QVERIFY(game.LevelTable(n, j) == before(n, j));
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
        window.resetCounts();
        window.openCommand().run();
        QCOMPARE(random.reseeds, 1);
        QCOMPARE(game.CurrentLevel, 0);
        QCOMPARE(window.windowTitle(), QStringLiteral("Morvane"));
        for (int n = 1; n <= 7; ++n)
            QVERIFY(!window.levelAction(n)->isChecked());
        QCOMPARE(window.clipper().ImageWidth(), int16_t(400));
        QVERIFY(isPermutation(contents(game, 0)));
        QCOMPARE(game.SelectedPiece, 0);
        QCOMPARE(window.pauses, 0); // no entry animation
        // The window fits the picture: 400 x 300 plus the margins.
        QCOMPARE(window.board().size(), QSize(440, 340));
        QCOMPARE(window.board().scaleMode(), BoardArea::ScaleMode::Pixels);
        QCOMPARE(dealtBoard(window), QRect(20, 20, 400, 300));

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

    // Every file the command cannot open, by the one path of File > Open: the loader's error,
    // then the message with the name as chosen, and the game as it was.
    void badFileLeavesTheGameAsItWas_data()
    {
        QTest::addColumn<QString>("path"); // "@" stands for the data folder
        QTest::addColumn<Made>("made");
        QTest::addColumn<QSize>("picture");   // of Made::Picture
        QTest::addColumn<int>("loaderError"); // 0: the loader reads it, the command refuses it
        const int invalid = int(ErrorNumber::InvalidPicture);
        QTest::newRow("bytes named as a picture")
            << "@/junk.gif" << Made::Bytes << QSize() << invalid;
        QTest::newRow("angle brackets in the name")
            << "@/<h1>x.jpg" << Made::Bytes << QSize() << invalid;
        QTest::newRow("a file that is not there")
            << "@/missing.bmp" << Made::Nothing << QSize() << int(ErrorNumber::FileNotFound);
        QTest::newRow("a folder") << "@" << Made::Nothing << QSize() << invalid;
        QTest::newRow("a device without end") << "/dev/zero" << Made::Nothing << QSize() << invalid;
        // Nobody writes to it: an open that waited would wait for ever.
        QTest::newRow("a named pipe") << "@/waiting.jpg" << Made::Pipe << QSize() << invalid;
        // GDI+ can write a metafile with no EMF drawing beside its EMF+ records, which the game
        // does not draw: refused, where it would be dealt as a blank white board.
        QTest::newRow("a metafile drawn only in EMF+")
            << "@/chart.emf" << Made::EmfPlusOnly << QSize() << invalid;
        QTest::newRow("15 wide: too narrow to cut")
            << "@/narrow.png" << Made::Picture << QSize(15, 40) << 0;
        QTest::newRow("15 high: too low to cut")
            << "@/low.png" << Made::Picture << QSize(40, 15) << 0;
    }
    void badFileLeavesTheGameAsItWas()
    {
        QFETCH(QString, path);
        QFETCH(Made, made);
        QFETCH(QSize, picture);
        QFETCH(int, loaderError);
        DataFolder data;
        path.replace(QLatin1Char('@'), data.path());
        if (made == Made::Bytes)
            writeBytes(path, "GIF89a this is not a picture");
        else if (made == Made::Pipe)
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (made == Made::Picture)
            writePicture(path, picture);
        else if (made == Made::EmfPlusOnly)
            writeBytes(path, emfPlusOnly());
        try {
            const QImage loaded = loadPicture(path);
            QCOMPARE(loaderError, 0);
            QCOMPARE(loaded.size(), picture);
        } catch (const RuntimeError &error) {
            QCOMPARE(int(error.number()), loaderError);
        }

        TestWindow window(data.path());
        window.start();
        Game &game = window.game();
        game.LevelCommand(5);
        game.Click(6);
        const QImage shown = window.clipper().Picture();
        const std::vector<uint8_t> before = contents(game, 5);
        const QSize board = window.board().size();
        window.formChoice = path;
        window.openCommand().run();
        QCOMPARE(window.messages,
                 QStringList{QStringLiteral("Bad Image File|           Error Loading File ") + path
                             + QStringLiteral("             ")});
        QCOMPARE(game.CurrentLevel, 5);
        QCOMPARE(game.SelectedPiece, 6);
        QVERIFY(window.levelAction(5)->isChecked());
        QCOMPARE(window.clipper().Picture(), shown);
        QCOMPARE(contents(game, 5), before);
        QCOMPARE(window.board().size(), board);
        QCOMPARE(window.windowTitle(), QStringLiteral("Morvane - Level 5"));
    }

    void smallestPictureThatCanBeCutOpens()
    {
        DataFolder data;
        TestWindow window(data.path());
        window.start();
        window.formChoice = writePicture(data.file("dot.png"), QSize(16, 16));
        window.openCommand().run();
        QVERIFY2(window.messages.isEmpty(), qPrintable(window.messages.join(',')));
        QCOMPARE(window.game().CurrentLevel, 0);
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
        const QRect united = dealtBoard(window);
        QVERIFY(united.width() > window.board().width() * 0.9);
        QVERIFY(united.right() < window.board().width());
    }

    void largePicturesAreShrunkToTheLimits_data()
    {
        QTest::addColumn<QSize>("stored");
        QTest::addColumn<QSize>("loaded");
        QTest::newRow("at both limits: as it is") << QSize(2136, 2098) << QSize(2136, 2098);
        // 1000 x 2136 / 2137 = 999.5: whole pixels, rounded down.
        QTest::newRow("a pixel too wide") << QSize(2137, 1000) << QSize(2136, 999);
        QTest::newRow("a pixel too tall") << QSize(1000, 2099) << QSize(999, 2098);
        // The width limits it (2136 / 4000 < 2098 / 3000): 3000 x 0.534 = 1602.
        QTest::newRow("4000 x 3000") << QSize(4000, 3000) << QSize(2136, 1602);
        QTest::newRow("a line: at least a pixel high") << QSize(100000, 1) << QSize(2136, 1);
    }
    void largePicturesAreShrunkToTheLimits()
    {
        QFETCH(QSize, stored);
        QFETCH(QSize, loaded);
        QCOMPARE(fittedPictureSize(stored), loaded);
    }

    void loaderReadsByContent()
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

        // A regular file is read whole, and only as far as it goes.
        const QByteArray bytes(12345, 'x');
        QCOMPARE(readPictureFile(writeBytes(dir.filePath("bytes.bin"), bytes)), bytes);
    }

    // Every format the game reads is recognised by its content whatever its name, and read by
    // the game's own decoder or Qt's: never by another plugin on the machine that claims the
    // same format (here one that claims everything and answers with a magenta square).
    void eachFormatIsReadByItsOwnDecoder_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        auto written = [](const char *format) {
            QImage image(40, 30, QImage::Format_RGB32);
            image.fill(qRgb(20, 160, 90));
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            QImageWriter writer(&buffer, format);
            writer.write(image);
            return buffer.data();
        };
        for (const char *format : {"PNG", "JPEG", "BMP", "PPM", "PGM", "PBM", "XPM", "XBM", "ICO",
                                   "TIFF", "WEBP", "WBMP"})
            QTest::newRow(format) << written(format) << QSize(40, 30);
        metafiletest::EmfBuilder emf;
        emf.record(43, {40, 40, 80, 80}); // a rectangle
        QTest::newRow("EMF") << emf.build() << QSize(192, 192);
        QTest::newRow("HEIC") << readPictureFile(testDataFolder("heif/pillow-heif-arrow.heic"))
                              << QSize(1573, 2098);
        QTest::newRow("AVIF") << readPictureFile(
            testDataFolder("heif/libavif-paris_icc_exif_xmp.avif"))
                              << QSize(403, 302);
        QTest::newRow("JPEG XL") << readPictureFile(testDataFolder("jxl/conformance-bicycles.jxl"))
                                 << QSize(1024, 631);
    }
    void eachFormatIsReadByItsOwnDecoder()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QVERIFY(!bytes.isEmpty());
        QTemporaryDir dir;
        const QImage loaded = loadPicture(writeBytes(dir.filePath("picture.res"), bytes));
        QCOMPARE(loaded.size(), size);
        QVERIFY(loaded.pixel(size.width() / 2, size.height() / 2) != qRgb(255, 0, 255));
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
        QVERIFY(window.board().rect().contains(dealtBoard(window)));
    }

    void badFileMessageShowsTheNameAsPlainText()
    {
        DataFolder data;
        TestWindow window(data.path());
        window.start();
        const QString text =
            QStringLiteral("           Error Loading File /tmp/<h1>x.jpg             ");
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

    // A photo's colours as a colour-managed viewer shows them: one that carries a Display P3
    // profile is cut in sRGB; one without a profile is taken as sRGB, as it always was. The
    // expected colours are worked out here from the two spaces' published definitions.
    void profiledPhotosAreCutInSrgb_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<bool>("profiled");
        QTest::addColumn<int>("tolerance");
        QTest::newRow("PNG in Display P3") << QByteArray("PNG") << true << 2;
        QTest::newRow("JPEG in Display P3") << QByteArray("JPEG") << true << 4;
        QTest::newRow("TIFF in Display P3") << QByteArray("TIFF") << true << 2;
        QTest::newRow("PNG without a profile") << QByteArray("PNG") << false << 2;
    }
    void profiledPhotosAreCutInSrgb()
    {
        QFETCH(QByteArray, format);
        QFETCH(bool, profiled);
        QFETCH(int, tolerance);
        // Four blocks, each a colour that sRGB can show but that differs from its P3 numbers.
        const std::array<QRgb, 4> stored = {qRgb(204, 128, 76), qRgb(153, 191, 128),
                                            qRgb(230, 204, 102), qRgb(89, 115, 217)};
        QImage picture(400, 300, QImage::Format_RGB32);
        QPainter painter(&picture);
        for (int k = 0; k < 4; ++k)
            painter.fillRect(QRect(k % 2 * 200, k / 2 * 150, 200, 150), QColor(stored[size_t(k)]));
        painter.end();
        if (profiled)
            picture.setColorSpace(QColorSpace(QColorSpace::DisplayP3));
        DataFolder data;
        QImageWriter writer(data.file("photo"), format);
        writer.setQuality(100);
        QVERIFY2(writer.write(picture), qPrintable(writer.errorString()));
        TestWindow window(data.path());
        window.start();
        window.formChoice = data.file("photo");
        window.openCommand().run();
        QVERIFY2(window.messages.isEmpty(), qPrintable(window.messages.join(',')));
        const QImage cut = window.clipper().Picture();
        QCOMPARE(cut.size(), QSize(400, 300));
        for (int k = 0; k < 4; ++k) {
            const QRgb expected = profiled ? p3InSrgb(stored[size_t(k)]) : stored[size_t(k)];
            const QRgb seen = cut.pixel(k % 2 * 200 + 100, k / 2 * 150 + 75);
            QVERIFY2(std::abs(qRed(seen) - qRed(expected)) <= tolerance
                         && std::abs(qGreen(seen) - qGreen(expected)) <= tolerance
                         && std::abs(qBlue(seen) - qBlue(expected)) <= tolerance,
                     qPrintable(QStringLiteral("block %1: %2, expected %3")
                                    .arg(k)
                                    .arg(QColor(seen).name(), QColor(expected).name())));
        }
    }

    // Transparency is shown over white, as the picture would look printed, never black: in the
    // picture the pieces are cut from and so in the finished picture too.
    void transparencyIsLaidOverWhite_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("PNG logo") << QByteArray("PNG");
        QTest::newRow("WebP, lossless") << QByteArray("WEBP");
        QTest::newRow("TIFF with alpha") << QByteArray("TIFF");
    }
    void transparencyIsLaidOverWhite()
    {
        QFETCH(QByteArray, format);
        QImage logo(400, 300, QImage::Format_ARGB32);
        logo.fill(Qt::transparent);
        QPainter painter(&logo);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(QRect(0, 0, 200, 300), QColor(0, 0, 255));        // opaque blue
        painter.fillRect(QRect(200, 0, 200, 150), QColor(255, 0, 0, 128)); // half-clear red
        painter.end();
        DataFolder data;
        QImageWriter writer(data.file("logo"), format);
        writer.setQuality(100); // lossless WebP
        QVERIFY2(writer.write(logo), qPrintable(writer.errorString()));
        TestWindow window(data.path());
        window.start();
        window.formChoice = data.file("logo");
        window.openCommand().run();
        QVERIFY2(window.messages.isEmpty(), qPrintable(window.messages.join(',')));
        const QImage cut = window.clipper().Picture();
        QVERIFY(!cut.hasAlphaChannel());
        auto near = [](QRgb a, QRgb b) {
            return std::abs(qRed(a) - qRed(b)) <= 2 && std::abs(qGreen(a) - qGreen(b)) <= 2
                   && std::abs(qBlue(a) - qBlue(b)) <= 2;
        };
        QVERIFY(near(cut.pixel(100, 150), qRgb(0, 0, 255)));
        QVERIFY(near(cut.pixel(300, 75), qRgb(255, 127, 127)));
        QVERIFY(near(cut.pixel(300, 225), qRgb(255, 255, 255)));
    }

    // The photos of today's phones and the web, each with a turn of its own, open upright by
    // every way in (the form, the common dialog and a drop) and play to the finished picture.
    void todaysPhotosOpenUprightEveryWay_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("shown"); // upright, and shrunk to what the board holds
        QTest::addColumn<QString>("way");
        // The iPhone HEIC is stored 4032 x 3024 as 48 tiles, turned a quarter by its irot box.
        const struct {
            const char *name, *file;
            QSize shown;
        } photos[] = {
            {"iPhone HEIC",            "heif/pillow-heif-arrow.heic",                 {1573, 2098}},
            {"AVIF, irot",             "heif/libavif-abc_color_irot_alpha_irot.avif", {256, 512}  },
            {"JPEG XL, orientation 5", "jxl/conformance-bench_oriented_brg.jxl",      {606, 500}  },
            {"JPEG XL, orientation 7", "jxl/conformance-sunset_logo.jxl",             {924, 1386} },
        };
        for (const auto &photo : photos)
            for (const char *way : {"form", "dialog", "drop"})
                QTest::addRow("%s by %s", photo.name, way)
                    << testDataFolder(QLatin1String(photo.file)) << photo.shown
                    << QString::fromLatin1(way);
    }
    void todaysPhotosOpenUprightEveryWay()
    {
        QFETCH(QString, file);
        QFETCH(QSize, shown);
        QFETCH(QString, way);
        DataFolder data;
        TestWindow window(data.path());
        window.start();
        if (way == QLatin1String("form")) {
            window.formChoice = file;
            window.openCommand().run();
        } else if (way == QLatin1String("dialog")) {
            window.setPlatformId(1);
            window.dialogAccepts = true;
            window.dialogChoice = file;
            window.openCommand().run();
        } else {
            QMimeData mime;
            mime.setUrls({QUrl::fromLocalFile(file)});
            const QPoint at = window.board().geometry().center();
            QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&window, &enter);
            QDropEvent drop(at, Qt::CopyAction, &mime, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(&window, &drop);
            QVERIFY(drop.isAccepted());
            QCoreApplication::processEvents(); // the drop opens once its event is over
        }
        QVERIFY2(window.messages.isEmpty(), qPrintable(window.messages.join(',')));
        QCOMPARE(window.game().CurrentLevel, 0);
        QCOMPARE(window.clipper().Picture().size(), shown);
        QCOMPARE(window.clipper().Picture().hasAlphaChannel(), false);
        // And it plays to its finished picture.
        solveGame(window);
        QVERIFY(window.game().PuzzleSolved);
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
};

QTEST_MAIN(OpenTest)
#include "tst_open.moc"
