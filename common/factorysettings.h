#ifndef FACTORYSETTINGS_H
#define FACTORYSETTINGS_H

// The factory settings the screens obey, read from the host's store at every
// use so that a change takes effect at once. Unset means off.
class FactorySettings
{
public:
    // "SupportQuickUpgrade": the plugin decides from the media, not the user.
    static bool quickUpgrade();
    // "SupportFactoryCustom": media may carry customisation data to import.
    static bool factoryCustom();
};

#endif // FACTORYSETTINGS_H
