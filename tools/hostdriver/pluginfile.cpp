#include "pluginfile.h"

#include "updateinterface.h"

#include <QFileInfo>
#include <QJsonObject>

PluginFile::PluginFile(const QString &path)
    : m_path(path)
{ }

ExitCode PluginFile::open()
{
    if (!QFileInfo(m_path).isFile()) {
        m_error = QStringLiteral("no plugin file at %1").arg(m_path);
        return ExitCode::PluginMissing;
    }
    m_loader.setFileName(QFileInfo(m_path).absoluteFilePath());
    // Reading the metadata loads nothing: a file without it is no Qt plugin.
    const QJsonObject metaData = m_loader.metaData();
    if (metaData.isEmpty()) {
        m_error = QStringLiteral("%1 is not a Qt plugin").arg(m_path);
        return ExitCode::NotAPlugin;
    }
    const QString iid = metaData.value(QStringLiteral("IID")).toString();
    if (iid != QLatin1String(UpdateInterface_iid)) {
        m_error = QStringLiteral("%1 is a plugin of the interface \"%2\", not \"%3\"")
                      .arg(m_path, iid, QLatin1String(UpdateInterface_iid));
        return ExitCode::OtherInterface;
    }
    return ExitCode::Success;
}

UpdateInterface *PluginFile::view()
{
    QObject *instance = m_loader.instance();
    UpdateInterface *view = qobject_cast<UpdateInterface *>(instance);
    if (!view)
        m_error = instance ? QStringLiteral("%1 hands out a %2, not an update view")
                                 .arg(m_path, QLatin1String(instance->metaObject()->className()))
                           : QStringLiteral("%1 cannot be loaded: %2").arg(m_path, m_loader.errorString());
    return view;
}
