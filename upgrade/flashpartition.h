#ifndef FLASHPARTITION_H
#define FLASHPARTITION_H

#include <QString>

#include <mtd/mtd-user.h>

// A raw flash partition reached through its MTD character device. On the
// device the requests go to the kernel. When the path names a regular file
// instead (the simulator's and the tests' device root), the partition is
// simulated on that file: MEMGETINFO reports the file's size and MEMERASE
// sets the erased range to 0xFF, as erased flash reads.
class FlashPartition
{
public:
    enum Request { NoRequest, GetInfoRequest, EraseRequest };

    explicit FlashPartition(const QString &devicePath);
    ~FlashPartition();

    // Opens the device with O_RDWR | O_SYNC.
    bool open();
    void close();

    // MEMGETINFO and MEMERASE; each returns what ioctl() returns (negative on
    // failure, with errno set).
    int getInfo(mtd_info_user *info);
    int erase(const erase_info_user &range);

    // Makes every later request of that kind fail with EIO on simulated
    // partitions, until NoRequest is set. Real devices are never affected.
    static void setFailingRequest(Request request);

private:
    Q_DISABLE_COPY(FlashPartition)

    bool failsSimulated(Request request) const;
    int simulateGetInfo(mtd_info_user *info);
    int simulateErase(const erase_info_user &range);

    QString m_devicePath;
    int m_fd;
    bool m_simulated;
};

#endif // FLASHPARTITION_H
