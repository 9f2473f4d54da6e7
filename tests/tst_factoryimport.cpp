// The factory customisation import, seen from the medium, and the boot-logo
// writer down to the flash partition's requests.
#include "basecontrol.h"
#include "commandlog.h"
#include "commandrunner.h"
#include "datasavecontrol.h"
#include "driverfault.h"
#include "factoryimport.h"
#include "flashpartition.h"
#include "hostjournal.h"
#include "logcapture.h"
#include "logorecord.h"
#include "logowriter.h"
#include "mediatree.h"
#include "sandbox.h"

#include <QBuffer>
#include <QtTest>

#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// The functions the factory line's tools match the records on.
const char importFunction[] = "void UpgradeDialog::setUpgradeFileList(const QStringList&)";
const char logoFunction[] = "void UpgradeDialog::writeLogo(const QString&)";

const QString stagingFile = "/media/flash/userdata/logo.txt";
const QString copyOut = "$ dd if={root}/dev/mtd14 of={root}" + stagingFile + " bs=2048c count=1500";
const QString copyBack = "$ dd if={root}" + stagingFile + " of={root}/dev/mtd14 bs=2048c count=1500";

// A picture of size: a PNG of a gradient, white at one bit a pixel for the
// huge ones, or a chequerboard at one bit a pixel in oneBitFormat when given
// (an XBM loads with the bits of a byte in the other order).
QByteArray pictureBytes(const QSize &size, int red = 200, const char *oneBitFormat = nullptr)
{
    const bool huge = size.width() > 2048 || size.height() > 2048;
    QImage picture(size, huge || oneBitFormat ? QImage::Format_Mono : QImage::Format_RGB32);
    // Every byte set, the rows' padding too: a writer that converts the bits
    // reads whole rows, and a one-bit PNG then carries set bits past each
    // row's last pixel for the logo writer to clear.
    memset(picture.bits(), 0xFF, size_t(picture.sizeInBytes()));
    for (int y = 0; !huge && y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y,
                             oneBitFormat ? uint(x + y) % 2
                                          : qRgb(red, (x * 255) / size.width(), (y * 255) / size.height()));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, oneBitFormat ? oneBitFormat : "PNG");
    return bytes;
}

enum LogoFault {
    NoFault,
    StaleStaging,
    DeviceMissing,
    DeviceGoneAfterCopyOut,
    StagingIsFolder,
    BlankPartition,
    GetInfoFails,
    EraseFails,
    CopyBackFails,
    ReadBackDiffers
};

// What the logo partition holds once the writer is done.
enum Outcome { Written, Untouched, Unchecked };

} // namespace

class tst_FactoryImport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void importsRows_data();
    void importsRows();
    void writesTheLogo_data();
    void writesTheLogo();
    void flashRequests_data();
    void flashRequests();

private:
    QStringList expand(QStringList texts) const;
    // A scratch folder outside the device root, where links on media point.
    QString outside() const { return QFileInfo(m_sandbox->settingsFile()).path() + "/outside"; }
    bool makeMedium(const QStringList &entries) const;
    QByteArray writeFlash(const QByteArray &bytes) const;
    QByteArray partition() const { return readDevice(*m_sandbox, "/dev/mtd14"); }
    QStringList events() const;

    std::unique_ptr<Sandbox> m_sandbox;
    std::unique_ptr<LogCapture> m_log;
    QList<QPair<int, QString>> m_commands; // with the number of records written before each
    QObject m_context;
    QString m_mount;
};

void tst_FactoryImport::init()
{
    m_sandbox.reset(new Sandbox);
    // Commands name the device root as it is, so that expectations can too.
    QVERIFY(CommandRunner::isOrdinary(m_sandbox->root()));
    prepareHeadUnit(*m_sandbox);
    m_log.reset(new LogCapture);
    m_commands.clear();
    connect(CommandLog::instance(), &CommandLog::commandFinished, &m_context,
            [this](const QByteArray &command) {
                m_commands.append({m_log->records().size(), "$ " + QFile::decodeName(command)});
            });
}

void tst_FactoryImport::cleanup()
{
    refuseDriverRequest(0);
    disconnect(CommandLog::instance(), nullptr, &m_context, nullptr);
    m_log.reset();
    m_sandbox.reset();
}

