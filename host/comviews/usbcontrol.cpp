#include "usbcontrol.h"

UsbControl *UsbControl::getInstance()
{
    static UsbControl control;
    return &control;
}

QStringList UsbControl::getMountDeviceByType(_MediaType type)
{
    return m_mounts.value(type);
}

void UsbControl::setMountDevices(_MediaType type, const QStringList &mountDirectories)
{
    m_mounts.insert(type, mountDirectories);
}
