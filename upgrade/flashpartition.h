#ifndef FLASHPARTITION_H
#define FLASHPARTITION_H

#include <QString>

#include <mtd/mtd-user.h>

// A raw flash partition reached through its MTD character device. Every
// request goes to the kernel. When the path names a regular file instead (the
// simulator's and the tests' device root), which answers no MTD request, the
// partition is simulated on that file: MEMGETINFO reports the file's size and
// MEMERASE sets the erased range to 0xFF, as erased flash reads.
class FlashPartition
{
public:
    explicit FlashPartition(const QString &devicePath);
    ~FlashPartition();

    // Opens the device with O_RDWR | O_SYNC.
    bool open();
    void close();

    // MEMGETINFO and MEMERASE; each returns what ioctl() returns (negative on
    // failure, with errno set).
    int getInfo(mtd_info_user *info);
    int erase(const erase_info_user &range);

private:
    Q_DISABLE_COPY(FlashPartition)

    // Whether a request that returned result is to be simulated.
    bool simulates(int result) const;
    int simulateGetInfo(mtd_info_user *info);
    int simulateErase(const erase_info_user &range);

    QString m_devicePath;
    int m_fd;
    bool m_simulated;
};

#endif // FLASHPARTITION_H
