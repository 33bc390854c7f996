// Putting the pieces of a move back where the move found them when an error ends it part-way.
#pragma once

#include "components/PieceImage.h"

#include <QRectF>

#include <array>
#include <cstddef>

namespace morvane {

// Runs `move` over the pieces it moves. Should an error end the move part-way, every one of
// them goes back to the rectangle it had when the move began, so that none is left shrunk,
// narrowed or on a place it does not hold; the error then goes on to the caller. A move that
// ends normally is left entirely to itself.
template <std::size_t N, typename Move>
void putBackOnError(const std::array<PieceImage *, N> &pieces, Move &&move)
{
    std::array<QRectF, N> found;
    for (std::size_t i = 0; i < N; ++i)
        found[i] = pieces[i]->pixelGeometry();
    try {
        move();
    } catch (...) {
        for (std::size_t i = 0; i < N; ++i)
            pieces[i]->setPixelGeometry(found[i]);
        throw;
    }
}

} // namespace morvane
