#include "plugintranslations.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

bool PluginTranslations::load(const QString &language, const QString &folder, const QString &pluginPath,
                              QString *error)
{
    const QString catalog = QStringLiteral("updatetheme_") + language;
    const QStringList folders = folder.isEmpty()
        ? QStringList {QFileInfo(pluginPath).absolutePath(), QStringLiteral(UPDATETHEME_SIM_TRANSLATIONS_DIR)}
        : QStringList {folder};
    for (const QString &candidate : folders) {
        if (m_translator.load(catalog, candidate)) {
            QCoreApplication::installTranslator(&m_translator);
            return true;
        }
    }
    *error = QStringLiteral("no catalog %1.qm in %2").arg(catalog, folders.join(", "));
    return false;
}
