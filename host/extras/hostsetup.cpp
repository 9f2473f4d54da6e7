#include "hostsetup.h"

#include "basecontrol.h"
#include "constsetting.h"
#include "datasavecontrol.h"
#include "mcumoduleplugin.h"
#include "modulemanager.h"
#include "usbcontrol.h"

#include <QSettings>

void HostSetup::loadSettingsFile()
{
    QSettings store(DataSaveControl::settingsFilePath(), QSettings::IniFormat);
    store.beginGroup(QStringLiteral("Host"));
    if (store.contains(QStringLiteral("SoftwareVersion")))
        BaseControl::getInstance()->setSoftwareVersion(
            store.value(QStringLiteral("SoftwareVersion")).toString());
    if (store.contains(QStringLiteral("ClientModelId")))
        ConstSetting::clientModelId = store.value(QStringLiteral("ClientModelId")).toInt();
    if (store.contains(QStringLiteral("BackgroundPicture")))
        BaseControl::getInstance()->setBackgroundPicture(
            store.value(QStringLiteral("BackgroundPicture")).toString());
    if (store.contains(QStringLiteral("UsbMounts")))
        UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_USB,
                                                   store.value(QStringLiteral("UsbMounts")).toStringList());
    if (store.contains(QStringLiteral("SdMounts")))
        UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_SD,
                                                   store.value(QStringLiteral("SdMounts")).toStringList());
    if (store.contains(QStringLiteral("McuModule")))
        setMcuModuleAvailable(store.value(QStringLiteral("McuModule")).toBool());
}

void HostSetup::setMcuModuleAvailable(bool available)
{
    const QString name = QStringLiteral("mcu");
    QSharedPointer<qvappframework::ModuleManager> manager = qvappframework::ModuleManager::self();
    if (!available)
        manager->unregisterModule(name);
    else if (!manager->getModule(name))
        manager->registerModule(QSharedPointer<qvappframework::Module>(new McuModulePlugin));
}
