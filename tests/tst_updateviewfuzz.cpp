// Plays a careless host against the plugin: from a seed, long random
// sequences of the contract's operations with boundary arguments, hardware
// keys, touches, timer ticks, event-loop turns, fresh instances and steps
// back from inside signal handlers. After every step it checks how the view
// holds its screens.
//
//   UPDATETHEME_FUZZ_STEPS  total steps (default 100000), in sequences of 2000
//   UPDATETHEME_FUZZ_SEED   seed of the first sequence (default 1)
//
// A failing sequence is named by its seed; it runs alone with
// UPDATETHEME_FUZZ_SEED=<seed> UPDATETHEME_FUZZ_STEPS=2000, or as the row
// hostSequences:"seed <seed>" of the default run.
#include "commandrunner.h"
#include "custombuttonbase.h"
#include "customimagelabel.h"
#include "custommcuupdatewidget.h"
#include "customupdatewidget.h"
#include "datasavecontrol.h"
#include "hostjournal.h"
#include "hostsetup.h"
#include "sandbox.h"
#include "uimanager.h"
#include "updateinterface.h"
#include "upgradedialog.h"
#include "usbcontrol.h"

#include <QPointer>
#include <QtTest>

#include <climits>
#include <functional>
#include <memory>
#include <random>

// The checks read which screens the view holds.
#define private public
#include "updateview.h"
#undef private

// The plugin entry, as the host's loader calls it.
extern "C" QObject *qt_plugin_instance();

namespace {

const int sequenceLength = 2000;

const QList<int> hostKeys {0x0110002A, 0x0110003D,    0x0110003E,     0x0110003F,     0x01100040,
                           0x01100041, 0x0110004D,    0x0110004E,     0x01200026,     0x01400009,
                           0x0140000A, 0x0140000B,    0x0140000C,     0x0140000D,     0x0140000F,
                           0x0140004B, Qt::Key_Space, Qt::Key_Select, Qt::Key_Return, Qt::Key_Escape};

int environmentNumber(const char *name, int fallback)
{
    bool ok = false;
    const int value = qgetenv(name).toInt(&ok);
    return ok ? value : fallback;
}

QString screenName(const QObject *screen)
{
    return QStringLiteral("%1@%2").arg(screen->metaObject()->className()).arg(quintptr(screen), 0, 16);
}

bool isScreen(const QObject *object)
{
    return qobject_cast<const UpgradeDialog *>(object) || qobject_cast<const CustomUpdateWidget *>(object)
        || qobject_cast<const CustomMcuUpdateWidget *>(object);
}

} // namespace

// The host's side of the signals: counts them, checks their arguments and,
// now and then, steps back or closes the interface from inside the handler.
class Host : public QObject
{
    Q_OBJECT

public:
    std::function<bool(int)> chance;
    QPointer<UpdateInterface> view;
    int emitted = 0;
    bool closing = false;
    QStringList faults;

    void attach(UpdateInterface *target)
    {
        view = target;
        closing = false;
        connect(target, SIGNAL(checkDevice()), this, SLOT(onCheckDevice()));
        connect(target, SIGNAL(changeToUsbDevice(int)), this, SLOT(onMediumChosen(int)));
        connect(target, SIGNAL(changeToSdDevice(int)), this, SLOT(onMediumChosen(int)));
        connect(target, SIGNAL(updateSystem()), this, SLOT(onSignal()));
        connect(target, SIGNAL(cancelUpdate()), this, SLOT(onCancelUpdate()));
    }

public slots:
    void onSignal()
    {
        ++emitted;
        if (view && m_depth < 2 && chance(8)) {
            ++m_depth;
            view->onReturn();
            --m_depth;
        }
    }
    void onCheckDevice()
    {
        onSignal();
        if (view && chance(2)) {
            view->setEnableDeviceList({"/media/usb0"}, {});
            view->setDeviceInfomation(UpdateInterface::Usb0Device, chance(2), "2.0", "512 MB", "found");
        }
    }
    void onMediumChosen(int id)
    {
        if (id != 0 && id != 1)
            faults << QStringLiteral("medium %1 chosen").arg(id);
        onSignal();
    }
    void onCancelUpdate()
    {
        onSignal();
        if (view && chance(16)) {
            view->deleteLater();
            closing = true;
        }
    }

private:
    int m_depth = 0;
};

