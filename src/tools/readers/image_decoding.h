#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// How large an image read_image takes. A decoded picture may hold up to
// 128 megapixels (512 MiB at four bytes a pixel), which covers every camera
// short of 200-megapixel phones; JPEG photos of any size fit, since they are
// decoded straight at the reduced size. Recognition then works on at most
// 16 megapixels: a 48-megapixel photo (8064 x 6048) is scaled to 58 % of its
// width, where text that a person can read at arm's length stays well above
// the 10-pixel letters Tesseract needs, in half the memory and a third less time.
namespace ImageLimits {
inline constexpr qint64 maxDecodedPixels = qint64(128) * 1024 * 1024;
inline constexpr qint64 maxRecognisedPixels = qint64(16) * 1024 * 1024;
inline constexpr int maxDecodedMegapixels = 128;
} // namespace ImageLimits

// The first image of a file, ready for text recognition: HEIC/HEIF through
// libheif, everything Qt's image plugins read (PNG, JPEG, GIF, BMP, WebP,
// TIFF, ...) through QImageReader. Orientation tags are applied, so a phone
// photo is read upright; transparent parts are put on white, where dark text
// stays readable; larger pictures are scaled down to maxRecognisedPixels.
struct DecodedImage {
    QImage image;   // null when the file cannot be decoded
    QSize tooLarge; // the picture's size when it was refused for it
};
DecodedImage decodeFirstImage(const QString& path);
