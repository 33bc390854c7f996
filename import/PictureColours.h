// A decoded picture's colours as a colour-managed viewer shows them, on white paper.
#pragma once

#include <QImage>

namespace morvane {

// The picture in sRGB, opaque: a picture that describes its colours in another space (an ICC
// profile, a wide-gamut phone photo) is converted to sRGB, the screen's space; transparent and
// half-transparent pixels are laid over white, as the picture would look printed. A picture
// that is already opaque sRGB, or says nothing of its colours, is returned as it is.
QImage shownColours(QImage image);

} // namespace morvane
