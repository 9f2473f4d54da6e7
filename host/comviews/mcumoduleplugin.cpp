#include "mcumoduleplugin.h"

McuModulePlugin::McuModulePlugin(QObject *parent)
    : qvappframework::Module(QStringLiteral("mcu"), parent)
    , m_mcuModule(new McuModule)
{ }

QSharedPointer<McuModule> McuModulePlugin::getMcuModule()
{
    return m_mcuModule;
}
