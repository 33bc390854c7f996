// Every file of the metafile test corpus renders non-blank at its natural proportions; the damaged
// ones render what they can and say so.
#include "PixelChecks.h"
#include "tests/support/TestData.h"

#include "import/metafile/MetafileReader.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <QtTest>

#include <cmath>
#include <optional>

using namespace metafiletest;
namespace mf = morvane::metafile;

namespace {

const QString corpusDir = morvane::test::testDataFolder(QStringLiteral("metafiles"));

// Files the corpus notes describe as malformed.
const QStringList malformed = {QStringLiteral("poi-61338.wmf"), QStringLiteral("poi-61294.emf")};

// Fills its polygons with its only brush, which is white: white on white. Recoloured to black by
// patching that CREATEBRUSHINDIRECT record, its polygons must show.
const QString whiteOnWhite = QStringLiteral("poi-empty-polygon-close.wmf");
const QByteArray whiteBrush("\x07\0\0\0\xFC\x02\0\0\xFF\xFF\xFF\0", 12);
const QByteArray blackBrush("\x07\0\0\0\xFC\x02\0\0\0\0\0\0", 12);

// The picture's width / height as its header states it, read here independently of the reader:
// the placeable bounding box or the EMF frame. None for standard WMFs, which state no size.
std::optional<double> statedRatio(const QByteArray &data)
{
    auto i16 = [&](int at) { return double(qFromLittleEndian<qint16>(data.constData() + at)); };
    auto i32 = [&](int at) { return double(qFromLittleEndian<qint32>(data.constData() + at)); };
    if (data.size() >= 22 && qFromLittleEndian<quint32>(data.constData()) == 0x9AC6CDD7u) {
        const double w = std::abs(i16(10) - i16(6)), h = std::abs(i16(12) - i16(8));
        return w > 0 && h > 0 ? std::optional(w / h) : std::nullopt;
    }
    if (data.size() >= 88 && qFromLittleEndian<quint32>(data.constData()) == 1u) {
        const double w = i32(32) - i32(24), h = i32(36) - i32(28);
        return w > 0 && h > 0 ? std::optional(w / h) : std::nullopt;
    }
    return std::nullopt;
}

} // namespace

class MetafileCorpusTest : public QObject {
    Q_OBJECT

private slots:
    // The corpus and its list of sources agree: every file listed is there, and nothing is
    // there without its origin and licence.
    void corpusMatchesItsSources()
    {
        const QStringList present = morvane::test::filesPresent(corpusDir);
        QVERIFY(!present.isEmpty());
        QCOMPARE(present, morvane::test::filesListedInSources(corpusDir));
        for (const QString &name : malformed)
            QVERIFY2(present.contains(name), qPrintable(name));
    }

    void renders_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString &name :
             QDir(corpusDir).entryList({"*.wmf", "*.emf"}, QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(name)) << name;
    }
    void renders()
    {
        QFETCH(QString, name);
        QFile file(corpusDir + QLatin1Char('/') + name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray data = file.readAll();
        if (name == whiteOnWhite) {
            QCOMPARE(inkIn(mf::render(data).image, QRect(0, 0, 100000, 100000)), 0);
            QCOMPARE(data.count(whiteBrush), 1);
            data.replace(whiteBrush, blackBrush);
        }
        QVERIFY(mf::detect(data.left(64)) != mf::Kind::None);

        // What is checked here is the picture, not the reader's speed: the time allowance is
        // generous, so that a slow sanitizer build on a busy machine draws the same picture.
        mf::Allowance generous;
        generous.milliseconds = 60'000;
        const mf::RenderResult r = mf::render(data, QSize(2136, 2098), generous);
        if (const QByteArray dump = qgetenv("MORVANE_METAFILE_DUMP");
            !dump.isEmpty() && !r.image.isNull())
            r.image.save(QString::fromLocal8Bit(dump) + QLatin1Char('/') + name
                         + QLatin1String(".png"));

        // A malformed file shows what could be read, and says that it is damaged.
        QVERIFY2(!r.image.isNull(), qPrintable(r.error));
        QCOMPARE(r.warning.isEmpty(), !malformed.contains(name));
        QVERIFY(r.image.width() <= 2136 && r.image.height() <= 2098);
        QVERIFY(r.image.width() >= 16 && r.image.height() >= 16);

        if (const auto ratio = statedRatio(data)) {
            const double got = double(r.image.width()) / r.image.height();
            // Rounding to whole pixels allows a pixel's worth of difference on the shorter side.
            const double slack =
                1.5 / std::min(r.image.width(), r.image.height()) * std::max(got, 1.0);
            QVERIFY2(
                std::abs(got - *ratio) <= std::max(0.01 * *ratio, slack),
                qPrintable(QStringLiteral("width:height %1, header says %2").arg(got).arg(*ratio)));
        }

        if (malformed.contains(name))
            return; // what could be read may be blank
        const int ink = inkIn(r.image, r.image.rect());
        // Not blank: a real share of the picture carries ink, not a stray pixel or two.
        const qint64 area = qint64(r.image.width()) * r.image.height();
        QVERIFY2(ink >= std::max<qint64>(50, area / 2000),
                 qPrintable(QStringLiteral("%1 inked pixels of %2").arg(ink).arg(area)));
    }
};

QTEST_MAIN(MetafileCorpusTest)
#include "tst_metafile_corpus.moc"
