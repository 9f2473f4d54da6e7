#include "logcapture.h"
#include "updatelog.h"

#include <QtTest>

// The factory line's tools match log records on their exact text and context.
class tst_UpdateLog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void writesEachForm_data();
    void writesEachForm();

private:
    LogCapture *m_capture = nullptr;
};

void tst_UpdateLog::init()
{
    m_capture = new LogCapture;
}

void tst_UpdateLog::cleanup()
{
    delete m_capture;
    m_capture = nullptr;
}

void tst_UpdateLog::writesEachForm_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<QString>("expected");

    QTest::newRow("tagged stream with a path in quotes")
        << 0 << QStringLiteral("[media_print][setUpgradeFileList] idx: 2  val: \"/media/usb0/mcu.bin\"");
    QTest::newRow("function name and line as items")
        << 1 << QStringLiteral("setUpgradeFileList 1214 dstF.fileName(): \"/media/flash/nvm/logo.jpg\"");
    QTest::newRow("trace prefix then details")
        << 2
        << QStringLiteral("[QT] [UpdateStyle0] func: writeLogo line: 1448 "
                          "/dev/mtd14:MTD getinfo failed\n");
    QTest::newRow("printf style with local 8-bit text")
        << 3 << QStringLiteral("[custom_print][line:1134][copy /media/usb0/touch_conf]");
}

void tst_UpdateLog::writesEachForm()
{
    QFETCH(int, form);
    QFETCH(QString, expected);

    const char *function = "void UpgradeDialog::setUpgradeFileList(const QStringList&)";
    switch (form) {
    case 0:
        UpdateLog(function, 1122).stream() << "[media_print][setUpgradeFileList] idx:" << 2
                                           << " val:" << QStringLiteral("/media/usb0/mcu.bin");
        break;
    case 1:
        UpdateLog(function, 1122).stream()
            << "setUpgradeFileList" << 1214
            << "dstF.fileName():" << QStringLiteral("/media/flash/nvm/logo.jpg");
        break;
    case 2:
        UpdateLog(function, 1448).trace("writeLogo") << "/dev/mtd14:MTD getinfo failed\n";
        break;
    case 3:
        UpdateLog(function, 1122)
            .printf("[custom_print][line:%d][copy %s]", 1134,
                    QStringLiteral("/media/usb0/touch_conf").toLocal8Bit().constData());
        break;
    }

    const QList<LogCapture::Record> records = m_capture->records();
    QCOMPARE(records.size(), 1);
    const LogCapture::Record &record = records.first();
    QCOMPARE(record.type, QtDebugMsg);
    QCOMPARE(record.message, expected);
    QCOMPARE(record.file, QStringLiteral("update"));
    QCOMPARE(record.category, QStringLiteral("default"));
    QCOMPARE(record.function, QString::fromLatin1(function));
    QCOMPARE(record.line, form == 2 ? 1448 : 1122);
}

QTEST_MAIN(tst_UpdateLog)
#include "tst_updatelog.moc"
