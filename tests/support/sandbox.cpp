#include "sandbox.h"

#include "datasavecontrol.h"
#include "deviceroot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

Sandbox::Sandbox()
    : m_previousRoot(qgetenv(DeviceRoot::environmentVariable()))
    , m_previousSettings(qgetenv(DataSaveControl::environmentVariable()))
{
    QDir().mkpath(path(QStringLiteral("/")));
    qputenv(DeviceRoot::environmentVariable(), QFile::encodeName(root()));
    qputenv(DataSaveControl::environmentVariable(), QFile::encodeName(settingsFile()));
}

Sandbox::~Sandbox()
{
    qputenv(DeviceRoot::environmentVariable(), m_previousRoot);
    qputenv(DataSaveControl::environmentVariable(), m_previousSettings);
}

bool Sandbox::onKernelFlash()
{
    return qEnvironmentVariableIsSet("UPDATETHEME_DEVICE_VM");
}

QString Sandbox::root() const
{
    return onKernelFlash() ? QString() : m_dir.path() + QStringLiteral("/root");
}

QString Sandbox::path(const QString &devicePath) const
{
    return root() + devicePath;
}

QString Sandbox::writeFile(const QString &devicePath, const QByteArray &contents) const
{
    const QString file = path(devicePath);
    QDir().mkpath(QFileInfo(file).path());
    QFile out(file);
    if (out.open(QIODevice::WriteOnly))
        out.write(contents);
    return file;
}

QString Sandbox::settingsFile() const
{
    return m_dir.path() + QStringLiteral("/settings.ini");
}
