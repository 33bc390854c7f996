// Hostile metafiles through the picture loader: how long each takes and how much memory it costs.
// "write DIR" writes the files; "open FILE" opens one and prints its time and peak memory.
#include "Timing.h"
#include "import/PictureLoader.h"
#include "components/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <sys/resource.h>

#include <cstdio>
#include <utility>
#include <vector>

using namespace morvane;
using namespace morvane::bench;

namespace {

void put16(QByteArray &b, int v)
{
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}
void put32(QByteArray &b, qint64 v)
{
    for (int i = 0; i < 4; ++i)
        b.append(char((quint64(v) >> (8 * i)) & 0xFF));
}
void record(QByteArray &body, int type, const QByteArray &params)
{
    put32(body, type);
    put32(body, 8 + params.size());
    body.append(params);
}
// An EMF of `side` x `side` pixels at 96 dpi around the given records.
QByteArray emf(const QByteArray &records, int side)
{
    QByteArray body = records;
    record(body, 14, QByteArray(12, '\0'));
    const int hundredths = side * 2540 / 96;
    QByteArray out;
    for (qint64 v :
         {1, 88, 0, 0, side - 1, side - 1, 0, 0, hundredths, hundredths, 0x464D4520, 0x10000})
        put32(out, v);
    put32(out, 88 + body.size());
    put32(out, 100);
    put16(out, 8);
    put16(out, 0);
    for (qint64 v : {0, 0, 0, 960, 960, 254, 254})
        put32(out, v);
    return out + body;
}

QByteArray regionGrid()
{
    QByteArray rgn;
    const int bars = 2048;
    for (qint64 v : {32, 1, 2 * bars, 2 * bars * 16, 0, 0, 4096, 4096})
        put32(rgn, v);
    for (int i = 0; i < bars; ++i)
        for (qint64 v : {0, i * 2, 4096, i * 2 + 1})
            put32(rgn, v);
    for (int i = 0; i < bars; ++i)
        for (qint64 v : {i * 2, 0, i * 2 + 1, 4096})
            put32(rgn, v);
    QByteArray p;
    put32(p, rgn.size());
    put32(p, 5);
    QByteArray records;
    record(records, 75, p + rgn);
    QByteArray rect;
    for (qint64 v : {0, 0, 4096, 4096})
        put32(rect, v);
    record(records, 43, rect);
    return emf(records, 4096);
}

// POLYPOLYGON16 records of one-point polygons, `perRecord` each, up to about `bytes`.
QByteArray polygonFlood(int perRecord, qint64 bytes)
{
    QByteArray one;
    for (int v : {0, 0, 0, 0})
        put32(one, v);
    put32(one, perRecord);
    put32(one, perRecord);
    for (int i = 0; i < perRecord; ++i)
        put32(one, 1);
    for (int i = 0; i < perRecord; ++i) {
        put16(one, i % 500);
        put16(one, (i / 500) % 500);
    }
    QByteArray records;
    while (records.size() + one.size() + 8 < bytes)
        record(records, 91, one);
    return emf(records, 500);
}

// Long EXTTEXTOUTW records, each with its own spacing array.
QByteArray textFlood()
{
    const int chars = 16'000;
    QByteArray p;
    for (int v : {0, 0, 0, 0, 1})
        put32(p, v);
    put32(p, 0x3F800000);
    put32(p, 0x3F800000);
    const int offString = 8 + 28 + 40;
    for (qint64 v : {0, 20, chars, offString, 0, 0, 0, -1, -1, offString + chars * 2})
        put32(p, v);
    for (int i = 0; i < chars; ++i)
        put16(p, 'A' + i % 26);
    for (int i = 0; i < chars; ++i)
        put32(p, 3);
    QByteArray records;
    for (int i = 0; i < 62; ++i)
        record(records, 84, p);
    return emf(records, 800);
}

// One POLYGON16 of a million points zigzagging over the whole picture.
QByteArray pointFlood()
{
    const int count = 1'000'000;
    QByteArray p;
    for (int v : {0, 0, 0, 0})
        put32(p, v);
    put32(p, count);
    for (int i = 0; i < count; ++i) {
        put16(p, (i * 37) % 2000);
        put16(p, (i * 91) % 2000);
    }
    QByteArray records;
    record(records, 86, p);
    return emf(records, 2000);
}

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "write") {
        const QDir dir(QString::fromLocal8Bit(argv[2]));
        // Pairs made by name, not braced: clang-format 14 aligns a braced table of calls
        // differently from 19, and misreads digit separators in it.
        const std::vector<std::pair<const char *, QByteArray>> files{
            std::make_pair("region-grid.emf", regionGrid()),
            std::make_pair("polygon-flood.emf", polygonFlood(1'000'000, 32'000'000)),
            std::make_pair("polygon-flood-allowed.emf", polygonFlood(60'000, 32'000'000)),
            std::make_pair("text-flood.emf", textFlood()),
            std::make_pair("point-flood.emf", pointFlood()),
        };
        for (const auto &[name, bytes] : files) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                return 1;
            std::printf("%s %lld bytes\n", name, qlonglong(bytes.size()));
        }
        return 0;
    }
    if (argc == 3 && QByteArray(argv[1]) == "open") {
        const long before = peakKiB();
        const double start = nowMs();
        bool loaded = true;
        try {
            loadPicture(QString::fromLocal8Bit(argv[2]));
        } catch (const std::exception &) {
            loaded = false;
        }
        const double elapsed = nowMs() - start;
        std::printf("%s: %s in %.0f ms, peak memory %ld MiB (%ld MiB before)\n", argv[2],
                    loaded ? "picture" : "refused", elapsed, peakKiB() / 1024, before / 1024);
        report("hostile_open_ms", elapsed, "ms");
        report("hostile_peak_mib", double(peakKiB()) / 1024, "MiB");
        return 0;
    }
    std::fprintf(stderr, "usage: %s write DIR | open FILE\n", argv[0]);
    return 2;
}
