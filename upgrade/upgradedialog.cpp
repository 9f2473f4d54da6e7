#include "upgradedialog.h"

#include "basecontrol.h"
#include "commandrunner.h"
#include "customimagelabel.h"
#include "datasavecontrol.h"
#include "deviceroot.h"
#include "factorysettings.h"
#include "flashpartition.h"
#include "logorecord.h"
#include "mcumodule.h"
#include "mcumoduleplugin.h"
#include "modulemanager.h"
#include "styleimage.h"
#include "tipdialog.h"
#include "updatelog.h"
#include "usbcontrol.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QKeyEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The factory line's tools match the records on these signatures.
const char setUpgradeFileListSignature[] = "void UpgradeDialog::setUpgradeFileList(const QStringList&)";
const char writeLogoSignature[] = "void UpgradeDialog::writeLogo(const QString&)";

const char systemImageName[] = "ISPBOOOT.BIN";
const char partPackageName[] = "ORBITA_PACK.BIN";
const char mcuImageName[] = "mcu.bin";
const char quickUpgradeMarkerName[] = "zel.support.quick.upgrade";

const char buttonStyle[] = "QLabel{background-color:transparent;color:white;font:20px;padding-left:24px;}";
const char titleStyle[] = "QLabel{background-color:transparent;color:white;font:30px;}";

const char copyEntryCommand[] = "cp -arf %1 %2";
const char copyBackupCommand[] = "cp -arf %1 %2.bak";
const char copyFolderCommand[] = "cp -rf %1 %2";
const char removeCommand[] = "rm %1";
const char removeTreeCommand[] = "rm -rf %1";
const char logoCopyCommand[] = "dd if=%1 of=%2 bs=2048c count=1500";

const int countdownSeconds = 10;
const int countdownInterval = 1000;

// The host's hardware keys and the direction each moves the focus.
struct FocusKey
{
    int key;
    int step;
};

const FocusKey focusKeys[] = {
    {0x0110003F, -1}, {0x01100040, +1}, {0x0110004D, +1},
    {0x0110004E, -1}, {0x0140000A, -1}, {0x0140000B, +1},
};

// How a row of the customisation import treats its source.
enum ImportKind {
    CopyFile, // "cp -arf"
    CopyFileWithBackup, // "cp -arf", then again to the destination + ".bak"
    CopyDirection, // "cp -arf", then again to "direction.bak"
    CopyLogoFile, // "cp -arf", write the logo, remove the copy
    ReplaceFolder, // remove the old folder, then "cp -rf"
    ReplaceLogoFolder, // ReplaceFolder on logo software only, then write its first picture
    CopyCarHome // remove the CarPlay configuration and the old picture, then "cp -arf"
};

struct ImportRow
{
    const char *source; // under the mount directory
    const char *destination; // on the device
    ImportKind kind;
    int line;
};

