// Media from anyone, run through the quick-upgrade pass with factory
// customisation: hostile mount and entry names, links, device nodes and named
// pipes as sources or inside them, a crowded logo folder, broken and
// oversized pictures and logo records with corrupt headers. Each medium must
// end in the import's normal result or its refusal, run no command but the
// import's own and write nothing outside the device root: the media, a folder
// of canaries the links point to and the working folder are compared before
// and after.
#include "commandrunner.h"
#include "datasavecontrol.h"
#include "hostjournal.h"
#include "logcapture.h"
#include "logorecord.h"
#include "mediatree.h"
#include "sandbox.h"
#include "upgradedialog.h"
#include "usbcontrol.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QPainter>
#include <QtTest>

#include <atomic>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

using Medium = QByteArrayList; // the mount directory's name, then its entries
Q_DECLARE_METATYPE(QList<Medium>)

namespace {

// The import's sources and destinations, in the order of its table.
const char *const importRows[][2] = {
    {"/touch_conf", "/media/flash/nvm/touch_conf"},
    {"/Factory.ini", "/media/flash/nvm/Quorvex/Factory.ini"},
    {"/SETUPMENU.ini", "/media/flash/nvm/Quorvex/SETUPMENU.ini"},
    {"/UserData.ini", "/media/flash/nvm/Quorvex/UserData.ini"},
    {"/touch_keys", "/media/flash/nvm/touch_keys"},
    {"/direction.json", "/media/flash/nvm/direction.json"},
    {"/ir_keys", "/media/flash/nvm/ir_keys"},
    {"/physical_keys", "/media/flash/nvm/physical_keys"},
    {"/logo.jpg", "/media/flash/nvm/logo.jpg"},
    {"/runtime.cfg", "/media/flash/userdata/.runtime.cfg"},
    {"/icon", "/media/flash/nvm/icon"},
    {"/device_install", "/media/flash/userdata/device_install"},
    {"/bootAnimatiom", "/media/flash/nvm/bootAnimatiom"},
    {"/wallpapers", "/media/flash/nvm/wallpapers"},
    {"/logo", "/media/flash/nvm/logo"},
    {"/languages", "/media/flash/nvm/languages"},
    {"/CarHome.png", "/media/flash/nvm/CarHome.png"},
};

enum Record { NormalRecord, ZeroRecord, ErasedRecord, HugeRecord };

QByteArray picture(const QSize &size, const char *format)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QPainter painter(&image);
    painter.fillRect(QRect(QPoint(), size / 2), Qt::yellow);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

void makePath(const QByteArray &path)
{
    for (int slash = path.indexOf('/', 1); slash > 0; slash = path.indexOf('/', slash + 1))
        ::mkdir(path.left(slash).constData(), 0755);
    ::mkdir(path.constData(), 0755);
}

void writeFile(const QByteArray &path, const QByteArray &contents)
{
    makePath(path.left(path.lastIndexOf('/')));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QVERIFY2(fd >= 0 && ::write(fd, contents.constData(), size_t(contents.size())) == contents.size(),
             path.constData());
    ::close(fd);
}

// Every entry under folder, links not followed: name, kind, size and the
// contents' hash or the link's target.
void listTree(const QByteArray &folder, const QByteArrayList &skipped, QStringList *entries)
{
    DIR *dir = ::opendir(folder.constData());
    if (!dir)
        return;
    while (dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        const QByteArray path = folder + '/' + name;
        struct stat status;
        if (name == "." || name == ".." || skipped.contains(path) || ::lstat(path.constData(), &status) != 0)
            continue;
        QByteArray detail;
        if (S_ISLNK(status.st_mode)) {
            char target[4096];
            const ssize_t length = ::readlink(path.constData(), target, sizeof(target));
            detail = QByteArray(target, int(qMax<ssize_t>(length, 0)));
        } else if (S_ISREG(status.st_mode)) {
            QFile file(QFile::decodeName(path));
            if (file.open(QIODevice::ReadOnly))
                detail = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex();
        }
        entries->append(QString::fromLatin1(path.toPercentEncoding("/") + ' '
                                            + QByteArray::number(status.st_mode, 8) + ' '
                                            + QByteArray::number(qint64(status.st_size)) + ' ' + detail));
        if (S_ISDIR(status.st_mode))
            listTree(path, skipped, entries);
    }
    ::closedir(dir);
}

// Unblocks whoever opens the named pipe for reading, so that a reader that
// would wait forever fails the case instead of hanging the run.
class PipeWatchdog
{
public:
    explicit PipeWatchdog(const QByteArray &pipe)
        : m_thread([this, pipe] {
            for (int waited = 0; !m_done; waited += 50) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                struct stat status;
                const bool isPipe = ::lstat(pipe.constData(), &status) == 0 && S_ISFIFO(status.st_mode);
                const int fd
                    = waited >= 5000 && isPipe ? ::open(pipe.constData(), O_WRONLY | O_NONBLOCK) : -1;
                if (fd >= 0) {
                    m_fired = true;
                    ::close(fd);
                }
            }
        })
    { }
    ~PipeWatchdog() { stop(); }

