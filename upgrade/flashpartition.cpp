#include "flashpartition.h"

#include <QByteArray>
#include <QFile>

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const int MaxEraseWrite = 16 * 1024 * 1024;

} // namespace

FlashPartition::FlashPartition(const QString &devicePath)
    : m_devicePath(devicePath)
    , m_fd(-1)
    , m_simulated(false)
{ }

FlashPartition::~FlashPartition()
{
    close();
}

bool FlashPartition::open()
{
    close();
    m_fd = ::open(QFile::encodeName(m_devicePath).constData(), O_RDWR | O_SYNC);
    if (m_fd < 0)
        return false;
    struct stat status;
    m_simulated = fstat(m_fd, &status) == 0 && S_ISREG(status.st_mode);
    return true;
}

void FlashPartition::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_simulated = false;
}

int FlashPartition::getInfo(mtd_info_user *info)
{
    const int result = ::ioctl(m_fd, MEMGETINFO, info);
    return simulates(result) ? simulateGetInfo(info) : result;
}

int FlashPartition::erase(const erase_info_user &range)
{
    erase_info_user request = range;
    const int result = ::ioctl(m_fd, MEMERASE, &request);
    return simulates(result) ? simulateErase(range) : result;
}

// A regular file knows no MTD request: the kernel answers ENOTTY, user-mode
// emulation ENOSYS. Any other failure is the answer.
bool FlashPartition::simulates(int result) const
{
    return result < 0 && m_simulated && (errno == ENOTTY || errno == ENOSYS);
}

int FlashPartition::simulateGetInfo(mtd_info_user *info)
{
    struct stat status;
    if (fstat(m_fd, &status) != 0)
        return -1;
    memset(info, 0, sizeof(*info));
    info->size = quint32(status.st_size);
    return 0;
}

int FlashPartition::simulateErase(const erase_info_user &range)
{
    struct stat status;
    if (fstat(m_fd, &status) != 0)
        return -1;
    const quint64 end = quint64(range.start) + range.length;
    if (end > quint64(status.st_size)) {
        errno = EINVAL;
        return -1;
    }
    // Erased flash reads as 0xFF. Each write through the O_SYNC descriptor
    // waits for the disk, so a partition's range goes in one write; only a
    // range beyond 16 MiB is written in pieces, to bound the memory taken.
    const QByteArray erased(int(qMin<quint64>(range.length, quint64(MaxEraseWrite))), char(0xFF));
    for (quint64 offset = range.start; offset < end;) {
        const size_t chunk = size_t(qMin<quint64>(end - offset, quint64(erased.size())));
        if (pwrite(m_fd, erased.constData(), chunk, off_t(offset)) != ssize_t(chunk))
            return -1;
        offset += chunk;
    }
    return 0;
}
