#include "logowriter.h"

#include "commandrunner.h"
#include "deviceroot.h"
#include "flashpartition.h"
#include "logorecord.h"
#include "updatelog.h"
#include "upgradedialog.h"

#include <QFileInfo>
#include <QImage>

namespace {

const char copyCommand[] = "dd if=%1 of=%2 bs=2048c count=1500";

} // namespace

LogoWriter::LogoWriter()
    : m_device(DeviceRoot::path(QStringLiteral("/dev/mtd14")))
    , m_staging(DeviceRoot::path(QStringLiteral("/media/flash/userdata/logo.txt")))
{ }

void LogoWriter::write(const QString &imgPath)
{
    UpdateLog(UpgradeDialog::writeLogoSignature(), 1404).stream()
        << "writeLogo" << 1404 << "imgPath:" << imgPath;

    const QImage picture = loadPicture(imgPath);
    removeStaleStaging();
    if (picture.isNull()) {
        UpdateLog(UpgradeDialog::writeLogoSignature(), 1415)
            .printf("[zq_print][line:%d] %s is null", 1415, imgPath.toLocal8Bit().constData());
        return;
    }
    // A staging file that cannot be opened stays; the next write removes it.
    if (!stageRecord())
        return;
    if (stagePicture(picture) && erasePartition())
        writeBack();
    m_staging.remove();
}

QImage LogoWriter::loadPicture(const QString &imgPath)
{
    // Only a plain file is read: a named pipe or a device copied from a
    // medium would block the GUI thread, or never end.
    QImage picture;
    if (QFileInfo(imgPath).isFile())
        picture.load(imgPath);
    return picture;
}

void LogoWriter::removeStaleStaging()
{
    if (!m_staging.exists())
        return;
    UpdateLog(UpgradeDialog::writeLogoSignature(), 1410)
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
        UpdateLog(UpgradeDialog::writeLogoSignature(), 1426).trace("writeLogo")
            << "/dev/mtd14:invalid logo header\n";
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
        UpdateLog(UpgradeDialog::writeLogoSignature(), 1438).trace("writeLogo");
        return false;
    }
    mtd_info_user info;
    if (partition.getInfo(&info) < 0) {
        UpdateLog(UpgradeDialog::writeLogoSignature(), 1448).trace("writeLogo")
            << "/dev/mtd14:MTD getinfo failed\n";
        return false;
    }
    erase_info_user range;
    range.start = 0;
    range.length = info.size;
    if (partition.erase(range) < 0) {
        UpdateLog(UpgradeDialog::writeLogoSignature(), 1459).trace("writeLogo")
            << "/dev/mtd14:erase failed\n";
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
        UpdateLog(UpgradeDialog::writeLogoSignature(), 1466).trace("writeLogo")
            << "/dev/mtd14:verify failed\n";
    m_staging.close();
}
