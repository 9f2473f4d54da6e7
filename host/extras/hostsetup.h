#ifndef HOSTSETUP_H
#define HOSTSETUP_H

#include <QString>

// Configures the host services from the [Host] group of the settings file:
//
//   [Host]
//   SoftwareVersion=KD_PLV_07      ; BaseControl::getSoftwareVersion()
//   ClientModelId=0                ; ConstSetting::clientModelId
//   BackgroundPicture=/path/bg.png ; BaseControl::getBackgroundPixmap()
//   UsbMounts=/media/usb0, /media/usb1   ; UsbControl, media type 1
//   SdMounts=/media/sd0                  ; UsbControl, media type 2
//   McuModule=true                 ; whether the module "mcu" is registered
//
// Keys that are absent leave the present configuration as it is.
class HostSetup
{
public:
    static void loadSettingsFile();
    static void setMcuModuleAvailable(bool available);
};

#endif // HOSTSETUP_H
