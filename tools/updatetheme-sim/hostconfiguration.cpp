#include "hostconfiguration.h"

#include "basecontrol.h"
#include "constsetting.h"
#include "datasavecontrol.h"
#include "demomedium.h"
#include "hostsetup.h"
#include "sandbox.h"
#include "simoptions.h"
#include "uimanager.h"
#include "usbcontrol.h"

#include <QFile>
#include <QSettings>

bool HostConfiguration::apply(const SimOptions &options, const Sandbox &sandbox, QString *error)
{
    if (!writeSettingsStore(options, sandbox, error))
        return false;
    HostSetup::loadSettingsFile();

    if (options.softwareVersion)
        BaseControl::getInstance()->setSoftwareVersion(*options.softwareVersion);
    if (options.clientModel)
        ConstSetting::clientModelId = *options.clientModel;
    // A head unit has its MCU: the module is there unless switched off.
    const bool settingsChooseModule
        = QSettings(sandbox.settingsFile(), QSettings::IniFormat).contains("Host/McuModule");
    if (options.mcuModule || !settingsChooseModule)
        HostSetup::setMcuModuleAvailable(options.mcuModule.value_or(true));

    qvappframework::UIManager::setDeskTopRect(QRect(QPoint(0, 0), options.screenSize));
    return mountMedia(options, sandbox, error) && setBackground(options, sandbox, error);
}

bool HostConfiguration::writeSettingsStore(const SimOptions &options, const Sandbox &sandbox, QString *error)
{
    // The plugin writes settings too: it works on a copy, the given file stays as it is.
    const QString store = sandbox.settingsFile();
    QFile::remove(store);
    if (!options.settingsFile.isEmpty()) {
        if (!QFile::copy(options.settingsFile, store)) {
            *error = QStringLiteral("cannot copy the settings file %1").arg(options.settingsFile);
            return false;
        }
        QFile::setPermissions(store, QFile::ReadOwner | QFile::WriteOwner);
    }
    for (auto entry = options.factory.constBegin(); entry != options.factory.constEnd(); ++entry)
        DataSaveControl::writeFactoryData(entry.key(), entry.value());
    for (auto entry = options.temp.constBegin(); entry != options.temp.constEnd(); ++entry)
        DataSaveControl::writeTempData(entry.key(), entry.value());
    return true;
}

bool HostConfiguration::mountMedia(const SimOptions &options, const Sandbox &sandbox, QString *error)
{
    UsbControl *mounts = UsbControl::getInstance();
    const QSettings settings(sandbox.settingsFile(), QSettings::IniFormat);
    if (options.media.isEmpty()
        && (settings.contains("Host/UsbMounts") || settings.contains("Host/SdMounts")))
        return true;

    QStringList usb;
    QStringList sd;
    for (const SimulatedMedium &medium : options.mountedMedia()) {
        QString directory = medium.directory;
        if (directory.isEmpty()) {
            directory = sandbox.mediumFolder(medium.name);
            if (!DemoMedium::create(directory, medium.content, medium.files, error))
                return false;
        }
        (medium.type == SimulatedMedium::Usb ? usb : sd).append(directory);
    }
    mounts->setMountDevices(MEDIA_TYPE_USB, usb);
    mounts->setMountDevices(MEDIA_TYPE_SD, sd);
    return true;
}

bool HostConfiguration::setBackground(const SimOptions &options, const Sandbox &sandbox, QString *error)
{
    BaseControl *base = BaseControl::getInstance();
    if (!options.backgroundPicture.isEmpty()) {
        base->setBackgroundPicture(options.backgroundPicture);
        if (!base->getBackgroundPixmap()) {
            *error = QStringLiteral("cannot load the background picture %1").arg(options.backgroundPicture);
            return false;
        }
    } else if (!base->getBackgroundPixmap()) {
        base->setBackgroundPicture(sandbox.backgroundPicture());
    }
    return true;
}
