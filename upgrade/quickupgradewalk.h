#ifndef QUICKUPGRADEWALK_H
#define QUICKUPGRADEWALK_H

// The quick upgrade: on devices set up for it, the mounted media decide
// instead of the user. A system image next to the quick-upgrade marker has
// the host's MCU module start the system upgrade, an MCU image next to it
// ends the walk with the MCU upgrade, and on devices set up for factory
// customisation each medium's customisation data is imported.
namespace QuickUpgradeWalk {

enum Outcome { McuUpgrade, Cancel };

// Walks the mounted media; the outcome is the dialog's answer to the host.
Outcome walk();

} // namespace QuickUpgradeWalk

#endif // QUICKUPGRADEWALK_H
