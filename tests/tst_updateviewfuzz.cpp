// Plays a careless host against the plugin: from a seed, long random
// sequences of the contract's operations with boundary arguments, hardware
// keys, touches, timer runs, event-loop turns, fresh instances and steps back
// or closings from inside the host's signal handlers. After every step it
// checks how the view holds its screens.
//
//   UPDATETHEME_FUZZ_STEPS  total steps (default 100000), in sequences of 2000
//   UPDATETHEME_FUZZ_SEED   seed of the first sequence (default 1)
#include "commandlog.h"
#include "contractcall.h"
#include "datasavecontrol.h"
#include "hostjournal.h"
#include "hostkeys.h"
#include "hostwindow.h"
#include "keyrouter.h"
#include "sandbox.h"
#include "screenclock.h"
#include "screenprobe.h"
#include "touchscreen.h"
#include "uimanager.h"
#include "updateinterface.h"
#include "usbcontrol.h"

#include <QPointer>
#include <QtTest>

#include <climits>
#include <memory>
#include <random>

extern "C" QObject *qt_plugin_instance();

namespace {

const int sequenceLength = 2000;
const int hostKeys[]
    = {HostKey::Back, HostKey::Previous,    HostKey::Next,         HostKey::Left,     HostKey::Right,
       HostKey::Ok,   HostKey::KnobForward, HostKey::KnobBackward, HostKey::Cancel,   HostKey::Select,
       HostKey::Up,   HostKey::Down,        HostKey::PagePrevious, HostKey::PageNext, HostKey::Return,
       HostKey::Exit, Qt::Key_Select,       Qt::Key_Escape};
const ScreenProbe::Screen screenKinds[]
    = {ScreenProbe::DialogScreen, ScreenProbe::ConfirmationScreen, ScreenProbe::McuScreen};

int environmentNumber(const char *name, int fallback)
{
    bool ok = false;
    const int value = qgetenv(name).toInt(&ok);
    return ok ? value : fallback;
}

QStringList warnings;
QtMessageHandler previousHandler = nullptr;

// The plugin's records would flood the log; any warning is a fault.
void collectWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (context.file && qstrcmp(context.file, "update") == 0)
        return;
    if (type != QtDebugMsg && type != QtInfoMsg)
        warnings << message;
    previousHandler(type, context, message);
}

} // namespace

class tst_UpdateViewFuzz : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { previousHandler = qInstallMessageHandler(collectWarnings); }
    void init();
    void cleanup();
    void hostSequences_data();
    void hostSequences();

private:
    int pick(int n) { return int(m_random() % quint32(n)); }
    bool chance(int n) { return pick(n) == 0; }
    QString text();
    QStringList list(const QString &name);
    QString renewView();
    void hostHeard();
    void call(const ContractCall &operation) { operation.invoke(m_view); }
    QString turnEventLoop();
    QString step();
    QString check();
    // The view's screens: all in the window, and those it holds (it disables the ones it ends).
    QList<QWidget *> liveScreens() const;
    QWidget *held(ScreenProbe::Screen screen) const;
    QList<QWidget *> heldScreens() const;

    std::mt19937 m_random;
    std::unique_ptr<Sandbox> m_sandbox;
    std::unique_ptr<HostWindow> m_window;
    std::unique_ptr<ScreenProbe> m_probe;
    std::unique_ptr<KeyRouter> m_keys;
    std::unique_ptr<QSignalSpy> m_commands;
    QPointer<UpdateInterface> m_view;
    int m_heard = 0;
    bool m_closing = false;
    QStringList m_faults;
    // Live screens the view let go: the next event-loop turn must delete them.
    QList<QPointer<QWidget>> m_released;
};

void tst_UpdateViewFuzz::hostSequences_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("steps");
    const int budget = environmentNumber("UPDATETHEME_FUZZ_STEPS", 100000);
    const int first = environmentNumber("UPDATETHEME_FUZZ_SEED", 1);
    for (int done = 0, seed = first; done < budget; done += sequenceLength, ++seed)
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed)))
            << quint32(seed) << qMin(sequenceLength, budget - done);
}

