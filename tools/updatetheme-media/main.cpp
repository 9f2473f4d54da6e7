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
    QList<SimulatedMedium> media = options.media;
    if (media.isEmpty()) {
        SimulatedMedium demo;
        demo.content = options.demoContent;
        media.append(demo);
    }
    QTextStream out(stdout);
    int counts[3] = {0, 0, 0};
    for (const SimulatedMedium &medium : media) {
        const QString kind
            = medium.type == SimulatedMedium::Usb ? QStringLiteral("usb") : QStringLiteral("sd");
        const QString name = kind + QString::number(counts[medium.type]++);
        // A medium that is a folder of the machine is taken as it is.
        const QString folder
            = medium.directory.isEmpty() ? QDir(arguments.at(2)).filePath(name) : medium.directory;
        if (medium.directory.isEmpty() && !DemoMedium::create(folder, medium.content, medium.files, &error)) {
            err << "updatetheme-media: " << error << "\n";
            return 1;
        }
        out << name << ' ' << kind << ' ' << folder << '\n';
    }
    return 0;
}
