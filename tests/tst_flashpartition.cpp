#include "flashpartition.h"
#include "sandbox.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <unistd.h>
#include <vector>

class tst_FlashPartition : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void simulatesInfoAndErase();
    void refusesEraseBeyondTheEnd();
    void injectedFailures_data();
    void injectedFailures();
    void missingDeviceDoesNotOpen();
    void characterDeviceGetsKernelRequests();
    void kernelRequests_data();
    void kernelRequests();

private:
    QByteArray contents() const;

    QScopedPointer<QTemporaryDir> m_dir;
    QString m_path;
    QByteArray m_original;
};

void tst_FlashPartition::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    m_path = m_dir->path() + QStringLiteral("/mtd14");
    m_original.clear();
    for (int i = 0; i < 10000; ++i)
        m_original.append(char(i % 251));
    QFile file(m_path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(m_original);
}

void tst_FlashPartition::cleanup()
{
    FlashPartition::setFailingRequest(FlashPartition::NoRequest);
    m_dir.reset();
}

QByteArray tst_FlashPartition::contents() const
{
    QFile file(m_path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void tst_FlashPartition::simulatesInfoAndErase()
{
    FlashPartition partition(m_path);
    QVERIFY(partition.open());
    mtd_info_user info;
    QCOMPARE(partition.getInfo(&info), 0);
    QCOMPARE(info.size, 10000u);

    erase_info_user range = {4096, 4096};
    QCOMPARE(partition.erase(range), 0);
    QByteArray expected = m_original;
    expected.replace(4096, 4096, QByteArray(4096, char(0xFF)));
    QCOMPARE(contents(), expected);
}

void tst_FlashPartition::refusesEraseBeyondTheEnd()
{
    FlashPartition partition(m_path);
    QVERIFY(partition.open());
    erase_info_user range = {8192, 4096};
    QVERIFY(partition.erase(range) < 0);
    QCOMPARE(errno, EINVAL);
    QCOMPARE(contents(), m_original);
}

void tst_FlashPartition::injectedFailures_data()
{
    QTest::addColumn<int>("failing");
    QTest::newRow("getinfo") << int(FlashPartition::GetInfoRequest);
    QTest::newRow("erase") << int(FlashPartition::EraseRequest);
}

void tst_FlashPartition::injectedFailures()
{
    QFETCH(int, failing);
    FlashPartition::setFailingRequest(FlashPartition::Request(failing));

    FlashPartition partition(m_path);
    QVERIFY(partition.open());
    mtd_info_user info;
    const int infoResult = partition.getInfo(&info);
    QCOMPARE(infoResult < 0, failing == FlashPartition::GetInfoRequest);
    erase_info_user range = {0, 10000};
    const int eraseResult = partition.erase(range);
    QCOMPARE(eraseResult < 0, failing == FlashPartition::EraseRequest);
    QCOMPARE(errno, EIO);
    QCOMPARE(contents(),
             failing == FlashPartition::EraseRequest ? m_original : QByteArray(10000, char(0xFF)));
}

void tst_FlashPartition::missingDeviceDoesNotOpen()
{
    FlashPartition partition(m_dir->path() + QStringLiteral("/mtd15"));
    QVERIFY(!partition.open());
}

void tst_FlashPartition::characterDeviceGetsKernelRequests()
{
    // The null device knows no MTD requests: the kernel refuses both (the
    // user-mode emulator of the armhf run answers requests it does not know
    // with ENOSYS), and the failure injection, which only touches
    // simulations, plays no part.
    const int refusal = qEnvironmentVariableIsSet("UPDATETHEME_EMULATOR") ? ENOSYS : ENOTTY;
    FlashPartition::setFailingRequest(FlashPartition::GetInfoRequest);
    FlashPartition partition(QStringLiteral("/dev/null"));
    QVERIFY(partition.open());
    mtd_info_user info;
    QVERIFY(partition.getInfo(&info) < 0);
    QCOMPARE(errno, refusal);
    erase_info_user range = {0, 4096};
    QVERIFY(partition.erase(range) < 0);
    QCOMPARE(errno, refusal);
}

void tst_FlashPartition::kernelRequests_data()
{
    QTest::addColumn<quint32>("start");
    QTest::addColumn<quint32>("length");
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("firstBlockErased");
    QTest::addColumn<bool>("secondBlockErased");

    const quint32 block = 128 * 1024;
    QTest::newRow("whole partition") << 0u << 24 * block << 0 << true << true;
    QTest::newRow("second erase block") << block << block << 0 << false << true;
    QTest::newRow("logo record, not whole erase blocks") << 0u << 3072000u << EINVAL << false << false;
    QTest::newRow("start inside an erase block") << 2048u << block << EINVAL << false << false;
    QTest::newRow("beyond the end") << block << 24 * block << EINVAL << false << false;
}

void tst_FlashPartition::kernelRequests()
{
    QFETCH(quint32, start);
    QFETCH(quint32, length);
    QFETCH(int, error);
    QFETCH(bool, firstBlockErased);
    QFETCH(bool, secondBlockErased);
    if (!Sandbox::onKernelFlash())
        QSKIP("needs the kernel's flash simulator as /dev/mtd14 (scripts/device-vm.sh)");

    // The device VM's logo partition: 24 erase blocks of 128 KiB, 2 KiB pages.
    FlashPartition partition(QStringLiteral("/dev/mtd14"));
    QVERIFY(partition.open());
    mtd_info_user info;
    QCOMPARE(partition.getInfo(&info), 0);
    QCOMPARE(int(info.type), MTD_NANDFLASH);
    QCOMPARE(info.size, 3u * 1024 * 1024);
    QCOMPARE(info.erasesize, 128u * 1024);
    QCOMPARE(info.writesize, 2048u);

    // A page written at the start of the first two erase blocks shows which the request erased.
    const erase_info_user whole = {0, info.size};
    QCOMPARE(partition.erase(whole), 0);
    const int fd = ::open("/dev/mtd14", O_RDWR);
    QVERIFY(fd >= 0);
    const std::vector<char> written(info.writesize, 'p'), erased(info.writesize, char(0xFF));
    const off_t blockStarts[] = {0, off_t(info.erasesize)};
    for (off_t offset : blockStarts)
        QCOMPARE(pwrite(fd, written.data(), written.size(), offset), ssize_t(written.size()));

    const erase_info_user range = {start, length};
    QCOMPARE(partition.erase(range) < 0 ? errno : 0, error);
    const bool blockErased[] = {firstBlockErased, secondBlockErased};
    for (int i = 0; i < 2; ++i) {
        std::vector<char> page(written.size());
        QCOMPARE(pread(fd, page.data(), page.size(), blockStarts[i]), ssize_t(page.size()));
        QVERIFY(page == (blockErased[i] ? erased : written));
    }
    ::close(fd);
}

QTEST_MAIN(tst_FlashPartition)
#include "tst_flashpartition.moc"