void tst_UpdateViewFuzz::init()
{
    m_sandbox.reset(new Sandbox);
    // Quick-upgrade passes find empty media: no command may run.
    QDir().mkpath(m_sandbox->path("/media/usb0"));
    UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_USB, {m_sandbox->path("/media/usb0")});
    m_commands.reset(new QSignalSpy(CommandLog::instance(), &CommandLog::commandFinished));
    m_window.reset(new HostWindow(QSize(800, 480), QPixmap()));
    m_probe.reset(new ScreenProbe(m_window.get()));
    m_keys.reset(new KeyRouter(m_window.get()));
    qvappframework::UIManager::setUIHerarchy(qvappframework::UIHerarchyApplication,
                                             m_window->applicationLayer());
    qvappframework::UIManager::setDeskTopRect(QRect(0, 0, 800, 480));
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    warnings.clear();
    m_faults.clear();
}

void tst_UpdateViewFuzz::cleanup()
{
    delete m_view;
    QCOMPARE(check(), QString());
    QCOMPARE(turnEventLoop(), QString());
    QCOMPARE(liveScreens().size(), 0);
    m_keys.reset();
    m_probe.reset();
    qvappframework::UIManager::setUIHerarchy(qvappframework::UIHerarchyApplication, nullptr);
    m_window.reset();
    m_sandbox.reset();
}

void tst_UpdateViewFuzz::hostSequences()
{
    QFETCH(quint32, seed);
    QFETCH(int, steps);
    m_random.seed(seed);
    QCOMPARE(renewView(), QString());
    QStringList trace;
    for (int i = 0; i < steps; ++i) {
        const QString done = step();
        QString fault = done.section(QLatin1Char('!'), 1);
        if (fault.isEmpty())
            fault = check();
        // The host closed the interface from a handler: the view goes at the
        // next turn of the event loop, and the host takes a fresh one.
        if (fault.isEmpty() && m_closing)
            fault = turnEventLoop();
        if (fault.isEmpty() && m_closing)
            fault = renewView();
        trace << QStringLiteral("%1: %2").arg(i).arg(done);
        if (trace.size() > 25)
            trace.removeFirst();
        if (!fault.isEmpty())
            QFAIL(qPrintable(QStringLiteral("seed %1, step %2: %3\nlast steps:\n%4")
                                 .arg(seed)
                                 .arg(i)
                                 .arg(fault, trace.join(QLatin1Char('\n')))));
    }
}

QString tst_UpdateViewFuzz::text()
{
    const char *const fixed[]
        = {"", "%1 %2 ;$(x)`y`", "line\nbreak", "\xce\x95\xce\xbb\xce\xbb \xe7\x9b\x98"};
    const int kind = pick(6);
    if (kind < 4)
        return QString::fromUtf8(fixed[kind]);
    return kind == 4 ? QString(chance(10) ? 20000 : 500, QLatin1Char('A')) : QString::number(m_random());
}

QStringList tst_UpdateViewFuzz::list(const QString &name)
{
    QStringList result;
    for (int i = chance(50) ? 50000 : pick(6); i > 0; --i)
        result << (pick(3) ? name : text());
    return result;
}

// Takes the plugin's object as the host does, a fresh one when the old one is gone.
QString tst_UpdateViewFuzz::renewView()
{
    QObject *instance = qt_plugin_instance();
    if (!instance || instance->parent() || qt_plugin_instance() != instance)
        return QStringLiteral("the plugin entry did not hand out one parentless object");
    m_view = qobject_cast<UpdateInterface *>(instance);
    if (!m_view || !m_view->children().isEmpty())
        return QStringLiteral("the plugin entry handed out no fresh view");
    m_closing = false;
    connect(m_view, &UpdateInterface::checkDevice, this, [this] {
        hostHeard();
        if (m_view && chance(2)) {
            call(ContractCall::setEnableDeviceList({"/media/usb0"}, {}));
            call(ContractCall::setDeviceInfomation(UpdateInterface::Usb0Device, chance(2), "2.0", "512 MB",
                                                   "found"));
        }
    });
    for (auto signal : {&UpdateInterface::changeToUsbDevice, &UpdateInterface::changeToSdDevice})
        connect(m_view, signal, this, [this](int id) {
            if (id != 0 && id != 1)
                m_faults << QStringLiteral("medium %1 chosen").arg(id);
            hostHeard();
        });
    connect(m_view, &UpdateInterface::updateSystem, this, [this] { hostHeard(); });
    connect(m_view, &UpdateInterface::cancelUpdate, this, [this] {
        hostHeard();
        if (m_view && chance(16)) {
            m_view->deleteLater();
            m_closing = true;
        }
    });
    // The host places the view on its layer at its final size, then shows it.
    m_view->setParent(m_window->applicationLayer());
    const QSize sizes[] = {QSize(800, 480), QSize(640, 400), QSize(0, 0), QSize(1, 1)};
    m_view->setGeometry(QRect(QPoint(0, 0), sizes[pick(4)]));
    m_view->show();
    return QString();
}

