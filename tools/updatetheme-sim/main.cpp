// updatetheme-sim: a head unit on the desk for the update-view plugin. See
// SimOptions::helpText() (or --help) for the command line, Scenario for the
// scenario files and SimJournal for the journal.
#include "exitcode.h"
#include "pluginfile.h"
#include "quitonsignal.h"
#include "scenario.h"
#include "simoptions.h"
#include "simulator.h"

#include <QApplication>
#include <QFileInfo>
#include <QTextStream>

namespace {

int refuse(ExitCode code, const QString &message)
{
    QTextStream(stderr) << "updatetheme-sim: " << message << "\n";
    return exitStatus(code);
}

QStringList commandLine(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

} // namespace

int main(int argc, char *argv[])
{
    SimOptions options;
    QString error;
    if (!options.parse(commandLine(argc, argv), &error))
        return refuse(ExitCode::Usage, error + QStringLiteral(" (see --help)"));
    if (options.helpRequested) {
        QTextStream(stdout) << SimOptions::helpText();
        return exitStatus(ExitCode::Success);
    }

    std::optional<Scenario> scenario;
    if (!options.scenarioFile.isEmpty()) {
        scenario = Scenario::load(options.scenarioFile, &error);
        if (!scenario
            || !options.applySetup(scenario->setup(), QFileInfo(options.scenarioFile).absolutePath(), &error))
            return refuse(ExitCode::Usage, error);
    }

    // The plugin is checked before anything is shown, so that a wrong file is
    // reported as such also on a machine without a display.
    PluginFile plugin(options.pluginPath);
    const ExitCode opened = plugin.open();
    if (opened != ExitCode::Success)
        return refuse(opened, plugin.errorMessage());

    if (scenario && !options.platformGiven)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    else if (!scenario && !options.platformGiven && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
             && qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return refuse(ExitCode::Usage,
                      QStringLiteral("no display for the window; run a --scenario, or give -platform"));

    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("updatetheme-sim"));
    const QuitOnSignal quitOnSignal;
    Simulator simulator(options, scenario, &plugin);
    return exitStatus(simulator.run());
}