const ImportRow importRows[] = {
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

// Logo folders are imported on this software version only.
const char logoFolderSoftware[] = "KD_PLV_07";

// Hands a request to the host's MCU module; skipped when the host has none.
void requestFromMcu(void (McuModule::*request)())
{
    QSharedPointer<qvappframework::ModuleManager> manager = qvappframework::ModuleManager::self();
    QSharedPointer<McuModulePlugin> plugin
        = qSharedPointerDynamicCast<McuModulePlugin>(manager->getModule(QStringLiteral("mcu")));
    if (!plugin)
        return;
    QSharedPointer<McuModule> mcu = plugin->getMcuModule();
    if (mcu)
        (mcu.data()->*request)();
}

QString onMedium(const QString &mountDirectory, const char *name)
{
    return mountDirectory + QLatin1Char('/') + QLatin1String(name);
}

// A non-empty image next to an empty marker asks for an upgrade without the user.
bool isQuickUpgradeImage(const QString &image, const QString &marker)
{
    return QFile::exists(image) && QFileInfo(image).size() >= 1 && QFile::exists(marker)
        && QFileInfo(marker).size() == 0;
}

void logCopy(int line, const QString &source)
{
    UpdateLog(setUpgradeFileListSignature, line)
        .printf("[custom_print][line:%d][copy %s]", line, source.toLocal8Bit().constData());
}

void logCopy(int line, const QString &source, const QString &destination)
{
    UpdateLog(setUpgradeFileListSignature, line)
        .printf("[custom_print][line:%d][copy %s to %s]", line, source.toLocal8Bit().constData(),
                destination.toLocal8Bit().constData());
}

// A link on a medium is copied as a link, and a later copy onto it writes
// wherever it points, outside the settings area: sources that are links are
// refused.
bool refusesLink(const QString &source, int line)
{
    if (!QFileInfo(source).isSymLink())
        return false;
    UpdateLog(setUpgradeFileListSignature, line)
        .printf("[custom_print][line:%d][refuse link %s]", line, source.toLocal8Bit().constData());
    return true;
}

// Makes destination a copy of the source folder; false when there is none.
bool replaceFolder(const QString &source, const QString &destination, int line)
{
    if (!QDir(source).exists() || refusesLink(source, line))
        return false;
    // "cp -rf" would copy into an existing folder instead of replacing it.
    if (QDir(destination).exists())
        CommandRunner::run(QLatin1String(removeTreeCommand), destination);
    logCopy(line, source, destination);
    CommandRunner::run(QLatin1String(copyFolderCommand), source, destination);
    return true;
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

} // namespace

UpgradeDialog::UpgradeDialog(QWidget *parent)
    : QWidget(parent)
    , m_countdown(0)
    , m_titleLabel(nullptr)
    , m_partButton(nullptr)
    , m_systemButton(nullptr)
    , m_mcuButton(nullptr)
    , m_cancelButton(nullptr)
    , m_countdownTimer(nullptr)
    , m_normalImage(nullptr)
    , m_pressedImage(nullptr)
{
    m_countdownTimer = new QTimer(this);
    m_countdownTimer->setObjectName(QStringLiteral("m_countdownTimer"));
    connect(m_countdownTimer, &QTimer::timeout, this, &UpgradeDialog::onCountdown);

    m_normalImage = StyleImage::load("tip_bt_n.png");
    m_pressedImage = StyleImage::load("tip_bt_d.png");

    m_titleLabel = new CustomImageLabel(this);
    m_titleLabel->setObjectName(QStringLiteral("m_titleLabel"));
    m_partButton = new CustomImageLabel(this);
    m_partButton->setObjectName(QStringLiteral("m_partButton"));
    m_systemButton = new CustomImageLabel(this);
    m_systemButton->setObjectName(QStringLiteral("m_systemButton"));
    m_mcuButton = new CustomImageLabel(this);
    m_mcuButton->setObjectName(QStringLiteral("m_mcuButton"));
    m_cancelButton = new CustomImageLabel(this);
    m_cancelButton->setObjectName(QStringLiteral("m_cancelButton"));
    m_focusList << m_partButton << m_systemButton << m_mcuButton << m_cancelButton;

    m_titleLabel->setWordWrap(true);
    m_titleLabel->setAlignment(Qt::AlignCenter);
    m_titleLabel->setText(tr("Upgrade file detected"));

    m_partButton->setText(tr("Upgrade part"));
    m_systemButton->setText(tr("Upgrade system"));
    m_mcuButton->setText(tr("Upgrade MCU"));
    m_cancelButton->setText(tr("Cancel"));
    for (int i = 0; i < m_focusList.size(); ++i) {
        CustomImageLabel *button = static_cast<CustomImageLabel *>(m_focusList.at(i));
        button->setAlignment(Qt::AlignCenter);
        button->setConstBackgroundImage(m_normalImage, m_pressedImage, nullptr, nullptr, true);
        button->setStyleSheet(QLatin1String(buttonStyle));
    }
    m_titleLabel->setStyleSheet(QLatin1String(titleStyle));

    QVBoxLayout *layout = new QVBoxLayout(this);
    layout->addWidget(m_titleLabel, 1);
    layout->addWidget(m_partButton, 0, Qt::AlignCenter);
    layout->addWidget(m_systemButton, 0, Qt::AlignCenter);
    layout->addWidget(m_mcuButton, 0, Qt::AlignCenter);
    layout->addSpacing(10);
    layout->addWidget(m_cancelButton, 0, Qt::AlignCenter);
    layout->addStretch(1);
    layout->setSpacing(10);

    connect(m_partButton, &CustomImageLabel::clicked, this, &UpgradeDialog::partUpdateSig);
    connect(m_systemButton, &CustomImageLabel::clicked, this, &UpgradeDialog::completeUpdateSig);
    connect(m_mcuButton, &CustomImageLabel::clicked, this, &UpgradeDialog::mcuUpdateSig);
    connect(m_cancelButton, &CustomImageLabel::clicked, this, &UpgradeDialog::cancelSig);

    m_countdown = countdownSeconds;
    m_countdownTimer->start(countdownInterval);
}

UpgradeDialog::~UpgradeDialog()
{
    m_countdownTimer->stop();
    StyleImage::release(m_normalImage);
    StyleImage::release(m_pressedImage);
}

void UpgradeDialog::setUpgradeFileList(const QStringList &files)
{
    if (FactorySettings::quickUpgrade()) {
        walkMedia();
        return;
    }
    m_fileList = files;
    m_partButton->setVisible(files.contains(QString::fromLatin1(partPackageName), Qt::CaseSensitive));
    m_systemButton->setVisible(files.contains(QString::fromLatin1(systemImageName), Qt::CaseSensitive));
    m_mcuButton->setVisible(files.contains(QString::fromLatin1(mcuImageName), Qt::CaseSensitive));
}

// Closing the dialog without a choice is cancelling it: the host learns of
// it only through cancelSig(), and a dialog closed silently would still let
// its countdown pick an upgrade. Nothing connects a close button today; the
// slot stays reachable by signature for hosts that invoke it.
void UpgradeDialog::onCloseBtClicked()
{
    emit cancelSig();
}

void UpgradeDialog::onCountdown()
{
    --m_countdown;
    m_countdownTimer->stop();
    // In quick-upgrade mode setUpgradeFileList() makes the choice.
    if (FactorySettings::quickUpgrade())
        return;
    if (m_countdown != 0) {
        showCountdown();
        m_countdownTimer->start(countdownInterval);
    } else {
        chooseAutomatically();
    }
}

void UpgradeDialog::showCountdown()
{
    const QString seconds = QString::number(m_countdown);
    const QString caption = QStringLiteral("%1(%2)");
    if (m_systemButton->isVisible())
        m_systemButton->setText(caption.arg(tr("Upgrade system"), seconds));
    else if (m_partButton->isVisible())
        m_partButton->setText(caption.arg(tr("Upgrade part"), seconds));
    else if (m_mcuButton->isVisible())
        m_mcuButton->setText(caption.arg(tr("Upgrade MCU"), seconds));
}

void UpgradeDialog::chooseAutomatically()
{
    if (m_systemButton->isVisible())
        emit completeUpdateSig();
    else if (m_partButton->isVisible())
        emit partUpdateSig();
    else if (m_mcuButton->isVisible())
        emit mcuUpdateSig();
}

void UpgradeDialog::keyPressEvent(QKeyEvent *event)
{
    for (size_t i = 0; i < sizeof(focusKeys) / sizeof(focusKeys[0]); ++i) {
        if (event->key() == focusKeys[i].key) {
            moveFocus(focusKeys[i].step);
            event->accept();
            return;
        }
    }
    // Left to the parent: the host's screens handle the other keys.
    event->ignore();
}

void UpgradeDialog::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // No button is focused: the first navigation key decides where focus lands.
    setFocus();
}

