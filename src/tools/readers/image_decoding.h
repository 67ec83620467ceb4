#pragma once

#include <QImage>
#include <QString>

// The first image of a file, ready for text recognition: HEIC/HEIF through
// libheif, everything Qt's image plugins read (PNG, JPEG, GIF, BMP, WebP,
// TIFF, ...) through QImageReader. Orientation tags are applied, so a phone
// photo is read upright, and transparent parts are put on white, where dark
// text stays readable. A null image when the file cannot be decoded.
QImage decodeFirstImage(const QString& path);
