// The quick-upgrade walk and the factory import over a medium the input
// describes: its mount name, then entries of every kind (files of any size,
// empty ones, folders, links out of the medium, named pipes, unreadable
// files) under the customisation sources' names, the upgrade files' names
// or names of any letters.
#include "datasavecontrol.h"
#include "fuzzsupport.h"
#include "mediatree.h"
#include "quickupgradewalk.h"
#include "sandbox.h"
#include "usbcontrol.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The customisation sources and the upgrade files on a medium.
const char *const knownNames[]
    = {"touch_conf",     "Factory.ini",    "SETUPMENU.ini", "UserData.ini", "touch_keys",
       "direction.json", "ir_keys",        "physical_keys", "logo.jpg",     "runtime.cfg",
       "icon",           "device_install", "bootAnimatiom", "wallpapers",   "logo",
       "languages",      "CarHome.png",    "ISPBOOOT.BIN",  "mcu.bin",      "zel.support.quick.upgrade"};

QString entryName(FuzzedDataProvider &input)
{
    if (input.ConsumeBool())
        return QString::fromLatin1(input.PickValueInArray(knownNames));
    QString name = QString::fromUtf8(input.ConsumeRandomLengthString(24).c_str());
    name.remove(QLatin1Char('/'));
    name.remove(QChar(0));
    return name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ? QStringLiteral("x")
                                                                                       : name;
}

// Makes an entry at path; true when it is or holds a link or a named pipe.
bool makeEntry(FuzzedDataProvider &input, const QString &path, const QString &outside, int depth)
{
    const QByteArray name = QFile::encodeName(path);
    // A name taken stays as it is: a named pipe opened for writing would wait for a reader.
    struct stat status;
    if (lstat(name, &status) == 0)
        return false;
    switch (input.ConsumeIntegralInRange(0, 4)) {
    case 0: {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.resize(input.ConsumeBool() ? 0 : input.ConsumeIntegralInRange(1, 70000));
        return false;
    }
    case 1: {
        bool special = false;
        if (QDir().mkdir(path))
            for (int n = depth < 2 ? input.ConsumeIntegralInRange(0, 3) : 0; n > 0; --n)
                special |= makeEntry(input, path + QLatin1Char('/') + entryName(input), outside, depth + 1);
        return special;
    }
    case 2:
        return symlink(QFile::encodeName(outside + (input.ConsumeBool() ? "/file" : "/folder")), name) == 0;
    case 3:
        return mkfifo(name, 0644) == 0;
    default:
        QFile(path).open(QIODevice::WriteOnly);
        chmod(name, 0);
        return false;
    }
}

// Every entry under folder with its kind and contents, links not followed.
QByteArray snapshot(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        QFile file(entry.filePath());
        const bool plain = entry.isFile() && !entry.isSymLink();
        entries << entry.filePath() + entry.symLinkTarget()
                + QString::fromLatin1(plain && file.open(QIODevice::ReadOnly) ? file.readAll().toHex() : "");
    }
    entries.sort();
    return entries.join(QLatin1Char('\n')).toUtf8();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    Sandbox sandbox;
    prepareHeadUnit(sandbox);
    DataSaveControl::writeFactoryData(QStringLiteral("SupportFactoryCustom"),
                                      input.ConsumeIntegralInRange(0, 7) > 0);
    const QString outside = QFileInfo(sandbox.root()).path() + QStringLiteral("/outside");
    QDir().mkpath(outside + QStringLiteral("/folder"));
    QFile(outside + QStringLiteral("/file")).open(QIODevice::WriteOnly);
    const QString medium = sandbox.mediumFolder(entryName(input));
    QDir().mkpath(medium);
    UsbControl::getInstance()->setMountDevices(input.ConsumeBool() ? MEDIA_TYPE_USB : MEDIA_TYPE_SD,
                                               {medium});
    QStringList refused;
    while (input.remaining_bytes() > 0) {
        const QString path = medium + QLatin1Char('/') + entryName(input);
        if (makeEntry(input, path, outside, 0))
            refused << path;
    }
    const QByteArray outsideBefore = snapshot(outside);
    const QByteArray mediumBefore = snapshot(medium);
    Fuzz::takeCommands();

    QuickUpgradeWalk::walk();

    const QStringList allowed
        = {medium, sandbox.path(QStringLiteral("/media/flash")), sandbox.path(QStringLiteral("/dev/mtd14"))};
    for (const QByteArray &command : Fuzz::takeCommands()) {
        for (const QString &path : Fuzz::commandPaths(command)) {
            Fuzz::check(Fuzz::inside(path, allowed),
                        "a path outside the medium and the settings area: " + command);
            Fuzz::check(!Fuzz::inside(path, refused), "a refused source is copied: " + command);
        }
    }
    Fuzz::check(snapshot(outside) == outsideBefore, QStringLiteral("a file outside the sandbox changed"));
    Fuzz::check(snapshot(medium) == mediumBefore, QStringLiteral("the medium changed"));
    Fuzz::takeWarnings();
    return 0;
}