QStringList tst_FactoryImport::expand(QStringList texts) const
{
    return texts.replaceInStrings("{mount}", m_mount)
        .replaceInStrings("{nvm}", "{root}/media/flash/nvm")
        .replaceInStrings("{root}", m_sandbox->root())
        .replaceInStrings("{out}", outside());
}

// Entries under the mount directory: "a/" a folder, "a -> t" a link to t,
// "a|" a named pipe, "a!" a device node (the null device's numbers), a name
// ending in .png, .jpg or .bin a picture, any other a file holding its name.
// False when a device node cannot be made here.
bool tst_FactoryImport::makeMedium(const QStringList &entries) const
{
    QDir().mkpath(m_mount);
    for (const QString &entry : entries) {
        const QString path = m_mount + '/' + entry.section(" -> ", 0, 0);
        const QByteArray special = QFile::encodeName(path.chopped(1));
        QDir().mkpath(QFileInfo(path).path());
        if (entry.contains(" -> ")) {
            ::symlink(QFile::encodeName(expand({entry.section(" -> ", 1)}).first()).constData(),
                      QFile::encodeName(path).constData());
        } else if (entry.endsWith('/')) {
            QDir().mkpath(path);
        } else if (entry.endsWith('|')) {
            ::mkfifo(special.constData(), 0644);
        } else if (entry.endsWith('!')) {
            if (::mknod(special.constData(), S_IFCHR | 0644, makedev(1, 3)) != 0)
                return false;
        } else {
            QFile file(path);
            file.open(QIODevice::WriteOnly);
            const bool picture = QRegularExpression("\\.(png|jpg|bin)$").match(entry).hasMatch();
            file.write(picture ? pictureBytes(QSize(20, 10), qHash(entry) % 256) : entry.toUtf8());
        }
    }
    return true;
}

// Writes the logo partition as flash takes bytes, erased first; what it then holds.
QByteArray tst_FactoryImport::writeFlash(const QByteArray &bytes) const
{
    FlashPartition flash(m_sandbox->path("/dev/mtd14"));
    mtd_info_user info;
    if (flash.open() && flash.getInfo(&info) == 0) {
        const erase_info_user whole = {0, info.size};
        flash.erase(whole);
    }
    flash.close();
    m_sandbox->writeFile("/dev/mtd14", bytes);
    return partition();
}

// What ran and what was logged, in order: "$ command" and "line message";
// a record in the wrong context shows up as an extra entry.
QStringList tst_FactoryImport::events() const
{
    QStringList result;
    const QList<LogCapture::Record> records = m_log->records();
    auto command = m_commands.cbegin();
    for (int i = 0; i <= records.size(); ++i) {
        for (; command != m_commands.cend() && command->first == i; ++command)
            result << command->second;
        if (i == records.size() || records.at(i).file != "update")
            continue;
        const LogCapture::Record &record = records.at(i);
        result << QString::number(record.line) + ' ' + record.message;
        const char *function = record.line >= 1400 ? logoFunction : importFunction;
        if (record.function != function || record.category != "default")
            result << "unexpected context " + record.function + ' ' + record.category;
    }
    return result;
}

