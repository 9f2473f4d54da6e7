#ifndef SCENARIORUNNER_H
#define SCENARIORUNNER_H

#include "scenario.h"
#include "screenprobe.h"

#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QTimer>

class Sandbox;
class HostPlayer;
class HostWindow;
class KeyRouter;
class SimJournal;

// Runs a scenario's steps one after the other on the event loop, so that the
// plugin's timers, deferred deletions and layouts run between them as they
// would on the head unit. The first step that fails ends the run; a
// screenshot of the moment is saved as failure.png when there is a folder
// for screenshots.
class ScenarioRunner : public QObject
{
    Q_OBJECT

public:
    ScenarioRunner(const Scenario &scenario, HostPlayer *host, KeyRouter *keys, HostWindow *window,
                   SimJournal *journal, const Sandbox *sandbox, QObject *parent = nullptr);

    void setScreenshotFolder(const QString &folder);
    // Starts once the window is on screen.
    void start();

signals:
    void finished(bool passed);

private slots:
    void waitForWindow();
    void runStep();
    void checkExpectation();

private:
    void advance();
    void fail(const QString &detail);
    bool perform(const Scenario::Step &step, QString *error);
    bool click(const QString &caption, QString *error);
    bool saveScreenshot(const QString &name, QString *error);
    void recordResult(bool held, const QString &detail);

    Scenario m_scenario;
    HostPlayer *m_host;
    KeyRouter *m_keys;
    HostWindow *m_window;
    SimJournal *m_journal;
    const Sandbox *m_sandbox;
    ScreenProbe m_probe;
    QString m_screenshotFolder;
    QHash<QString, QImage> m_screenshots; // taken in this run, by name
    int m_index = 0;
    bool m_waiting = false;
    QTimer m_poll;
    QElapsedTimer m_waited;
};

#endif // SCENARIORUNNER_H