class tst_UpdateViewFuzz : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void hostSequences_data();
    void hostSequences();

private:
    int pick(int n) { return int(m_random() % quint32(n)); }
    bool chance(int n) { return pick(n) == 0; }
    QString text();
    QStringList list(const QStringList &names);
    int extreme();

    QString renewView(bool deleteOld);
    QString turnEventLoop();
    QString step();
    QString check();
    QWidget *screenOf(QWidget *widget) const;
    bool held(QWidget *screen) const { return screen && heldScreens().contains(screen); }
    QList<QWidget *> heldScreens() const;
    QList<QWidget *> liveScreens() const;

    static void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);
    static QtMessageHandler s_previousHandler;
    static QStringList s_warnings;

    std::mt19937 m_random;
    std::unique_ptr<Sandbox> m_sandbox;
    std::unique_ptr<QWidget> m_layer;
    std::unique_ptr<QSignalSpy> m_commands;
    Host m_host;
    QPointer<UpdateView> m_view;
    // Live screens the view does not hold: the next event-loop turn must delete them.
    QList<QPointer<QWidget>> m_released;
    // Screens whose one-off media check has run.
    QList<QPointer<QWidget>> m_checked;
};

QtMessageHandler tst_UpdateViewFuzz::s_previousHandler = nullptr;
QStringList tst_UpdateViewFuzz::s_warnings;

// The plugin's records would flood the log; any warning is a fault.
void tst_UpdateViewFuzz::messageHandler(QtMsgType type, const QMessageLogContext &context,
                                        const QString &message)
{
    if (context.file && qstrcmp(context.file, "update") == 0)
        return;
    if (type != QtDebugMsg && type != QtInfoMsg)
        s_warnings << message;
    s_previousHandler(type, context, message);
}

void tst_UpdateViewFuzz::initTestCase()
{
    qSetGlobalQHashSeed(0);
    s_previousHandler = qInstallMessageHandler(messageHandler);
    m_host.chance = [this](int n) {
        return chance(n);
    };
}

void tst_UpdateViewFuzz::hostSequences_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("steps");
    const int budget = environmentNumber("UPDATETHEME_FUZZ_STEPS", 100000);
    const int first = environmentNumber("UPDATETHEME_FUZZ_SEED", 1);
    qInfo("%d steps from seed %d in sequences of %d", budget, first, sequenceLength);
    for (int done = 0, seed = first; done < budget; done += sequenceLength, ++seed)
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed)))
            << quint32(seed) << qMin(sequenceLength, budget - done);
}

void tst_UpdateViewFuzz::init()
{
    m_sandbox.reset(new Sandbox);
    // Quick-upgrade passes find empty media: no command may run.
    QStringList usb, sd;
    for (const char *name : {"usb0", "usb1", "sd0"}) {
        QDir().mkpath(m_sandbox->path(QStringLiteral("/media/") + name));
        (name[0] == 'u' ? usb : sd) << m_sandbox->path(QStringLiteral("/media/") + name);
    }
    UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_USB, usb);
    UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_SD, sd);
    HostSetup::setMcuModuleAvailable(true);
    HostJournal::instance()->clear();
    m_commands.reset(new QSignalSpy(CommandRunner::instance(), &CommandRunner::commandFinished));

    m_layer.reset(new QWidget);
    m_layer->resize(800, 480);
    qvappframework::UIManager::setUIHerarchy(qvappframework::UIHerarchyApplication, m_layer.get());
    qvappframework::UIManager::setDeskTopRect(QRect(0, 0, 800, 480));
    m_layer->show();
    QApplication::setActiveWindow(m_layer.get());
    QVERIFY(QTest::qWaitForWindowActive(m_layer.get()));
    s_warnings.clear();
}

