// Small scene features shared by several level pictures: trees, windows, columns and arches.
#pragma once

#include <QColor>
#include <QPainter>

#include <cstdint>

namespace datagen {

// A rounded broadleaf tree crown of lumps, lit from the upper left, on a short trunk.
void drawLeafyTree(QPainter &p, double x, double baseY, double size, const QColor &leaf,
                   uint32_t seed);

// A slim cypress or poplar spire.
void drawCypress(QPainter &p, double x, double baseY, double height, const QColor &leaf);

// A conifer of stacked branch tiers.
void drawPine(QPainter &p, double x, double baseY, double height, const QColor &needles);

// A grid of windows in the rectangle, each with a frame, a pane and a lit or dark glass chosen
// by `seed`; `lit` is the share of lit windows.
void drawWindowGrid(QPainter &p, const QRectF &area, int columns, int rows, const QColor &frame,
                    const QColor &glass, const QColor &light, double lit, uint32_t seed);

// A round column with cylinder shading, base and capital.
void drawColumn(QPainter &p, const QRectF &shaft, const QColor &stone);

// A round-headed arch opening of the given width whose crown is at `top`, standing on `bottom`.
void drawArchOpening(QPainter &p, double left, double top, double width, double bottom,
                     const QColor &inside);

// A pitched roof covered in rows of tiles.
void drawTiledRoof(QPainter &p, const QPolygonF &outline, const QColor &tile, double rowHeight);

} // namespace datagen
