#include "modulemanager.h"

#include "module.h"

namespace qvappframework {

ModuleManager::~ModuleManager() = default;

QSharedPointer<ModuleManager> ModuleManager::self()
{
    static QSharedPointer<ModuleManager> manager(new ModuleManager);
    return manager;
}

QSharedPointer<Module> ModuleManager::getModule(const QString &name)
{
    return m_modules.value(name);
}

void ModuleManager::registerModule(const QSharedPointer<Module> &module)
{
    if (module)
        m_modules.insert(module->name(), module);
}

void ModuleManager::unregisterModule(const QString &name)
{
    m_modules.remove(name);
}

} // namespace qvappframework
