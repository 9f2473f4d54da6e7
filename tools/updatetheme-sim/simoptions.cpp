#include "simoptions.h"

#include "demomedium.h"
#include "keyrouter.h"

#include <QCommandLineParser>
#include <QDir>
#include <QJsonArray>
#include <QMap>
#include <QRegularExpression>

namespace {

const QStringList setupKeys
    = {"size",        "media",     "demoMedium",  "factory",    "temp", "softwareVersion",
       "clientModel", "mcuModule", "upgradeTick", "autoUpgrade"};

bool parseSize(const QString &text, QSize *size)
{
    const QRegularExpressionMatch match
        = QRegularExpression(QStringLiteral("^(\\d{3,4})x(\\d{3,4})$")).match(text);
    if (!match.hasMatch())
        return false;
    const QSize parsed(match.captured(1).toInt(), match.captured(2).toInt());
    // Anything from a small cluster display to a large centre screen.
    if (parsed.width() < 320 || parsed.height() < 240 || parsed.width() > 3840 || parsed.height() > 2160)
        return false;
    *size = parsed;
    return true;
}

// "true"/"false" become booleans and whole numbers integers, as the host's
// settings store would give them back; anything else stays text.
QVariant settingValue(const QString &text)
{
    if (text == QLatin1String("true") || text == QLatin1String("false"))
        return text == QLatin1String("true");
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    return isNumber ? QVariant(number) : QVariant(text);
}

bool parseAssignments(const QStringList &assignments, const QString &option, QVariantMap *into,
                      QString *error)
{
    for (const QString &assignment : assignments) {
        const int equals = assignment.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            *error = QStringLiteral("--%1 expects KEY=VALUE, not \"%2\"").arg(option, assignment);
            return false;
        }
        into->insert(assignment.left(equals), settingValue(assignment.mid(equals + 1)));
    }
    return true;
}

bool parseOnOff(const QString &text, bool *value)
{
    if (text == QLatin1String("on") || text == QLatin1String("off")) {
        *value = text == QLatin1String("on");
        return true;
    }
    return false;
}

// Keys given on the command line win, key by key.
void mergeSettings(const QJsonValue &setupSettings, QVariantMap *into)
{
    const QVariantMap settings = setupSettings.toObject().toVariantMap();
    for (auto entry = settings.constBegin(); entry != settings.constEnd(); ++entry) {
        if (!into->contains(entry.key()))
            into->insert(entry.key(), entry.value());
    }
}

bool validTick(int milliseconds)
{
    return milliseconds >= 1 && milliseconds <= 10000;
}

bool parseMedium(const QJsonValue &value, const QString &scenarioDirectory, SimulatedMedium *medium,
                 QString *error)
{
    const QJsonObject object = value.toObject();
    for (const QString &key : object.keys()) {
        if (key != QLatin1String("type") && key != QLatin1String("content") && key != QLatin1String("files")
            && key != QLatin1String("directory")) {
            *error = QStringLiteral("setup: unknown key \"%1\" in a medium").arg(key);
            return false;
        }
    }
    const QString type = object.value(QStringLiteral("type")).toString();
    if (type != QLatin1String("usb") && type != QLatin1String("sd")) {
        *error = QStringLiteral("setup: a medium's \"type\" is \"usb\" or \"sd\"");
        return false;
    }
    medium->type = type == QLatin1String("usb") ? SimulatedMedium::Usb : SimulatedMedium::Sd;
    if (object.contains(QStringLiteral("directory"))) {
        medium->directory = QDir(scenarioDirectory).absoluteFilePath(object.value("directory").toString());
        return true;
    }
    medium->content = object.value(QStringLiteral("content")).toString(QStringLiteral("empty"));
    if (!DemoMedium::isContent(medium->content)) {
        *error = QStringLiteral("setup: unknown medium content \"%1\"").arg(medium->content);
        return false;
    }
    medium->files = object.value(QStringLiteral("files")).toObject();
    for (auto file = medium->files.constBegin(); file != medium->files.constEnd(); ++file) {
        if (!file.value().isNull() && !(file.value().isDouble() && file.value().toInt(-1) >= 0)) {
            *error = QStringLiteral("setup: the size of \"%1\" is a number of bytes or null").arg(file.key());
            return false;
        }
    }
    return true;
}

} // namespace

