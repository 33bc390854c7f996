// Which decoder reads a picture: recognised by content, the same decoder whatever is installed.
#pragma once

#include <QByteArray>

class QIODevice;

namespace morvane {

// The format key that reads the picture on `device`, judged from its content alone, or an empty
// key for no picture the game reads. The device is peeked at, never consumed. Our own decoders
// (metafiles, HEIF and AVIF, JPEG XL) answer under keys of their own, so that another image
// plugin on the machine for the same format can never take their place.
QByteArray pictureFormatOf(QIODevice &device);

} // namespace morvane
