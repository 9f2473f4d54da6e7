// Plays a careless host against the plugin, each step chosen by the input:
// the contract's operations with boundary arguments, host key codes, touches
// on the controls on display, timer runs, event-loop turns, fresh instances,
// and steps back or closings from inside the host's signal handlers. After
// every step it checks how the view holds its screens and what the host heard.
#include "contractcall.h"
#include "datasavecontrol.h"
#include "fuzzsupport.h"
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

#include <fuzzer/FuzzedDataProvider.h>

#include <QApplication>
#include <QDir>
#include <QPointer>

#include <climits>

extern "C" QObject *qt_plugin_instance();

namespace {

const int hostKeys[]
    = {HostKey::Back, HostKey::Previous,    HostKey::Next,         HostKey::Left,     HostKey::Right,
       HostKey::Ok,   HostKey::KnobForward, HostKey::KnobBackward, HostKey::Cancel,   HostKey::Select,
       HostKey::Up,   HostKey::Down,        HostKey::PagePrevious, HostKey::PageNext, HostKey::Return,
       HostKey::Exit, Qt::Key_Select,       Qt::Key_Escape};
const ScreenProbe::Screen screenKinds[]
    = {ScreenProbe::DialogScreen, ScreenProbe::ConfirmationScreen, ScreenProbe::McuScreen};
using Screens = QList<ScreenProbe::Screen>;

// The screens whose signals the view relays to the host under each name; the
// view itself emits cancelUpdate() when the host's onReturn() finds no way back.
Screens emitters(const QByteArray &signal)
{
    if (signal.startsWith("changeTo"))
        return {ScreenProbe::ConfirmationScreen};
    if (signal == "cancelUpdate")
        return {ScreenProbe::DialogScreen, ScreenProbe::ConfirmationScreen, ScreenProbe::McuScreen};
    return {ScreenProbe::ConfirmationScreen, ScreenProbe::McuScreen};
}

class Host : public QObject
{
public:
    Host();
    void play(FuzzedDataProvider &input);

private:
    int pick(int n) { return m_input->ConsumeIntegralInRange(0, n - 1); }
    // Unlikely, and never once the input is used up.
    bool chance(int n) { return pick(n) == n - 1; }
    QString text();
    QStringList list(const QString &name);
    void renewView();
    void hear(const QByteArray &signal);
    void call(const ContractCall &operation) { operation.invoke(m_view); }
    void turnEventLoop();
    void step();
    void checkHold();
    QList<QWidget *> liveScreens() const;
    // The screen of a kind the view holds (it disables those it ends).
    QWidget *held(ScreenProbe::Screen screen) const;

    FuzzedDataProvider *m_input = nullptr;
    Sandbox m_sandbox;
    HostWindow m_window;
    ScreenProbe m_probe;
    KeyRouter m_keys;
    QPointer<UpdateInterface> m_view;
    QList<QByteArray> m_heard;
    bool m_returned = false; // the host called onReturn() in this step
    int m_depth = 0;
    bool m_closing = false;
    // Live screens the view let go: the next event-loop turn must delete them.
    QList<QPointer<QWidget>> m_released;
};

Host::Host()
    : m_window(QSize(800, 480), QPixmap())
    , m_probe(&m_window)
    , m_keys(&m_window)
{
    // Quick-upgrade passes find an empty medium: no command may run.
    QDir().mkpath(m_sandbox.path("/media/usb0"));
    UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_USB, {m_sandbox.path("/media/usb0")});
    qvappframework::UIManager::setUIHerarchy(qvappframework::UIHerarchyApplication,
                                             m_window.applicationLayer());
    qvappframework::UIManager::setDeskTopRect(QRect(0, 0, 800, 480));
    m_window.show();
    QApplication::setActiveWindow(&m_window);
    // What the platform said while the window came up is not the plugin's.
    Fuzz::takeWarnings();
}

void Host::play(FuzzedDataProvider &input)
{
    m_input = &input;
    QFile::remove(m_sandbox.settingsFile());
    renewView();
    while (input.remaining_bytes() > 0) {
        step();
        checkHold();
        // The host closed the interface from a handler: the view goes at the
        // next turn of the event loop, and the host takes a fresh one.
        if (m_closing) {
            turnEventLoop();
            renewView();
        }
    }
    delete m_view;
    checkHold();
    turnEventLoop();
    Fuzz::check(liveScreens().isEmpty(), "a screen outlived the interface");
}

