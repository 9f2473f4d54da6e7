#ifndef DEVICESANDBOX_H
#define DEVICESANDBOX_H

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// The simulator's stand-in for the device's file system. Everything the
// plugin reads or writes on the device (the style pictures under
// /application, the settings area under /media/flash, the boot-logo
// partition /dev/mtd14) lies under a device root that is a temporary folder
// or one the user names, never the machine's own. A session folder beside it
// holds the host's settings store and the media the simulator makes.
class DeviceSandbox
{
public:
    DeviceSandbox();

    // Makes the device root (deviceRoot, or a temporary one when empty) and
    // points the plugin and the host's settings store at it.
    bool prepare(const QString &deviceRoot, QString *error);

    QString root() const { return m_root; }
    // root() + devicePath
    QString path(const QString &devicePath) const;
    QString settingsFile() const;
    // A folder for a medium the simulator makes, e.g. "usb0".
    QString mediumFolder(const QString &name) const;
    // The staged background picture.
    QString backgroundPicture() const;

    // Whether the boot-logo partition holds anything else than it held when prepared.
    bool logoPartitionChanged() const;

private:
    bool stageStyle();
    bool makeSettingsArea();
    bool makeLogoPartition();
    QByteArray logoPartitionDigest() const;

    QTemporaryDir m_session;
    QString m_root;
    QByteArray m_initialLogoDigest;
};

#endif // DEVICESANDBOX_H
