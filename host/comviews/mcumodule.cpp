#include "mcumodule.h"

#include "hostjournal.h"

McuModule::McuModule(QObject *parent)
    : QObject(parent)
{ }

void McuModule::updateSystem()
{
    HostJournal::instance()->record(QStringLiteral("updateSystem"));
    emit updateSystemRequested();
}

void McuModule::rebootSystem()
{
    HostJournal::instance()->record(QStringLiteral("rebootSystem"));
    emit rebootSystemRequested();
}
