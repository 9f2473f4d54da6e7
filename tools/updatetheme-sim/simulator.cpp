#include "simulator.h"

#include "basecontrol.h"
#include "hostconfiguration.h"
#include "hostplayer.h"
#include "hostwindow.h"
#include "keyrouter.h"
#include "pluginfile.h"
#include "scenariorunner.h"
#include "uimanager.h"

#include <QApplication>
#include <QFileInfo>
#include <QTextStream>

namespace {

void report(const QString &message)
{
    QTextStream(stderr) << "updatetheme-sim: " << message << "\n";
}

} // namespace

Simulator::Simulator(const SimOptions &options, const std::optional<Scenario> &scenario, PluginFile *plugin)
    : m_options(options)
    , m_scenario(scenario)
    , m_plugin(plugin)
{ }

Simulator::~Simulator()
{
    // The view goes before the window that holds it, the layer before the host forgets it.
    m_runner.reset();
    m_host.reset();
    m_keys.reset();
    qvappframework::UIManager::setUIHerarchy(qvappframework::UIHerarchyApplication, nullptr);
    m_window.reset();
}

ExitCode Simulator::run()
{
    const ExitCode prepared = prepare();
    if (prepared != ExitCode::Success)
        return prepared;

    QString error;
    if (!m_scenario) {
        m_keys->translatePcKeys();
        if (!m_host->insertMedium(&error)) {
            report(error);
            return ExitCode::NoView;
        }
        QApplication::exec();
        return ExitCode::Success;
    }

    if (!m_host->openInterface(&error)) {
        report(error);
        return ExitCode::NoView;
    }
    m_runner.reset(
        new ScenarioRunner(*m_scenario, m_host.get(), m_keys.get(), m_window.get(), &m_journal, &m_sandbox));
    m_runner->setScreenshotFolder(m_options.screenshotsDir);
    bool passed = false;
    connect(m_runner.get(), &ScenarioRunner::finished, this, [&passed](bool held) {
        passed = held;
        QCoreApplication::quit();
    });
    m_runner->start();
    QApplication::exec();
    return passed ? ExitCode::Success : ExitCode::ScenarioFailed;
}

ExitCode Simulator::prepare()
{
    QString error;
    if (!m_journal.open(m_options.journalFile, &error)) {
        report(error);
        return ExitCode::Usage;
    }
    if (!m_sandbox.prepare(m_options.deviceRoot, &error)) {
        report(error);
        return ExitCode::SandboxFailed;
    }
    if (!HostConfiguration::apply(m_options, m_sandbox, &error)
        || (!m_options.language.isEmpty() && !loadTranslations(&error))) {
        report(error);
        return ExitCode::Usage;
    }
    QJsonObject entry;
    entry.insert(QStringLiteral("action"), QStringLiteral("start"));
    entry.insert(QStringLiteral("plugin"), m_plugin->path());
    entry.insert(QStringLiteral("deviceRoot"), m_sandbox.root());
    m_journal.record(QStringLiteral("host"), entry);

    const QPixmap *background = BaseControl::getInstance()->getBackgroundPixmap();
    m_window.reset(new HostWindow(m_options.screenSize, background ? *background : QPixmap()));
    qvappframework::UIManager::setUIHerarchy(qvappframework::UIHerarchyApplication,
                                             m_window->applicationLayer());
    m_host.reset(new HostPlayer(m_plugin, m_window.get(), &m_journal));
    m_host->setUpgradeTick(m_options.upgradeTick);
    m_host->setAutomaticUpgrade(m_options.autoUpgrade);
    m_keys.reset(new KeyRouter(m_window.get()));
    connect(m_keys.get(), &KeyRouter::unhandledKey, m_host.get(), &HostPlayer::onUnhandledKey);

    m_window->show();
    m_window->activateWindow();
    QApplication::setActiveWindow(m_window.get());
    return ExitCode::Success;
}

bool Simulator::loadTranslations(QString *error)
{
    const QString catalog = QStringLiteral("updatetheme_") + m_options.language;
    const QStringList folders = m_options.translationsDir.isEmpty()
        ? QStringList {QFileInfo(m_plugin->path()).absolutePath(),
                       QStringLiteral(UPDATETHEME_SIM_TRANSLATIONS_DIR)}
        : QStringList {m_options.translationsDir};
    for (const QString &candidate : folders) {
        if (m_translator.load(catalog, candidate)) {
            QCoreApplication::installTranslator(&m_translator);
            return true;
        }
    }
    *error = QStringLiteral("no catalog %1.qm in %2").arg(catalog, folders.join(", "));
    return false;
}