    bool stop()
    {
        m_done = true;
        if (m_thread.joinable())
            m_thread.join();
        return m_fired;
    }

private:
    std::atomic<bool> m_done {false};
    std::atomic<bool> m_fired {false};
    std::thread m_thread;
};

} // namespace

class tst_HostileMedia : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void importsHostileMedia_data();
    void importsHostileMedia();

private:
    QByteArray expand(QByteArray text) const;
    QString makeMedium(const Medium &medium);
    QByteArray writePartition(Record record) const;
    QSet<QByteArray> allowedCommands(const QStringList &mounts) const;
    QStringList world() const;

    std::unique_ptr<Sandbox> m_sandbox;
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<QSignalSpy> m_commands;
    QByteArray m_world;
    QString m_previousFolder;
};

void tst_HostileMedia::init()
{
    m_sandbox.reset(new Sandbox);
    m_world = QFile::encodeName(QFileInfo(m_sandbox->root()).path());
    QVERIFY(CommandRunner::isOrdinary(QFile::decodeName(m_world)));
    writeFile(m_world + "/outside/victim", "canary");
    writeFile(m_world + "/outside/folder/inside", "canary");
    // Where a command with a relative path would write.
    makePath(m_world + "/cwd");
    m_previousFolder = QDir::currentPath();
    QDir::setCurrent(QFile::decodeName(m_world + "/cwd"));

    prepareHeadUnit(*m_sandbox);
    DataSaveControl::writeFactoryData("SupportQuickUpgrade", true);
    DataSaveControl::writeFactoryData("SupportFactoryCustom", true);
    m_log.reset(new LogCapture);
    m_commands.reset(new QSignalSpy(CommandRunner::instance(), &CommandRunner::commandFinished));
}

void tst_HostileMedia::cleanup()
{
    QDir::setCurrent(m_previousFolder);
    m_commands.reset();
    m_log.reset();
    m_sandbox.reset();
}

QByteArray tst_HostileMedia::expand(QByteArray text) const
{
    return text.replace("{out}", m_world + "/outside");
}