bool SimOptions::parse(const QStringList &arguments, QString *error)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QList<QCommandLineOption> options = {
        {{"h", "help"}, QString()},        {"plugin", QString(), "path"},
        {"size", QString(), "WxH"},        {"usb", QString(), "dir"},
        {"sd", QString(), "dir"},          {"demo-medium", QString(), "content"},
        {"settings", QString(), "file"},   {"factory", QString(), "key=value"},
        {"temp", QString(), "key=value"},  {"software-version", QString(), "version"},
        {"client-model", QString(), "n"},  {"mcu-module", QString(), "on|off"},
        {"background", QString(), "file"}, {"device-root", QString(), "dir"},
        {"lang", QString(), "language"},   {"translations", QString(), "dir"},
        {"journal", QString(), "file"},    {"scenario", QString(), "file"},
        {"screenshots", QString(), "dir"}, {"upgrade-tick", QString(), "ms"},
        {"platform", QString(), "name"},
    };
    parser.addOptions(options);
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first());
        return false;
    }
    m_given = parser.optionNames();
    helpRequested = parser.isSet(QStringLiteral("help"));
    platformGiven = parser.isSet(QStringLiteral("platform"));
    return takePluginAndMedia(parser, error) && takeHostSettings(parser, error) && takeOutputs(parser, error);
}

bool SimOptions::takePluginAndMedia(const QCommandLineParser &parser, QString *error)
{
    pluginPath
        = parser.isSet("plugin") ? parser.value("plugin") : QStringLiteral(UPDATETHEME_SIM_DEFAULT_PLUGIN);
    if (parser.isSet("size") && !parseSize(parser.value("size"), &screenSize)) {
        *error = QStringLiteral("--size expects WIDTHxHEIGHT (320x240 to 3840x2160), not \"%1\"")
                     .arg(parser.value("size"));
        return false;
    }
    for (const QString &kind : {QStringLiteral("usb"), QStringLiteral("sd")}) {
        for (const QString &directory : parser.values(kind)) {
            if (!QDir(directory).exists()) {
                *error = QStringLiteral("--%1: no folder \"%2\"").arg(kind, directory);
                return false;
            }
            SimulatedMedium medium;
            medium.type = kind == QLatin1String("usb") ? SimulatedMedium::Usb : SimulatedMedium::Sd;
            medium.directory = QDir(directory).absolutePath();
            media.append(medium);
        }
    }
    if (parser.isSet("demo-medium")) {
        demoContent = parser.value("demo-medium");
        if (!DemoMedium::isContent(demoContent)) {
            *error = QStringLiteral("--demo-medium: unknown content \"%1\"").arg(demoContent);
            return false;
        }
    }
    return true;
}

bool SimOptions::takeHostSettings(const QCommandLineParser &parser, QString *error)
{
    settingsFile = parser.value("settings");
    if (!settingsFile.isEmpty() && !QFileInfo(settingsFile).isFile()) {
        *error = QStringLiteral("--settings: no file \"%1\"").arg(settingsFile);
        return false;
    }
    if (!parseAssignments(parser.values("factory"), "factory", &factory, error)
        || !parseAssignments(parser.values("temp"), "temp", &temp, error))
        return false;
    if (parser.isSet("software-version"))
        softwareVersion = parser.value("software-version");
    if (parser.isSet("client-model")) {
        bool isNumber = false;
        clientModel = parser.value("client-model").toInt(&isNumber);
        if (!isNumber) {
            *error = QStringLiteral("--client-model expects a number");
            return false;
        }
    }
    if (parser.isSet("mcu-module")) {
        bool available = false;
        if (!parseOnOff(parser.value("mcu-module"), &available)) {
            *error = QStringLiteral("--mcu-module expects on or off");
            return false;
        }
        mcuModule = available;
    }
    if (parser.isSet("upgrade-tick")) {
        upgradeTick = parser.value("upgrade-tick").toInt();
        if (!validTick(upgradeTick)) {
            *error = QStringLiteral("--upgrade-tick expects milliseconds from 1 to 10000");
            return false;
        }
    }
    return true;
}

bool SimOptions::takeOutputs(const QCommandLineParser &parser, QString *error)
{
    backgroundPicture = parser.value("background");
    deviceRoot = parser.value("device-root");
    language = parser.value("lang");
    translationsDir = parser.value("translations");
    journalFile = parser.value("journal");
    scenarioFile = parser.value("scenario");
    screenshotsDir = parser.value("screenshots");
    if (!screenshotsDir.isEmpty() && scenarioFile.isEmpty()) {
        *error = QStringLiteral("--screenshots is for scenarios: give --scenario FILE as well");
        return false;
    }
    return true;
}

