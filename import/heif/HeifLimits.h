// What the HEIF decoder refuses before decoding: sizes, tile counts and file sizes over these.
#pragma once

#include <cstdint>

namespace morvane::heif {

// A picture's size, as shown and as coded. Decoding an 8-bit picture costs about 7.5 bytes a
// pixel at its peak (the codec's planes, libheif's copy, the interleaved RGBA made from it:
// 353 MiB for 48 megapixels), so 120 megapixels stay within the game's memory budget of 1 GiB.
constexpr std::int64_t MaxPixels = 120'000'000;
// Deeper pictures (10 or 12 bits) take 16-bit planes and a 16-bit RGB step on the way down to
// 8 bits: about 13.5 bytes a pixel (632 MiB for 48 megapixels).
constexpr std::int64_t MaxDeepPixels = 64'000'000;
// Either side of any image in the file: libheif refuses larger ones while it reads the file.
constexpr int MaxSide = 32768;
// Tiles of the primary picture's grid. A phone writes 512 x 512 tiles, 192 of them for
// 48 megapixels; every tile costs a decoder start of its own, so thousands of one-pixel tiles
// would keep the game busy for seconds.
constexpr int MaxTiles = 1024;
// Items in the file (tiles, thumbnails, metadata), for libheif versions that can limit them.
constexpr int MaxItems = 4096;
// The file itself: a 200-megapixel photo takes a few MiB.
constexpr std::int64_t MaxFileBytes = 256 * 1024 * 1024;

} // namespace morvane::heif
