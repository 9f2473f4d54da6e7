#ifndef DATASAVECONTROL_H
#define DATASAVECONTROL_H

#include <QString>
#include <QVariant>

// The host's persistent store: factory data (set on the production line),
// temporary data (values the host keeps for other modules) and user settings.
// All three live in one INI file, in the groups [Factory], [Temp] and [Setting].
// The file is named by UPDATETHEME_HOST_SETTINGS, by default
// ~/.config/updatetheme-host/settings.ini.
class DataSaveControl
{
public:
    static QVariant readFactoryData(const QString &key, const QVariant &def);
    static QVariant readTempData(const QString &key, const QVariant &def);
    static QVariant readSettingData(const QString &key, const QVariant &def);

    // The third argument names the module that owns the setting; the stand-in
    // records it in the journal and stores nothing for it.
    static void saveSettingData(const QString &key, const QVariant &value, const QString &owner);

    // Host side.
    static void writeFactoryData(const QString &key, const QVariant &value);
    static void writeTempData(const QString &key, const QVariant &value);
    static QString settingsFilePath();
    static const char *environmentVariable() { return "UPDATETHEME_HOST_SETTINGS"; }
};

#endif // DATASAVECONTROL_H