void UpgradeDialog::moveFocus(int step)
{
    int current = -1;
    for (int i = 0; i < m_focusList.size(); ++i) {
        if (m_focusList.at(i)->isVisible() && m_focusList.at(i)->hasFocus()) {
            current = i;
            break;
        }
    }
    if (step == 0)
        return;
    // At most one pass: back at the start, or every index tried, the walk stops.
    int candidate = current;
    for (int tried = 0; tried < m_focusList.size(); ++tried) {
        candidate += step;
        if (candidate < 0)
            candidate = m_focusList.size() - 1;
        else if (candidate >= m_focusList.size())
            candidate = 0;
        if (candidate == current)
            return;
        if (m_focusList.at(candidate)->isVisible()) {
            m_focusList.at(candidate)->setFocus();
            return;
        }
    }
}

void UpgradeDialog::walkMedia()
{
    // The host fixes the kinds: 1 first, 2 only when 1 has no mounted medium.
    UsbControl *usb = UsbControl::getInstance();
    QStringList media = usb->getMountDeviceByType(static_cast<_MediaType>(1));
    if (media.isEmpty())
        media = usb->getMountDeviceByType(static_cast<_MediaType>(2));

    for (int i = 0; i < media.size(); ++i) {
        const QString &directory = media.at(i);
        const QString marker = onMedium(directory, quickUpgradeMarkerName);

        const QString systemImage = onMedium(directory, systemImageName);
        if (isQuickUpgradeImage(systemImage, marker)) {
            UpdateLog(setUpgradeFileListSignature, 1108).stream()
                << "[media_print][setUpgradeFileList] idx:" << i << " val:" << systemImage;
            requestFromMcu(&McuModule::updateSystem);
        }

        const QString mcuImage = onMedium(directory, mcuImageName);
        if (isQuickUpgradeImage(mcuImage, marker)) {
            UpdateLog(setUpgradeFileListSignature, 1122).stream()
                << "[media_print][setUpgradeFileList] idx:" << i << " val:" << mcuImage;
            emit mcuUpdateSig();
            return;
        }

        if (FactorySettings::factoryCustom())
            importFactoryCustom(directory);
    }
    UpdateLog(setUpgradeFileListSignature, 1390).stream() << "[media_print][no_bin_file]";
    emit cancelSig();
}

