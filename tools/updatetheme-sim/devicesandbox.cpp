#include "devicesandbox.h"

#include "datasavecontrol.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace {

// The plugin forms every device path with this folder in front.
const char deviceRootVariable[] = "UPDATETHEME_DEVICE_ROOT";

const char styleFolder[] = "/application/resource/update/style0";
const char logoPartition[] = "/dev/mtd14";

// The partition's size as the logo writer copies it: 1500 blocks of 2048 bytes.
const qint64 logoPartitionSize = 3072000;
// The logo record: width and height (little-endian 32-bit) at byte 60, pixels from byte 80.
const int logoSizeOffset = 60;
// The picture size the record prescribes: the head unit's display.
const quint32 logoWidth = 800;
const quint32 logoHeight = 480;

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

DeviceSandbox::DeviceSandbox()
    : m_session(QDir::tempPath() + QStringLiteral("/updatetheme-sim-XXXXXX"))
{
    initStyleResource();
}

bool DeviceSandbox::prepare(const QString &deviceRoot, QString *error)
{
    if (!m_session.isValid()) {
        *error = QStringLiteral("cannot make a temporary folder: %1").arg(m_session.errorString());
        return false;
    }
    m_root
        = deviceRoot.isEmpty() ? m_session.filePath(QStringLiteral("root")) : QDir(deviceRoot).absolutePath();
    if (!QDir().mkpath(m_root)) {
        *error = QStringLiteral("cannot make the device root %1").arg(m_root);
        return false;
    }
    // The machine's own /application, /media/flash and /dev are never the device's.
    m_root = QFileInfo(m_root).canonicalFilePath();
    if (m_root.isEmpty() || m_root == QLatin1String("/")) {
        *error = QStringLiteral("the device root must be a folder of its own, not /");
        return false;
    }

    qputenv(deviceRootVariable, QFile::encodeName(m_root));
    qputenv(DataSaveControl::environmentVariable(), QFile::encodeName(settingsFile()));
    if (!stageStyle() || !makeSettingsArea() || !makeLogoPartition()) {
        *error = QStringLiteral("cannot write the device files under %1").arg(m_root);
        return false;
    }
    m_initialLogoDigest = logoPartitionDigest();
    return true;
}

QString DeviceSandbox::path(const QString &devicePath) const
{
    return m_root + devicePath;
}

QString DeviceSandbox::settingsFile() const
{
    return m_session.filePath(QStringLiteral("settings.ini"));
}

QString DeviceSandbox::mediumFolder(const QString &name) const
{
    return m_session.filePath(QStringLiteral("media/") + name);
}

QString DeviceSandbox::backgroundPicture() const
{
    return path(QLatin1String(styleFolder) + QStringLiteral("/background.png"));
}

bool DeviceSandbox::logoPartitionChanged() const
{
    return logoPartitionDigest() != m_initialLogoDigest;
}

bool DeviceSandbox::stageStyle()
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

bool DeviceSandbox::makeSettingsArea()
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

bool DeviceSandbox::makeLogoPartition()
{
    // A regular file stands in for the MTD device; the plugin's flash code
    // simulates the partition's requests on it.
    const QString device = path(QLatin1String(logoPartition));
    // A named device root keeps the logo an earlier run wrote; a device node,
    // the partition of a head unit, holds its own record and is never written.
    const QFileInfo partition(device);
    if ((partition.isFile() && partition.size() >= logoPartitionSize)
        || (partition.exists() && !partition.isFile() && !partition.isDir()))
        return true;
    if (!QDir().mkpath(QFileInfo(device).path()))
        return false;
    uchar pictureSize[8];
    qToLittleEndian<quint32>(logoWidth, pictureSize);
    qToLittleEndian<quint32>(logoHeight, pictureSize + 4);
    QByteArray record(int(logoPartitionSize), '\0');
    record.replace(logoSizeOffset, sizeof(pictureSize), reinterpret_cast<const char *>(pictureSize),
                   sizeof(pictureSize));
    QFile file(device);
    return file.open(QIODevice::WriteOnly) && file.write(record) == record.size();
}

QByteArray DeviceSandbox::logoPartitionDigest() const
{
    QFile file(path(QLatin1String(logoPartition)));
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (file.open(QIODevice::ReadOnly))
        hash.addData(&file);
    return hash.result();
}
