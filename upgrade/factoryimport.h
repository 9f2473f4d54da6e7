#ifndef FACTORYIMPORT_H
#define FACTORYIMPORT_H

class QString;

// Imports the factory customisation data a medium carries: settings files,
// key maps, pictures and folders at the top of the medium, each copied to its
// fixed place in the device's settings area by shell commands. A boot-logo
// picture is also written into the logo partition. Every copy is logged.
namespace FactoryImport {

// Imports what the medium mounted at mountDirectory carries, on a device set
// up for factory customisation; true when anything was copied.
bool importFrom(const QString &mountDirectory);

} // namespace FactoryImport

#endif // FACTORYIMPORT_H