// Entries: "a/" a folder, "a -> t" a link to t, "a|" a named pipe, "a!" a
// device node (the null device's numbers), "a=N" N bytes, "a=cut" half a
// picture, "a=WxH" a PNG of W by H pixels at one bit a pixel, "a.png" or
// "a.jpg" a 20 by 10 picture, "logo/*1000" a logo folder of 1,000 entries;
// any other name a file holding its name. Empty when a device node cannot be
// made here.
QString tst_HostileMedia::makeMedium(const Medium &medium)
{
    const QByteArray mount = m_world + "/media/" + expand(medium.first());
    makePath(mount);
    for (QByteArray entry : medium.mid(1)) {
        entry = expand(entry);
        const QByteArray path = mount + '/' + entry.split('=').first().split(' ').first();
        const QByteArray value = entry.contains('=') ? entry.mid(entry.indexOf('=') + 1) : QByteArray();
        if (entry.contains(" -> ")) {
            ::symlink(entry.mid(entry.indexOf(" -> ") + 4).constData(), path.constData());
        } else if (entry.endsWith('/')) {
            makePath(path.chopped(1));
        } else if (entry.endsWith('|')) {
            ::mkfifo(path.chopped(1).constData(), 0644);
        } else if (entry.endsWith('!')) {
            if (::mknod(path.chopped(1).constData(), S_IFCHR | 0644, makedev(1, 3)) != 0)
                return QString();
        } else if (entry == "logo/*1000") {
            makePath(mount + "/logo/000");
            writeFile(mount + "/logo/000-first.png", picture(QSize(20, 10), "PNG"));
            for (int i = 2; i < 1000; ++i)
                writeFile(mount + "/logo/entry" + QByteArray::number(i), "entry");
        } else if (value == "cut") {
            writeFile(path, picture(QSize(64, 32), "JPEG").left(600));
        } else if (value.contains('x')) {
            const QByteArrayList sides = value.split('x');
            QImage image(sides.first().toInt(), sides.last().toInt(), QImage::Format_Mono);
            image.fill(1);
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
            writeFile(path, buffer.data());
        } else if (!value.isEmpty()) {
            writeFile(path, QByteArray(value.toInt(), 'x'));
        } else if (entry.endsWith(".png") || entry.endsWith(".jpg")) {
            writeFile(path, picture(QSize(20, 10), entry.endsWith(".png") ? "PNG" : "JPEG"));
        } else {
            writeFile(path, entry);
        }
    }
    // The host reports the mount directory as a string.
    return QFile::decodeName(mount);
}

// A record prescribing 16 by 8 pixels, or one with a corrupt header.
QByteArray tst_HostileMedia::writePartition(Record record) const
{
    QByteArray bytes = record == HugeRecord ? logoPartition(int(LogoRecord::size), 8192, 8192)
                                            : logoPartition(int(LogoRecord::size), 16, 8);
    if (record == ZeroRecord || record == ErasedRecord)
        bytes.fill(record == ZeroRecord ? '\0' : '\xff');
    m_sandbox->writeFile("/dev/mtd14", bytes);
    return bytes;
}

// Every command the import may run for these media.
QSet<QByteArray> tst_HostileMedia::allowedCommands(const QStringList &mounts) const
{
    const QString nvm = m_sandbox->path("/media/flash/nvm");
    const QString staging = m_sandbox->path("/media/flash/userdata/logo.txt");
    const QString device = m_sandbox->path("/dev/mtd14");
    QSet<QByteArray> allowed {
        CommandRunner::command("rm -rf %1", nvm + "/configs/carplay_config.xml"),
        CommandRunner::command("dd if=%1 of=%2 bs=2048c count=1500", device, staging),
        CommandRunner::command("dd if=%1 of=%2 bs=2048c count=1500", staging, device),
    };
    for (const auto &row : importRows) {
        const QString destination = m_sandbox->path(row[1]);
        allowed << CommandRunner::command("rm -rf %1", destination)
                << CommandRunner::command("rm %1", destination);
        for (const QString &mount : mounts) {
            const QString source = mount + row[0];
            allowed << CommandRunner::command("cp -arf %1 %2", source, destination)
                    << CommandRunner::command("cp -arf %1 %2.bak", source, destination)
                    << CommandRunner::command("cp -arf %1 %2", source, nvm + "/direction.bak")
                    << CommandRunner::command("cp -rf %1 %2", source, destination);
        }
    }
    return allowed;
}

// Everything outside the device root and the host's settings: media,
// canaries, working folder.
QStringList tst_HostileMedia::world() const
{
    QStringList entries;
    listTree(m_world, {QFile::encodeName(m_sandbox->root()), QFile::encodeName(m_sandbox->settingsFile())},
             &entries);
    entries.sort();
    return entries;
}

