#ifndef SIMOPTIONS_H
#define SIMOPTIONS_H

#include "simulatedmedium.h"

#include <QJsonObject>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

class QCommandLineParser;

// The simulator's command line, and the "setup" object of a scenario, which
// configures the same things. What the command line gives explicitly wins
// over the scenario's setup; what neither gives keeps its default.
class SimOptions
{
public:
    // Parses the program's arguments (the program name first). Qt's own
    // "-platform NAME" is accepted and left to Qt.
    bool parse(const QStringList &arguments, QString *error);

    // Takes the scenario's setup for every value the command line left open.
    // Folders of media are relative to scenarioDirectory.
    bool applySetup(const QJsonObject &setup, const QString &scenarioDirectory, QString *error);

    // The media the host mounts, named: media, else the built-in demo medium.
    QList<SimulatedMedium> mountedMedia() const;

    static QString helpText();

    bool helpRequested = false;
    bool platformGiven = false;

    QString pluginPath;
    QSize screenSize = QSize(800, 480);
    QList<SimulatedMedium> media; // empty: the built-in demo medium
    QString demoContent = QStringLiteral("upgrade");
    QString settingsFile;
    QVariantMap factory;
    QVariantMap temp;
    std::optional<QString> softwareVersion;
    std::optional<int> clientModel;
    std::optional<bool> mcuModule;
    QString backgroundPicture;
    QString deviceRoot; // empty: a temporary folder
    QString language;
    QString translationsDir;
    QString journalFile; // empty: standard output
    QString scenarioFile;
    QString screenshotsDir;
    int upgradeTick = 100; // milliseconds between the reports of a simulated upgrade
    bool autoUpgrade = true; // the host performs a simulated upgrade after updateSystem()

private:
    bool takePluginAndMedia(const QCommandLineParser &parser, QString *error);
    bool takeHostSettings(const QCommandLineParser &parser, QString *error);
    bool takeOutputs(const QCommandLineParser &parser, QString *error);

    QStringList m_given; // options set on the command line
};

#endif // SIMOPTIONS_H
