#include "factoryimport.h"

#include "basecontrol.h"
#include "commandrunner.h"
#include "datasavecontrol.h"
#include "deviceroot.h"
#include "factorysettings.h"
#include "logowriter.h"
#include "updatelog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace {

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

// The rows in the order they are imported.
const Row rows[] = {
    {"/touch_conf", "/media/flash/nvm/touch_conf", CopyFileWithBackup, 1134},
    {"/Factory.ini", "/media/flash/nvm/Quorvex/Factory.ini", CopyFile, 1144},
    {"/SETUPMENU.ini", "/media/flash/nvm/Quorvex/SETUPMENU.ini", CopyFile, 1153},
    {"/UserData.ini", "/media/flash/nvm/Quorvex/UserData.ini", CopyFile, 1162},
    {"/touch_keys", "/media/flash/nvm/touch_keys", CopyFileWithBackup, 1171},
    {"/direction.json", "/media/flash/nvm/direction.json", CopyDirection, 1181},
    {"/ir_keys", "/media/flash/nvm/ir_keys", CopyFileWithBackup, 1191},
    {"/physical_keys", "/media/flash/nvm/physical_keys", CopyFileWithBackup, 1201},
    {"/logo.jpg", "/media/flash/nvm/logo.jpg", CopyLogoFile, 1212},
    {"/runtime.cfg", "/media/flash/userdata/.runtime.cfg", CopyFile, 1224},
    {"/icon", "/media/flash/nvm/icon", ReplaceFolder, 1236},
    {"/device_install", "/media/flash/userdata/device_install", CopyFile, 1245},
    {"/bootAnimatiom", "/media/flash/nvm/bootAnimatiom", ReplaceFolder, 1257},
    {"/wallpapers", "/media/flash/nvm/wallpapers", ReplaceFolder, 1269},
    {"/logo", "/media/flash/nvm/logo", ReplaceLogoFolder, 1283},
    {"/languages", "/media/flash/nvm/languages", ReplaceFolder, 1352},
    {"/CarHome.png", "/media/flash/nvm/CarHome.png", CopyCarHome, 1368},
};

// The import's records carry the function the factory line's tools match them
// on: the dialog's entry point whose quick-upgrade walk runs the import.
const char logFunction[] = "void UpgradeDialog::setUpgradeFileList(const QStringList&)";

const char copyEntryCommand[] = "cp -arf %1 %2";
const char copyBackupCommand[] = "cp -arf %1 %2.bak";
const char copyFolderCommand[] = "cp -rf %1 %2";
const char removeCommand[] = "rm %1";
const char removeTreeCommand[] = "rm -rf %1";

// Logo folders are imported on this software version only.
const char logoFolderSoftware[] = "KD_PLV_07";

void logCopy(int line, const QString &source)
{
    UpdateLog(logFunction, line)
        .printf("[custom_print][line:%d][copy %s]", line, source.toLocal8Bit().constData());
}

void logCopy(int line, const QString &source, const QString &destination)
{
    UpdateLog(logFunction, line)
        .printf("[custom_print][line:%d][copy %s to %s]", line, source.toLocal8Bit().constData(),
                destination.toLocal8Bit().constData());
}

// The first plain file of folder in name order ignoring case, whatever its extension.
QString firstPlainFile(const QString &folder)
{
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::AllEntries, QDir::Name | QDir::IgnoreCase);
    for (int i = 0; i < entries.size(); ++i) {
        const QFileInfo &entry = entries.at(i);
        if (entry.fileName() != QLatin1String(".") && entry.fileName() != QLatin1String("..")
            && !entry.isDir())
            return entry.absoluteFilePath();
    }
    return QString();
}

