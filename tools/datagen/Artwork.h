// The pictures the generator paints: the seven level scenes, the banner and the icon.
#pragma once

#include <QImage>

namespace datagen {

// The 600 x 450 picture of `level` (1..7).
QImage paintLevelPicture(int level);

// "All Right" in golden-brown on pure black, 147 x 39, 24 bits per pixel.
QImage paintBanner();

// The puzzle icon at `size` x `size`; 32 gives the 16-colour icon.
QImage paintIcon(int size);

// The icon reduced to at most 16 colours, as a palette image.
QImage sixteenColourIcon();

} // namespace datagen
