#include "datasavecontrol.h"
#include "devicesandbox.h"
#include "hostconfiguration.h"
#include "modulemanager.h"
#include "simoptions.h"
#include "usbcontrol.h"

#include <QTemporaryDir>
#include <QtTest>

// The host is set up from a settings file, the command line on top; the
// given file itself is never written.
class tst_HostConfiguration : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void mcuModule_data();
    void mcuModule();
    void mediaOfTheCommandLineReplaceTheSettingsFiles();
    void settingsFileStaysUntouched();

private:
    QString writeSettings(const QByteArray &contents);
    bool apply(const QStringList &arguments);

    QTemporaryDir m_dir;
    DeviceSandbox *m_sandbox = nullptr;
};

void tst_HostConfiguration::init()
{
    m_sandbox = new DeviceSandbox;
    QString error;
    QVERIFY2(m_sandbox->prepare(QString(), &error), qPrintable(error));
    qvappframework::ModuleManager::self()->unregisterModule("mcu");
    UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_USB, {});
    UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_SD, {});
}

void tst_HostConfiguration::cleanup()
{
    delete m_sandbox;
}

QString tst_HostConfiguration::writeSettings(const QByteArray &contents)
{
    QFile file(m_dir.filePath("settings.ini"));
    file.open(QIODevice::WriteOnly);
    file.write(contents);
    return file.fileName();
}

bool tst_HostConfiguration::apply(const QStringList &arguments)
{
    SimOptions options;
    QString error;
    if (!options.parse(QStringList {"updatetheme-sim"} + arguments, &error)
        || !HostConfiguration::apply(options, *m_sandbox, &error)) {
        qWarning("%s", qPrintable(error));
        return false;
    }
    return true;
}

void tst_HostConfiguration::mcuModule_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("registered");
    QTest::newRow("a head unit has one") << QByteArray() << QStringList() << true;
    QTest::newRow("switched off") << QByteArray() << QStringList {"--mcu-module", "off"} << false;
    QTest::newRow("off in the settings file")
        << QByteArray("[Host]\nMcuModule=false\n") << QStringList() << false;
    QTest::newRow("command line over the file")
        << QByteArray("[Host]\nMcuModule=false\n") << QStringList {"--mcu-module", "on"} << true;
}

void tst_HostConfiguration::mcuModule()
{
    QFETCH(QByteArray, settings);
    QFETCH(QStringList, arguments);
    QFETCH(bool, registered);
    QVERIFY(apply(QStringList {"--settings", writeSettings(settings)} + arguments));
    QCOMPARE(!qvappframework::ModuleManager::self()->getModule("mcu").isNull(), registered);
}

void tst_HostConfiguration::mediaOfTheCommandLineReplaceTheSettingsFiles()
{
    const QString settings
        = writeSettings("[Host]\nUsbMounts=/media/usb0, /media/usb1\nSdMounts=/media/sd0\n");
    QVERIFY(apply({"--settings", settings}));
    QCOMPARE(UsbControl::getInstance()->getMountDeviceByType(MEDIA_TYPE_USB),
             (QStringList {"/media/usb0", "/media/usb1"}));

    QDir(m_dir.path()).mkpath("card");
    QVERIFY(apply({"--settings", settings, "--sd", m_dir.filePath("card")}));
    QCOMPARE(UsbControl::getInstance()->getMountDeviceByType(MEDIA_TYPE_USB), QStringList());
    QCOMPARE(UsbControl::getInstance()->getMountDeviceByType(MEDIA_TYPE_SD),
             QStringList {m_dir.filePath("card")});

    // Without media anywhere, the demo medium: one USB stick with the upgrade files.
    QVERIFY(apply({}));
    const QStringList demo = UsbControl::getInstance()->getMountDeviceByType(MEDIA_TYPE_USB);
    QCOMPARE(demo.size(), 1);
    QVERIFY(QFileInfo(demo.first() + "/ISPBOOOT.BIN").size() > 0);
}

void tst_HostConfiguration::settingsFileStaysUntouched()
{
    const QByteArray original = "[Factory]\nSupportQuickUpgrade=false\n";
    const QString settings = writeSettings(original);
    QVERIFY(apply(
        {"--settings", settings, "--factory", "SupportFactoryCustom=true", "--temp", "MCUVERSION=MCU_1"}));
    DataSaveControl::saveSettingData("LogoIndex", 0, QString());

    QCOMPARE(DataSaveControl::readFactoryData("SupportQuickUpgrade", true), QVariant("false"));
    QCOMPARE(DataSaveControl::readFactoryData("SupportFactoryCustom", false).toBool(), true);
    QCOMPARE(DataSaveControl::readTempData("MCUVERSION", QString()), QVariant("MCU_1"));
    QFile file(settings);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), original);
}

QTEST_MAIN(tst_HostConfiguration)
#include "tst_hostconfiguration.moc"
