#ifndef UPDATEVIEW_H
#define UPDATEVIEW_H

#include "updateinterface.h"

#include <QStringList>

class CustomMcuUpdateWidget;
class CustomUpdateWidget;
class UpgradeDialog;

// The plugin's object: routes the host's operations to the screen they are
// meant for and the screens' signals back to the host. It creates each screen
// on demand, keeps at most one of each, and ends them with a deferred delete,
// clearing its pointer at once.
class UpdateView : public UpdateInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "updatetheme/0.1")
    Q_INTERFACES(UpdateInterface)

public:
    explicit UpdateView(QWidget *parent = nullptr);
    ~UpdateView() override;

    void setDevicePath(const QString &path) override;
    void setUpgradeFileList(const QStringList &files) override;
    void showUpdate(const UpdateInterface::DeviceType &device,
                    const UpdateInterface::UpgradeType &type) override;
    void showUpdateTip() override;
    void setEnableDeviceList(const QStringList &usbDevices, const QStringList &sdDevices) override;
    void setDeviceInfomation(UpdateInterface::DeviceType device, bool valid, const QString &text1,
                             const QString &text2, const QString &text3) override;
    void setUpateInformation(const QString &text) override;
    bool onReturn() override;

    // Slots of the contract; not redeclared as slots so that the view's own
    // meta-object methods start with the three below.
    void onUpdateProgressChanged(int percent) override;
    void onUpdateMessage(int type, QString msg) override;
    void onUpdateFinished(int code) override;

private slots:
    void onPartUpgrade();
    void onCompleteUpgrade();
    void onMcuUpgrade();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QRect screenRect() const;
    void focusVisibleScreen();
    // Ends the confirmation and MCU screens.
    void endUpgradeScreens();
    void endScreen(QWidget *screen);

    CustomUpdateWidget *m_updateWidget;
    CustomMcuUpdateWidget *m_mcuWidget;
    UpgradeDialog *m_upgradeDialog;
    QStringList m_usbDevices;
    QStringList m_sdDevices;
};

#endif // UPDATEVIEW_H
