#ifndef PLUGINTRANSLATIONS_H
#define PLUGINTRANSLATIONS_H

#include <QString>
#include <QTranslator>

// The plugin's translation catalog "updatetheme_<language>.qm", installed
// for the whole application as the head unit's host installs it. It is
// looked for in the given folder, else beside the plugin file (the device's
// layout), else where the build compiled it.
class PluginTranslations
{
public:
    bool load(const QString &language, const QString &folder, const QString &pluginPath, QString *error);

private:
    QTranslator m_translator;
};

#endif // PLUGINTRANSLATIONS_H
