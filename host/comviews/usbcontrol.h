#ifndef USBCONTROL_H
#define USBCONTROL_H

#include <QHash>
#include <QStringList>

// Kinds of removable media the host mounts.
enum _MediaType { MEDIA_TYPE_USB = 1, MEDIA_TYPE_SD = 2 };

// The removable media the host has mounted.
class UsbControl
{
public:
    static UsbControl *getInstance();

    // The mount directories of the mounted media of that kind, possibly none.
    QStringList getMountDeviceByType(_MediaType type);

    // Host side.
    void setMountDevices(_MediaType type, const QStringList &mountDirectories);

private:
    UsbControl() = default;

    QHash<int, QStringList> m_mounts;
};

#endif // USBCONTROL_H
