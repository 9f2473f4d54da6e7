#include "datasavecontrol.h"

#include "hostjournal.h"

#include <QDir>
#include <QJsonObject>
#include <QJsonValue>
#include <QSettings>
#include <QtDebug>

namespace {

QVariant read(const QString &group, const QString &key, const QVariant &def)
{
    QSettings store(DataSaveControl::settingsFilePath(), QSettings::IniFormat);
    return store.value(group + QLatin1Char('/') + key, def);
}

void write(const QString &group, const QString &key, const QVariant &value)
{
    QSettings store(DataSaveControl::settingsFilePath(), QSettings::IniFormat);
    store.setValue(group + QLatin1Char('/') + key, value);
    store.sync();
    if (store.status() != QSettings::NoError)
        qWarning() << "DataSaveControl: cannot write" << key << "to" << store.fileName();
}

} // namespace

QVariant DataSaveControl::readFactoryData(const QString &key, const QVariant &def)
{
    return read(QStringLiteral("Factory"), key, def);
}

QVariant DataSaveControl::readTempData(const QString &key, const QVariant &def)
{
    return read(QStringLiteral("Temp"), key, def);
}

QVariant DataSaveControl::readSettingData(const QString &key, const QVariant &def)
{
    return read(QStringLiteral("Setting"), key, def);
}

void DataSaveControl::saveSettingData(const QString &key, const QVariant &value, const QString &owner)
{
    QJsonObject details;
    details.insert(QStringLiteral("key"), key);
    details.insert(QStringLiteral("value"), QJsonValue::fromVariant(value));
    details.insert(QStringLiteral("owner"), owner);
    HostJournal::instance()->record(QStringLiteral("saveSettingData"), details);
    write(QStringLiteral("Setting"), key, value);
}

void DataSaveControl::writeFactoryData(const QString &key, const QVariant &value)
{
    write(QStringLiteral("Factory"), key, value);
}

void DataSaveControl::writeTempData(const QString &key, const QVariant &value)
{
    write(QStringLiteral("Temp"), key, value);
}

QString DataSaveControl::settingsFilePath()
{
    const QByteArray configured = qgetenv(environmentVariable());
    if (!configured.isEmpty())
        return QString::fromLocal8Bit(configured);
    return QDir::homePath() + QStringLiteral("/.config/updatetheme-host/settings.ini");
}