void UpgradeDialog::importFactoryCustom(const QString &mountDirectory)
{
    bool copied = false;
    bool carHomeCopied = false;
    for (size_t i = 0; i < sizeof(importRows) / sizeof(importRows[0]); ++i) {
        const ImportRow &row = importRows[i];
        const QString source = mountDirectory + QLatin1String(row.source);
        const QString destination = DeviceRoot::path(QLatin1String(row.destination));

        switch (row.kind) {
        case CopyFile:
        case CopyFileWithBackup:
        case CopyDirection:
        case CopyLogoFile:
            if (!QFile::exists(source) || refusesLink(source, row.line))
                break;
            logCopy(row.line, source);
            CommandRunner::run(QLatin1String(copyEntryCommand), source, destination);
            if (row.kind == CopyFileWithBackup) {
                CommandRunner::run(QLatin1String(copyBackupCommand), source, destination);
            } else if (row.kind == CopyDirection) {
                CommandRunner::run(QLatin1String(copyEntryCommand), source,
                                   DeviceRoot::path(QStringLiteral("/media/flash/nvm/direction.bak")));
            } else if (row.kind == CopyLogoFile) {
                UpdateLog(setUpgradeFileListSignature, 1214).stream()
                    << "setUpgradeFileList" << 1214 << "dstF.fileName():" << destination;
                writeLogo(destination);
                // The picture lives on in the partition; its copy is not kept.
                CommandRunner::run(QLatin1String(removeCommand), destination);
            }
            copied = true;
            break;

        case ReplaceFolder:
            if (replaceFolder(source, destination, row.line))
                copied = true;
            break;

        case ReplaceLogoFolder: {
            if (BaseControl::getInstance()->getSoftwareVersion() != QLatin1String(logoFolderSoftware)
                || !replaceFolder(source, destination, row.line))
                break;
            const QString logo = firstPlainFile(destination);
            if (!logo.isEmpty()) {
                writeLogo(logo);
                DataSaveControl::saveSettingData(QStringLiteral("LogoIndex"), QVariant(0), QString());
                copied = true;
            } else if (QDir(destination).exists()) {
                UpdateLog(setUpgradeFileListSignature, 1312).stream()
                    << "setUpgradeFileList" << 1312 << "The destination path does not have a jpg file.";
                CommandRunner::run(QLatin1String(removeTreeCommand), destination);
            }
            break;
        }

        case CopyCarHome: {
            if (!QFile::exists(source) || refusesLink(source, row.line))
                break;
            // The new picture replaces the old one and the CarPlay configuration.
            const QString carPlayConfig
                = DeviceRoot::path(QStringLiteral("/media/flash/nvm/configs/carplay_config.xml"));
            if (QFile::exists(carPlayConfig))
                CommandRunner::run(QLatin1String(removeTreeCommand), carPlayConfig);
            if (QFile::exists(destination))
                CommandRunner::run(QLatin1String(removeTreeCommand), destination);
            logCopy(row.line, source, destination);
            CommandRunner::run(QLatin1String(copyEntryCommand), source, destination);
            carHomeCopied = true;
            break;
        }
        }
    }

    if (!copied && !carHomeCopied)
        return;
    TipDialog::showMessage(tr("COPY is Done!"), 0);
    requestFromMcu(&McuModule::rebootSystem);
}

