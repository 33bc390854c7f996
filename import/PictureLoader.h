// The one picture loader of the game: level pictures and the player's own pictures alike.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class QIODevice;

namespace morvane {

// The largest picture the board's 16-bit window arithmetic can hold (its margins included);
// larger pictures are shrunk to fit, keeping their proportions.
constexpr int MaxPictureWidth = 2136;
constexpr int MaxPictureHeight = 2098;
// Files larger than this are not read at all.
constexpr qint64 MaxPictureFileBytes = qint64(256) << 20;
// The most memory one decoded picture may take, in MiB: a guard against decompression bombs.
constexpr int PictureAllocationLimitMiB = 256;

// An own picture is turned upright as its orientation tag says and shrunk to what the board
// can hold; a level picture is used as it is stored, since its level's table cuts it in that
// picture's pixels.
enum class PictureUse { Own, Level };

// Loads the picture in the file at `path`, recognised by its content whatever its name (a
// ".dib" file is read as a bare device-independent bitmap). Raises RuntimeError
// FileNotFound for a missing file and InvalidPicture for anything that yields no picture:
// a folder, a device or pipe, an unreadable or unsupported file.
// The file is opened without blocking and read only if it is a regular file, to its size, and
// decoded straight from the file by the one decoder its content names (see PictureFormats.h).
// An own picture comes back in sRGB and opaque, its transparency laid over white.
QImage loadPicture(const QString &path, PictureUse use = PictureUse::Own);
QImage loadLevelPicture(const QString &path);

// The bytes of a regular file, read as loadPicture reads them; raises RuntimeError as it does.
QByteArray readPictureFile(const QString &path);

// Decodes a picture from bytes, as loadPicture decodes a file's contents.
// `dibHint` asks for a bare device-independent bitmap to be tried first.
QImage decodePicture(const QByteArray &bytes, bool dibHint = false,
                     PictureUse use = PictureUse::Own);

// The size a picture of `size` is decoded at: shrunk to the limits, proportions kept.
QSize fittedPictureSize(QSize size);

} // namespace morvane
