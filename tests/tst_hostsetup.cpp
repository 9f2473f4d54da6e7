#include "basecontrol.h"
#include "constsetting.h"
#include "hostsetup.h"
#include "mcumoduleplugin.h"
#include "modulemanager.h"
#include "sandbox.h"
#include "usbcontrol.h"

#include <QFile>
#include <QtTest>

// A host program configures the services from the settings file; what it
// leaves out keeps the present configuration.
class tst_HostSetup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void appliesTheHostGroup();
    void absentKeysChangeNothing();
    void mcuModuleComesAndGoes();

private:
    void writeSettings(const QByteArray &contents);

    Sandbox *m_sandbox = nullptr;
};

void tst_HostSetup::init()
{
    m_sandbox = new Sandbox;
    BaseControl::getInstance()->setSoftwareVersion(QString());
    ConstSetting::clientModelId = 0;
    HostSetup::setMcuModuleAvailable(false);
}

void tst_HostSetup::cleanup()
{
    delete m_sandbox;
}

void tst_HostSetup::writeSettings(const QByteArray &contents)
{
    QFile file(m_sandbox->settingsFile());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

void tst_HostSetup::appliesTheHostGroup()
{
    writeSettings("[Host]\nSoftwareVersion=KD_PLV_07\nClientModelId=2\n"
                  "UsbMounts=/media/usb0, /media/usb1\nSdMounts=/media/sd0\nMcuModule=true\n");
    HostSetup::loadSettingsFile();

    QCOMPARE(BaseControl::getInstance()->getSoftwareVersion(), QStringLiteral("KD_PLV_07"));
    QCOMPARE(ConstSetting::clientModelId, 2);
    QCOMPARE(UsbControl::getInstance()->getMountDeviceByType(MEDIA_TYPE_USB),
             (QStringList {"/media/usb0", "/media/usb1"}));
    QCOMPARE(UsbControl::getInstance()->getMountDeviceByType(MEDIA_TYPE_SD), QStringList {"/media/sd0"});
    const QSharedPointer<qvappframework::Module> module
        = qvappframework::ModuleManager::self()->getModule("mcu");
    QVERIFY(qSharedPointerDynamicCast<McuModulePlugin>(module));
    QVERIFY(!BaseControl::getInstance()->getBackgroundPixmap());
}

void tst_HostSetup::absentKeysChangeNothing()
{
    BaseControl::getInstance()->setSoftwareVersion(QStringLiteral("KD_PLV_01"));
    writeSettings("[Host]\nClientModelId=1\n");
    HostSetup::loadSettingsFile();
    QCOMPARE(BaseControl::getInstance()->getSoftwareVersion(), QStringLiteral("KD_PLV_01"));
    QCOMPARE(ConstSetting::clientModelId, 1);
}

void tst_HostSetup::mcuModuleComesAndGoes()
{
    QVERIFY(!qvappframework::ModuleManager::self()->getModule("mcu"));
    HostSetup::setMcuModuleAvailable(true);
    const QSharedPointer<qvappframework::Module> first
        = qvappframework::ModuleManager::self()->getModule("mcu");
    HostSetup::setMcuModuleAvailable(true);
    QCOMPARE(qvappframework::ModuleManager::self()->getModule("mcu"), first);
    HostSetup::setMcuModuleAvailable(false);
    QVERIFY(!qvappframework::ModuleManager::self()->getModule("mcu"));
}

QTEST_MAIN(tst_HostSetup)
#include "tst_hostsetup.moc"
