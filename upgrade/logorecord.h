#ifndef LOGORECORD_H
#define LOGORECORD_H

#include <QSize>
#include <QtGlobal>

class QIODevice;
class QImage;

// The boot-logo record at the start of the logo partition: a header whose
// bytes 60 to 67 give the picture's width and height (little-endian 32-bit),
// then from byte 80 the picture's pixels as the image holds them in memory.
// Everything else in the record belongs to the device's start-up code and is
// carried over unchanged.
namespace LogoRecord {

// The bytes copied between the partition and the staging file: 1500 blocks
// of 2048 bytes.
const qint64 size = 3072000;
// Where the header gives the picture's width and height, and where the
// pixels start.
const qint64 sizeOffset = 60;
const qint64 pixelOffset = 80;

// The picture size the header of record prescribes. Invalid when fewer than 8
// bytes can be read at offset 60, when the width or the height is 0, or when
// the picture would exceed 16 MiB at 4 bytes per pixel: a corrupted header
// must not lead to an erased partition.
QSize pictureSize(QIODevice *record);

// Writes the picture's pixel buffer at offset 80, the padding at the end of
// its rows cleared.
bool writePicture(QIODevice *record, const QImage &picture);

// Whether the first size bytes of both devices are equal (both must be open
// for reading).
bool sameRecord(QIODevice *first, QIODevice *second);

} // namespace LogoRecord

#endif // LOGORECORD_H
