#include "quickupgradewalk.h"

#include "factoryimport.h"
#include "mcumodule.h"
#include "mcumoduleplugin.h"
#include "modulemanager.h"
#include "tipdialog.h"
#include "updatelog.h"
#include "upgradedialog.h"
#include "usbcontrol.h"

#include <QFile>
#include <QFileInfo>

namespace {

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
    UpdateLog(UpgradeDialog::setUpgradeFileListSignature(), line).stream()
        << "[media_print][setUpgradeFileList] idx:" << index << " val:" << image;
}

} // namespace

QuickUpgradeWalk::Outcome QuickUpgradeWalk::walk()
{
    const QStringList media = mountedMedia();
    for (int i = 0; i < media.size(); ++i) {
        const QString &directory = media.at(i);

        if (isQuickUpgradeImage(directory, UpgradeDialog::systemImageName())) {
            logImage(1108, i, onMedium(directory, UpgradeDialog::systemImageName()));
            requestFromMcu(&McuModule::updateSystem);
        }

        if (isQuickUpgradeImage(directory, UpgradeDialog::mcuImageName())) {
            logImage(1122, i, onMedium(directory, UpgradeDialog::mcuImageName()));
            return McuUpgrade;
        }

        if (FactoryImport::importFrom(directory)) {
            TipDialog::showMessage(UpgradeDialog::tr("COPY is Done!"), 0);
            requestFromMcu(&McuModule::rebootSystem);
        }
    }
    UpdateLog(UpgradeDialog::setUpgradeFileListSignature(), 1390).stream() << "[media_print][no_bin_file]";
    return Cancel;
}
