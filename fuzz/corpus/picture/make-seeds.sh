#!/usr/bin/env bash
# Writes the seed corpus of the picture fuzz target: tiny pictures in every raster format the
# game opens, a bare DIB, and pictures whose announced size must be shrunk. Needs ImageMagick.
set -euo pipefail
out="$(cd "$(dirname "$0")" && pwd)"
cd "$out"
convert -size 4x3 gradient:red-blue tiny.png
convert -size 4x3 gradient:red-blue -quality 80 tiny.jpg
convert -size 4x3 gradient:red-blue -interlace JPEG tiny-progressive.jpg
convert -size 4x3 gradient:red-blue tiny.gif
convert -size 4x3 gradient:red-blue -type TrueColor BMP3:tiny.bmp
convert -size 4x3 gradient:red-blue -colors 4 -compress RLE BMP3:tiny-rle8.bmp
# A bare device-independent bitmap: a BMP without its 14-byte file header.
tail -c +15 tiny.bmp >tiny.dib
# Larger than the loader keeps: decoded at a reduced size, or scaled down after decoding.
convert -size 3000x2 xc:green wide.png
convert -size 2x2500 xc:navy -quality 50 tall.jpg
convert -size 2200x3 xc:yellow -colors 2 wide.gif
