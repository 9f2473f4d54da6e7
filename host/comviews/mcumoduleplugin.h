#ifndef MCUMODULEPLUGIN_H
#define MCUMODULEPLUGIN_H

#include "mcumodule.h"
#include "module.h"

#include <QSharedPointer>

// The module registered as "mcu": hands out the MCU link.
class McuModulePlugin : public qvappframework::Module
{
    Q_OBJECT

public:
    explicit McuModulePlugin(QObject *parent = nullptr);

    QSharedPointer<McuModule> getMcuModule();

private:
    QSharedPointer<McuModule> m_mcuModule;
};

#endif // MCUMODULEPLUGIN_H
