// A host's view of the plugin: this program knows only the contract header
// and loads the built plugin file the way the head unit's host does. The host
// driver plays a host that only listens; the roads through the screens are
// its scenarios (tst_plugin.json), whose steps answer for the host.
#include "custombuttonbase.h"
#include "hostplayer.h"
#include "hostwindow.h"
#include "keyrouter.h"
#include "pluginfile.h"
#include "sandbox.h"
#include "scenario.h"
#include "scenariorunner.h"
#include "screenprobe.h"
#include "simjournal.h"
#include "uimanager.h"
#include "updateinterface.h"

#include <QtTest>

#include <memory>

class tst_Plugin : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void contract_data();
    void contract();
    void hostSequences_data();
    void hostSequences();
    void queuedCancelOfAnEndedScreen();

private:
    std::unique_ptr<Sandbox> m_sandbox;
    std::unique_ptr<PluginFile> m_plugin;
    std::unique_ptr<SimJournal> m_journal;
    std::unique_ptr<HostWindow> m_window;
    std::unique_ptr<HostPlayer> m_host;
    std::unique_ptr<KeyRouter> m_keys;
};

void tst_Plugin::init()
{
    m_sandbox.reset(new Sandbox);
    m_plugin.reset(new PluginFile(QStringLiteral(UPDATETHEME_PLUGIN_FILE)));
    QCOMPARE(m_plugin->open(), ExitCode::Success);
    m_journal.reset(new SimJournal);
    m_window.reset(new HostWindow(QSize(800, 480), QPixmap()));
    qvappframework::UIManager::setUIHerarchy(qvappframework::UIHerarchyApplication,
                                             m_window->applicationLayer());
    m_host.reset(new HostPlayer(m_plugin.get(), m_window.get(), m_journal.get()));
    m_host->setAnswering(false);
    m_keys.reset(new KeyRouter(m_window.get()));
    connect(m_keys.get(), &KeyRouter::unhandledKey, m_host.get(), &HostPlayer::onUnhandledKey);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QString error;
    QVERIFY2(m_host->openInterface(&error), qPrintable(error));
}

void tst_Plugin::cleanup()
{
    m_keys.reset();
    m_host.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    qvappframework::UIManager::setUIHerarchy(qvappframework::UIHerarchyApplication, nullptr);
    m_window.reset();
    m_journal.reset();
    m_plugin.reset();
    m_sandbox.reset();
}

void tst_Plugin::contract_data()
{
    QTest::addColumn<QString>("expected");
    QTest::newRow("entry") << "updatetheme/0.1; UpdateView; UpdateInterface; QWidget";
    QTest::newRow("methods")
        << "signal checkDevice(); signal changeToUsbDevice(int); signal changeToSdDevice(int); "
           "signal updateSystem(); signal cancelUpdate(); slot onUpdateProgressChanged(int); "
           "slot onUpdateMessage(int,QString); slot onUpdateFinished(int)";
    QTest::newRow("DeviceType") << "Usb0Device 0; Usb1Device 1; Sd0Device 2; Sd1Device 3; UnknownDevice 4";
    QTest::newRow("UpgradeType") << "PartUpgrade 0; CompleteUpgrade 1; McuUpgrade 2";
}

