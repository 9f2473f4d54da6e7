#ifndef UPGRADEFILES_H
#define UPGRADEFILES_H

// The upgrade files on a medium, as the host lists them and as the quick
// upgrade finds them: each name is compared whole and case-sensitively.
namespace UpgradeFiles {

const char systemImage[] = "ISPBOOOT.BIN";
const char partPackage[] = "ORBITA_PACK.BIN";
const char mcuImage[] = "mcu.bin";

} // namespace UpgradeFiles

#endif // UPGRADEFILES_H