bool SimOptions::applySetup(const QJsonObject &setup, const QString &scenarioDirectory, QString *error)
{
    for (const QString &key : setup.keys()) {
        if (!setupKeys.contains(key)) {
            *error = QStringLiteral("setup: unknown key \"%1\"").arg(key);
            return false;
        }
    }
    if (setup.contains("size") && !m_given.contains("size")
        && !parseSize(setup.value("size").toString(), &screenSize)) {
        *error = QStringLiteral("setup: \"size\" is \"WIDTHxHEIGHT\"");
        return false;
    }
    if (setup.contains("media") && media.isEmpty()) {
        for (const QJsonValue &value : setup.value("media").toArray()) {
            SimulatedMedium medium;
            if (!parseMedium(value, scenarioDirectory, &medium, error))
                return false;
            media.append(medium);
        }
    }
    if (setup.contains("demoMedium") && !m_given.contains("demo-medium")) {
        demoContent = setup.value("demoMedium").toString();
        if (!DemoMedium::isContent(demoContent)) {
            *error = QStringLiteral("setup: unknown \"demoMedium\" \"%1\"").arg(demoContent);
            return false;
        }
    }
    mergeSettings(setup.value("factory"), &factory);
    mergeSettings(setup.value("temp"), &temp);
    if (setup.contains("softwareVersion") && !softwareVersion)
        softwareVersion = setup.value("softwareVersion").toString();
    if (setup.contains("clientModel") && !clientModel)
        clientModel = setup.value("clientModel").toInt();
    if (setup.contains("mcuModule") && !mcuModule)
        mcuModule = setup.value("mcuModule").toBool();
    if (setup.contains("upgradeTick") && !m_given.contains("upgrade-tick")) {
        upgradeTick = setup.value("upgradeTick").toInt();
        if (!validTick(upgradeTick)) {
            *error = QStringLiteral("setup: \"upgradeTick\" is milliseconds from 1 to 10000");
            return false;
        }
    }
    if (setup.contains("autoUpgrade"))
        autoUpgrade = setup.value("autoUpgrade").toBool(true);
    return true;
}

QList<SimulatedMedium> SimOptions::mountedMedia() const
{
    QList<SimulatedMedium> mounted = media;
    if (mounted.isEmpty()) {
        SimulatedMedium demo;
        demo.content = demoContent;
        mounted.append(demo);
    }
    QMap<SimulatedMedium::Type, int> counts;
    for (SimulatedMedium &medium : mounted)
        medium.name = medium.kind() + QString::number(counts[medium.type]++);
    return mounted;
}

QString SimOptions::helpText()
{
    return QStringLiteral(
               "Usage: updatetheme-sim [options]\n"
               "\n"
               "A head unit on the desk: loads the update-view plugin the way the head unit's host\n"
               "does and plays the host's side, in a window or along a scenario file.\n"
               "\n"
               "Plugin and screen:\n"
               "  --plugin PATH            plugin file (default: the one built with the simulator)\n"
               "  --size WxH               screen size (default 800x480)\n"
               "  --lang LANG              language of the screens, e.g. zh_CN or de\n"
               "  --translations DIR       folder of the catalogs (default: beside the plugin, then the "
               "build's)\n"
               "  --background FILE        host's background picture (default: the style's)\n"
               "\n"
               "Media (the mounted media the host reports):\n"
               "  --usb DIR                a mounted USB medium; repeatable\n"
               "  --sd DIR                 a mounted SD card; repeatable\n"
               "  --demo-medium CONTENT    without --usb/--sd, one USB medium made with this content:\n"
               "                           upgrade (default: the three upgrade files), customisation\n"
               "                           (factory customisation data) or empty\n"
               "\n"
               "Host settings:\n"
               "  --settings FILE          host settings file ([Factory], [Temp], [Host]); copied, never "
               "written\n"
               "  --factory KEY=VALUE      factory setting, e.g. SupportQuickUpgrade=true; repeatable\n"
               "  --temp KEY=VALUE         temporary data, e.g. MCUVERSION=MCU_2.1.0; repeatable\n"
               "  --software-version V     the device's software version\n"
               "  --client-model N         the client model number\n"
               "  --mcu-module on|off      whether the module \"mcu\" is registered (default on)\n"
               "  --device-root DIR        sandbox device root (default: a temporary folder); the plugin's\n"
               "                           /application, /media/flash and /dev/mtd14 live under it\n"
               "  --upgrade-tick MS        time between the reports of a simulated upgrade (default 100)\n"
               "\n"
               "Output and scenarios:\n"
               "  --journal FILE           JSON lines of every call, signal and host request\n"
               "                           (default: standard output)\n"
               "  --scenario FILE          run a scenario instead of the window; offscreen unless\n"
               "                           -platform is given\n"
               "  --screenshots DIR        where the scenario's screenshots go\n"
               "  -h, --help               this text\n"
               "\n"
               "%1"
               "\n"
               "Exit status: 0 done (every expectation held), 1 a scenario step failed, 2 bad command\n"
               "line, scenario or settings, 3 no plugin file, 4 not a Qt plugin, 5 a plugin of another\n"
               "interface, 6 the plugin handed out no update view, 7 the sandbox could not be prepared.\n")
        .arg(KeyRouter::mappingText());
}
