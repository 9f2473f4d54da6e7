#ifndef SANDBOX_H
#define SANDBOX_H

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh device root and settings store for one test case. While it lives,
// every device path and the host's settings point into a temporary folder.
// In the device VM the device root stays the machine's own, so that commands
// and requests reach its flash as they name it on the head unit.
class Sandbox
{
public:
    Sandbox();
    ~Sandbox();

    // Whether the tests run in the device VM (scripts/device-vm.sh), whose
    // /dev/mtd14 is the kernel's flash simulator, theirs to erase.
    static bool onKernelFlash();

    QString root() const;
    // root() + devicePath
    QString path(const QString &devicePath) const;
    // Creates the file (and its folders) under the device root with contents.
    QString writeFile(const QString &devicePath, const QByteArray &contents) const;
    QString settingsFile() const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previousRoot;
    QByteArray m_previousSettings;
};

#endif // SANDBOX_H
