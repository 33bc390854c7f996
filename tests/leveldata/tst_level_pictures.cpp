// The level pictures, the banner and the icons: readable, the right size, and every tile of
// every level showing enough of its own to be placed by what it shows.
#include "LevelFiles.h"
#include "../support/BoardPictures.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QtTest>

#include <cmath>
#include <set>

using namespace leveldata;
using morvane::test::difference;

namespace {

QString generatedFile(const QString &name) { return QDir(MORVANE_GENERATED_DIR).filePath(name); }

// Reads a picture the way the game does: by content, whatever the file is called.
QImage readPicture(const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

QImage levelPicture(int level) { return readPicture(binFile(QString("Level%1.res").arg(level))); }

double luminance(QRgb p) { return 0.299 * qRed(p) + 0.587 * qGreen(p) + 0.114 * qBlue(p); }

double luminanceSpread(const QImage &image, const QRect &area)
{
    double sum = 0, squares = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const double l = luminance(image.pixel(x, y));
            sum += l;
            squares += l * l;
        }
    const double n = double(area.width()) * area.height();
    const double mean = sum / n;
    return std::sqrt(std::max(0.0, squares / n - mean * mean));
}

// A tile shrunk to 32 x 24 in colour: what a player sees of it at a glance.
QImage thumbnail(const QImage &image, const QRect &area)
{
    return image.copy(area)
        .scaled(32, 24, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

// PNG header fields: bit depth and colour type (2 = RGB, 3 = palette, 6 = RGBA).
std::pair<int, int> pngDepthAndType(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {-1, -1};
    const QByteArray head = file.read(26);
    if (head.size() < 26 || !head.startsWith("\x89PNG"))
        return {-1, -1};
    return {uchar(head[24]), uchar(head[25])};
}

} // namespace

class LevelPicturesTest : public QObject {
    Q_OBJECT

private slots:
    void picturesLoadAtTheirSize()
    {
        for (int level = 1; level <= Levels; ++level) {
            const QImage image = levelPicture(level);
            QVERIFY2(!image.isNull(), qPrintable(QString("Level%1.res").arg(level)));
            QCOMPARE(image.size(), QSize(600, 450));
            QVERIFY(!image.hasAlphaChannel());
        }
    }

    void everyTileShowsStructure()
    {
        const morvane::LevelTable table = loadLevelTable();
        for (int level = 1; level <= Levels; ++level) {
            const QImage image = levelPicture(level);
            double lowest = 1e9;
            for (const QRect &t : tileRects(table, level)) {
                const double spread = luminanceSpread(image, t);
                lowest = std::min(lowest, spread);
                QVERIFY2(spread >= 12.0, qPrintable(QString("level %1 tile at %2,%3 spread %4")
                                                        .arg(level)
                                                        .arg(t.left())
                                                        .arg(t.top())
                                                        .arg(spread)));
            }
            qInfo("level %d: lowest tile luminance spread %.1f", level, lowest);
        }
    }

    void noTwoTilesOfALevelAlike()
    {
        const morvane::LevelTable table = loadLevelTable();
        for (int level = 1; level <= Levels; ++level) {
            const QImage image = levelPicture(level);
            std::vector<QImage> thumbs;
            for (const QRect &t : tileRects(table, level))
                thumbs.push_back(thumbnail(image, t));
            double closest = 1e9;
            for (size_t i = 0; i < thumbs.size(); ++i)
                for (size_t j = i + 1; j < thumbs.size(); ++j) {
                    const double d = difference(thumbs[i], thumbs[j]);
                    closest = std::min(closest, d);
                    QVERIFY2(d >= 8.0, qPrintable(QString("level %1 tiles %2 and %3 differ by %4")
                                                      .arg(level)
                                                      .arg(i + 1)
                                                      .arg(j + 1)
                                                      .arg(d)));
                }
            qInfo("level %d: closest two tiles differ by %.1f", level, closest);
        }
    }

    void noFlatPatches()
    {
        // A flat area anywhere (a blank sky, a filled rectangle) would leave a player guessing.
        for (int level = 1; level <= Levels; ++level) {
            const QImage image = levelPicture(level);
            for (int y = 0; y + 30 <= 450; y += 15)
                for (int x = 0; x + 40 <= 600; x += 20) {
                    const double spread = luminanceSpread(image, QRect(x, y, 40, 30));
                    QVERIFY2(spread >= 3.0, qPrintable(QString("level %1 flat at %2,%3 (%4)")
                                                           .arg(level)
                                                           .arg(x)
                                                           .arg(y)
                                                           .arg(spread)));
                }
        }
    }

    void levelsShowDifferentPictures()
    {
        std::vector<QImage> small;
        for (int level = 1; level <= Levels; ++level)
            small.push_back(levelPicture(level)
                                .scaled(60, 45, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                .convertToFormat(QImage::Format_RGB32));
        for (size_t i = 0; i < small.size(); ++i)
            for (size_t j = i + 1; j < small.size(); ++j)
                QVERIFY2(difference(small[i], small[j]) > 20.0,
                         qPrintable(QString("levels %1 and %2").arg(i + 1).arg(j + 1)));
    }

    void bannerIsGoldOnPureBlack()
    {
        const QString path = generatedFile("banner.png");
        QCOMPARE(pngDepthAndType(path), std::make_pair(8, 2)); // 24 bits, no alpha
        const QImage banner = readPicture(path).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(banner.size(), QSize(147, 39));
        int gold = 0;
        for (int y = 0; y < 39; ++y)
            for (int x = 0; x < 147; ++x) {
                const QRgb p = banner.pixel(x, y) & 0xFFFFFF;
                QVERIFY2(p == 0 || p == 0xBD8403,
                         qPrintable(QString("pixel %1,%2 is %3").arg(x).arg(y).arg(p, 6, 16)));
                gold += p != 0;
                if (x == 0 || y == 0 || x == 146 || y == 38)
                    QCOMPARE(p, QRgb(0)); // the lettering keeps off the edge
            }
        QVERIFY2(gold > 147 * 39 / 8 && gold < 147 * 39 / 2, qPrintable(QString::number(gold)));
    }

    void bannerDrawnTwiceWithXorLeavesThePicture()
    {
        const QImage banner = readPicture(generatedFile("banner.png"));
        const QImage picture = levelPicture(1).convertToFormat(QImage::Format_RGB32);
        QImage canvas = picture;
        QPainter p(&canvas);
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.drawImage(QRect(100, 100, 153, 45), banner);
        const QImage once = canvas.copy();
        p.drawImage(QRect(100, 100, 153, 45), banner);
        p.end();
        QVERIFY(once != picture);
        QCOMPARE(canvas, picture);
    }

    void iconHasSixteenColoursAndDesktopSizes()
    {
        const QImage icon =
            readPicture(generatedFile("icon.png")).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(icon.size(), QSize(32, 32));
        std::set<QRgb> colours;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if (qAlpha(icon.pixel(x, y)) > 0)
                    colours.insert(icon.pixel(x, y));
        QVERIFY2(colours.size() >= 6 && colours.size() <= 16,
                 qPrintable(QString::number(colours.size())));
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const QImage sized = readPicture(
                generatedFile(QString("icons/hicolor/%1x%1/apps/morvane.png").arg(size)));
            QCOMPARE(sized.size(), QSize(size, size));
            // The motif fills the icon: its centre is opaque and not one flat colour.
            const QImage centre = sized.convertToFormat(QImage::Format_ARGB32)
                                      .copy(size / 4, size / 4, size / 2, size / 2);
            std::set<QRgb> seen;
            for (int y = 0; y < centre.height(); ++y)
                for (int x = 0; x < centre.width(); ++x) {
                    QCOMPARE(qAlpha(centre.pixel(x, y)), 255);
                    seen.insert(centre.pixel(x, y));
                }
            QVERIFY(seen.size() >= 4);
        }
    }
};

QTEST_MAIN(LevelPicturesTest)
#include "tst_level_pictures.moc"
