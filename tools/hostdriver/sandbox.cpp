#include "sandbox.h"

#include "datasavecontrol.h"
#include "deviceroot.h"
#include "logorecord.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QtEndian>

namespace {

const char styleFolder[] = "/application/resource/update/style0";
const char logoPartition[] = "/dev/mtd14";

// The picture size the logo record prescribes: the head unit's display. The
// device's start-up code writes it into the record's header; the plugin only
// reads it.
const QSize logoSize(800, 480);

const char *const stylePictures[]
    = {"tip_bt_n.png", "tip_bt_d.png", "bt_n.png",    "bt_d.png",    "bt_dis.png",
       "bt_c_n.png",   "bt_c_d.png",   "bt_uc_n.png", "bt_uc_d.png", "background.png"};

// Folders the factory customisation import copies into; on the device they exist.
const char *const settingsFolders[]
    = {"/media/flash/nvm/Quorvex", "/media/flash/nvm/configs", "/media/flash/userdata"};

} // namespace

// The pictures are embedded in the library that holds this class.
static void initStyleResource()
{
    Q_INIT_RESOURCE(style0);
}

Sandbox::Sandbox()
    : m_session(QDir::tempPath() + QStringLiteral("/updatetheme-XXXXXX"))
    , m_previousRoot(qgetenv(DeviceRoot::environmentVariable()))
    , m_previousSettings(qgetenv(DataSaveControl::environmentVariable()))
{
    initStyleResource();
    pointAt(onKernelFlash() ? QString() : m_session.filePath(QStringLiteral("root")));
    QDir().mkpath(path(QStringLiteral("/")));
}

Sandbox::~Sandbox()
{
    qputenv(DeviceRoot::environmentVariable(), m_previousRoot);
    qputenv(DataSaveControl::environmentVariable(), m_previousSettings);
}

bool Sandbox::onKernelFlash()
{
    return qEnvironmentVariableIsSet("UPDATETHEME_DEVICE_VM");
}

bool Sandbox::prepare(const QString &deviceRoot, QString *error)
{
    if (!m_session.isValid()) {
        *error = QStringLiteral("cannot make a temporary folder: %1").arg(m_session.errorString());
        return false;
    }
    QString root
        = deviceRoot.isEmpty() ? m_session.filePath(QStringLiteral("root")) : QDir(deviceRoot).absolutePath();
    if (!QDir().mkpath(root)) {
        *error = QStringLiteral("cannot make the device root %1").arg(root);
        return false;
    }
    // The machine's own /application, /media/flash and /dev are never the device's.
    root = QFileInfo(root).canonicalFilePath();
    if (root.isEmpty() || root == QLatin1String("/")) {
        *error = QStringLiteral("the device root must be a folder of its own, not /");
        return false;
    }
    pointAt(root);
    if (!stageStyle() || !makeSettingsArea() || !makeLogoPartition()) {
        *error = QStringLiteral("cannot write the device files under %1").arg(m_root);
        return false;
    }
    m_initialLogoDigest = logoPartitionDigest();
    return true;
}

void Sandbox::pointAt(const QString &root)
{
    m_root = root;
    qputenv(DeviceRoot::environmentVariable(), QFile::encodeName(m_root));
    qputenv(DataSaveControl::environmentVariable(), QFile::encodeName(settingsFile()));
}

QString Sandbox::root() const
{
    return m_root;
}

QString Sandbox::path(const QString &devicePath) const
{
    return m_root + devicePath;
}

QString Sandbox::writeFile(const QString &devicePath, const QByteArray &contents) const
{
    const QString file = path(devicePath);
    QDir().mkpath(QFileInfo(file).path());
    QFile out(file);
    if (out.open(QIODevice::WriteOnly))
        out.write(contents);
    return file;
}

QString Sandbox::settingsFile() const
{
    return m_session.filePath(QStringLiteral("settings.ini"));
}

QString Sandbox::mediumFolder(const QString &name) const
{
    return m_session.filePath(QStringLiteral("media/") + name);
}

QString Sandbox::backgroundPicture() const
{
    return path(QLatin1String(styleFolder) + QStringLiteral("/background.png"));
}

bool Sandbox::logoPartitionChanged() const
{
    return logoPartitionDigest() != m_initialLogoDigest;
}

bool Sandbox::stageStyle()
{
    const QString folder = path(QLatin1String(styleFolder));
    if (!QDir().mkpath(folder))
        return false;
    for (const char *name : stylePictures) {
        const QString target = folder + QLatin1Char('/') + QLatin1String(name);
        QFile::remove(target);
        if (!QFile::copy(QStringLiteral(":/style0/") + QLatin1String(name), target))
            return false;
        // A copy of an embedded file is read-only; a later run stages over it.
        QFile::setPermissions(target,
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    return true;
}

bool Sandbox::makeSettingsArea()
{
    for (const char *folder : settingsFolders) {
        if (!QDir().mkpath(path(QLatin1String(folder))))
            return false;
    }
    // The configuration file that the CarHome picture's import removes.
    QFile carHomeConfig(path(QStringLiteral("/media/flash/nvm/configs/carplay_config.xml")));
    return carHomeConfig.exists()
        || (carHomeConfig.open(QIODevice::WriteOnly)
            && carHomeConfig.write("<config enabled=\"true\"/>\n") > 0);
}

bool Sandbox::makeLogoPartition()
{
    // A regular file stands in for the MTD device; the plugin's flash code
    // simulates the partition's requests on it.
    const QString device = path(QLatin1String(logoPartition));
    // A named device root keeps the logo an earlier run wrote; a device node,
    // the partition of a head unit, holds its own record and is never written.
    const QFileInfo partition(device);
    if ((partition.isFile() && partition.size() >= LogoRecord::size)
        || (partition.exists() && !partition.isFile() && !partition.isDir()))
        return true;
    if (!QDir().mkpath(QFileInfo(device).path()))
        return false;
    QFile file(device);
    uchar header[8];
    qToLittleEndian<quint32>(quint32(logoSize.width()), header);
    qToLittleEndian<quint32>(quint32(logoSize.height()), header + 4);
    // A blank logo: every byte of the record but the header is 0.
    QImage blank(logoSize, QImage::Format_ARGB32);
    blank.fill(Qt::transparent);
    return file.open(QIODevice::ReadWrite | QIODevice::Truncate) && file.resize(LogoRecord::size)
        && file.seek(LogoRecord::sizeOffset) && file.write(reinterpret_cast<const char *>(header), 8) == 8
        && LogoRecord::writePicture(&file, blank) && LogoRecord::pictureSize(&file) == logoSize;
}

QByteArray Sandbox::logoPartitionDigest() const
{
    QFile file(path(QLatin1String(logoPartition)));
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (file.open(QIODevice::ReadOnly))
        hash.addData(&file);
    return hash.result();
}
