#ifndef HOSTCONFIGURATION_H
#define HOSTCONFIGURATION_H

#include <QString>

class Sandbox;
class SimOptions;

// Configures the host's services the way the head unit would be set up:
// the settings store (a copy of the given settings file, then the factory
// settings and temporary data of the command line or scenario), software
// version, client model, the module "mcu" (registered unless switched off),
// the mounted media, the background picture and the desktop rectangle.
class HostConfiguration
{
public:
    static bool apply(const SimOptions &options, const Sandbox &sandbox, QString *error);

private:
    static bool writeSettingsStore(const SimOptions &options, const Sandbox &sandbox, QString *error);
    static bool mountMedia(const SimOptions &options, const Sandbox &sandbox, QString *error);
    static bool setBackground(const SimOptions &options, const Sandbox &sandbox, QString *error);
};

#endif // HOSTCONFIGURATION_H