void tst_FactoryImport::importsRows_data()
{
    QTest::addColumn<QString>("mountName");
    QTest::addColumn<QStringList>("medium");
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("imported");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QStringList>("before"); // under /media/flash
    QTest::addColumn<QStringList>("after"); // under /media/flash; "-name" for one that must be gone
    QTest::addColumn<QString>("logo");
    QTest::addColumn<bool>("setUp"); // the factory setting "SupportFactoryCustom" true, else unset

    const auto row = [](const char *name, const QStringList &medium, bool imported, const QStringList &events,
                        const QStringList &before, const QStringList &after, const QString &logo = QString(),
                        const QString &version = "KD_PLV_07", const QString &mountName = "usb0") {
        QTest::newRow(name) << mountName << medium << version << imported << events << before << after << logo
                            << true;
    };

    // A relative source path is one from the program's folder, where the compiler ran.
    QFile full(QDir(QCoreApplication::applicationDirPath()).filePath(QFileInfo(__FILE__).path())
               + "/tst_factoryimport.fullmedium");
    QVERIFY2(full.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(full.fileName()));
    row("every row",
        {"touch_conf", "Factory.ini", "SETUPMENU.ini", "UserData.ini", "touch_keys", "direction.json",
         "ir_keys", "physical_keys", "logo.jpg", "runtime.cfg", "icon/apps/nav.png", "device_install",
         "bootAnimatiom/frames/001.png", "wallpapers/w1.jpg", "logo/aaa/inner.png", "logo/Zulu.png",
         "logo/alpha.bin", "languages/en.qm", "CarHome.png"},
        true, QString::fromUtf8(full.readAll()).split('\n').filter(QRegularExpression("^[^#]")),
        {"nvm/icon/old.png", "nvm/configs/carplay_config.xml", "nvm/CarHome.png"},
        {"nvm/touch_conf.bak", "nvm/direction.bak", "userdata/.runtime.cfg", "nvm/icon/apps/nav.png",
         "nvm/logo/aaa/inner.png", "-nvm/logo.jpg", "-nvm/icon/old.png", "-userdata/logo.txt"},
        "logo/alpha.bin");
    QTest::newRow("device not set up for customisation")
        << "usb0" << QStringList {"touch_conf", "logo/a.png"} << "KD_PLV_07" << false << QStringList()
        << QStringList() << QStringList {"-nvm/touch_conf", "-nvm/logo"} << QString() << false;
    row("nothing of the rows, names in other case", {"readme.txt", "Logo.jpg", "Icon/"}, false, {}, {}, {});
    row("folder where a file is expected", {"touch_keys/map.txt"}, true,
        {"1171 [custom_print][line:1171][copy {mount}/touch_keys]",
         "$ cp -arf {mount}/touch_keys {nvm}/touch_keys",
         "$ cp -arf {mount}/touch_keys {nvm}/touch_keys.bak"},
        {}, {"nvm/touch_keys/map.txt", "nvm/touch_keys.bak/map.txt"});
    row("file where a folder is expected", {"icon"}, false, {}, {"nvm/icon/old.png"}, {"nvm/icon/old.png"});
    row("folder replaces the old one", {"wallpapers/new.jpg"}, true,
        {"$ rm -rf {nvm}/wallpapers",
         "1269 [custom_print][line:1269][copy {mount}/wallpapers to {nvm}/wallpapers]",
         "$ cp -rf {mount}/wallpapers {nvm}/wallpapers"},
        {"nvm/wallpapers/old.jpg"},
        {"nvm/wallpapers/new.jpg", "-nvm/wallpapers/old.jpg", "-nvm/wallpapers/wallpapers"});
    row("logo folder on other software", {"logo/a.png"}, false, {}, {"nvm/logo/old.png"},
        {"nvm/logo/old.png", "-nvm/logo/a.png"}, QString(), "KD_PLV_070");
    row("logo folder on the software named in other case", {"logo/a.png"}, false, {}, {"nvm/logo/old.png"},
        {"nvm/logo/old.png", "-nvm/logo/a.png"}, QString(), "kd_plv_07");
    row("logo folder of sub-folders only", {"logo/sub/a.png"}, false,
        {"1283 [custom_print][line:1283][copy {mount}/logo to {nvm}/logo]",
         "$ cp -rf {mount}/logo {nvm}/logo",
         "1312 setUpgradeFileList 1312 The destination path does not have a jpg file.",
         "$ rm -rf {nvm}/logo"},
        {}, {"-nvm/logo"});
    row("logo picture written, then removed", {"logo.jpg"}, true,
        {"1212 [custom_print][line:1212][copy {mount}/logo.jpg]", "$ cp -arf {mount}/logo.jpg {nvm}/logo.jpg",
         "1214 setUpgradeFileList 1214 dstF.fileName(): \"{nvm}/logo.jpg\"",
         "1404 writeLogo 1404 imgPath: \"{nvm}/logo.jpg\"", copyOut, copyBack, "$ rm {nvm}/logo.jpg"},
        {}, {"-nvm/logo.jpg", "-userdata/logo.txt"}, "logo.jpg");
    const QStringList carHome {
        "1368 [custom_print][line:1368][copy {mount}/CarHome.png to {nvm}/CarHome.png]",
        "$ cp -arf {mount}/CarHome.png {nvm}/CarHome.png"};
    row("CarHome.png, old picture and configuration removed", {"CarHome.png"}, true,
        QStringList {"$ rm -rf {nvm}/configs/carplay_config.xml", "$ rm -rf {nvm}/CarHome.png"} + carHome,
        {"nvm/configs/carplay_config.xml", "nvm/CarHome.png"}, {"-nvm/configs/carplay_config.xml"});
    row("CarHome.png, nothing old to remove", {"CarHome.png"}, true, carHome, {}, {"nvm/CarHome.png"});

    // Refused whole, before anything of the row is removed or copied: the
    // first link or special file in it is named.
    const auto refused = [&](const char *name, const QStringList &medium, int line, const QString &entry,
                             const QStringList &before, const QStringList &after) {
        row(name, medium, false, {QString("%1 [custom_print][line:%1][refuse %2]").arg(line).arg(entry)},
            before, before + after);
    };
    refused("link to a file outside", {"touch_conf -> {out}/victim"}, 1134, "link {mount}/touch_conf", {},
            {"-nvm/touch_conf"});
    refused("link to a folder outside", {"icon -> {out}/folder"}, 1236, "link {mount}/icon",
            {"nvm/icon/old.png"}, {});
    refused("link deep in a folder", {"languages/en.qm", "languages/de/outside -> {out}/folder"}, 1352,
            "link {mount}/languages/de/outside", {"nvm/languages/old.qm"}, {"-nvm/languages/en.qm"});
    refused("device node deep in a folder", {"icon/new.png", "icon/deep/null!"}, 1236,
            "special {mount}/icon/deep/null", {"nvm/icon/old.png"}, {"-nvm/icon/new.png"});
    refused("named pipe as the logo picture", {"logo.jpg|"}, 1212, "special {mount}/logo.jpg", {},
            {"-nvm/logo.jpg"});
    refused("named pipe in a file row's folder", {"touch_keys/keys", "touch_keys/pipe|"}, 1171,
            "special {mount}/touch_keys/pipe", {}, {"-nvm/touch_keys"});
    refused("link as CarHome.png, old picture and configuration kept", {"CarHome.png -> {out}/victim"}, 1368,
            "link {mount}/CarHome.png", {"nvm/configs/carplay_config.xml", "nvm/CarHome.png"}, {});
    refused("named pipe deep in the logo folder", {"logo/a.png", "logo/sub/pipe|"}, 1283,
            "special {mount}/logo/sub/pipe", {"nvm/logo/old.png"}, {"-nvm/logo/a.png"});

    // Mount directories are named after volume labels: any but an ordinary
    // path is single-quoted, so that it can neither split a command nor run one.
    const auto named = [&](const char *name, const QString &mountName, const QString &source) {
        row(name, {"touch_conf"}, true,
            {"1134 [custom_print][line:1134][copy {mount}/touch_conf]",
             "$ cp -arf " + source + " {nvm}/touch_conf", "$ cp -arf " + source + " {nvm}/touch_conf.bak"},
            {}, {"nvm/touch_conf", "nvm/touch_conf.bak"}, QString(), "KD_PLV_07", mountName);
    };
    named("ordinary punctuation", "USB_1.a-b+c,d:e@f", "{root}/media/USB_1.a-b+c,d:e@f/touch_conf");
    named("blanks", "MY STICK", "'{root}/media/MY STICK/touch_conf'");
    named("single quote", "it's", "'{root}/media/it'\\''s/touch_conf'");
    named("command separator", "x;touch {out}/owned;", "'{root}/media/x;touch {out}/owned;/touch_conf'");
    named("command substitution", "$(touch {out}/owned)", "'{root}/media/$(touch {out}/owned)/touch_conf'");
    named("placeholders", "50%2off%1", "'{root}/media/50%2off%1/touch_conf'");
    named("newline", "two\nlines", "'{root}/media/two\nlines/touch_conf'");
    named("letters beyond Latin-1", QString::fromUtf8("U\xe7\x9b\x98 \xce\x95\xce\xbb"),
          QString::fromUtf8("'{root}/media/U\xe7\x9b\x98 \xce\x95\xce\xbb/touch_conf'"));
}

