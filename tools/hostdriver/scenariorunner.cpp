#include "scenariorunner.h"

#include "hostplayer.h"
#include "hostwindow.h"
#include "keyrouter.h"
#include "screenclock.h"
#include "simjournal.h"
#include "touchscreen.h"

#include <QApplication>
#include <QDir>
#include <QJsonDocument>
#include <QTextStream>
#include <QWindow>

namespace {

const int pollInterval = 20;
const int windowTimeout = 10000;

} // namespace

ScenarioRunner::ScenarioRunner(const Scenario &scenario, HostPlayer *host, KeyRouter *keys,
                               HostWindow *window, SimJournal *journal, const Sandbox *sandbox,
                               QObject *parent)
    : QObject(parent)
    , m_scenario(scenario)
    , m_host(host)
    , m_keys(keys)
    , m_window(window)
    , m_journal(journal)
    , m_sandbox(sandbox)
    , m_probe(window)
{
    m_poll.setInterval(pollInterval);
}

void ScenarioRunner::setScreenshotFolder(const QString &folder)
{
    m_screenshotFolder = folder;
}

void ScenarioRunner::start()
{
    QJsonObject entry;
    entry.insert(QStringLiteral("name"), m_scenario.name());
    entry.insert(QStringLiteral("platform"), QGuiApplication::platformName());
    entry.insert(QStringLiteral("state"), QStringLiteral("started"));
    m_journal->record(QStringLiteral("scenario"), entry);
    m_waited.start();
    connect(&m_poll, &QTimer::timeout, this, &ScenarioRunner::waitForWindow);
    m_poll.start();
}

void ScenarioRunner::waitForWindow()
{
    QWindow *window = m_window->windowHandle();
    if (window && window->isExposed()) {
        m_poll.stop();
        disconnect(&m_poll, nullptr, this, nullptr);
        runStep();
    } else if (m_waited.elapsed() > windowTimeout) {
        m_poll.stop();
        fail(QStringLiteral("the window was not shown on the %1 platform")
                 .arg(QGuiApplication::platformName()));
    }
}

void ScenarioRunner::runStep()
{
    const QList<Scenario::Step> steps = m_scenario.steps();
    if (m_index == steps.size()) {
        QJsonObject entry;
        entry.insert(QStringLiteral("name"), m_scenario.name());
        entry.insert(QStringLiteral("state"), QStringLiteral("passed"));
        entry.insert(QStringLiteral("steps"), steps.size());
        m_journal->record(QStringLiteral("scenario"), entry);
        QTextStream(stderr) << "scenario \"" << m_scenario.name() << "\" passed on "
                            << QGuiApplication::platformName() << ": " << steps.size() << " steps\n";
        emit finished(true);
        return;
    }

    const Scenario::Step &step = steps.at(m_index);
    QJsonObject entry;
    entry.insert(QStringLiteral("index"), m_index + 1);
    entry.insert(QStringLiteral("step"), step.source);
    m_journal->record(QStringLiteral("step"), entry);

    if (step.action == Scenario::Step::Wait) {
        QTimer::singleShot(step.number, this, &ScenarioRunner::advance);
        return;
    }
    if (step.action == Scenario::Step::Expect) {
        m_waiting = true;
        m_waited.start();
        // Journal entries are checked as they come, so that a step after an
        // expectation on a report runs before the host's next report.
        connect(m_journal, &SimJournal::recorded, this, &ScenarioRunner::checkExpectation);
        connect(&m_poll, &QTimer::timeout, this, &ScenarioRunner::checkExpectation);
        m_poll.start();
        checkExpectation();
        return;
    }
    QString error;
    if (perform(step, &error))
        advance();
    else
        fail(error);
}

void ScenarioRunner::checkExpectation()
{
    if (!m_waiting)
        return;
    const Scenario::Step &step = m_scenario.steps().at(m_index);
    QString detail;
    const bool held = step.expectation->holds({&m_probe, m_journal, m_sandbox, &m_screenshots}, &detail);
    const bool timedOut = m_waited.elapsed() >= step.number;
    if (!held && !timedOut)
        return;
    m_waiting = false;
    m_poll.stop();
    disconnect(m_journal, &SimJournal::recorded, this, &ScenarioRunner::checkExpectation);
    disconnect(&m_poll, &QTimer::timeout, this, &ScenarioRunner::checkExpectation);
    recordResult(held, detail);
    if (held)
        QTimer::singleShot(0, this, &ScenarioRunner::advance);
    else
        fail(QStringLiteral("expectation %1 did not hold: %2")
                 .arg(QString::fromUtf8(QJsonDocument(step.source.value("expect").toObject())
                                            .toJson(QJsonDocument::Compact)),
                      detail));
}