void tst_HostileMedia::importsHostileMedia_data()
{
    QTest::addColumn<QList<Medium>>("media");
    QTest::addColumn<int>("record");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");
    QTest::addColumn<QStringList>("requests");
    QTest::addColumn<QString>("logo");
    QTest::addColumn<QString>("message");

    const QStringList keysAndIcons {"/media/flash/nvm/touch_conf", "/media/flash/nvm/touch_conf.bak",
                                    "/media/flash/nvm/icon/app.png"};
    const QStringList done {"toast", "rebootSystem"};
    const auto named = [&](const char *row, const QByteArray &name) {
        QTest::newRow(row) << QList<Medium> {{name, "touch_conf", "icon/app.png"}} << int(NormalRecord)
                           << keysAndIcons << QStringList() << done << QString() << QString();
    };
    named("blanks", "MY STICK");
    named("quotes", "it's \"quoted\"");
    named("command separator", "x;touch {out}/owned;");
    named("command substitution", "$(touch {out}/owned)");
    named("backquotes", "`touch {out}/owned`");
    named("placeholders", "%1 %2 50%");
    named("newline", "two\nlines");
    named("letters beyond Latin-1", "U\xe7\x9b\x98 \xce\x95\xce\xbb\xce\xbb\xce\xac\xce\xb4\xce\xb1");
    // Nothing imported, the host asked nothing.
    const auto ignored
        = [](const char *row, const Medium &medium, const QStringList &absent, const QString &message) {
              QTest::newRow(row) << QList<Medium> {medium} << int(NormalRecord) << QStringList() << absent
                                 << QStringList() << QString() << message;
          };
    // The host can only report the name as a string, which no longer names the
    // folder.
    ignored("mount name not UTF-8", {"\xff\xfe stick", "touch_conf"}, {"/media/flash/nvm/touch_conf"},
            QString());
    // Copied byte for byte; a name that cannot be read is no logo picture.
    QTest::newRow("entry names not UTF-8")
        << QList<Medium> {{"latin", "icon/\xff\xfe.png", "logo/\xe9t\xe9.png"}} << int(NormalRecord)
        << QStringList {"/media/flash/nvm/icon"} << QStringList {"/media/flash/nvm/logo"} << done << QString()
        << "does not have a jpg file";

    ignored("source linked to a file outside", {"links", "touch_conf -> {out}/victim"},
            {"/media/flash/nvm/touch_conf"}, "refuse link");
    ignored("source linked to a folder outside", {"links", "icon -> {out}/folder", "logo -> {out}/folder"},
            {"/media/flash/nvm/icon", "/media/flash/nvm/logo"}, "refuse link");
    ignored("dangling links", {"links", "logo.jpg -> {out}/missing.jpg", "CarHome.png -> missing.png"},
            {"/media/flash/nvm/CarHome.png"}, QString());
    ignored("looping links", {"links", "wallpapers -> wallpapers", "languages -> loop", "loop -> languages"},
            {"/media/flash/nvm/wallpapers"}, QString());
    QTest::newRow("link planted by one medium, written through by the next")
        << QList<Medium> {{"first", "touch_conf -> {out}/victim", "device_install -> {out}/folder"},
                          {"second", "touch_conf", "device_install/payload"}}
        << int(NormalRecord)
        << QStringList {"/media/flash/nvm/touch_conf", "/media/flash/userdata/device_install/payload"}
        << QStringList() << done << QString() << "refuse link";
    // Refused whole, before the old folder is removed: the first medium's icons stay.
    QTest::newRow("device node inside a folder")
        << QList<Medium> {{"first", "icon/old.png"},
                          {"second", "icon/new.png", "icon/deep/", "icon/deep/null!"}}
        << int(NormalRecord) << QStringList {"/media/flash/nvm/icon/old.png"}
        << QStringList {"/media/flash/nvm/icon/new.png"} << done << QString()
        << "[custom_print][line:1236][refuse special {mount}/icon/deep/null]";
    ignored("named pipes as and inside sources",
            {"pipes", "logo.jpg|", "touch_keys/keys", "touch_keys/pipe|", "wallpapers/sub/",
             "wallpapers/sub/pipe|"},
            {"/media/flash/nvm/logo.jpg", "/media/flash/nvm/touch_keys", "/media/flash/nvm/wallpapers"},
            "[custom_print][line:1269][refuse special {mount}/wallpapers/sub/pipe]");
    ignored("link inside a folder",
            {"links", "languages/en.qm", "languages/de/", "languages/de/outside -> {out}/folder"},
            {"/media/flash/nvm/languages"},
            "[custom_print][line:1352][refuse link {mount}/languages/de/outside]");

    QTest::newRow("logo folder of 1,000 entries")
        << QList<Medium> {{"logos", "logo/*1000"}} << int(NormalRecord)
        << QStringList {"/media/flash/nvm/logo/000", "/media/flash/nvm/logo/entry999"} << QStringList()
        << QStringList {"saveSettingData", "toast", "rebootSystem"} << "logo/000-first.png" << QString();
    // One logo picture, copied and removed again; written is the picture that
    // loads.
    const auto logo = [&](const char *row, const QByteArray &entry, Record record, const QString &written,
                          const QString &message) {
        QTest::newRow(row) << QList<Medium> {{"logos", entry}} << int(record) << QStringList()
                           << QStringList {"/media/flash/nvm/logo.jpg"} << done << written << message;
    };
    logo("picture of 0 bytes", "logo.jpg=0", NormalRecord, QString(), "is null");
    logo("truncated picture", "logo.jpg=cut", NormalRecord, "logo.jpg", QString());
    const QString tooLarge = "[zq_print][line:1413] {root}/media/flash/nvm/logo.jpg is too large";
    logo("picture wider than 8,192 pixels", "logo.jpg=9000x10", NormalRecord, QString(), tooLarge);
    logo("picture taller than 8,192 pixels", "logo.jpg=10x9000", NormalRecord, QString(), tooLarge);
    logo("picture of more than 64 MiB decoded", "logo.jpg=8192x2049", NormalRecord, QString(), tooLarge);
    logo("picture 8,192 pixels wide", "logo.jpg=8192x10", NormalRecord, "logo.jpg", QString());
    logo("logo header of zeros", "logo.jpg", ZeroRecord, QString(), "invalid logo header");
    logo("logo header of 0xFF bytes", "logo.jpg", ErasedRecord, QString(), "invalid logo header");
    logo("logo header of 8192 by 8192", "logo.jpg", HugeRecord, QString(), "invalid logo header");
}