void tst_FactoryImport::importsRows()
{
    QFETCH(QString, mountName);
    QFETCH(QStringList, medium);
    QFETCH(QString, version);
    QFETCH(bool, imported);
    QFETCH(QStringList, events);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(QString, logo);
    QFETCH(bool, setUp);

    if (setUp)
        DataSaveControl::writeFactoryData("SupportFactoryCustom", true);
    QDir().mkpath(outside() + "/folder");
    QVERIFY(QFile(outside() + "/victim").open(QIODevice::WriteOnly));
    m_mount = m_sandbox->path("/media/" + expand({mountName}).first());
    if (!makeMedium(medium))
        QSKIP("mknod: device nodes cannot be made here");
    for (const QString &path : before)
        m_sandbox->writeFile("/media/flash/" + path, "old");
    const QByteArray partitionBefore = writeFlash(logoPartition(int(LogoRecord::size), 16, 8));
    BaseControl::getInstance()->setSoftwareVersion(version);

    QCOMPARE(FactoryImport::importFrom(m_mount), imported);
    QCOMPARE(this->events(), expand(events));
    for (const QString &path : after) {
        const QFileInfo entry(m_sandbox->path("/media/flash/" + path.mid(path.startsWith('-'))));
        QVERIFY2(entry.exists() || entry.isSymLink() ? !path.startsWith('-') : path.startsWith('-'),
                 qPrintable(path));
    }
    QVERIFY(partition()
            == (logo.isEmpty()
                    ? partitionBefore
                    : writtenRecord(partitionBefore, int(LogoRecord::size), m_mount + '/' + logo)));
    // The picture of a logo folder becomes the one the head unit shows.
    QStringList journal;
    for (const QJsonObject &entry : HostJournal::instance()->entries())
        journal << HostJournal::toJsonLine(entry);
    QCOMPARE(journal,
             logo.startsWith("logo/")
                 ? QStringList {R"({"key":"LogoIndex","owner":"","request":"saveSettingData","value":0})"}
                 : QStringList());
    // A mount name ran nothing.
    QCOMPARE(QDir(outside()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({"folder", "victim"}));
}

void tst_FactoryImport::writesTheLogo_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<QSize>("header");
    QTest::addColumn<int>("partitionSize");
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<int>("outcome");

    const QString picture = "%1 [zq_print][line:%1] {root}/media/usb0/logo.png %2";
    const QString trace = "%1 [QT] [UpdateStyle0] func: writeLogo line: %1%2";
    const QString badHeader = trace.arg(1426).arg(" /dev/mtd14:invalid logo header\n");
    const QString verifyFailed = trace.arg(1466).arg(" /dev/mtd14:verify failed\n");
    const QString staleRemoved = "1410 [zq_print][line:1410] remove {root}/media/flash/userdata/logo.txt";
    const QString tooLarge = picture.arg(1413).arg("is too large");
    const QSize header(16, 8);
    const int size = int(LogoRecord::size);
    const QByteArray logo = pictureBytes(QSize(20, 10));

    const auto row = [&](const char *name, LogoFault fault, const QStringList &events, Outcome outcome,
                         const QSize &header = QSize(16, 8), int partitionSize = int(LogoRecord::size),
                         const QByteArray &picture = QByteArray()) {
        QTest::newRow(name) << int(fault) << header << partitionSize << (picture.isNull() ? logo : picture)
                            << QStringList {"1404 writeLogo 1404 imgPath: \"{root}/media/usb0/logo.png\""}
                + events << int(outcome);
    };
    const auto written
        = [&](const char *name, const QSize &header, int partitionSize, const QByteArray &picture) {
              row(name, NoFault, {copyOut, copyBack}, Written, header, partitionSize, picture);
          };
    // Refused before anything is copied out.
    const auto refused = [&](const char *name, const QByteArray &picture, const QString &record) {
        row(name, NoFault, {record}, Untouched, header, size, picture);
    };
    const auto badRecord
        = [&](const char *name, const QSize &header, int partitionSize = int(LogoRecord::size)) {
              row(name, NoFault, {copyOut, badHeader}, Untouched, header, partitionSize);
          };

    written("picture of the header's size", QSize(20, 10), size, logo);
    written("picture stretched to the header's size", QSize(16, 16), size, logo);
    written("pixels reaching beyond the record", QSize(1024, 800), size, logo);
    written("header of 16 MiB of pixels", QSize(2048, 2048), size, logo);
    written("partition larger than the record", header, 3 * 1024 * 1024, logo);
    // The erase covers the partition as the driver reports it, not the record.
    written("partition smaller than the record", header, 2048000, logo);
    written("picture 8,192 pixels wide", header, size, pictureBytes(QSize(8192, 10)));
    // The padding after each row's last pixel is cleared, at one bit a pixel inside its byte too.
    written("one-bit PNG, row ends cleared", QSize(20, 10), size, pictureBytes(QSize(20, 10), 200, "PNG"));
    written("one-bit XBM, bits in the other order", QSize(20, 10), size,
            pictureBytes(QSize(20, 10), 200, "XBM"));
    refused("picture 8,193 pixels wide", pictureBytes(QSize(8193, 10)), tooLarge);
    refused("picture 8,193 pixels tall", pictureBytes(QSize(10, 8193)), tooLarge);
    refused("picture of more than 64 MiB decoded", pictureBytes(QSize(8192, 2049)), tooLarge);
    refused("damaged picture", "\x89PNG damaged", picture.arg(1415).arg("is null"));
    row("picture missing, stale staging file", StaleStaging, {staleRemoved, picture.arg(1415).arg("is null")},
        Untouched);
    row("staging file cannot be opened, stays", StagingIsFolder, {staleRemoved, copyOut}, Untouched);
    row("device missing", DeviceMissing, {copyOut}, Unchecked);
    badRecord("header shorter than 68 bytes", header, 64);
    badRecord("header width 0", QSize(0, 8));
    badRecord("header height 0", QSize(16, 0));
    badRecord("header one row beyond 16 MiB", QSize(2048, 2049));
    badRecord("header whose pixel count wraps in 32 bits", QSize(65536, 65536));
    row("blank partition", BlankPartition, {copyOut, badHeader}, Untouched);
    row("device gone after the copy-out", DeviceGoneAfterCopyOut, {copyOut, trace.arg(1438).arg(QString())},
        Unchecked);
    row("getinfo fails", GetInfoFails, {copyOut, trace.arg(1448).arg(" /dev/mtd14:MTD getinfo failed\n")},
        Untouched);
    // In the device VM the flash simulator's faults make the erase and the
    // copy-back fail and a page read back differently (scripts/device-vm.sh).
    row("erase fails", EraseFails, {copyOut, trace.arg(1459).arg(" /dev/mtd14:erase failed\n")}, Unchecked);
    row("copy-back fails", CopyBackFails, {copyOut, copyBack, verifyFailed}, Unchecked);
    row("read-back differs", ReadBackDiffers, {copyOut, copyBack, verifyFailed}, Unchecked);
}

