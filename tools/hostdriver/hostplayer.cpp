#include "hostplayer.h"

#include "contractcall.h"
#include "datasavecontrol.h"
#include "hostkeys.h"
#include "hostwindow.h"
#include "mediumcheck.h"
#include "pluginfile.h"
#include "simjournal.h"
#include "usbcontrol.h"

#include <QFileInfo>

namespace {

const char systemImage[] = "ISPBOOOT.BIN";
const char partPackage[] = "ORBITA_PACK.BIN";
const char mcuImage[] = "mcu.bin";

const char idleText[] = "No upgrade in progress. Press Enter to insert the medium.";

QStringList mounts(_MediaType type)
{
    return UsbControl::getInstance()->getMountDeviceByType(type);
}

} // namespace

HostPlayer::HostPlayer(PluginFile *plugin, HostWindow *window, SimJournal *journal, QObject *parent)
    : QObject(parent)
    , m_plugin(plugin)
    , m_window(window)
    , m_journal(journal)
    , m_probe(window)
    , m_device(UpdateInterface::UnknownDevice)
{
    connect(&m_upgrade, &UpgradeSimulation::progressChanged, this, &HostPlayer::onUpgradeProgress);
    connect(&m_upgrade, &UpgradeSimulation::message, this, &HostPlayer::onUpgradeMessage);
    connect(&m_upgrade, &UpgradeSimulation::finished, this, &HostPlayer::onUpgradeFinished);
    connect(&m_upgrade, &UpgradeSimulation::information, this, &HostPlayer::onUpgradeInformation);
    m_window->setIdleText(QLatin1String(idleText));
}

HostPlayer::~HostPlayer()
{
    delete m_view;
}

void HostPlayer::setUpgradeTick(int milliseconds)
{
    m_upgrade.setTick(milliseconds);
}

void HostPlayer::setAutomaticUpgrade(bool automatic)
{
    m_automaticUpgrade = automatic;
}

void HostPlayer::setAnswering(bool answering)
{
    m_answering = answering;
}

bool HostPlayer::openInterface(QString *error)
{
    if (m_view)
        return true;
    m_view = m_plugin->view();
    if (!m_view) {
        *error = m_plugin->errorMessage();
        return false;
    }
    // The view's geometry is final before any screen is shown: the screens take it when created.
    QWidget *layer = m_window->applicationLayer();
    m_view->setParent(layer);
    m_view->setGeometry(layer->rect());
    connect(m_view, SIGNAL(checkDevice()), this, SLOT(onCheckDevice()));
    connect(m_view, SIGNAL(changeToUsbDevice(int)), this, SLOT(onChangeToUsbDevice(int)));
    connect(m_view, SIGNAL(changeToSdDevice(int)), this, SLOT(onChangeToSdDevice(int)));
    connect(m_view, SIGNAL(updateSystem()), this, SLOT(onUpdateSystem()));
    connect(m_view, SIGNAL(cancelUpdate()), this, SLOT(onCancelUpdate()));
    m_view->show();
    m_view->setFocus();
    m_window->setIdleText(QString());
    recordAction(QStringLiteral("openInterface"));
    return true;
}

void HostPlayer::closeInterface()
{
    if (!m_view)
        return;
    m_upgrade.stop();
    // The view may be the one emitting: it goes once control is back in the event loop.
    m_view->hide();
    m_view->deleteLater();
    m_view = nullptr;
    m_window->setIdleText(QLatin1String(idleText));
    recordAction(QStringLiteral("closeInterface"));
}

bool HostPlayer::raiseInterface(QString *error)
{
    if (!m_view) {
        *error = QStringLiteral("raiseInterface: the upgrade interface is closed");
        return false;
    }
    recordAction(QStringLiteral("raiseInterface"));
    // The focus comes from elsewhere, so that the view hears of it.
    m_window->setFocus();
    m_view->raise();
    m_view->setFocus();
    return true;
}

bool HostPlayer::insertMedium(QString *error)
{
    recordAction(QStringLiteral("insertMedium"));
    if (!openInterface(error))
        return false;
    return call(ContractCall::showUpdateTip(), error)
        && call(ContractCall::setUpgradeFileList(upgradeFilesFound()), error);
}

bool HostPlayer::call(const ContractCall &call, QString *error)
{
    if (!m_view) {
        *error = QStringLiteral("%1: the upgrade interface is closed").arg(call.name());
        return false;
    }
    QJsonObject entry;
    entry.insert(QStringLiteral("name"), call.name());
    entry.insert(QStringLiteral("args"), call.arguments());
    m_journal->record(QStringLiteral("call"), entry);
    const bool result = call.invoke(m_view);
    if (call.name() == QLatin1String("onReturn")) {
        QJsonObject returned;
        returned.insert(QStringLiteral("name"), call.name());
        returned.insert(QStringLiteral("value"), result);
        m_journal->record(QStringLiteral("return"), returned);
    }
    return true;
}

QStringList HostPlayer::upgradeFilesFound()
{
    QStringList found;
    for (const QString &directory : mounts(MEDIA_TYPE_USB) + mounts(MEDIA_TYPE_SD)) {
        for (const char *name : {systemImage, partPackage, mcuImage}) {
            if (QFileInfo(directory + QLatin1Char('/') + QLatin1String(name)).isFile()
                && !found.contains(QLatin1String(name)))
                found.append(QLatin1String(name));
        }
    }
    return found;
}

void HostPlayer::onUnhandledKey(int hostKey)
{
    QString ignored;
    if (hostKey == HostKey::Back && m_view)
        call(ContractCall::onReturn(), &ignored);
    else if (hostKey == HostKey::Ok && !m_view)
        insertMedium(&ignored);
}