// Now and then the host steps back from inside its handler, once nested at most.
void tst_UpdateViewFuzz::hostHeard()
{
    static int depth = 0;
    ++m_heard;
    if (m_view && depth < 2 && chance(8)) {
        ++depth;
        call(ContractCall::onReturn());
        --depth;
    }
}

// Runs what a turn of the event loop runs, timers aside (the sequence runs
// them itself, so that a seed always replays the same way). Twice: deleting
// a view schedules its MCU screen for deletion.
QString tst_UpdateViewFuzz::turnEventLoop()
{
    for (int pass = 0; pass < 2; ++pass) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    for (const QPointer<QWidget> &screen : m_released)
        if (screen)
            return QStringLiteral("%1 was let go but not deleted").arg(screen->metaObject()->className());
    m_released.clear();
    return QString();
}

QList<QWidget *> tst_UpdateViewFuzz::liveScreens() const
{
    QList<QWidget *> screens;
    for (ScreenProbe::Screen kind : screenKinds)
        screens << m_probe->screenWidgets(kind);
    return screens;
}

QWidget *tst_UpdateViewFuzz::held(ScreenProbe::Screen screen) const
{
    for (QWidget *widget : m_probe->screenWidgets(screen))
        if (widget->isEnabled())
            return widget;
    return nullptr;
}

QList<QWidget *> tst_UpdateViewFuzz::heldScreens() const
{
    QList<QWidget *> screens;
    for (QWidget *screen : liveScreens())
        if (screen->isEnabled())
            screens << screen;
    return screens;
}

