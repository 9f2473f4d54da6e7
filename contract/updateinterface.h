#ifndef UPDATEINTERFACE_H
#define UPDATEINTERFACE_H

#include <QString>
#include <QStringList>
#include <QWidget>

// The whole contract between the head unit's host application and the plugin.
// The host obtains one object through the plugin entry, drives it with the
// operations below and listens to its signals. The virtual-table order, the
// meta-object indices and the enumerator values travel between separately
// built binaries: never reorder or renumber them.
class UpdateInterface : public QWidget
{
    Q_OBJECT
    Q_ENUMS(DeviceType UpgradeType)

public:
    enum DeviceType { Usb0Device = 0, Usb1Device = 1, Sd0Device = 2, Sd1Device = 3, UnknownDevice = 4 };
    enum UpgradeType { PartUpgrade = 0, CompleteUpgrade = 1, McuUpgrade = 2 };

    explicit UpdateInterface(QWidget *parent);

    virtual void setDevicePath(const QString &path) = 0;
    virtual void setUpgradeFileList(const QStringList &files) = 0;
    virtual void showUpdate(const UpdateInterface::DeviceType &device,
                            const UpdateInterface::UpgradeType &type)
        = 0;
    virtual void showUpdateTip() = 0;
    virtual void setEnableDeviceList(const QStringList &usbDevices, const QStringList &sdDevices) = 0;
    virtual void setDeviceInfomation(UpdateInterface::DeviceType device, bool valid, const QString &text1,
                                     const QString &text2, const QString &text3)
        = 0;
    virtual void setUpateInformation(const QString &text) = 0;
    virtual bool onReturn() = 0;

public slots:
    virtual void onUpdateProgressChanged(int percent) = 0;
    virtual void onUpdateMessage(int type, QString msg) = 0;
    virtual void onUpdateFinished(int code) = 0;

signals:
    void checkDevice();
    void changeToUsbDevice(int id);
    void changeToSdDevice(int id);
    void updateSystem();
    void cancelUpdate();

public:
    bool m_firstFlag;
    bool m_secondFlag;
    QString m_devicePath;
};

#define UpdateInterface_iid "updatetheme/0.1"
Q_DECLARE_INTERFACE(UpdateInterface, UpdateInterface_iid)

#endif // UPDATEINTERFACE_H