void UpgradeDialog::writeLogo(const QString &imgPath)
{
    UpdateLog(writeLogoSignature, 1404).stream() << "writeLogo" << 1404 << "imgPath:" << imgPath;

    const QString device = DeviceRoot::path(QStringLiteral("/dev/mtd14"));
    QFile staging(DeviceRoot::path(QStringLiteral("/media/flash/userdata/logo.txt")));
    // Only a plain file is read: a named pipe or a device copied from a
    // medium would block the GUI thread, or never end.
    QImage image;
    if (QFileInfo(imgPath).isFile())
        image.load(imgPath);

    if (staging.exists()) {
        UpdateLog(writeLogoSignature, 1410)
            .printf("[zq_print][line:%d] remove %s", 1410, staging.fileName().toLocal8Bit().constData());
        staging.remove();
    }
    if (image.isNull()) {
        UpdateLog(writeLogoSignature, 1415)
            .printf("[zq_print][line:%d] %s is null", 1415, imgPath.toLocal8Bit().constData());
        return;
    }

    CommandRunner::run(QLatin1String(logoCopyCommand), device, staging.fileName());
    if (!staging.exists())
        return;
    // A staging file that cannot be opened stays; the next call removes it.
    if (!staging.open(QIODevice::ReadWrite))
        return;

    const QSize pictureSize = LogoRecord::pictureSize(&staging);
    if (!pictureSize.isValid()) {
        staging.close();
        UpdateLog(writeLogoSignature, 1426).trace("writeLogo") << "/dev/mtd14:invalid logo header\n";
        staging.remove();
        return;
    }
    if (image.size() != pictureSize)
        image = image.scaled(pictureSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    LogoRecord::writePicture(&staging, image);
    staging.close();

    FlashPartition partition(device);
    if (!partition.open()) {
        UpdateLog(writeLogoSignature, 1438).trace("writeLogo");
        staging.remove();
        return;
    }
    mtd_info_user info;
    if (partition.getInfo(&info) < 0) {
        UpdateLog(writeLogoSignature, 1448).trace("writeLogo") << "/dev/mtd14:MTD getinfo failed\n";
        staging.remove();
        partition.close();
        return;
    }
    // The whole partition is erased: the logo record is all it holds.
    erase_info_user range;
    range.start = 0;
    range.length = info.size;
    if (partition.erase(range) < 0) {
        UpdateLog(writeLogoSignature, 1459).trace("writeLogo") << "/dev/mtd14:erase failed\n";
        partition.close();
        staging.remove();
        return;
    }
    partition.close();

    CommandRunner::run(QLatin1String(logoCopyCommand), staging.fileName(), device);
    // Flash cannot be rewritten without another erase: a mismatch is only reported.
    QFile written(device);
    if (!staging.open(QIODevice::ReadOnly) || !written.open(QIODevice::ReadOnly)
        || !LogoRecord::sameRecord(&written, &staging))
        UpdateLog(writeLogoSignature, 1466).trace("writeLogo") << "/dev/mtd14:verify failed\n";
    staging.close();
    staging.remove();
}
