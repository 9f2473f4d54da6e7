#include "flashpartition.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <errno.h>
#include <string.h>

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

QTEST_MAIN(tst_FlashPartition)
#include "tst_flashpartition.moc"