void tst_UpdateViewFuzz::cleanup()
{
    delete m_view;
    QCOMPARE(check(), QString());
    QCOMPARE(turnEventLoop(), QString());
    for (QWidget *screen : liveScreens())
        QFAIL(qPrintable(screenName(screen) + " outlived the view"));
    m_checked.clear();
    m_layer.reset();
    m_commands.reset();
    m_sandbox.reset();
    // Lets the timers of screens that are gone run out.
    QTest::qWait(0);
}

void tst_UpdateViewFuzz::hostSequences()
{
    QFETCH(quint32, seed);
    QFETCH(int, steps);
    m_random.seed(seed);
    QCOMPARE(renewView(false), QString());

    QStringList trace;
    for (int i = 0; i < steps; ++i) {
        QString done = step();
        QString fault = done.section(QLatin1Char('!'), 1);
        if (fault.isEmpty())
            fault = check();
        // The host closed the interface from a handler: the view goes at the
        // next turn of the event loop, and the host takes a fresh one.
        if (fault.isEmpty() && m_host.closing) {
            fault = turnEventLoop();
            if (fault.isEmpty())
                fault = renewView(false);
        }
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
        = {"", "%1 %2 ;$(x)`y`", "line\nbreak",
           "\xce\x95\xce\xbb\xce\xbb\xce\xb7\xce\xbd\xce\xb9\xce\xba\xce\xac \xe7\x9b\x98"};
    const int kind = pick(7);
    if (kind < 4)
        return QString::fromUtf8(fixed[kind]);
    if (kind == 4)
        return QString(chance(10) ? 20000 : 500, QChar(0x41 + pick(26)));
    return QString::number(m_random());
}

QStringList tst_UpdateViewFuzz::list(const QStringList &names)
{
    QStringList result;
    const int size = chance(50) ? 50000 : pick(6);
    for (int i = 0; i < size; ++i)
        result << (pick(3) ? names.at(pick(names.size())) : text());
    return result;
}

int tst_UpdateViewFuzz::extreme()
{
    const int values[] = {INT_MIN, INT_MIN + 1, -101, -1, 0, 1, 50, 99, 100, 101, INT_MAX};
    return pick(3) ? values[pick(11)] : int(m_random());
}

// Takes the plugin's object, a fresh one when the old one is gone.
QString tst_UpdateViewFuzz::renewView(bool deleteOld)
{
    if (deleteOld)
        delete m_view;
    QObject *instance = qt_plugin_instance();
    if (!instance || instance->parent() || qt_plugin_instance() != instance)
        return QStringLiteral("the plugin entry did not hand out one parentless object");
    if (m_view && instance != m_view)
        return QStringLiteral("the plugin entry replaced a living object");
    m_view = qobject_cast<UpdateView *>(instance);
    if (!m_view || !qobject_cast<UpdateInterface *>(instance) || !m_view->children().isEmpty())
        return QStringLiteral("the plugin entry handed out no fresh view");
    m_host.attach(m_view);
    // The host places the view on its layer at its final size, then shows it.
    m_view->setParent(m_layer.get());
    const QSize sizes[] = {QSize(800, 480), QSize(640, 400), QSize(0, 0), QSize(1, 1)};
    m_view->setGeometry(QRect(QPoint(0, 0), sizes[pick(4)]));
    m_view->show();
    return QString();
}

// Runs what a turn of the event loop runs, timers aside (the sequence ticks
// them itself, so that a seed always replays the same way). Every screen let
// go before must be gone afterwards.
QString tst_UpdateViewFuzz::turnEventLoop()
{
    // Twice: deleting a view schedules its MCU screen for deletion.
    for (int pass = 0; pass < 2; ++pass) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    for (const QPointer<QWidget> &screen : m_released)
        if (screen)
            return screenName(screen) + " was let go but not scheduled for deletion";
    m_released.clear();
    m_checked.removeAll(nullptr);
    return QString();
}

QWidget *tst_UpdateViewFuzz::screenOf(QWidget *widget) const
{
    while (widget && !isScreen(widget))
        widget = widget->parentWidget();
    return widget;
}

QList<QWidget *> tst_UpdateViewFuzz::heldScreens() const
{
    QList<QWidget *> screens;
    if (m_view)
        screens << m_view->m_upgradeDialog << m_view->m_updateWidget << m_view->m_mcuWidget;
    screens.removeAll(nullptr);
    return screens;
}

QList<QWidget *> tst_UpdateViewFuzz::liveScreens() const
{
    QList<QWidget *> screens;
    for (QWidget *widget : m_layer->findChildren<QWidget *>())
        if (isScreen(widget))
            screens << widget;
    return screens;
}

// One host action; returns what it did, for the trace.
QString tst_UpdateViewFuzz::step()
{
    const QStringList files {"ISPBOOOT.BIN", "ORBITA_PACK.BIN", "mcu.bin", "ispbooot.bin", "/usb/mcu.bin"};
    const int emittedBefore = m_host.emitted;
    HostJournal::instance()->clear();
    // Whether the action is aimed at a screen that does not exist (or that
    // the view has let go): such an action must reach nobody.
    bool aimless = false;
    QString done;
    UpdateView *view = m_view;

    const int action = pick(1000);
    if (action < 20) {
        view->setDevicePath(text());
        done = "setDevicePath";
    } else if (action < 100) {
        aimless = !view->m_upgradeDialog;
        view->setUpgradeFileList(list(files));
        done = "setUpgradeFileList";
    } else if (action < 190) {
        const UpdateInterface::DeviceType device = UpdateInterface::DeviceType(pick(8));
        const UpdateInterface::UpgradeType type = UpdateInterface::UpgradeType(pick(4));
        view->showUpdate(device, type);
        done = QStringLiteral("showUpdate(%1, %2)").arg(device).arg(type);
    } else if (action < 260) {
        view->showUpdateTip();
        done = "showUpdateTip";
    } else if (action < 310) {
        view->setEnableDeviceList(list({"/media/usb0"}), list({"/media/sd0"}));
        done = "setEnableDeviceList";
    } else if (action < 390) {
        aimless = !view->m_updateWidget && !view->m_mcuWidget;
        const bool valid = chance(2);
        view->setDeviceInfomation(UpdateInterface::DeviceType(pick(8)), valid, text(), text(), text());
        done = QStringLiteral("setDeviceInfomation(%1)").arg(valid);
    } else if (action < 420) {
        aimless = !view->m_updateWidget;
        view->setUpateInformation(text());
        done = "setUpateInformation";
    } else if (action < 490) {
        const bool expected = view->m_upgradeDialog && (view->m_updateWidget || view->m_mcuWidget);
        if (view->onReturn() != expected)
            return QStringLiteral("onReturn!it did not return %1").arg(expected);
        done = "onReturn";
    } else if (action < 610) {
        aimless = !view->m_mcuWidget;
        const int value = extreme();
        // The host calls the slots directly or through a connection.
        const char *methods[] = {"onUpdateProgressChanged", "onUpdateMessage", "onUpdateFinished"};
        const int which = pick(3);
        if (which == 1)
            QMetaObject::invokeMethod(view, methods[which], Q_ARG(int, value), Q_ARG(QString, text()));
        else
            QMetaObject::invokeMethod(view, methods[which], Q_ARG(int, value));
        done = QStringLiteral("%1(%2)").arg(methods[which]).arg(value);
    } else if (action < 730) {
        const int key = pick(4) ? hostKeys.at(pick(hostKeys.size())) : int(m_random());
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : view;
        aimless = !held(screenOf(target));
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        if (QApplication::focusWidget() == target) {
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
            QApplication::sendEvent(target, &release);
        }
        done = QStringLiteral("key 0x%1 to %2 %3")
                   .arg(uint(key), 0, 16)
                   .arg(target->metaObject()->className(), target->objectName());
    } else if (action < 850) {
        QList<QWidget *> controls;
        for (QWidget *widget : m_layer->findChildren<QWidget *>())
            if ((qobject_cast<CustomButtonBase *>(widget) || qobject_cast<CustomImageLabel *>(widget))
                && widget->isVisible())
                controls << widget;
        if (controls.isEmpty())
            return "no control to touch";
        QWidget *control = controls.at(pick(controls.size()));
        aimless = !held(screenOf(control));
        done = "touch " + control->objectName() + " of " + screenName(screenOf(control));
        QTest::mouseClick(control, Qt::LeftButton);
    } else if (action < 940) {
        // A timer of a live screen runs out: its countdown, or the one-off
        // request to check the media.
        using Timer = QPair<QWidget *, const char *>;
        QList<Timer> timers;
        for (QWidget *screen : liveScreens()) {
            QTimer *countdown = screen->findChild<QTimer *>("m_countdownTimer");
            if (countdown && countdown->isActive())
                timers << Timer(screen, "onCountdown");
            if (!qobject_cast<UpgradeDialog *>(screen) && !m_checked.contains(screen))
                timers << Timer(screen, "onCheckDeviceSlot");
        }
        if (timers.isEmpty())
            return "no timer running";
        const Timer timer = timers.at(pick(timers.size()));
        aimless = !held(timer.first);
        if (QByteArray(timer.second) == "onCheckDeviceSlot")
            m_checked << timer.first;
        done = QStringLiteral("%1 of %2").arg(timer.second, screenName(timer.first));
        QMetaObject::invokeMethod(timer.first, timer.second);
    } else if (action < 990) {
        done = "event loop!" + turnEventLoop();
    } else if (action < 994) {
        aimless = true;
        done = "new instance!" + renewView(true);
    } else if (action < 996) {
        const bool quick = chance(2);
        DataSaveControl::writeFactoryData(QStringLiteral("SupportQuickUpgrade"), quick);
        DataSaveControl::writeFactoryData(QStringLiteral("SupportFactoryCustom"), chance(2));
        done = QStringLiteral("quick upgrade %1").arg(quick);
    } else {
        QList<QWidget *> visible;
        for (QWidget *screen : heldScreens())
            if (screen->isVisible())
                visible << screen;
        const int kind = pick(4);
        if (kind == 0 && !visible.isEmpty())
            visible.at(pick(visible.size()))->grab();
        else if (kind == 1)
            view->setVisible(!view->isVisible());
        else if (kind == 2)
            view->setFocus();
        else if (kind == 3)
            view->resize(pick(1000), pick(600));
        const char *const kinds[] = {"repaint", "view shown or hidden", "view focused", "view resized"};
        done = kinds[kind];
    }

    if (aimless && (m_host.emitted != emittedBefore || !HostJournal::instance()->entries().isEmpty()))
        return done + "!aimed at no screen, yet the host heard of it";
    return done;
}

// The view's hold on its screens after a step. A fault comes back as text.
QString tst_UpdateViewFuzz::check()
{
    if (!s_warnings.isEmpty())
        return "warning: " + s_warnings.join(QLatin1Char('\n'));
    if (!m_host.faults.isEmpty())
        return m_host.faults.join(QLatin1Char('\n'));
    if (!m_commands->isEmpty())
        return "command run: " + m_commands->first().first().toString();

    const QList<QWidget *> held = heldScreens();
    const QList<QWidget *> live = liveScreens();
    for (QWidget *screen : held)
        if (!live.contains(screen))
            return QStringLiteral("the view holds a screen that is gone");
    for (QWidget *screen : live) {
        if (!held.contains(screen) && !m_released.contains(screen))
            m_released << screen;
        if (qobject_cast<CustomMcuUpdateWidget *>(screen) && m_view && m_view->isAncestorOf(screen))
            return QStringLiteral("an MCU screen sits inside the view");
    }
    for (QWidget *screen : held)
        if (screen != m_view->m_mcuWidget && screen->parentWidget() != m_view)
            return screenName(screen) + " is not a child of the view";
    return QString();
}

QTEST_MAIN(tst_UpdateViewFuzz)
#include "tst_updateviewfuzz.moc"
