#ifndef CONTRACTCALL_H
#define CONTRACTCALL_H

#include <QJsonArray>
#include <QString>
#include <QStringList>

#include <optional>

class UpdateInterface;

// One operation of the update-view contract with its arguments, as the host
// calls it and as the journal and the scenario files write it: the name and
// a JSON array of the arguments (lists as arrays of strings, the device and
// upgrade types as their numbers).
class ContractCall
{
public:
    // Checks the name and the arguments of a call read from a scenario.
    static std::optional<ContractCall> parse(const QString &name, const QJsonArray &arguments,
                                             QString *error);

    static ContractCall setDevicePath(const QString &path);
    static ContractCall setUpgradeFileList(const QStringList &files);
    // Device and upgrade types as numbers, also outside their enumerations.
    static ContractCall showUpdate(int device, int type);
    static ContractCall showUpdateTip();
    static ContractCall setEnableDeviceList(const QStringList &usbDevices, const QStringList &sdDevices);
    static ContractCall setDeviceInfomation(int device, bool valid, const QString &text1,
                                            const QString &text2, const QString &text3);
    static ContractCall setUpateInformation(const QString &text);
    static ContractCall onReturn();
    static ContractCall onUpdateProgressChanged(int percent);
    static ContractCall onUpdateMessage(int type, const QString &message);
    static ContractCall onUpdateFinished(int code);

    QString name() const { return m_name; }
    QJsonArray arguments() const { return m_arguments; }

    // Calls the operation on view; the result of onReturn(), true for the others.
    bool invoke(UpdateInterface *view) const;

private:
    ContractCall(const QString &name, const QJsonArray &arguments);

    QString m_name;
    QJsonArray m_arguments;
};

#endif // CONTRACTCALL_H
