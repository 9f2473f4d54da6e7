#include "logorecord.h"

#include <QBuffer>
#include <QImage>
#include <QtTest>

class tst_LogoRecord : public QObject
{
    Q_OBJECT

private slots:
    void readsThePictureSize_data();
    void readsThePictureSize();
    void writesPixelsAsTheImageHoldsThem();
    void comparesTheRecordOnly_data();
    void comparesTheRecordOnly();
};

void tst_LogoRecord::readsThePictureSize_data()
{
    QTest::addColumn<QByteArray>("sizeBytes");
    QTest::addColumn<QSize>("expected");

    QTest::newRow("little-endian 1024 by 600") << QByteArray::fromHex("0004000058020000") << QSize(1024, 600);
    QTest::newRow("header ends inside the height") << QByteArray::fromHex("00040000580200") << QSize();
    QTest::newRow("zero width") << QByteArray::fromHex("0000000058020000") << QSize();
    QTest::newRow("zero height") << QByteArray::fromHex("0004000000000000") << QSize();
    QTest::newRow("16 MiB at 4 bytes per pixel")
        << QByteArray::fromHex("0008000000080000") << QSize(2048, 2048);
    QTest::newRow("one row beyond 16 MiB") << QByteArray::fromHex("0008000001080000") << QSize();
    QTest::newRow("product wraps to 0 in 32 bits") << QByteArray::fromHex("0000010000000100") << QSize();
    QTest::newRow("largest values") << QByteArray::fromHex("ffffffffffffffff") << QSize();
}

void tst_LogoRecord::readsThePictureSize()
{
    QFETCH(QByteArray, sizeBytes);
    QFETCH(QSize, expected);

    QByteArray bytes(60, 'h');
    bytes.append(sizeBytes);
    QBuffer record(&bytes);
    QVERIFY(record.open(QIODevice::ReadOnly));
    QCOMPARE(LogoRecord::pictureSize(&record), expected);
}

void tst_LogoRecord::writesPixelsAsTheImageHoldsThem()
{
    // Three 3-byte pixels per row are padded to 12 bytes. Qt leaves the
    // padding as it finds the memory (here 0xAB); it is written too, cleared.
    QByteArray memory(24, '\xab');
    QImage picture(reinterpret_cast<uchar *>(memory.data()), 3, 2, 12, QImage::Format_RGB888);
    picture.fill(QColor(10, 20, 30));
    QByteArray bytes(200, 'r');
    QBuffer record(&bytes);
    QVERIFY(record.open(QIODevice::ReadWrite));
    QVERIFY(LogoRecord::writePicture(&record, picture));

    QByteArray expected(200, 'r');
    const QByteArray row = QByteArray::fromHex("0a141e0a141e0a141e000000");
    expected.replace(80, 24, row + row);
    QCOMPARE(bytes, expected);
}

void tst_LogoRecord::comparesTheRecordOnly_data()
{
    QTest::addColumn<qint64>("changedAt");
    QTest::addColumn<int>("shortenedBy");
    QTest::addColumn<bool>("same");

    QTest::newRow("equal") << qint64(-1) << 0 << true;
    QTest::newRow("last byte of the record differs") << LogoRecord::size - 1 << 0 << false;
    QTest::newRow("byte after the record differs") << LogoRecord::size << 0 << true;
    QTest::newRow("one byte short") << qint64(-1) << 1025 << false;
}

void tst_LogoRecord::comparesTheRecordOnly()
{
    QFETCH(qint64, changedAt);
    QFETCH(int, shortenedBy);
    QFETCH(bool, same);

    QByteArray first(int(LogoRecord::size) + 1024, 'a');
    QByteArray second = first;
    if (changedAt >= 0)
        second[int(changedAt)] = 'b';
    second.chop(shortenedBy);
    QBuffer firstDevice(&first);
    QBuffer secondDevice(&second);
    QVERIFY(firstDevice.open(QIODevice::ReadOnly));
    QVERIFY(secondDevice.open(QIODevice::ReadOnly));
    QCOMPARE(LogoRecord::sameRecord(&firstDevice, &secondDevice), same);
}

QTEST_MAIN(tst_LogoRecord)
#include "tst_logorecord.moc"
