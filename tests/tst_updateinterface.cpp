#include "updateinterface.h"

#include <QMetaEnum>
#include <QMetaMethod>
#include <QtTest>

// The host connects by signature and passes the enumerators as numbers across
// separately built binaries: indices, signatures and values are the contract.
class tst_UpdateInterface : public QObject
{
    Q_OBJECT

private slots:
    void methodsKeepTheirIndices_data();
    void methodsKeepTheirIndices();
    void enumeratorsKeepTheirValues_data();
    void enumeratorsKeepTheirValues();
    void declaresTheInterface();
};

void tst_UpdateInterface::methodsKeepTheirIndices_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("signature");
    QTest::addColumn<int>("type");

    QTest::newRow("check device") << 0 << QByteArray("checkDevice()") << int(QMetaMethod::Signal);
    QTest::newRow("usb chosen") << 1 << QByteArray("changeToUsbDevice(int)") << int(QMetaMethod::Signal);
    QTest::newRow("sd chosen") << 2 << QByteArray("changeToSdDevice(int)") << int(QMetaMethod::Signal);
    QTest::newRow("update system") << 3 << QByteArray("updateSystem()") << int(QMetaMethod::Signal);
    QTest::newRow("cancel") << 4 << QByteArray("cancelUpdate()") << int(QMetaMethod::Signal);
    QTest::newRow("progress") << 5 << QByteArray("onUpdateProgressChanged(int)") << int(QMetaMethod::Slot);
    QTest::newRow("message") << 6 << QByteArray("onUpdateMessage(int,QString)") << int(QMetaMethod::Slot);
    QTest::newRow("finished") << 7 << QByteArray("onUpdateFinished(int)") << int(QMetaMethod::Slot);
}

void tst_UpdateInterface::methodsKeepTheirIndices()
{
    QFETCH(int, index);
    QFETCH(QByteArray, signature);
    QFETCH(int, type);

    const QMetaObject &meta = UpdateInterface::staticMetaObject;
    QCOMPARE(meta.className(), "UpdateInterface");
    QCOMPARE(meta.superClass(), &QWidget::staticMetaObject);
    QCOMPARE(meta.methodCount() - meta.methodOffset(), 8);

    const QMetaMethod method = meta.method(meta.methodOffset() + index);
    QCOMPARE(method.methodSignature(), signature);
    QCOMPARE(int(method.methodType()), type);
    QCOMPARE(method.access(), QMetaMethod::Public);
}

void tst_UpdateInterface::enumeratorsKeepTheirValues_data()
{
    QTest::addColumn<QByteArray>("enumeration");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<int>("value");

    QTest::newRow("usb 0") << QByteArray("DeviceType") << QByteArray("Usb0Device") << 0;
    QTest::newRow("usb 1") << QByteArray("DeviceType") << QByteArray("Usb1Device") << 1;
    QTest::newRow("sd 0") << QByteArray("DeviceType") << QByteArray("Sd0Device") << 2;
    QTest::newRow("sd 1") << QByteArray("DeviceType") << QByteArray("Sd1Device") << 3;
    QTest::newRow("unknown device") << QByteArray("DeviceType") << QByteArray("UnknownDevice") << 4;
    QTest::newRow("part") << QByteArray("UpgradeType") << QByteArray("PartUpgrade") << 0;
    QTest::newRow("complete") << QByteArray("UpgradeType") << QByteArray("CompleteUpgrade") << 1;
    QTest::newRow("mcu") << QByteArray("UpgradeType") << QByteArray("McuUpgrade") << 2;
}

void tst_UpdateInterface::enumeratorsKeepTheirValues()
{
    QFETCH(QByteArray, enumeration);
    QFETCH(QByteArray, key);
    QFETCH(int, value);

    const QMetaObject &meta = UpdateInterface::staticMetaObject;
    const int index = meta.indexOfEnumerator(enumeration.constData());
    QVERIFY(index >= 0);
    const QMetaEnum metaEnum = meta.enumerator(index);
    QCOMPARE(metaEnum.keyCount(), enumeration == "DeviceType" ? 5 : 3);
    QCOMPARE(metaEnum.keyToValue(key.constData()), value);
}

void tst_UpdateInterface::declaresTheInterface()
{
    QCOMPARE(qobject_interface_iid<UpdateInterface *>(), "updatetheme/0.1");
}

QTEST_MAIN(tst_UpdateInterface)
#include "tst_updateinterface.moc"
