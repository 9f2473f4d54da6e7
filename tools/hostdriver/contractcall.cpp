#include "contractcall.h"

#include "updateinterface.h"

#include <QJsonValue>

namespace {

// The operations and the kinds of their arguments: s text, l list of texts,
// d device type, t upgrade type, b bool, i int.
struct Signature
{
    const char *name;
    const char *kinds;
};

const Signature signatures[] = {
    {"setDevicePath", "s"},
    {"setUpgradeFileList", "l"},
    {"showUpdate", "dt"},
    {"showUpdateTip", ""},
    {"setEnableDeviceList", "ll"},
    {"setDeviceInfomation", "dbsss"},
    {"setUpateInformation", "s"},
    {"onReturn", ""},
    {"onUpdateProgressChanged", "i"},
    {"onUpdateMessage", "is"},
    {"onUpdateFinished", "i"},
};

bool isWholeNumber(const QJsonValue &value)
{
    return value.isDouble() && value.toDouble() == double(value.toInt());
}

bool fits(char kind, const QJsonValue &value)
{
    switch (kind) {
    case 's':
        return value.isString();
    case 'l':
        if (!value.isArray())
            return false;
        for (const QJsonValue &entry : value.toArray()) {
            if (!entry.isString())
                return false;
        }
        return true;
    case 'd':
        return isWholeNumber(value) && value.toInt() >= UpdateInterface::Usb0Device
            && value.toInt() <= UpdateInterface::UnknownDevice;
    case 't':
        return isWholeNumber(value) && value.toInt() >= UpdateInterface::PartUpgrade
            && value.toInt() <= UpdateInterface::McuUpgrade;
    case 'b':
        return value.isBool();
    default:
        return isWholeNumber(value);
    }
}

QString kindName(char kind)
{
    switch (kind) {
    case 's':
        return QStringLiteral("a text");
    case 'l':
        return QStringLiteral("a list of texts");
    case 'd':
        return QStringLiteral("a device type 0 to 4");
    case 't':
        return QStringLiteral("an upgrade type 0 to 2");
    case 'b':
        return QStringLiteral("true or false");
    default:
        return QStringLiteral("a whole number");
    }
}

QStringList textList(const QJsonValue &value)
{
    QStringList texts;
    for (const QJsonValue &entry : value.toArray())
        texts.append(entry.toString());
    return texts;
}

} // namespace

ContractCall::ContractCall(const QString &name, const QJsonArray &arguments)
    : m_name(name)
    , m_arguments(arguments)
{ }

std::optional<ContractCall> ContractCall::parse(const QString &name, const QJsonArray &arguments,
                                                QString *error)
{
    for (const Signature &signature : signatures) {
        if (name != QLatin1String(signature.name))
            continue;
        const QByteArray kinds(signature.kinds);
        if (arguments.size() != kinds.size()) {
            *error = QStringLiteral("%1 takes %2 argument(s), not %3")
                         .arg(name)
                         .arg(kinds.size())
                         .arg(arguments.size());
            return std::nullopt;
        }
        for (int i = 0; i < kinds.size(); ++i) {
            if (!fits(kinds.at(i), arguments.at(i))) {
                *error = QStringLiteral("argument %1 of %2 must be %3")
                             .arg(i + 1)
                             .arg(name, kindName(kinds.at(i)));
                return std::nullopt;
            }
        }
        return ContractCall(name, arguments);
    }
    *error = QStringLiteral("the contract has no operation \"%1\"").arg(name);
    return std::nullopt;
}

ContractCall ContractCall::setDevicePath(const QString &path)
{
    return ContractCall(QStringLiteral("setDevicePath"), {path});
}

ContractCall ContractCall::setUpgradeFileList(const QStringList &files)
{
    // Appended: a braced single array would be copied, not nested.
    QJsonArray arguments;
    arguments.append(QJsonArray::fromStringList(files));
    return ContractCall(QStringLiteral("setUpgradeFileList"), arguments);
}

ContractCall ContractCall::showUpdate(int device, int type)
{
    return ContractCall(QStringLiteral("showUpdate"), {device, type});
}

ContractCall ContractCall::showUpdateTip()
{
    return ContractCall(QStringLiteral("showUpdateTip"), {});
}

ContractCall ContractCall::setEnableDeviceList(const QStringList &usbDevices, const QStringList &sdDevices)
{
    return ContractCall(QStringLiteral("setEnableDeviceList"),
                        {QJsonArray::fromStringList(usbDevices), QJsonArray::fromStringList(sdDevices)});
}

ContractCall ContractCall::setDeviceInfomation(int device, bool valid, const QString &text1,
                                               const QString &text2, const QString &text3)
{
    return ContractCall(QStringLiteral("setDeviceInfomation"), {device, valid, text1, text2, text3});
}

ContractCall ContractCall::setUpateInformation(const QString &text)
{
    return ContractCall(QStringLiteral("setUpateInformation"), {text});
}

ContractCall ContractCall::onReturn()
{
    return ContractCall(QStringLiteral("onReturn"), {});
}

ContractCall ContractCall::onUpdateProgressChanged(int percent)
{
    return ContractCall(QStringLiteral("onUpdateProgressChanged"), {percent});
}

ContractCall ContractCall::onUpdateMessage(int type, const QString &message)
{
    return ContractCall(QStringLiteral("onUpdateMessage"), {type, message});
}

ContractCall ContractCall::onUpdateFinished(int code)
{
    return ContractCall(QStringLiteral("onUpdateFinished"), {code});
}

bool ContractCall::invoke(UpdateInterface *view) const
{
    const QJsonArray &a = m_arguments;
    if (m_name == QLatin1String("setDevicePath")) {
        view->setDevicePath(a.at(0).toString());
    } else if (m_name == QLatin1String("setUpgradeFileList")) {
        view->setUpgradeFileList(textList(a.at(0)));
    } else if (m_name == QLatin1String("showUpdate")) {
        view->showUpdate(UpdateInterface::DeviceType(a.at(0).toInt()),
                         UpdateInterface::UpgradeType(a.at(1).toInt()));
    } else if (m_name == QLatin1String("showUpdateTip")) {
        view->showUpdateTip();
    } else if (m_name == QLatin1String("setEnableDeviceList")) {
        view->setEnableDeviceList(textList(a.at(0)), textList(a.at(1)));
    } else if (m_name == QLatin1String("setDeviceInfomation")) {
        view->setDeviceInfomation(UpdateInterface::DeviceType(a.at(0).toInt()), a.at(1).toBool(),
                                  a.at(2).toString(), a.at(3).toString(), a.at(4).toString());
    } else if (m_name == QLatin1String("setUpateInformation")) {
        view->setUpateInformation(a.at(0).toString());
    } else if (m_name == QLatin1String("onReturn")) {
        return view->onReturn();
    } else if (m_name == QLatin1String("onUpdateProgressChanged")) {
        view->onUpdateProgressChanged(a.at(0).toInt());
    } else if (m_name == QLatin1String("onUpdateMessage")) {
        view->onUpdateMessage(a.at(0).toInt(), a.at(1).toString());
    } else if (m_name == QLatin1String("onUpdateFinished")) {
        view->onUpdateFinished(a.at(0).toInt());
    }
    return true;
}
