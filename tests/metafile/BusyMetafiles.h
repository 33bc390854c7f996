// Two small but busy metafiles, one EMF and one WMF, touching most record kinds: the base of
// the damage tests and the seeds of the metafile fuzz target.
#pragma once

#include "MetafileBuilders.h"

namespace metafiletest {

// A small but busy picture touching most record kinds, as a base for damage tests.
inline QByteArray busyEmf()
{
    EmfBuilder e;
    e.record(38, {1, 0, 3, 0, rgb(0, 0, 0)}); // CREATEPEN
    e.record(39, {2, 2, rgb(255, 0, 0), 3});  // CREATEBRUSHINDIRECT, hatched
    e.record(37, {1});
    e.record(37, {2});
    e.record(33, {});  // SAVEDC
    e.record(17, {8}); // SETMAPMODE anisotropic
    e.record(9, {100, 100});
    e.record(11, {192, 192});
    e.record(43, {10, 10, 50, 50});                 // RECTANGLE
    e.record(42, {50, 50, 90, 90});                 // ELLIPSE
    e.record(45, {0, 0, 100, 100, 100, 50, 50, 0}); // ARC
    e.record(34, {-1});                             // RESTOREDC
    e.record(59, {});                               // BEGINPATH
    e.record(27, {10, 150});                        // MOVETOEX
    e.record(54, {100, 180});                       // LINETO
    e.record(54, {180, 150});
    e.record(60, {});           // ENDPATH
    e.record(63, {0, 0, 0, 0}); // STROKEANDFILLPATH
    e.font(3, -20, QStringLiteral("DejaVu Sans"));
    e.record(37, {3});
    e.textW(10, 100, QStringLiteral("Morvane"));
    QByteArray poly;
    for (int v : {0, 0, 0, 0, 3})
        put32(poly, v);
    for (int v : {10, 10, 100, 20, 50, 90})
        put16(poly, v);
    e.raw(86, poly); // POLYGON16
    return e.build();
}

inline QByteArray busyWmf()
{
    WmfBuilder w;
    w.createPen(0, 2, rgb(0, 0, 0));
    w.createBrush(0, rgb(0, 128, 255));
    w.createFont(-20, "DejaVu Sans");
    w.record(0x012D, {0});
    w.record(0x012D, {1});
    w.record(0x012D, {2});
    w.record(0x020B, {0, 0});
    w.record(0x020C, {400, 400});
    w.record(0x041B, {100, 100, 10, 10});
    w.record(0x0418, {300, 300, 150, 150});
    w.record(0x0817, {0, 200, 200, 400, 400, 400, 0, 0});
    w.record(0x0324, {3, 10, 10, 200, 50, 100, 300});
    QByteArray text;
    put16(text, 4);
    text.append("Game");
    put16(text, 300);
    put16(text, 20);
    w.raw(0x0521, text);
    return w.build(QRect(0, 0, 200, 200));
}

} // namespace metafiletest