QString Host::text()
{
    const char *const fixed[]
        = {"", "%1 %2 ;$(x)`y`", "line\nbreak", "\xce\x95\xce\xbb\xce\xbb \xe7\x9b\x98"};
    const int kind = pick(6);
    if (kind < 4)
        return QString::fromUtf8(fixed[kind]);
    return kind == 4 ? QString(chance(10) ? 20000 : 500, QLatin1Char('A'))
                     : QString::fromUtf8(m_input->ConsumeRandomLengthString(64).c_str());
}

QStringList Host::list(const QString &name)
{
    QStringList result;
    for (int i = chance(50) ? 50000 : pick(6); i > 0; --i)
        result << (pick(3) ? name : text());
    return result;
}

// Takes the plugin's object as the host does, a fresh one when the old one is gone.
void Host::renewView()
{
    QObject *instance = qt_plugin_instance();
    Fuzz::check(instance && !instance->parent() && qt_plugin_instance() == instance,
                "the plugin entry did not hand out one parentless object");
    m_view = qobject_cast<UpdateInterface *>(instance);
    Fuzz::check(m_view && m_view->children().isEmpty(), "the plugin entry handed out no fresh view");
    m_closing = false;
    connect(m_view, &UpdateInterface::checkDevice, this, [this] {
        hear("checkDevice");
        if (m_view && pick(2)) {
            call(ContractCall::setEnableDeviceList({"/media/usb0"}, {}));
            call(ContractCall::setDeviceInfomation(UpdateInterface::Usb0Device, pick(2), "2.0", "512 MB",
                                                   "found"));
        }
    });
    for (auto signal : {&UpdateInterface::changeToUsbDevice, &UpdateInterface::changeToSdDevice})
        connect(m_view, signal, this, [this](int id) {
            Fuzz::check(id == 0 || id == 1, QStringLiteral("medium %1 chosen").arg(id));
            hear("changeToDevice");
        });
    connect(m_view, &UpdateInterface::updateSystem, this, [this] { hear("updateSystem"); });
    connect(m_view, &UpdateInterface::cancelUpdate, this, [this] {
        hear("cancelUpdate");
        if (m_view && chance(16)) {
            m_view->deleteLater();
            m_closing = true;
        }
    });
    // The host places the view on its layer at its final size, then shows it.
    m_view->setParent(m_window.applicationLayer());
    const QSize sizes[] = {QSize(800, 480), QSize(640, 400), QSize(0, 0), QSize(1, 1)};
    m_view->setGeometry(QRect(QPoint(0, 0), sizes[pick(4)]));
    m_view->show();
}

// Now and then the host steps back from inside its handler, once nested at most.
void Host::hear(const QByteArray &signal)
{
    m_heard << signal;
    if (m_view && m_depth < 2 && chance(8)) {
        ++m_depth;
        m_returned = true;
        call(ContractCall::onReturn());
        --m_depth;
    }
}

// Runs what a turn of the event loop runs, timers aside (the steps run them
// themselves, so that an input always replays the same way). Twice: deleting
// a view schedules its MCU screen for deletion.
void Host::turnEventLoop()
{
    for (int pass = 0; pass < 2; ++pass) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    for (const QPointer<QWidget> &screen : m_released)
        Fuzz::check(!screen, "a screen was let go but not deleted");
    m_released.clear();
}

QList<QWidget *> Host::liveScreens() const
{
    QList<QWidget *> screens;
    for (ScreenProbe::Screen kind : screenKinds)
        screens << m_probe.screenWidgets(kind);
    return screens;
}

QWidget *Host::held(ScreenProbe::Screen screen) const
{
    for (QWidget *widget : m_probe.screenWidgets(screen))
        if (widget->isEnabled())
            return widget;
    return nullptr;
}

