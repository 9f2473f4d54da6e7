#ifndef DEMOMEDIUM_H
#define DEMOMEDIUM_H

#include <QJsonObject>
#include <QString>

// Makes the content of a simulated medium in a folder:
//
//   "upgrade"        the three upgrade files: "ISPBOOOT.BIN", "ORBITA_PACK.BIN" and "mcu.bin"
//                    (its first line names the firmware version "MCU_2.2.0")
//   "customisation"  factory customisation data: the settings files, key and touch maps, a
//                    boot logo, the icon, boot animation, wallpaper, logo and language
//                    folders and the CarHome picture
//   "empty"          nothing
//
// files then adds or replaces single files: a name with a size in bytes (0 makes an
// empty file, e.g. the quick-upgrade marker "zel.support.quick.upgrade"), or with null
// to leave that file out.
class DemoMedium
{
public:
    static bool isContent(const QString &content);
    static bool create(const QString &directory, const QString &content, const QJsonObject &files,
                       QString *error);

private:
    static bool writeUpgradeFiles(const QString &directory);
    static bool writeCustomisation(const QString &directory);
};

#endif // DEMOMEDIUM_H
