#include <QtTest>

#include <cstddef>
#include <mtd/mtd-user.h>
#include <sys/ioctl.h>

// The logo writer talks to the flash driver of a 32-bit ARM kernel through
// the kernel's headers. These checks mean most in the armhf run under
// emulation: the structures must have the kernel's byte layout there and the
// request numbers must encode those sizes.
class tst_MtdAbi : public QObject
{
    Q_OBJECT

private slots:
    void sizes_data();
    void sizes();
    void fieldOffsets_data();
    void fieldOffsets();
    void requests_data();
    void requests();
};

#if defined(__arm__)
static const size_t targetPointerSize = 4; // the head unit's 32-bit ARM
#else
static const size_t targetPointerSize = QT_POINTER_SIZE; // a native development build
#endif

void tst_MtdAbi::sizes_data()
{
    QTest::addColumn<size_t>("actual");
    QTest::addColumn<size_t>("expected");

    QTest::newRow("pointer") << sizeof(void *) << targetPointerSize;
    QTest::newRow("flash information") << sizeof(mtd_info_user) << size_t(32);
    QTest::newRow("erase range") << sizeof(erase_info_user) << size_t(8);
}

void tst_MtdAbi::sizes()
{
    QFETCH(size_t, actual);
    QFETCH(size_t, expected);

    QCOMPARE(actual, expected);
}

void tst_MtdAbi::fieldOffsets_data()
{
    QTest::addColumn<size_t>("actual");
    QTest::addColumn<size_t>("expected");

    QTest::newRow("flash type") << offsetof(mtd_info_user, type) << size_t(0);
    QTest::newRow("flash flags") << offsetof(mtd_info_user, flags) << size_t(4);
    QTest::newRow("flash size") << offsetof(mtd_info_user, size) << size_t(8);
    QTest::newRow("flash erase size") << offsetof(mtd_info_user, erasesize) << size_t(12);
    QTest::newRow("flash write size") << offsetof(mtd_info_user, writesize) << size_t(16);
    QTest::newRow("flash spare size") << offsetof(mtd_info_user, oobsize) << size_t(20);
    QTest::newRow("flash padding") << offsetof(mtd_info_user, padding) << size_t(24);
    QTest::newRow("erase start") << offsetof(erase_info_user, start) << size_t(0);
    QTest::newRow("erase length") << offsetof(erase_info_user, length) << size_t(4);
}

void tst_MtdAbi::fieldOffsets()
{
    QFETCH(size_t, actual);
    QFETCH(size_t, expected);

    QCOMPARE(actual, expected);
}

void tst_MtdAbi::requests_data()
{
    QTest::addColumn<quint32>("actual");
    QTest::addColumn<quint32>("expected");

    QTest::newRow("get flash information") << quint32(MEMGETINFO) << quint32(0x80204D01u);
    QTest::newRow("erase") << quint32(MEMERASE) << quint32(0x40084D02u);
}

void tst_MtdAbi::requests()
{
    QFETCH(quint32, actual);
    QFETCH(quint32, expected);

    QCOMPARE(actual, expected);
}

QTEST_MAIN(tst_MtdAbi)
#include "tst_mtdabi.moc"