// The first entry of the tree at path, path itself included, that is neither
// a plain file nor a folder, links not followed; empty when there is none.
// *mode tells its kind. An entry that cannot be examined counts as one: what
// cannot be checked is not copied. Names are read as bytes, so that names
// that are not in the local encoding are checked like any other.
QByteArray firstSpecialEntry(const QByteArray &path, mode_t *mode)
{
    struct stat status;
    if (::lstat(path.constData(), &status) != 0) {
        *mode = 0;
        return path;
    }
    *mode = status.st_mode;
    if (S_ISREG(status.st_mode))
        return QByteArray();
    if (!S_ISDIR(status.st_mode))
        return path;
    // The folder is read whole and closed before its sub-folders are: a deep
    // tree holds one folder open at a time.
    DIR *folder = ::opendir(path.constData());
    if (!folder)
        return path;
    QList<QByteArray> names;
    for (;;) {
        errno = 0;
        const dirent *entry = ::readdir(folder);
        if (!entry)
            break;
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    // A folder that could not be read to its end counts as one that cannot be examined.
    const bool readWhole = errno == 0;
    ::closedir(folder);
    if (!readWhole)
        return path;
    for (const QByteArray &name : names) {
        QByteArray special = firstSpecialEntry(path + '/' + name, mode);
        if (!special.isEmpty())
            return special;
    }
    return QByteArray();
}

// A link on a medium is copied as a link, and a later copy onto it writes
// wherever it points, outside the settings area; a device node, named pipe or
// socket is recreated by the copy, as root, where anything that reads the
// settings area reaches it. A source that is or holds any of them is refused
// whole, before anything of its row is removed or copied. A refusal is logged
// on line.
bool refuses(const QString &source, int line)
{
    mode_t mode;
    const QByteArray entry = firstSpecialEntry(QFile::encodeName(source), &mode);
    if (entry.isEmpty())
        return false;
    UpdateLog(logFunction, line)
        .printf("[custom_print][line:%d][refuse %s %s]", line, S_ISLNK(mode) ? "link" : "special",
                entry.constData());
    return true;
}

bool copyEntry(const Row &row, const QString &source, const QString &destination)
{
    if (!QFile::exists(source) || refuses(source, row.line))
        return false;
    logCopy(row.line, source);
    CommandRunner::run(QLatin1String(copyEntryCommand), source, destination);
    if (row.kind == CopyFileWithBackup) {
        CommandRunner::run(QLatin1String(copyBackupCommand), source, destination);
    } else if (row.kind == CopyDirection) {
        CommandRunner::run(QLatin1String(copyEntryCommand), source,
                           DeviceRoot::path(QStringLiteral("/media/flash/nvm/direction.bak")));
    } else if (row.kind == CopyLogoFile) {
        UpdateLog(logFunction, 1214).stream()
            << "setUpgradeFileList" << 1214 << "dstF.fileName():" << destination;
        LogoWriter().write(destination);
        // The picture lives on in the partition; its copy is not kept.
        CommandRunner::run(QLatin1String(removeCommand), destination);
    }
    return true;
}

// Makes destination a copy of the source folder; false when there is none.
bool replaceFolder(const QString &source, const QString &destination, int line)
{
    if (!QDir(source).exists() || refuses(source, line))
        return false;
    // "cp -rf" would copy into an existing folder instead of replacing it.
    if (QDir(destination).exists())
        CommandRunner::run(QLatin1String(removeTreeCommand), destination);
    logCopy(line, source, destination);
    CommandRunner::run(QLatin1String(copyFolderCommand), source, destination);
    return true;
}

bool replaceLogoFolder(const QString &source, const QString &destination, int line)
{
    if (BaseControl::getInstance()->getSoftwareVersion() != QLatin1String(logoFolderSoftware)
        || !replaceFolder(source, destination, line))
        return false;
    const QString logo = firstPlainFile(destination);
    if (!logo.isEmpty()) {
        LogoWriter().write(logo);
        DataSaveControl::saveSettingData(QStringLiteral("LogoIndex"), QVariant(0), QString());
        return true;
    }
    if (QDir(destination).exists()) {
        UpdateLog(logFunction, 1312).stream()
            << "setUpgradeFileList" << 1312 << "The destination path does not have a jpg file.";
        CommandRunner::run(QLatin1String(removeTreeCommand), destination);
    }
    return false;
}

// The new picture replaces the old one and configs/carplay_config.xml.
bool replaceCarHome(const QString &source, const QString &destination, int line)
{
    if (!QFile::exists(source) || refuses(source, line))
        return false;
    const QString carHomeConfig
        = DeviceRoot::path(QStringLiteral("/media/flash/nvm/configs/carplay_config.xml"));
    if (QFile::exists(carHomeConfig))
        CommandRunner::run(QLatin1String(removeTreeCommand), carHomeConfig);
    if (QFile::exists(destination))
        CommandRunner::run(QLatin1String(removeTreeCommand), destination);
    logCopy(line, source, destination);
    CommandRunner::run(QLatin1String(copyEntryCommand), source, destination);
    return true;
}

bool importRow(const Row &row, const QString &source, const QString &destination)
{
    switch (row.kind) {
    case CopyFile:
    case CopyFileWithBackup:
    case CopyDirection:
    case CopyLogoFile:
        return copyEntry(row, source, destination);
    case ReplaceFolder:
        return replaceFolder(source, destination, row.line);
    case ReplaceLogoFolder:
        return replaceLogoFolder(source, destination, row.line);
    case CopyCarHome:
        return replaceCarHome(source, destination, row.line);
    }
    return false;
}

} // namespace

bool FactoryImport::importFrom(const QString &mountDirectory)
{
    if (!FactorySettings::factoryCustom())
        return false;
    bool copied = false;
    for (const Row &row : rows) {
        if (importRow(row, mountDirectory + QLatin1String(row.source),
                      DeviceRoot::path(QLatin1String(row.destination))))
            copied = true;
    }
    return copied;
}