void ScenarioRunner::advance()
{
    ++m_index;
    QTimer::singleShot(0, this, &ScenarioRunner::runStep);
}

void ScenarioRunner::fail(const QString &detail)
{
    QString screenshotError;
    if (!m_screenshotFolder.isEmpty())
        saveScreenshot(QStringLiteral("failure"), &screenshotError);
    QJsonObject entry;
    entry.insert(QStringLiteral("name"), m_scenario.name());
    entry.insert(QStringLiteral("state"), QStringLiteral("failed"));
    entry.insert(QStringLiteral("step"), m_index + 1);
    entry.insert(QStringLiteral("detail"), detail);
    m_journal->record(QStringLiteral("scenario"), entry);
    QTextStream(stderr) << "scenario \"" << m_scenario.name() << "\" failed at step " << m_index + 1 << ": "
                        << detail << "\n";
    emit finished(false);
}

bool ScenarioRunner::perform(const Scenario::Step &step, QString *error)
{
    switch (step.action) {
    case Scenario::Step::Call:
        return m_host->call(*step.call, error);
    case Scenario::Step::Host:
        if (step.text == QLatin1String("insertMedium"))
            return m_host->insertMedium(error);
        if (step.text == QLatin1String("openInterface"))
            return m_host->openInterface(error);
        if (step.text == QLatin1String("raiseInterface"))
            return m_host->raiseInterface(error);
        m_host->closeInterface();
        return true;
    case Scenario::Step::Key: {
        QJsonObject entry;
        entry.insert(QStringLiteral("key"), KeyRouter::hexCode(step.number));
        m_journal->record(QStringLiteral("input"), entry);
        m_keys->click(step.number);
        return true;
    }
    case Scenario::Step::Click:
        return click(step.text, error);
    case Scenario::Step::Tick: {
        QWidget *screen = m_probe.screenWidget(m_probe.currentScreen());
        const int ran = screen ? ScreenClock::tick(screen, step.number) : 0;
        if (ran < step.number)
            *error
                = QStringLiteral("the countdown on display ran %1 of %2 second(s)").arg(ran).arg(step.number);
        return ran == step.number;
    }
    case Scenario::Step::Screenshot:
        return saveScreenshot(step.text, error);
    default:
        return true;
    }
}

bool ScenarioRunner::click(const QString &caption, QString *error)
{
    // Layouts of screens shown a moment ago are settled before aiming at them.
    QCoreApplication::sendPostedEvents();
    const QList<QWidget *> controls = m_probe.controlsShowing(caption);
    if (controls.size() != 1) {
        *error = controls.isEmpty()
            ? QStringLiteral("no visible control shows \"%1\"").arg(caption)
            : QStringLiteral("%1 visible controls show \"%2\"").arg(controls.size()).arg(caption);
        return false;
    }
    QPoint point;
    QString why;
    if (!TouchScreen::aim(m_window, controls.first(), &point, &why)) {
        *error = QStringLiteral("\"%1\" %2").arg(caption, why);
        return false;
    }
    QJsonObject entry;
    entry.insert(QStringLiteral("click"), caption);
    entry.insert(QStringLiteral("x"), point.x());
    entry.insert(QStringLiteral("y"), point.y());
    m_journal->record(QStringLiteral("input"), entry);
    TouchScreen::touch(m_window, point);
    return true;
}

bool ScenarioRunner::saveScreenshot(const QString &name, QString *error)
{
    QCoreApplication::sendPostedEvents();
    m_screenshots.insert(name, m_probe.grab());
    if (m_screenshotFolder.isEmpty())
        return true;
    const QString file = QDir(m_screenshotFolder).filePath(name + QStringLiteral(".png"));
    if (!QDir().mkpath(m_screenshotFolder) || !m_screenshots.value(name).save(file, "PNG")) {
        *error = QStringLiteral("cannot write the screenshot %1").arg(file);
        return false;
    }
    QJsonObject entry = m_probe.describe();
    entry.insert(QStringLiteral("file"), file);
    m_journal->record(QStringLiteral("screenshot"), entry);
    return true;
}

void ScenarioRunner::recordResult(bool held, const QString &detail)
{
    QJsonObject entry;
    entry.insert(QStringLiteral("index"), m_index + 1);
    entry.insert(QStringLiteral("held"), held);
    entry.insert(QStringLiteral("detail"), detail);
    m_journal->record(QStringLiteral("result"), entry);
}
