#ifndef DEVICEROOT_H
#define DEVICEROOT_H

#include <QString>

// Forms every path on the device. The device root is empty on the head unit,
// so paths read exactly as the device knows them; tests and the simulator set
// UPDATETHEME_DEVICE_ROOT to a sandbox folder so that nothing touches the real
// machine's /media/flash, /dev or /application.
namespace DeviceRoot {

inline const char *environmentVariable()
{
    return "UPDATETHEME_DEVICE_ROOT";
}

QString path(const QString &devicePath);

} // namespace DeviceRoot

#endif // DEVICEROOT_H
