#pragma once
#include <QByteArrayView>
#include <QImage>
#include <QSize>

// Cameras and phones store a picture the way the sensor was held and say in the Exif block how
// to turn it: 1 as stored, 2 mirrored left to right, 3 turned half round, 4 mirrored top to
// bottom, 5 to 8 the same with rows and columns swapped (6: turned a quarter clockwise, 8: a
// quarter anticlockwise).
namespace platform {

// The orientation the TIFF structure of an Exif block (the bytes after "Exif\0\0") gives;
// 1 when it gives none, or a damaged or absurd one.
int exif_orientation(QByteArrayView tiff);

// The size of a picture of stored size `stored` once turned.
QSize oriented_size(QSize stored, int orientation);

// The picture as the person took it.
QImage oriented(const QImage& stored, int orientation);

} // namespace platform
