#include "mediumcheck.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// The host's verdict on a package: usable when its file exists and is not
// empty, with the lines the screens show for it.
class tst_MediumCheck : public QObject
{
    Q_OBJECT

private slots:
    void judgesThePackage_data();
    void judgesThePackage();
    void namesTheFirmware_data();
    void namesTheFirmware();

private:
    QString write(const QString &name, const QByteArray &contents);

    QTemporaryDir m_dir;
};

QString tst_MediumCheck::write(const QString &name, const QByteArray &contents)
{
    QDir().mkpath(m_dir.filePath("usb0"));
    QFile file(m_dir.filePath("usb0/" + name));
    file.open(QIODevice::WriteOnly);
    file.write(contents);
    return file.fileName();
}

void tst_MediumCheck::judgesThePackage_data()
{
    QTest::addColumn<int>("device");
    QTest::addColumn<bool>("inserted");
    QTest::addColumn<int>("size"); // -1: no file
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("text3");
    QTest::newRow("one byte is a package") << 0 << true << 1 << true << "ISPBOOOT.BIN, 1 KB"
                                           << "Upgrade package found on USB0";
    QTest::newRow("sizes round up to kilobytes") << 3 << true << 1025 << true << "ISPBOOOT.BIN, 2 KB"
                                                 << "Upgrade package found on SD1";
    QTest::newRow("empty file") << 1 << true << 0 << false << "ISPBOOOT.BIN, 0 bytes"
                                << "ISPBOOOT.BIN on USB1 is empty";
    QTest::newRow("no file") << 2 << true << -1 << false << "ISPBOOOT.BIN not found"
                             << "No ISPBOOOT.BIN on SD0";
    QTest::newRow("medium not inserted") << 1 << false << -1 << false << ""
                                         << "USB1 is not inserted";
    QTest::newRow("no medium chosen") << 4 << false << -1 << false << ""
                                      << "No medium inserted";
}

void tst_MediumCheck::judgesThePackage()
{
    QFETCH(int, device);
    QFETCH(bool, inserted);
    QFETCH(int, size);
    QFETCH(bool, valid);
    QFETCH(QString, text1);
    QFETCH(QString, text3);
    QFile::remove(m_dir.filePath("usb0/ISPBOOOT.BIN"));
    if (size >= 0)
        write("ISPBOOOT.BIN", QByteArray(size, 'x'));

    const MediumCheck::Verdict verdict
        = MediumCheck::check(device, inserted ? m_dir.filePath("usb0") : QString(), "ISPBOOOT.BIN");
    QCOMPARE(verdict.valid, valid);
    QCOMPARE(verdict.text1, text1);
    // The second line names the medium and its folder, so that two sticks can be told apart.
    QCOMPARE(verdict.text2,
             inserted ? QString("on %1 (usb0)").arg(MediumCheck::deviceName(device)) : QString());
    QCOMPARE(verdict.text3, text3);
}

void tst_MediumCheck::namesTheFirmware_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("label");
    QTest::newRow("version line") << QByteArray("MCU_2.2.0\n\x01\x02\x03") << "MCU_2.2.0";
    QTest::newRow("binary image") << QByteArray("\x7f\x45\x4c\x46\x01\x01\n") << "mcu.bin";
    QTest::newRow("sentence, not a version") << QByteArray("new firmware for the MCU\n") << "mcu.bin";
    QTest::newRow("empty image") << QByteArray() << "mcu.bin";
}

void tst_MediumCheck::namesTheFirmware()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, label);
    QCOMPARE(MediumCheck::firmwareLabel(write("mcu.bin", contents)), label);
}

QTEST_GUILESS_MAIN(tst_MediumCheck)
#include "tst_mediumcheck.moc"
