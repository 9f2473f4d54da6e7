#ifndef SANDBOX_H
#define SANDBOX_H

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// The device's file system on the desk. While it lives, every device path
// the plugin forms (the style pictures under /application, the settings area
// under /media/flash, the boot-logo partition /dev/mtd14) and the host's
// settings store point into a session folder of its own, never the machine's.
// A test takes it as it is made: an empty device root. The simulator
// prepares it as a head unit: a device root it may name, with the style
// pictures, the settings area and a logo partition.
//
// In the device VM (scripts/device-vm.sh) a test's device root stays the
// machine's own, so that commands and requests reach its flash as they name
// it on the head unit; a prepared sandbox never does.
class Sandbox
{
public:
    Sandbox();
    ~Sandbox();

    // Whether the tests run in the device VM, whose /dev/mtd14 is the
    // kernel's flash simulator, theirs to erase.
    static bool onKernelFlash();

    // Makes the device root (deviceRoot, or one in the session folder when
    // empty) and furnishes it as the head unit's.
    bool prepare(const QString &deviceRoot, QString *error);

    QString root() const;
    // root() + devicePath
    QString path(const QString &devicePath) const;
    // Creates the file (and its folders) under the device root with contents.
    QString writeFile(const QString &devicePath, const QByteArray &contents) const;
    QString settingsFile() const;
    // A folder for a medium the simulator makes, e.g. "usb0".
    QString mediumFolder(const QString &name) const;
    // The staged background picture.
    QString backgroundPicture() const;

    // Whether the boot-logo partition holds anything else than it held when prepared.
    bool logoPartitionChanged() const;

private:
    void pointAt(const QString &root);
    bool stageStyle();
    bool makeSettingsArea();
    bool makeLogoPartition();
    QByteArray logoPartitionDigest() const;

    QTemporaryDir m_session;
    QString m_root;
    QByteArray m_previousRoot;
    QByteArray m_previousSettings;
    QByteArray m_initialLogoDigest;
};

#endif // SANDBOX_H
