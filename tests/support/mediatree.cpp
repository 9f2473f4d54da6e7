#include "mediatree.h"

#include "basecontrol.h"
#include "hostjournal.h"
#include "hostsetup.h"
#include "sandbox.h"
#include "usbcontrol.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QtEndian>

#include <cstring>

void prepareHeadUnit(const Sandbox &sandbox)
{
    QDir().mkpath(sandbox.path("/media/flash/nvm/Quorvex"));
    QDir().mkpath(sandbox.path("/media/flash/userdata"));
    HostJournal::instance()->clear();
    HostSetup::setMcuModuleAvailable(true);
    BaseControl::getInstance()->setSoftwareVersion("KD_PLV_07");
    UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_USB, QStringList());
    UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_SD, QStringList());
}

QByteArray logoPartition(int size, quint32 width, quint32 height)
{
    // The pattern repeats every 253 bytes.
    QByteArray cycle(253, 0);
    for (int i = 0; i < cycle.size(); ++i)
        cycle[i] = char((i * 7) % 253);
    QByteArray bytes = cycle.repeated(size / cycle.size() + 1).left(size);
    if (size >= 68) {
        uchar header[8];
        qToLittleEndian(width, header);
        qToLittleEndian(height, header + 4);
        bytes.replace(60, 8, reinterpret_cast<const char *>(header), 8);
    }
    return bytes;
}

QByteArray writtenRecord(const QByteArray &before, int recordSize, const QString &picture)
{
    QImage image(picture);
    if (image.isNull())
        return before;
    QByteArray record = before.left(recordSize);
    const QSize size(qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(record.constData() + 60)),
                     qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(record.constData() + 64)));
    if (image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // The pixels copied into cleared rows of the same layout: whole bytes as
    // they are, one bit a pixel pixel by pixel.
    QByteArray pixels(image.bytesPerLine() * image.height(), '\0');
    QImage cleared(reinterpret_cast<uchar *>(pixels.data()), image.width(), image.height(),
                   image.bytesPerLine(), image.format());
    for (int y = 0; y < image.height(); ++y) {
        if (image.depth() >= 8)
            memcpy(cleared.scanLine(y), image.constScanLine(y), size_t(image.width() * image.depth() / 8));
        for (int x = 0; image.depth() < 8 && x < image.width(); ++x)
            cleared.setPixel(x, y, uint(image.pixelIndex(x, y)));
    }
    if (record.size() < 80 + pixels.size())
        record.resize(80 + pixels.size());
    record.replace(80, pixels.size(), pixels);
    return record.left(recordSize);
}

QByteArray readDevice(const Sandbox &sandbox, const QString &devicePath)
{
    QFile file(sandbox.path(devicePath));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
