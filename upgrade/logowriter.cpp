#include "logowriter.h"

#include "commandrunner.h"
#include "deviceroot.h"
#include "flashpartition.h"
#include "logorecord.h"
#include "updatelog.h"

#include <QFileInfo>
#include <QImage>
#include <QImageReader>

namespace {

// The writer's records carry the function the factory line's tools match them
// on: the dialog's entry point for the logo.
const char logFunction[] = "void UpgradeDialog::writeLogo(const QString&)";

const char copyCommand[] = "dd if=%1 of=%2 bs=2048c count=1500";

// The largest picture decoded. The record holds a few megabytes of pixels;
// a small, highly compressed file can ask for gigabytes, which the head unit
// cannot give, or which take the screen for a long while.
const int maxPictureSide = 8192;
const qint64 maxPictureBytes = Q_INT64_C(64) * 1024 * 1024;

void logPicture(int line, const QString &imgPath, const char *verdict)
{
    UpdateLog(logFunction, line)
        .printf("[zq_print][line:%d] %s %s", line, imgPath.toLocal8Bit().constData(), verdict);
}

} // namespace

LogoWriter::LogoWriter()
    : m_device(DeviceRoot::path(QStringLiteral("/dev/mtd14")))
    , m_staging(DeviceRoot::path(QStringLiteral("/media/flash/userdata/logo.txt")))
{ }

void LogoWriter::write(const QString &imgPath)
{
    UpdateLog(logFunction, 1404).stream() << "writeLogo" << 1404 << "imgPath:" << imgPath;

    bool tooLarge = false;
    const QImage picture = loadPicture(imgPath, &tooLarge);
    removeStaleStaging();
    if (tooLarge) {
        logPicture(1413, imgPath, "is too large");
        return;
    }
    if (picture.isNull()) {
        logPicture(1415, imgPath, "is null");
        return;
    }
    // A staging file that cannot be opened stays; the next write removes it.
    if (!stageRecord())
        return;
    if (stagePicture(picture) && erasePartition())
        writeBack();
    m_staging.remove();
}

QImage LogoWriter::loadPicture(const QString &imgPath, bool *tooLarge)
{
    // Only a plain file is read: a named pipe or a device copied from a
    // medium would block the GUI thread, or never end.
    if (!QFileInfo(imgPath).isFile())
        return QImage();
    // The size comes from the file's header, before anything is decoded; a
    // picture is counted at four bytes a pixel, whatever depth it decodes to.
    // A format whose header gives no size is decoded as it is.
    QImageReader reader(imgPath);
    const QSize size = reader.size();
    *tooLarge = size.width() > maxPictureSide || size.height() > maxPictureSide
        || qint64(size.width()) * size.height() * 4 > maxPictureBytes;
    return *tooLarge ? QImage() : reader.read();
}

void LogoWriter::removeStaleStaging()
{
    if (!m_staging.exists())
        return;
    UpdateLog(logFunction, 1410)
        .printf("[zq_print][line:%d] remove %s", 1410, m_staging.fileName().toLocal8Bit().constData());
    m_staging.remove();
}

bool LogoWriter::stageRecord()
{
    CommandRunner::run(QLatin1String(copyCommand), m_device, m_staging.fileName());
    return m_staging.exists() && m_staging.open(QIODevice::ReadWrite);
}

bool LogoWriter::stagePicture(QImage picture)
{
    const QSize pictureSize = LogoRecord::pictureSize(&m_staging);
    if (!pictureSize.isValid()) {
        m_staging.close();
        UpdateLog(logFunction, 1426).trace("writeLogo") << "/dev/mtd14:invalid logo header\n";
        return false;
    }
    if (picture.size() != pictureSize)
        picture = picture.scaled(pictureSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    LogoRecord::writePicture(&m_staging, picture);
    m_staging.close();
    return true;
}

// The whole partition is erased: the logo record is all it holds.
bool LogoWriter::erasePartition()
{
    FlashPartition partition(m_device);
    if (!partition.open()) {
        UpdateLog(logFunction, 1438).trace("writeLogo");
        return false;
    }
    mtd_info_user info;
    if (partition.getInfo(&info) < 0) {
        UpdateLog(logFunction, 1448).trace("writeLogo") << "/dev/mtd14:MTD getinfo failed\n";
        return false;
    }
    erase_info_user range;
    range.start = 0;
    range.length = info.size;
    if (partition.erase(range) < 0) {
        UpdateLog(logFunction, 1459).trace("writeLogo") << "/dev/mtd14:erase failed\n";
        return false;
    }
    return true;
}

// Flash cannot be rewritten without another erase: a mismatch is only reported.
void LogoWriter::writeBack()
{
    CommandRunner::run(QLatin1String(copyCommand), m_staging.fileName(), m_device);
    QFile written(m_device);
    if (!m_staging.open(QIODevice::ReadOnly) || !written.open(QIODevice::ReadOnly)
        || !LogoRecord::sameRecord(&written, &m_staging))
        UpdateLog(logFunction, 1466).trace("writeLogo") << "/dev/mtd14:verify failed\n";
    m_staging.close();
}