void tst_FactoryImport::writesTheLogo()
{
    QFETCH(int, fault);
    QFETCH(QSize, header);
    QFETCH(int, partitionSize);
    QFETCH(QByteArray, picture);
    QFETCH(QStringList, events);
    QFETCH(int, outcome);

    const QString device = m_sandbox->path("/dev/mtd14");
    const QString staging = m_sandbox->path(stagingFile);
    const QString path = m_sandbox->writeFile("/media/usb0/logo.png", picture);
    const QByteArray before
        = writeFlash(fault == BlankPartition ? QByteArray(partitionSize, char(0xFF))
                                             : logoPartition(partitionSize, header.width(), header.height()));
    if (fault == GetInfoFails)
        refuseDriverRequest(MEMGETINFO);
    // In the device VM the flash simulator makes the erase fail itself.
    if (fault == EraseFails && !Sandbox::onKernelFlash())
        refuseDriverRequest(MEMERASE);
    if (fault == StaleStaging) {
        m_sandbox->writeFile(stagingFile, "stale");
        QFile::remove(path);
    }
    if (fault == StagingIsFolder)
        QDir().mkpath(staging);
    if (fault == DeviceMissing)
        QFile::remove(device);
    // What flash holds after the copy-back when a page write fails (the pages
    // from there on stay erased) or a write did not take (one byte differs).
    // The device VM's flash simulator does this itself.
    const qint64 offset = fault == CopyBackFails ? 700 * 2048 : 100;
    const QByteArray damage
        = fault == CopyBackFails ? QByteArray(int(LogoRecord::size - offset), char(0xFF)) : "!";
    QObject context;
    connect(CommandLog::instance(), &CommandLog::commandFinished, &context, [&](const QByteArray &command) {
        QFile flash(device);
        if (fault == DeviceGoneAfterCopyOut)
            flash.remove();
        else if ((fault == CopyBackFails || fault == ReadBackDiffers) && !Sandbox::onKernelFlash()
                 && command.startsWith("dd if=" + QFile::encodeName(staging))
                 && flash.open(QIODevice::ReadWrite) && flash.seek(offset))
            flash.write(damage);
    });

    LogoWriter().write(path);

    QCOMPARE(this->events(), expand(events));
    // A staging file that cannot be opened stays; the next write removes it.
    QCOMPARE(QFileInfo::exists(staging), fault == StagingIsFolder);
    const QByteArray after = partition();
    if (outcome == Untouched)
        QVERIFY(after == before);
    if (outcome == Written) {
        // The header and what follows the pixels are carried; the pixels are
        // stretched to the header's size unless they have it.
        QVERIFY(after.left(int(LogoRecord::size)) == writtenRecord(before, int(LogoRecord::size), path));
        // The whole partition was erased: on the kernel's flash what follows
        // the record reads 0xFF (a file ends with the copy-back).
        const QByteArray rest = after.mid(int(LogoRecord::size));
        QCOMPARE(rest.count(char(0xFF)), rest.size());
    }
}

