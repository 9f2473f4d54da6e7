#ifndef FACTORYIMPORT_H
#define FACTORYIMPORT_H

class QString;

// Imports the factory customisation data a medium carries: settings files,
// key maps, pictures and folders at the top of the medium, each copied to its
// fixed place in the device's settings area by shell commands. A boot-logo
// picture is also written into the logo partition. Every copy is logged.
class FactoryImport
{
public:
    // Imports what the medium mounted at mountDirectory carries, on a device
    // set up for factory customisation; true when anything was copied.
    static bool importFrom(const QString &mountDirectory);

private:
    // How a row treats its source.
    enum Kind {
        CopyFile, // "cp -arf"
        CopyFileWithBackup, // "cp -arf", then again to the destination + ".bak"
        CopyDirection, // "cp -arf", then again to "direction.bak"
        CopyLogoFile, // "cp -arf", write the logo, remove the copy
        ReplaceFolder, // remove the old folder, then "cp -rf"
        ReplaceLogoFolder, // ReplaceFolder on logo software only, then write its first picture
        CopyCarHome // remove configs/carplay_config.xml and the old picture, then "cp -arf"
    };

    struct Row
    {
        const char *source; // under the mount directory
        const char *destination; // on the device
        Kind kind;
        int line; // of the row's log records
    };

    static const Row rows[];

    static bool importRow(const Row &row, const QString &source, const QString &destination);
    static bool copyEntry(const Row &row, const QString &source, const QString &destination);
    static bool replaceFolder(const QString &source, const QString &destination, int line);
    static bool replaceLogoFolder(const QString &source, const QString &destination, int line);
    static bool replaceCarHome(const QString &source, const QString &destination, int line);

    // Whether source, or anything in it, must not be imported; a refusal is
    // logged on line.
    static bool refuses(const QString &source, int line);
};

#endif // FACTORYIMPORT_H
