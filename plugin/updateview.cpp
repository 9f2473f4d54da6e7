#include "updateview.h"

#include "custommcuupdatewidget.h"
#include "customupdatewidget.h"
#include "returnpath.h"
#include "upgradedialog.h"

#include <algorithm>

UpdateView::UpdateView(QWidget *parent)
    : UpdateInterface(parent)
    , m_updateWidget(nullptr)
    , m_mcuWidget(nullptr)
    , m_upgradeDialog(nullptr)
{
    m_firstFlag = true;
    m_secondFlag = true;
}

UpdateView::~UpdateView()
{
    endUpgradeScreens();
    if (m_upgradeDialog) {
        endScreen(m_upgradeDialog);
        m_upgradeDialog = nullptr;
    }
}

void UpdateView::setDevicePath(const QString &path)
{
    m_devicePath = path;
}

void UpdateView::setUpgradeFileList(const QStringList &files)
{
    if (m_upgradeDialog)
        m_upgradeDialog->setUpgradeFileList(files);
}

void UpdateView::showUpdate(const UpdateInterface::DeviceType &device,
                            const UpdateInterface::UpgradeType &type)
{
    if (m_upgradeDialog)
        m_upgradeDialog->hide();

    if (type == McuUpgrade) {
        if (!m_mcuWidget) {
            m_mcuWidget = new CustomMcuUpdateWidget;
            connect(m_mcuWidget->returnPath(), &ReturnPath::followed, this, &UpdateView::onReturn);
            connect(m_mcuWidget, SIGNAL(startUpdate()), this, SIGNAL(updateSystem()));
            connect(m_mcuWidget, SIGNAL(cancelUpdate()), this, SIGNAL(cancelUpdate()));
            connect(m_mcuWidget, SIGNAL(checkDevice()), this, SIGNAL(checkDevice()));
        }
        m_mcuWidget->raise();
        m_mcuWidget->show();
        m_mcuWidget->setFocus();
        return;
    }

    if (!m_updateWidget) {
        m_updateWidget = new CustomUpdateWidget(m_firstFlag, m_secondFlag, this);
        m_updateWidget->setGeometry(screenRect());
        m_updateWidget->initWidget(device, type);
        m_updateWidget->setEnableDeviceList(m_usbDevices, m_sdDevices);
        connect(m_updateWidget, SIGNAL(changeToUsbDevice(int)), this, SIGNAL(changeToUsbDevice(int)));
        connect(m_updateWidget, SIGNAL(changeToSdDevice(int)), this, SIGNAL(changeToSdDevice(int)));
        connect(m_updateWidget, SIGNAL(updateSystem()), this, SIGNAL(updateSystem()));
        connect(m_updateWidget, SIGNAL(cancelUpdate()), this, SIGNAL(cancelUpdate()));
        connect(m_updateWidget, SIGNAL(checkDevice()), this, SIGNAL(checkDevice()));
        connect(m_updateWidget->returnPath(), &ReturnPath::followed, this, &UpdateView::onReturn);
    }
    m_updateWidget->show();
    m_updateWidget->setFocus();
}

void UpdateView::showUpdateTip()
{
    if (!m_upgradeDialog) {
        m_upgradeDialog = new UpgradeDialog(this);
        m_upgradeDialog->setGeometry(screenRect());
        connect(m_upgradeDialog, SIGNAL(partUpdateSig()), this, SLOT(onPartUpgrade()));
        connect(m_upgradeDialog, SIGNAL(completeUpdateSig()), this, SLOT(onCompleteUpgrade()));
        connect(m_upgradeDialog, SIGNAL(mcuUpdateSig()), this, SLOT(onMcuUpgrade()));
        connect(m_upgradeDialog, SIGNAL(cancelSig()), this, SIGNAL(cancelUpdate()));
    }
    endUpgradeScreens();
    m_upgradeDialog->show();
}

void UpdateView::setEnableDeviceList(const QStringList &usbDevices, const QStringList &sdDevices)
{
    m_usbDevices = usbDevices;
    m_sdDevices = sdDevices;
    if (m_updateWidget)
        m_updateWidget->setEnableDeviceList(usbDevices, sdDevices);
}

void UpdateView::setDeviceInfomation(UpdateInterface::DeviceType device, bool valid, const QString &text1,
                                     const QString &text2, const QString &text3)
{
    if (m_updateWidget)
        m_updateWidget->setDeviceInfomation(device, valid, text1, text2, text3);
    if (m_mcuWidget)
        m_mcuWidget->setFileInfo(valid, text3);
}

void UpdateView::setUpateInformation(const QString &text)
{
    if (m_updateWidget)
        m_updateWidget->setUpdateInformation(text);
}

bool UpdateView::onReturn()
{
    if (!m_upgradeDialog || (!m_updateWidget && !m_mcuWidget)) {
        emit cancelUpdate();
        return false;
    }
    endUpgradeScreens();
    m_upgradeDialog->show();
    m_upgradeDialog->setFocus();
    return true;
}

void UpdateView::onUpdateProgressChanged(int percent)
{
    if (m_mcuWidget)
        m_mcuWidget->setPercent(percent);
}

void UpdateView::onUpdateMessage(int type, QString msg)
{
    if (m_mcuWidget)
        m_mcuWidget->setMessage(type, msg);
}

void UpdateView::onUpdateFinished(int code)
{
    if (m_mcuWidget)
        m_mcuWidget->onFinished(code);
}

void UpdateView::onPartUpgrade()
{
    showUpdate(UnknownDevice, PartUpgrade);
}

void UpdateView::onCompleteUpgrade()
{
    showUpdate(UnknownDevice, CompleteUpgrade);
}

void UpdateView::onMcuUpgrade()
{
    showUpdate(UnknownDevice, McuUpgrade);
}

void UpdateView::focusInEvent(QFocusEvent *)
{
    focusVisibleScreen();
}

void UpdateView::showEvent(QShowEvent *)
{
    focusVisibleScreen();
}

QRect UpdateView::screenRect() const
{
    // Taken once, when a screen is created; later resizes of the view are not followed.
    return QRect(0, 0, width(), height());
}

void UpdateView::focusVisibleScreen()
{
    const QList<QWidget *> screens = {m_upgradeDialog, m_updateWidget, m_mcuWidget};
    const QList<QWidget *>::const_iterator visible = std::find_if(
        screens.begin(), screens.end(), [](QWidget *screen) { return screen && screen->isVisible(); });
    if (visible != screens.end())
        (*visible)->setFocus();
}

void UpdateView::endUpgradeScreens()
{
    if (m_updateWidget)
        endScreen(m_updateWidget);
    if (m_mcuWidget)
        endScreen(m_mcuWidget);
    m_updateWidget = nullptr;
    m_mcuWidget = nullptr;
}

// An ended screen lives on until the event loop deletes it, and meanwhile
// its countdown may run out and touches and keys already queued may arrive.
// It must neither be seen nor act, nor reach the host.
void UpdateView::endScreen(QWidget *screen)
{
    disconnect(screen, nullptr, this, nullptr);
    // Its Cancel must not step back a view that has moved on.
    if (ReturnPath *returnPath = screen->findChild<ReturnPath *>())
        returnPath->disconnect(this);
    screen->hide();
    screen->setEnabled(false);
    screen->deleteLater();
}