void HostPlayer::onCheckDevice()
{
    recordSignal(QStringLiteral("checkDevice"));
    if (!m_answering)
        return;
    m_device = firstUsableDevice(packageOnScreen());
    callFromHost(ContractCall::setEnableDeviceList(mounts(MEDIA_TYPE_USB), mounts(MEDIA_TYPE_SD)));
    answerDevice(m_device);
}

void HostPlayer::onChangeToUsbDevice(int id)
{
    changeDevice(QStringLiteral("changeToUsbDevice"), UpdateInterface::Usb0Device, id);
}

void HostPlayer::onChangeToSdDevice(int id)
{
    changeDevice(QStringLiteral("changeToSdDevice"), UpdateInterface::Sd0Device, id);
}

void HostPlayer::changeDevice(const QString &signal, int firstDevice, int id)
{
    recordSignal(signal, {id});
    if (!m_answering)
        return;
    m_device = id == 0 || id == 1 ? firstDevice + id : int(UpdateInterface::UnknownDevice);
    answerDevice(m_device);
}

void HostPlayer::onUpdateSystem()
{
    recordSignal(QStringLiteral("updateSystem"));
    if (!m_automaticUpgrade || !m_answering)
        return;
    const ScreenProbe::Screen screen = m_probe.currentScreen();
    if (screen == ScreenProbe::McuScreen) {
        m_newFirmware = MediumCheck::firmwareLabel(mountDirectory(m_device) + QLatin1Char('/')
                                                   + QLatin1String(mcuImage));
        const QString current
            = DataSaveControl::readTempData(QStringLiteral("MCUVERSION"), QVariant("unknown")).toString();
        recordAction(QStringLiteral("upgradeMcu"), m_newFirmware);
        m_upgrade.startMcu(m_newFirmware, current);
    } else if (screen == ScreenProbe::ConfirmationScreen) {
        const bool partial = m_probe.confirmsPartialUpgrade();
        recordAction(partial ? QStringLiteral("upgradePart") : QStringLiteral("upgradeSystem"),
                     MediumCheck::deviceName(m_device));
        m_upgrade.startSystem(partial, QLatin1String(partial ? partPackage : systemImage));
    } else {
        recordAction(QStringLiteral("ignoreUpdateSystem"), QStringLiteral("no upgrade screen on display"));
    }
}

void HostPlayer::onCancelUpdate()
{
    recordSignal(QStringLiteral("cancelUpdate"));
    if (m_answering)
        closeInterface();
}

void HostPlayer::onUpgradeProgress(int percent)
{
    callFromHost(ContractCall::onUpdateProgressChanged(percent));
}

void HostPlayer::onUpgradeMessage(int type, const QString &text)
{
    callFromHost(ContractCall::onUpdateMessage(type, text));
}

void HostPlayer::onUpgradeFinished(int code)
{
    // The MCU now runs the new firmware; the next MCU screen shows it.
    if (code == 0)
        DataSaveControl::writeTempData(QStringLiteral("MCUVERSION"), m_newFirmware);
    callFromHost(ContractCall::onUpdateFinished(code));
}

void HostPlayer::onUpgradeInformation(const QString &text)
{
    callFromHost(ContractCall::setUpateInformation(text));
}

void HostPlayer::recordSignal(const QString &name, const QJsonArray &arguments)
{
    QJsonObject entry;
    entry.insert(QStringLiteral("name"), name);
    entry.insert(QStringLiteral("args"), arguments);
    m_journal->record(QStringLiteral("signal"), entry);
}

void HostPlayer::recordAction(const QString &action, const QString &detail)
{
    QJsonObject entry;
    entry.insert(QStringLiteral("action"), action);
    if (!detail.isEmpty())
        entry.insert(QStringLiteral("detail"), detail);
    m_journal->record(QStringLiteral("host"), entry);
}

void HostPlayer::callFromHost(const ContractCall &call)
{
    // The host's own calls are made only while the interface is open.
    QString ignored;
    if (m_view)
        this->call(call, &ignored);
}

QString HostPlayer::packageOnScreen() const
{
    switch (m_probe.currentScreen()) {
    case ScreenProbe::McuScreen:
        return QLatin1String(mcuImage);
    case ScreenProbe::ConfirmationScreen:
        return QLatin1String(m_probe.confirmsPartialUpgrade() ? partPackage : systemImage);
    default:
        return QLatin1String(systemImage);
    }
}

int HostPlayer::firstUsableDevice(const QString &package) const
{
    int firstPresent = UpdateInterface::UnknownDevice;
    for (int device = UpdateInterface::Usb0Device; device <= UpdateInterface::Sd1Device; ++device) {
        const QString directory = mountDirectory(device);
        if (directory.isEmpty())
            continue;
        if (MediumCheck::check(device, directory, package).valid)
            return device;
        if (firstPresent == UpdateInterface::UnknownDevice)
            firstPresent = device;
    }
    return firstPresent;
}

void HostPlayer::answerDevice(int device)
{
    const MediumCheck::Verdict verdict
        = MediumCheck::check(device, mountDirectory(device), packageOnScreen());
    callFromHost(ContractCall::setDeviceInfomation(device, verdict.valid, verdict.text1, verdict.text2,
                                                   verdict.text3));
}

QString HostPlayer::mountDirectory(int device)
{
    const QStringList present
        = device <= UpdateInterface::Usb1Device ? mounts(MEDIA_TYPE_USB) : mounts(MEDIA_TYPE_SD);
    const int index = device <= UpdateInterface::Usb1Device ? device : device - UpdateInterface::Sd0Device;
    return device < UpdateInterface::UnknownDevice ? present.value(index) : QString();
}