// One host action; returns what it did, for the trace, and after a "!" a fault.
QString tst_UpdateViewFuzz::step()
{
    const int heardBefore = m_heard;
    HostJournal::instance()->clear();
    UpdateInterface *view = m_view;
    const QList<QWidget *> screens = heldScreens();
    QWidget *dialog = held(ScreenProbe::DialogScreen);
    QWidget *confirmation = held(ScreenProbe::ConfirmationScreen);
    QWidget *mcu = held(ScreenProbe::McuScreen);
    // An action aimed at a screen the view does not hold must reach nobody.
    QWidget *aim = view;
    QString done;
    const int action = pick(100);
    if (action < 8) {
        aim = dialog;
        call(ContractCall::setUpgradeFileList(list(QStringLiteral("ISPBOOOT.BIN"))
                                              + list(QStringLiteral("mcu.bin"))));
        done = "setUpgradeFileList";
    } else if (action < 17) {
        call(ContractCall::showUpdate(pick(8), pick(4)));
        done = "showUpdate";
    } else if (action < 24) {
        call(ContractCall::showUpdateTip());
        done = "showUpdateTip";
    } else if (action < 29) {
        call(ContractCall::setEnableDeviceList(list(QStringLiteral("/media/usb0")),
                                               list(QStringLiteral("/media/sd0"))));
        done = "setEnableDeviceList";
    } else if (action < 37) {
        aim = confirmation ? confirmation : mcu;
        call(ContractCall::setDeviceInfomation(pick(8), chance(2), text(), text(), text()));
        done = "setDeviceInfomation";
    } else if (action < 40) {
        aim = confirmation;
        call(ContractCall::setUpateInformation(text()));
        done = "setUpateInformation";
    } else if (action < 46) {
        const bool expected = dialog && (confirmation || mcu);
        done = ContractCall::onReturn().invoke(view) == expected ? "onReturn"
                                                                 : "onReturn!returned the wrong answer";
    } else if (action < 56) {
        aim = mcu;
        const int values[] = {INT_MIN, -101, -1, 0, 1, 99, 100, 101, INT_MAX};
        const int value = pick(3) ? values[pick(9)] : int(m_random());
        const ContractCall reports[]
            = {ContractCall::onUpdateProgressChanged(value), ContractCall::onUpdateMessage(value, text()),
               ContractCall::onUpdateFinished(value)};
        const ContractCall &report = reports[pick(3)];
        call(report);
        done = QStringLiteral("%1(%2)").arg(report.name()).arg(value);
    } else if (action < 68) {
        const int key = pick(4) ? hostKeys[pick(sizeof(hostKeys) / sizeof(int))] : int(m_random());
        // Where the host delivers it: the focused widget of its window.
        QWidget *focused = m_window->focusWidget();
        aim = focused && focused->isVisible() ? focused : m_window.get();
        done = QStringLiteral("key 0x%1 to %2").arg(uint(key), 0, 16).arg(aim->objectName());
        m_keys->click(key);
    } else if (action < 80) {
        const QList<QWidget *> controls = m_probe->visibleControls();
        if (controls.isEmpty())
            return QStringLiteral("touch");
        QWidget *control = controls.at(pick(controls.size()));
        QPoint point;
        QString why;
        if (!TouchScreen::aim(m_window.get(), control, &point, &why))
            return QStringLiteral("touch: %1 %2").arg(control->objectName(), why);
        aim = m_window->childAt(point);
        done = "touch " + aim->objectName();
        TouchScreen::touch(m_window.get(), point);
    } else if (action < 93) {
        // A timer of a live screen runs out: its countdown or its media check.
        const QList<QWidget *> live = liveScreens();
        if (live.isEmpty())
            return QStringLiteral("timer");
        aim = live.at(pick(live.size()));
        const char *timer = chance(2) ? "m_countdownTimer" : "m_checkDeviceTimer";
        if (ScreenClock::fire(aim, timer, 1) == 0)
            return QStringLiteral("timer");
        done = QStringLiteral("%1 of %2").arg(timer, aim->metaObject()->className());
    } else if (action < 96) {
        done = "event loop!" + turnEventLoop();
    } else if (action < 97) {
        // Screens painted at whatever size the host gives the view.
        view->resize(pick(1000), pick(600));
        for (QWidget *screen : screens)
            screen->grab();
        done = "resized and painted";
    } else if (action < 98) {
        aim = nullptr;
        delete m_view;
        done = "new instance!" + renewView();
    } else {
        DataSaveControl::writeFactoryData(QStringLiteral("SupportQuickUpgrade"), chance(2));
        DataSaveControl::writeFactoryData(QStringLiteral("SupportFactoryCustom"), chance(2));
        done = "factory settings";
    }
    while (aim && aim != view && !liveScreens().contains(aim))
        aim = aim->parentWidget();
    const bool aimless = aim != view && !screens.contains(aim);
    if (aimless && (m_heard != heardBefore || !HostJournal::instance()->entries().isEmpty()))
        return done + "!aimed at no screen, yet the host heard of it";
    return done;
}

// The view's hold on its screens after a step. A fault comes back as text.
QString tst_UpdateViewFuzz::check()
{
    if (!warnings.isEmpty() || !m_faults.isEmpty())
        return (warnings + m_faults).join(QLatin1Char('\n'));
    if (!m_commands->isEmpty())
        return "command run: " + m_commands->first().first().toString();
    for (ScreenProbe::Screen kind : screenKinds) {
        int kept = 0;
        for (QWidget *screen : m_probe->screenWidgets(kind))
            kept += screen->isEnabled() ? 1 : 0;
        if (kept > 1)
            return QStringLiteral("the view holds %1 screens of a kind").arg(kept);
    }
    const QList<QWidget *> held = heldScreens();
    for (QWidget *screen : held) {
        if (!m_view)
            return QStringLiteral("%1 outlived its view").arg(screen->metaObject()->className());
        if ((screen == this->held(ScreenProbe::McuScreen)) == (screen->parentWidget() == m_view))
            return QStringLiteral("%1 has the wrong parent").arg(screen->metaObject()->className());
    }
    for (QWidget *screen : liveScreens())
        if (!held.contains(screen) && !m_released.contains(screen))
            m_released << screen;
    return QString();
}

QTEST_MAIN(tst_UpdateViewFuzz)
#include "tst_updateviewfuzz.moc"
