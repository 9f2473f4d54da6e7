#ifndef QVAPPFRAMEWORK_MODULEMANAGER_H
#define QVAPPFRAMEWORK_MODULEMANAGER_H

#include <QHash>
#include <QSharedPointer>
#include <QString>

namespace qvappframework {

class Module;

// Registry of the host's service modules.
class ModuleManager
{
public:
    virtual ~ModuleManager();

    static QSharedPointer<ModuleManager> self();

    // The module registered under name, or null.
    virtual QSharedPointer<Module> getModule(const QString &name);

    // Host side.
    void registerModule(const QSharedPointer<Module> &module);
    void unregisterModule(const QString &name);

private:
    QHash<QString, QSharedPointer<Module>> m_modules;
};

} // namespace qvappframework

#endif // QVAPPFRAMEWORK_MODULEMANAGER_H
