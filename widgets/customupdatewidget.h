#ifndef CUSTOMUPDATEWIDGET_H
#define CUSTOMUPDATEWIDGET_H

#include "focusring.h"
#include "updateinterface.h"

#include <QList>
#include <QWidget>

class Countdown;
class CustomImageButton;
class CustomImageLabel;
class CustomImageRadioButton;
class QImage;
class ReturnPath;
class QTimer;

// The screen that confirms a system or partial upgrade: the driver picks the
// source medium, the host reports whether it holds a usable package, and a
// ten-second countdown on "Update" confirms by itself.
class CustomUpdateWidget : public QWidget
{
    Q_OBJECT

public:
    CustomUpdateWidget(const bool &firstFlag, const bool &secondFlag, QWidget *parent);
    ~CustomUpdateWidget() override;

    // Builds the screen; called once, right after construction.
    void initWidget(const UpdateInterface::DeviceType &device, const UpdateInterface::UpgradeType &type);

    void setEnableDeviceList(const QStringList &usbDevices, const QStringList &sdDevices);
    void setDeviceInfomation(UpdateInterface::DeviceType device, bool valid, const QString &text1,
                             const QString &text2, const QString &text3);
    void setUpdateInformation(const QString &text);

    void moveFocusIndex(int step);
    // Cancel goes back to the view along it.
    ReturnPath *returnPath() const { return m_returnPath; }

signals:
    void checkDevice();
    void changeToUsbDevice(int id);
    void changeToSdDevice(int id);
    void updateSystem();
    void cancelUpdate();

public slots:
    void onCancelClicked();

private slots:
    void onOkClicked();
    void onRadioButtonClicked(bool checked);
    void onCheckDeviceSlot();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void createButtons();
    void createLabels(const UpdateInterface::UpgradeType &type);
    void layOut();
    QList<CustomImageRadioButton *> radios() const;

    UpdateInterface::DeviceType m_deviceType;
    UpdateInterface::UpgradeType m_upgradeType;
    bool m_packageValid;
    bool m_secondFlag;
    bool m_firstFlag;
    Countdown *m_countdown;
    CustomImageRadioButton *m_usb0Radio;
    CustomImageRadioButton *m_usb1Radio;
    CustomImageRadioButton *m_sd0Radio;
    CustomImageRadioButton *m_sd1Radio;
    CustomImageButton *m_updateButton;
    CustomImageButton *m_cancelButton;
    CustomImageLabel *m_titleLabel;
    CustomImageLabel *m_messageLabel;
    CustomImageLabel *m_infoLabel1;
    CustomImageLabel *m_infoLabel2;
    FocusRing m_focusRing;
    QImage *m_normalImage;
    QImage *m_pressedImage;
    QImage *m_disabledImage;
    QImage *m_checkedNormalImage;
    QImage *m_checkedPressedImage;
    QImage *m_uncheckedNormalImage;
    QImage *m_uncheckedPressedImage;
    // Asks the host to check the media half a second after construction.
    QTimer *m_checkDeviceTimer;
    ReturnPath *m_returnPath;
};

#endif // CUSTOMUPDATEWIDGET_H
