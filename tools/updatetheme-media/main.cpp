// updatetheme-media SCENARIO FOLDER: writes the media the scenario's setup
// describes (or the simulator's built-in demo medium) into FOLDER/usb0,
// FOLDER/sd0, ... as the simulator would make them in its session folder,
// and prints one line per medium: its name, "usb" or "sd", and its folder.
#include "demomedium.h"
#include "scenario.h"
#include "simoptions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    QTextStream err(stderr);
    if (arguments.size() != 3) {
        err << "usage: updatetheme-media SCENARIO FOLDER\n";
        return 2;
    }
    QString error;
    const std::optional<Scenario> scenario = Scenario::load(arguments.at(1), &error);
    SimOptions options;
    if (!scenario
        || !options.applySetup(scenario->setup(), QFileInfo(arguments.at(1)).absolutePath(), &error)) {
        err << "updatetheme-media: " << error << "\n";
        return 2;
    }
    QTextStream out(stdout);
    for (const SimulatedMedium &medium : options.mountedMedia()) {
        // A medium that is a folder of the machine is taken as it is.
        const QString folder
            = medium.directory.isEmpty() ? QDir(arguments.at(2)).filePath(medium.name) : medium.directory;
        if (medium.directory.isEmpty() && !DemoMedium::create(folder, medium.content, medium.files, &error)) {
            err << "updatetheme-media: " << error << "\n";
            return 1;
        }
        out << medium.name << ' ' << medium.kind() << ' ' << folder << '\n';
    }
    return 0;
}
