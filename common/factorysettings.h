#ifndef FACTORYSETTINGS_H
#define FACTORYSETTINGS_H

// The factory settings the screens obey, read from the host's store at every
// use so that a change takes effect at once. Unset means off.
namespace FactorySettings {

// "SupportQuickUpgrade": the plugin decides from the media, not the user.
bool quickUpgrade();
// "SupportFactoryCustom": media may carry customisation data to import.
bool factoryCustom();

} // namespace FactorySettings

#endif // FACTORYSETTINGS_H