void tst_FactoryImport::flashRequests_data()
{
    QTest::addColumn<quint32>("start");
    QTest::addColumn<quint32>("length");
    QTest::addColumn<int>("error");
    QTest::addColumn<QByteArray>("blocks"); // the first two erase blocks after it: "e" erased, "p" as written

    // The kernel refuses a range of other than whole erase blocks; a simulation takes it.
    const bool kernel = Sandbox::onKernelFlash();
    const quint32 block = 128 * 1024;
    QTest::newRow("whole partition") << 0u << 24 * block << 0 << QByteArray("ee");
    QTest::newRow("second erase block") << block << block << 0 << QByteArray("pe");
    QTest::newRow("logo record, not whole erase blocks")
        << 0u << 3072000u << (kernel ? EINVAL : 0) << QByteArray(kernel ? "pp" : "ee");
    QTest::newRow("start inside an erase block")
        << 2048u << block << (kernel ? EINVAL : 0) << QByteArray(kernel ? "pp" : "pe");
    QTest::newRow("beyond the end") << block << 24 * block << EINVAL << QByteArray("pp");
}

// A partition of 24 erase blocks of 128 KiB with 2 KiB pages: in the device
// VM the kernel's flash simulator, elsewhere a file of that size.
void tst_FactoryImport::flashRequests()
{
    QFETCH(quint32, start);
    QFETCH(quint32, length);
    QFETCH(int, error);
    QFETCH(QByteArray, blocks);

    const bool kernel = Sandbox::onKernelFlash();
    const QString device = kernel ? "/dev/mtd14" : QFileInfo(m_sandbox->settingsFile()).path() + "/partition";
    QFile file(device);
    QVERIFY(kernel || (file.open(QIODevice::WriteOnly) && file.resize(3 * 1024 * 1024)));
    FlashPartition partition(device);
    QVERIFY(partition.open());
    mtd_info_user info;
    QCOMPARE(partition.getInfo(&info), 0);
    QCOMPARE(info.size, 3u * 1024 * 1024);
    if (kernel)
        QCOMPARE(QList<quint32>({info.type, info.erasesize, info.writesize}),
                 QList<quint32>({MTD_NANDFLASH, 128 * 1024, 2048}));

    // A page written at the start of the first two erase blocks shows which the request erased.
    const erase_info_user whole = {0, info.size};
    QCOMPARE(partition.erase(whole), 0);
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR);
    QVERIFY(fd >= 0);
    char page[2048];
    memset(page, 'p', sizeof(page));
    for (int i = 0; i < 2; ++i)
        QCOMPARE(pwrite(fd, page, sizeof(page), off_t(i) * 128 * 1024), ssize_t(sizeof(page)));
    const erase_info_user range = {start, length};
    QCOMPARE(partition.erase(range) < 0 ? errno : 0, error);
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(pread(fd, page, sizeof(page), off_t(i) * 128 * 1024), ssize_t(sizeof(page)));
        QCOMPARE(QByteArray(page, sizeof(page)),
                 QByteArray(sizeof(page), blocks.at(i) == 'e' ? char(0xFF) : 'p'));
    }
    ::close(fd);
}

QTEST_MAIN(tst_FactoryImport)
#include "tst_factoryimport.moc"
