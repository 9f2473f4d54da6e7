#include "quickupgradewalk.h"

#include "factoryimport.h"
#include "mcumodule.h"
#include "mcumoduleplugin.h"
#include "modulemanager.h"
#include "tipdialog.h"
#include "updatelog.h"
#include "upgradefiles.h"
#include "usbcontrol.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace {

// The walk's records carry the function the factory line's tools match them
// on: the dialog's entry point that runs the walk.
const char logFunction[] = "void UpgradeDialog::setUpgradeFileList(const QStringList&)";

const char quickUpgradeMarkerName[] = "zel.support.quick.upgrade";

QString onMedium(const QString &mountDirectory, const char *name)
{
    return mountDirectory + QLatin1Char('/') + QLatin1String(name);
}

// Hands a request to the host's MCU module; skipped when the host has none.
void requestFromMcu(void (McuModule::*request)())
{
    QSharedPointer<qvappframework::ModuleManager> manager = qvappframework::ModuleManager::self();
    QSharedPointer<McuModulePlugin> plugin
        = qSharedPointerDynamicCast<McuModulePlugin>(manager->getModule(QStringLiteral("mcu")));
    if (!plugin)
        return;
    QSharedPointer<McuModule> mcu = plugin->getMcuModule();
    if (mcu)
        (mcu.data()->*request)();
}

// The host fixes the kinds: 1 first, 2 only when 1 has no mounted medium.
QStringList mountedMedia()
{
    UsbControl *usb = UsbControl::getInstance();
    QStringList media = usb->getMountDeviceByType(static_cast<_MediaType>(1));
    if (media.isEmpty())
        media = usb->getMountDeviceByType(static_cast<_MediaType>(2));
    return media;
}

// A non-empty image next to an empty marker asks for an upgrade without the user.
bool isQuickUpgradeImage(const QString &mountDirectory, const char *imageName)
{
    const QString image = onMedium(mountDirectory, imageName);
    const QString marker = onMedium(mountDirectory, quickUpgradeMarkerName);
    return QFile::exists(image) && QFileInfo(image).size() >= 1 && QFile::exists(marker)
        && QFileInfo(marker).size() == 0;
}

void logImage(int line, int index, const QString &image)
{
    UpdateLog(logFunction, line).stream()
        << "[media_print][setUpgradeFileList] idx:" << index << " val:" << image;
}

} // namespace

QuickUpgradeWalk::Outcome QuickUpgradeWalk::walk()
{
    const QStringList media = mountedMedia();
    for (int i = 0; i < media.size(); ++i) {
        const QString &directory = media.at(i);

        if (isQuickUpgradeImage(directory, UpgradeFiles::systemImage)) {
            logImage(1108, i, onMedium(directory, UpgradeFiles::systemImage));
            requestFromMcu(&McuModule::updateSystem);
        }

        if (isQuickUpgradeImage(directory, UpgradeFiles::mcuImage)) {
            logImage(1122, i, onMedium(directory, UpgradeFiles::mcuImage));
            return McuUpgrade;
        }

        if (FactoryImport::importFrom(directory)) {
            // Translated in the dialog's context, where the catalogs hold it.
            TipDialog::showMessage(QCoreApplication::translate("UpgradeDialog", "COPY is Done!"), 0);
            requestFromMcu(&McuModule::rebootSystem);
        }
    }
    UpdateLog(logFunction, 1390).stream() << "[media_print][no_bin_file]";
    return Cancel;
}
