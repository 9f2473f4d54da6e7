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
    // Qt leaves the padding at the end of a row uninitialised; it is cleared
    // so that no stale memory of the process reaches the partition.
    QImage pixels = picture;
    const int used = (pixels.width() * pixels.depth() + 7) / 8;
    if (used < pixels.bytesPerLine()) {
        for (int y = 0; y < pixels.height(); ++y)
            memset(pixels.scanLine(y) + used, 0, size_t(pixels.bytesPerLine() - used));
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
