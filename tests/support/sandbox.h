#ifndef SANDBOX_H
#define SANDBOX_H

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh device root and settings store for one test case. While it lives,
// every device path and the host's settings point into a temporary folder.
class Sandbox
{
public:
    Sandbox();
    ~Sandbox();

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
