#ifndef PLUGINFILE_H
#define PLUGINFILE_H

#include "exitcode.h"

#include <QJsonObject>
#include <QPluginLoader>
#include <QString>

class UpdateInterface;

// The plugin file, loaded as the head unit's host loads it: a Qt plugin of
// the interface "updatetheme/0.1" whose instance is an UpdateInterface. The
// host owns each instance; once it has deleted one, the next call of view()
// gets a fresh one from the plugin.
class PluginFile
{
public:
    explicit PluginFile(const QString &path);

    // Checks the file and its metadata; on failure errorMessage() says why.
    ExitCode open();
    QString errorMessage() const { return m_error; }
    QString path() const { return m_path; }
    // The plugin's metadata: its interface ("IID"), class name and Qt version.
    QJsonObject metaData() const { return m_loader.metaData(); }

    // The plugin's view; null (and errorMessage() set) when it hands out none.
    UpdateInterface *view();

private:
    QString m_path;
    QPluginLoader m_loader;
    QString m_error;
};

#endif // PLUGINFILE_H