// One host action. What it aims at must be held for the host to hear of it.
void Host::step()
{
    m_heard.clear();
    m_returned = false;
    HostJournal::instance()->clear();
    UpdateInterface *view = m_view;
    Screens before;
    QList<QWidget *> screens;
    for (ScreenProbe::Screen kind : screenKinds)
        if (QWidget *screen = held(kind)) {
            before << kind;
            screens << screen;
        }
    QWidget *dialog = held(ScreenProbe::DialogScreen);
    QWidget *confirmation = held(ScreenProbe::ConfirmationScreen);
    QWidget *mcu = held(ScreenProbe::McuScreen);
    QWidget *aim = view;
    const int action = pick(100);
    if (action < 8) {
        aim = dialog;
        call(ContractCall::setUpgradeFileList(list("ISPBOOOT.BIN") + list("ORBITA_PACK.BIN")
                                              + list("mcu.bin")));
    } else if (action < 17) {
        call(ContractCall::showUpdate(pick(8), pick(4)));
    } else if (action < 24) {
        call(ContractCall::showUpdateTip());
    } else if (action < 29) {
        call(ContractCall::setEnableDeviceList(list("/media/usb0"), list("/media/sd0")));
    } else if (action < 37) {
        aim = confirmation ? confirmation : mcu;
        call(ContractCall::setDeviceInfomation(pick(8), pick(2), text(), text(), text()));
    } else if (action < 40) {
        aim = confirmation;
        call(ContractCall::setUpateInformation(text()));
    } else if (action < 46) {
        m_returned = true;
        Fuzz::check(ContractCall::onReturn().invoke(view) == (dialog && (confirmation || mcu)),
                    "onReturn() gave the wrong answer");
    } else if (action < 56) {
        aim = mcu;
        const int values[] = {INT_MIN, -101, -1, 0, 1, 99, 100, 101, INT_MAX};
        const int value = pick(3) ? values[pick(9)] : m_input->ConsumeIntegral<int>();
        const ContractCall reports[]
            = {ContractCall::onUpdateProgressChanged(value), ContractCall::onUpdateMessage(value, text()),
               ContractCall::onUpdateFinished(value)};
        call(reports[pick(3)]);
    } else if (action < 68) {
        const int key = pick(4) ? m_input->PickValueInArray(hostKeys) : m_input->ConsumeIntegral<int>();
        aim = m_keys.target();
        m_keys.click(key);
    } else if (action < 80) {
        const QList<QWidget *> controls = m_probe.visibleControls();
        QPoint point;
        QString why;
        if (controls.isEmpty()
            || !TouchScreen::aim(&m_window, controls.at(pick(controls.size())), &point, &why))
            return;
        aim = m_window.childAt(point);
        TouchScreen::touch(&m_window, point);
    } else if (action < 93) {
        // A timer of a live screen runs out: its countdown or its media check.
        const QList<QWidget *> live = liveScreens();
        if (live.isEmpty())
            return;
        aim = live.at(pick(live.size()));
        ScreenClock::fire(aim, pick(2) ? "m_countdownTimer" : "m_checkDeviceTimer", 1);
    } else if (action < 96) {
        turnEventLoop();
    } else if (action < 97) {
        // Screens painted at whatever size the host gives the view.
        view->resize(pick(1000), pick(600));
        for (QWidget *screen : screens)
            screen->grab();
    } else if (action < 98) {
        aim = nullptr;
        delete m_view;
        renewView();
    } else {
        DataSaveControl::writeFactoryData(QStringLiteral("SupportQuickUpgrade"), pick(2) == 1);
        DataSaveControl::writeFactoryData(QStringLiteral("SupportFactoryCustom"), pick(2) == 1);
    }
    while (aim && aim != view && !liveScreens().contains(aim))
        aim = aim->parentWidget();
    if (aim != view && !screens.contains(aim))
        Fuzz::check(m_heard.isEmpty() && HostJournal::instance()->entries().isEmpty(),
                    "aimed at no screen, yet the host heard of it");
    for (const QByteArray &signal : m_heard) {
        bool shown = signal == "cancelUpdate" && m_returned;
        for (ScreenProbe::Screen kind : emitters(signal))
            shown = shown || before.contains(kind);
        Fuzz::check(shown,
                    QStringLiteral("%1() with no screen that emits it").arg(QString::fromLatin1(signal)));
    }
}

// The view's hold on its screens after a step.
void Host::checkHold()
{
    const QStringList warnings = Fuzz::takeWarnings();
    Fuzz::check(warnings.isEmpty(), "a warning: " + warnings.join(QLatin1Char('\n')));
    const QList<QByteArray> commands = Fuzz::takeCommands();
    Fuzz::check(commands.isEmpty(), "a command ran: " + commands.value(0));
    for (ScreenProbe::Screen kind : screenKinds) {
        int kept = 0;
        for (QWidget *screen : m_probe.screenWidgets(kind))
            kept += screen->isEnabled() ? 1 : 0;
        Fuzz::check(kept <= 1, QStringLiteral("the view holds %1 screens of a kind").arg(kept));
    }
    QWidget *mcu = held(ScreenProbe::McuScreen);
    for (QWidget *screen : liveScreens()) {
        if (!screen->isEnabled()) {
            if (!m_released.contains(screen))
                m_released << screen;
            continue;
        }
        Fuzz::check(m_view, "a screen outlived its view");
        Fuzz::check((screen == mcu) != (screen->parentWidget() == m_view), "a screen has the wrong parent");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Host host;
    FuzzedDataProvider input(data, size);
    host.play(input);
    return 0;
}
