#include "logorecord.h"

#include <QIODevice>
#include <QImage>
#include <QtEndian>

#include <string.h>

namespace {

const quint64 largestPicture = quint64(16) * 1024 * 1024;

} // namespace

QSize LogoRecord::pictureSize(QIODevice *record)
{
    uchar header[8];
    if (!record->seek(LogoRecord::sizeOffset)
        || record->read(reinterpret_cast<char *>(header), sizeof(header)) != 8)
        return QSize();
    const quint32 width = qFromLittleEndian<quint32>(header);
    const quint32 height = qFromLittleEndian<quint32>(header + 4);
    if (width == 0 || height == 0 || quint64(width) * height > largestPicture / 4)
        return QSize();
    return QSize(int(width), int(height));
}

bool LogoRecord::writePicture(QIODevice *record, const QImage &picture)
{
    // Qt leaves the padding at the end of a row uninitialised, and at one bit
    // a pixel the bits past the last pixel in its byte as well; they are
    // cleared so that no stale memory of the process reaches the partition.
    QImage pixels = picture;
    const int usedBits = pixels.width() * pixels.depth();
    if (usedBits < pixels.bytesPerLine() * 8) {
        // The first byte that is not all pixels keeps those it has.
        const int first = usedBits / 8;
        const int shift = 8 - usedBits % 8;
        const uchar kept = uchar(pixels.format() == QImage::Format_MonoLSB ? 0xFF >> shift : 0xFF << shift);
        for (int y = 0; y < pixels.height(); ++y) {
            uchar *rest = pixels.scanLine(y) + first;
            rest[0] &= kept;
            memset(rest + 1, 0, size_t(pixels.bytesPerLine() - first - 1));
        }
    }
    // byteCount() is what the device's Qt 5.3 has; Qt 5.10 deprecated it.
#if QT_VERSION >= QT_VERSION_CHECK(5, 10, 0)
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
#endif
    const qint64 bytes = pixels.byteCount();
#if QT_VERSION >= QT_VERSION_CHECK(5, 10, 0)
    QT_WARNING_POP
#endif
    return record->seek(LogoRecord::pixelOffset)
        && record->write(reinterpret_cast<const char *>(pixels.constBits()), bytes) == bytes;
}

bool LogoRecord::sameRecord(QIODevice *first, QIODevice *second)
{
    // Compared block by block: the record is read from flash, and a few
    // megabytes need not be held twice.
    const qint64 block = qint64(64) * 1024;
    for (qint64 done = 0; done < size; done += block) {
        const qint64 length = qMin(block, size - done);
        if (first->read(length) != second->read(length))
            return false;
    }
    return true;
}