// The host finds the plugin by its interface's id, connects by signature and
// passes enumerators as numbers across separately built binaries: the id,
// the method indices, signatures and values are the contract.
void tst_Plugin::contract()
{
    QFETCH(QString, expected);
    const QString row = QTest::currentDataTag();
    const QMetaObject *contract = m_host->view()->metaObject()->superClass();
    QStringList actual;
    if (row == "entry") {
        const QJsonObject metaData = m_plugin->metaData();
        actual << metaData.value("IID").toString() << metaData.value("className").toString()
               << contract->className() << contract->superClass()->className();
        // A host refuses a plugin built against a later Qt release than its own.
        QCOMPARE(metaData.value("version").toInt() >> 8, QT_VERSION >> 8);
    } else if (row == "methods") {
        for (int index = contract->methodOffset(); index < contract->methodCount(); ++index) {
            const QMetaMethod method = contract->method(index);
            QCOMPARE(method.access(), QMetaMethod::Public);
            actual << (method.methodType() == QMetaMethod::Signal ? "signal " : "slot ")
                    + method.methodSignature();
        }
    } else {
        const QMetaEnum enumerator = contract->enumerator(contract->indexOfEnumerator(qPrintable(row)));
        for (int index = 0; index < enumerator.keyCount(); ++index)
            actual << QStringLiteral("%1 %2").arg(enumerator.key(index)).arg(enumerator.value(index));
    }
    QCOMPARE(actual.join("; "), expected);
}

// Each row is a scenario: the host's calls, the driver's touches and keys,
// the countdowns' seconds and what is to be seen and heard.
void tst_Plugin::hostSequences_data()
{
    QTest::addColumn<QJsonObject>("scenario");
    QFile file(QStringLiteral(UPDATETHEME_PLUGIN_SCENARIOS));
    QVERIFY(file.open(QIODevice::ReadOnly));
    for (const QJsonValue &scenario : QJsonDocument::fromJson(file.readAll()).array())
        QTest::newRow(qPrintable(scenario.toObject().value("name").toString())) << scenario.toObject();
}

void tst_Plugin::hostSequences()
{
    QFETCH(QJsonObject, scenario);
    QString error;
    const std::optional<Scenario> steps = Scenario::fromJson(scenario, &error);
    QVERIFY2(steps, qPrintable(error));
    ScenarioRunner runner(*steps, m_host.get(), m_keys.get(), m_window.get(), m_journal.get(),
                          m_sandbox.get());
    QSignalSpy finished(&runner, &ScenarioRunner::finished);
    runner.start();
    QVERIFY(finished.wait(30000));
    const QJsonObject outcome = m_journal->events().last();
    QVERIFY2(finished.first().first().toBool(),
             qPrintable(QStringLiteral("step %1: %2")
                            .arg(outcome.value("step").toInt())
                            .arg(outcome.value("detail").toString())));
    // The screens the view ended are deleted with the next turn of the event
    // loop; of each screen one lives at most.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const ScreenProbe probe(m_window.get());
    for (ScreenProbe::Screen screen :
         {ScreenProbe::DialogScreen, ScreenProbe::ConfirmationScreen, ScreenProbe::McuScreen}) {
        const QList<QWidget *> alive = probe.screenWidgets(screen);
        QVERIFY(alive.size() <= 1);
        QVERIFY(alive.isEmpty() || alive.first()->isEnabled());
    }
}

// The view cuts an ended screen's way back at once: a click the host's kit had
// queued before the view moved on must not step back the screen shown now.
void tst_Plugin::queuedCancelOfAnEndedScreen()
{
    UpdateInterface *view = m_host->view();
    view->showUpdateTip();
    view->showUpdate(UpdateInterface::UnknownDevice, UpdateInterface::McuUpgrade);
    const ScreenProbe probe(m_window.get());
    QWidget *mcu = probe.screenWidgets(ScreenProbe::McuScreen).value(0);
    QVERIFY(mcu);
    auto *cancel = mcu->findChild<CustomButtonBase *>("m_cancelButton");
    QVERIFY(cancel);
    QMetaObject::invokeMethod(cancel, &CustomButtonBase::clicked, Qt::QueuedConnection);
    view->showUpdateTip();
    view->showUpdate(UpdateInterface::UnknownDevice, UpdateInterface::CompleteUpgrade);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    QCOMPARE(probe.screenWidgets(ScreenProbe::ConfirmationScreen).value(0)->isVisible(), true);
}

QTEST_MAIN(tst_Plugin)
#include "tst_plugin.moc"
