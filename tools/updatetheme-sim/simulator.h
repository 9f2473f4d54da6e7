#ifndef SIMULATOR_H
#define SIMULATOR_H

#include "exitcode.h"
#include "sandbox.h"
#include "scenario.h"
#include "simjournal.h"
#include "simoptions.h"

#include <QObject>
#include <QTranslator>

#include <memory>

class HostPlayer;
class HostWindow;
class KeyRouter;
class PluginFile;
class ScenarioRunner;

// The head unit on the desk: prepares the sandbox and the host's services,
// opens the host's window with the plugin's view on it, and then lets the
// user drive it or runs the scenario.
class Simulator : public QObject
{
    Q_OBJECT

public:
    Simulator(const SimOptions &options, const std::optional<Scenario> &scenario, PluginFile *plugin);
    ~Simulator() override;

    // Runs until the window is closed or the scenario has ended.
    ExitCode run();

private:
    ExitCode prepare();
    // Installs the plugin's catalog "updatetheme_<language>.qm" for the whole
    // application, as the head unit's host does. It is looked for in the
    // given folder, else beside the plugin file (the device's layout), else
    // where the build compiled it.
    bool loadTranslations(QString *error);

    SimOptions m_options;
    std::optional<Scenario> m_scenario;
    PluginFile *m_plugin;
    Sandbox m_sandbox;
    SimJournal m_journal;
    QTranslator m_translator;
    std::unique_ptr<HostWindow> m_window;
    std::unique_ptr<HostPlayer> m_host;
    std::unique_ptr<KeyRouter> m_keys;
    std::unique_ptr<ScenarioRunner> m_runner;
};

#endif // SIMULATOR_H