void tst_HostileMedia::importsHostileMedia()
{
    QFETCH(QList<Medium>, media);
    QFETCH(int, record);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    QFETCH(QStringList, requests);
    QFETCH(QString, logo);
    QFETCH(QString, message);

    QStringList mounts;
    for (const Medium &medium : media)
        mounts << makeMedium(medium);
    if (mounts.contains(QString()))
        QSKIP("mknod: device nodes cannot be made here");
    message.replace("{mount}", mounts.last()).replace("{root}", m_sandbox->root());
    UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_USB, mounts);
    const QByteArray before = writePartition(Record(record));
    const QStringList untouched = world();

    UpgradeDialog dialog(nullptr);
    QSignalSpy cancel(&dialog, &UpgradeDialog::cancelSig);
    PipeWatchdog watchdog(QFile::encodeName(m_sandbox->path("/media/flash/nvm/logo.jpg")));
    dialog.setUpgradeFileList(QStringList());
    QVERIFY2(!watchdog.stop(), "the import waited on a named pipe");

    QCOMPARE(cancel.count(), 1);
    const QSet<QByteArray> allowed = allowedCommands(mounts);
    for (const QList<QVariant> &command : *m_commands)
        QVERIFY2(allowed.contains(command.first().toByteArray()), command.first().toByteArray().constData());
    QCOMPARE(world(), untouched);
    QCOMPARE(HostJournal::instance()->requests(), requests);
    for (const QString &path : present)
        QVERIFY2(QFileInfo(m_sandbox->path(path)).exists(), qPrintable(path));
    for (const QString &path : absent)
        QVERIFY2(!QFileInfo(m_sandbox->path(path)).exists() && !QFileInfo(m_sandbox->path(path)).isSymLink(),
                 qPrintable(path));
    QVERIFY(
        readDevice(*m_sandbox, "/dev/mtd14")
        == writtenRecord(before, int(LogoRecord::size), logo.isEmpty() ? logo : mounts.last() + '/' + logo));
    if (!message.isEmpty())
        QVERIFY2(m_log->messages().filter(message).size() >= 1, qPrintable(m_log->messages().join('\n')));
}

QTEST_MAIN(tst_HostileMedia)
#include "tst_hostilemedia.moc"
