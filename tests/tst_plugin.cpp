// A host's view of the plugin: this program knows only the contract header
// and loads the built plugin file the way the head unit's host does. It finds
// the screens by class and object name.
#include "hostjournal.h"
#include "sandbox.h"
#include "screentest.h"
#include "uimanager.h"
#include "updateinterface.h"

#include <QLabel>
#include <QtTest>

#include <functional>

class tst_Plugin : public QObject
{
    Q_OBJECT

public slots:
    // The host's end: what the view tells it, in order (public: private slots are tests).
    // Requests to check the medium are counted apart: their timers run in real time.
    void heard(int id = -1)
    {
        const QString signal = sender()->metaObject()->method(senderSignalIndex()).name();
        if (signal == "checkDevice")
            ++m_checks;
        else
            m_heard << (id < 0 ? signal : QStringLiteral("%1 %2").arg(signal).arg(id));
    }

private slots:
    void init();
    void cleanup();
    void contract_data();
    void contract();
    void hostSequences_data();
    void hostSequences();

private:
    QList<QWidget *> screens(const QString &kind, bool live = true) const;
    QWidget *screen(const QString &kind, bool live = true) const { return screens(kind, live).value(0); }
    QString seenTitles() const;
    void runStep(const QString &step);

    Sandbox *m_sandbox = nullptr;
    QWidget *m_layer = nullptr;
    QPluginLoader *m_loader = nullptr;
    QPointer<UpdateInterface> m_view;
    QStringList m_heard;
    int m_checks = 0;
    int m_answered = 0;
    QImage m_grab;
};

// The screens by the names the rows give them.
static const QHash<QString, const char *> screenClasses
    = {{"dialog", "UpgradeDialog"}, {"confirm", "CustomUpdateWidget"}, {"mcu", "CustomMcuUpdateWidget"}};

// A key of the host's key map, pressed and released.
static void pressKey(QWidget *receiver, int code)
{
    QTest::sendKeyEvent(QTest::Click, receiver, Qt::Key(code), QString(), Qt::NoModifier);
}

void tst_Plugin::init()
{
    m_sandbox = new Sandbox;
    m_layer = new QWidget;
    m_layer->resize(800, 480);
    qvappframework::UIManager::setUIHerarchy(qvappframework::UIHerarchyApplication, m_layer);
    m_loader = new QPluginLoader(QStringLiteral(UPDATETHEME_PLUGIN_FILE));
    m_view = qobject_cast<UpdateInterface *>(m_loader->instance());
    QVERIFY2(m_view, qPrintable(m_loader->errorString()));
    // The host places the view on its UI layer, at its final size, before showing it.
    m_view->setParent(m_layer);
    m_view->setGeometry(0, 0, 800, 480);
    m_view->show();
    m_layer->show();
    QApplication::setActiveWindow(m_layer);
    QVERIFY(QTest::qWaitForWindowActive(m_layer));
    m_heard.clear();
    m_checks = m_answered = 0;
    // The host connects by signature; it also hears of the toasts the plugin asks for.
    for (const char *signal : {SIGNAL(checkDevice()), SIGNAL(updateSystem()), SIGNAL(cancelUpdate())})
        QVERIFY(connect(m_view, signal, this, SLOT(heard())));
    for (const char *signal : {SIGNAL(changeToUsbDevice(int)), SIGNAL(changeToSdDevice(int))})
        QVERIFY(connect(m_view, signal, this, SLOT(heard(int))));
    connect(HostJournal::instance(), &HostJournal::recorded, m_view, [this](const QJsonObject &entry) {
        m_heard << entry.value("request").toString() + ' ' + entry.value("text").toString();
    });
}

void tst_Plugin::cleanup()
{
    delete m_view;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete m_loader;
    delete m_layer;
    delete m_sandbox;
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
    const QMetaObject *contract = m_view->metaObject()->superClass();
    QStringList actual;
    if (row == "entry") {
        const QJsonObject metaData = m_loader->metaData();
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

// Each row is a sequence of steps (the host's calls, the driver's touches
// and keys, time passing, looks at the screens) and what the host heard.
void tst_Plugin::hostSequences_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("heard");
    const auto row = [](const char *name, const char *steps, const char *heard = "") {
        QTest::newRow(name) << QString(steps) << QString(heard);
    };
    row("system upgrade chosen by both countdowns",
        "tip; files ISPBOOOT.BIN mcu.bin; tick dialog 9; see Upgrade file detected; "
        "text dialog m_systemButton Upgrade system(1); tick dialog 1; see Upgrade system; answer; "
        "tick confirm 10; text confirm m_updateButton Update(1)",
        "toast Updating; updateSystem");
    row("part upgrade chosen by touch",
        "tip; files ORBITA_PACK.BIN ISPBOOOT.BIN; text dialog m_partButton Upgrade part; "
        "click dialog m_partButton; see Upgrade part; answer; click confirm m_updateButton; info Upgrading",
        "toast Updating; updateSystem; toast Upgrading");
    row("part upgrade chosen by the dialog's countdown",
        "tip; files ORBITA_PACK.BIN mcu.bin; tick dialog 10; see Upgrade part");
    row("MCU upgrade to its end",
        "tip; files mcu.bin; click dialog m_mcuButton; see Upgrade MCU; answer; key 0x0140000A; "
        "key 0x01100041; grab mcu; progress 45; unlike mcu; finished; touch mcu; key 0x0110003F; "
        "click mcu m_cancelButton; see Upgrade file detected",
        "updateSystem; cancelUpdate");
    // The dialog leaves OK to the host, which sends it on as Select.
    row("keys choose the MCU upgrade, cancel on either screen goes back to the dialog",
        "tip; files ORBITA_PACK.BIN mcu.bin; key 0x0110003F; key 0x0110003F; key 0x01010000; "
        "see Upgrade MCU; key 0x0140000F; see Upgrade file detected; click dialog m_partButton; "
        "key 0x0140004B; see Upgrade file detected; click dialog m_partButton; "
        "click confirm m_cancelButton; see Upgrade file detected");
    row("cancel in the dialog reaches the host",
        "tip; files; click dialog m_cancelButton; see Upgrade file detected", "cancelUpdate");
    row("return without a dialog cancels, also with screens open",
        "return; show part; return; see Upgrade part; show mcu; return; see Upgrade MCU",
        "cancelUpdate; returned false; cancelUpdate; returned false; cancelUpdate; returned false");
    row("return goes back to the dialog once",
        "tip; show system; show mcu; return; see Upgrade file detected; focus dialog; return",
        "returned true; cancelUpdate; returned false");
    row("screens are reused and raised",
        "show part; show system; see Upgrade part; show mcu; raise; show mcu; see Upgrade MCU; count mcu 1");
    row("media reported before the confirmation reach it",
        "media /media/usb0 /media/usb1 | /media/sd0; show part; controls confirm m_titleLabel "
        "m_usb0Radio m_usb1Radio m_sd0Radio m_messageLabel m_updateButton m_cancelButton; "
        "click confirm m_sd0Radio; click confirm m_usb1Radio; click confirm m_updateButton; media |; "
        "controls confirm m_titleLabel m_messageLabel m_updateButton m_cancelButton",
        "changeToSdDevice 0; changeToUsbDevice 1; toast Package missing");
    // The MCU screen paints its captions ("unknown" until reported) and the host's verdict.
    row("device reports reach both screens",
        "show part; show mcu; grab mcu; message 1 unknown; message 2 unknown; alike mcu; "
        "report unusable one two three; unlike mcu; grab mcu; report unusable three two three; alike mcu; "
        "text confirm m_infoLabel1 three; controls confirm m_titleLabel m_messageLabel m_updateButton "
        "m_cancelButton");
    row("focus prefers the dialog, then the confirmation, then the MCU screen",
        "tip; show mcu; show part; focus confirm; reveal dialog; focus dialog; hide dialog; hide confirm; "
        "focus mcu; hide mcu; focus");
    row("screens ended by showUpdateTip stay silent",
        "show system; show mcu; answer; tip; info Upgrading; poke confirm; poke mcu");
    row("screens ended by return stay silent",
        "tip; show part; answer; return; poke confirm; show mcu; answer; return; poke mcu",
        "returned true; returned true");
    row("a queued cancel of an ended MCU screen leaves the view alone",
        "tip; show mcu; queue mcu onBtClicked; tip; show system; see Upgrade system");
    row("deleting the view leaves no screen", "tip; show mcu; show part; delete; poke mcu; see");
}

void tst_Plugin::hostSequences()
{
    QFETCH(QString, steps);
    QFETCH(QString, heard);
    for (const QString &step : steps.split("; ")) {
        runStep(step);
        if (QTest::currentTestFailed())
            return qWarning("at step \"%s\"", qPrintable(step));
    }
    QCOMPARE(m_heard, heard.split("; ", Qt::SkipEmptyParts));
    // The screens the view ended are deleted with the next turn of the event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const QString &kind : screenClasses.keys())
        QVERIFY(screens(kind, false).isEmpty());
}

void tst_Plugin::runStep(const QString &step)
{
    const QStringList words = step.split(' ');
    const QString kind = words.value(1);
    const QString tail = step.section(' ', 1);
    QWidget *target = screen(kind);
    QWidget *named = target ? target->findChild<QWidget *>(words.value(2)) : nullptr;
    QHash<QString, std::function<void()>> actions;
    // What the host does.
    actions.insert("tip", [&] { m_view->showUpdateTip(); });
    actions.insert("files", [&] { m_view->setUpgradeFileList(words.mid(1)); });
    actions.insert("show", [&] {
        const int type = QStringList {"part", "system", "mcu"}.indexOf(kind);
        m_view->showUpdate(UpdateInterface::UnknownDevice, UpdateInterface::UpgradeType(type));
    });
    actions.insert("return", [&] { m_heard << (m_view->onReturn() ? "returned true" : "returned false"); });
    actions.insert("media", [&] {
        m_view->setEnableDeviceList(tail.section('|', 0, 0).split(' ', Qt::SkipEmptyParts),
                                    tail.section('|', 1).split(' ', Qt::SkipEmptyParts));
    });
    actions.insert("report", [&] {
        m_view->setDeviceInfomation(UpdateInterface::Sd0Device, kind == "usable", words.value(2),
                                    words.value(3), words.value(4));
    });
    // It answers a screen's question with a usable package on the first USB stick.
    actions.insert("answer", [&] {
        QTRY_VERIFY_WITH_TIMEOUT(m_checks > m_answered, 1500);
        m_answered = m_checks;
        m_view->setEnableDeviceList({"/media/usb0"}, {});
        m_view->setDeviceInfomation(UpdateInterface::Usb0Device, true, "2.0", "512 MB", "Package found");
    });
    actions.insert("info", [&] { m_view->setUpateInformation(kind); });
    actions.insert("progress", [&] { m_view->onUpdateProgressChanged(kind.toInt()); });
    actions.insert("message", [&] { m_view->onUpdateMessage(kind.toInt(), words.value(2)); });
    actions.insert("finished", [&] { m_view->onUpdateFinished(0); });
    actions.insert("raise", [&] { m_view->raise(); });
    actions.insert("delete", [&] { delete m_view; });
    // What the driver, time and the event queue do.
    actions.insert("key", [&] { pressKey(QApplication::focusWidget(), kind.toInt(nullptr, 16)); });
    actions.insert("click", [&] { QTest::mouseClick(named, Qt::LeftButton); });
    actions.insert("touch", [&] { QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(4, 4)); });
    actions.insert("tick", [&] { tickCountdown(target, words.value(2).toInt()); });
    actions.insert("queue", [&] {
        QVERIFY(QMetaObject::invokeMethod(target, qPrintable(words.value(2)), Qt::QueuedConnection));
    });
    // What an ended screen may still get before the event loop deletes it.
    actions.insert("poke", [&] {
        QWidget *ended = screen(kind, false);
        QVERIFY(ended && !ended->isVisible());
        const int checks = m_checks;
        QMetaObject::invokeMethod(ended, "onCheckDeviceSlot");
        tickCountdown(ended, 10);
        for (const char *button : {"m_updateButton", "m_cancelButton"})
            QTest::mouseClick(ended->findChild<QWidget *>(button), Qt::LeftButton);
        pressKey(ended, 0x0140000F);
        QCOMPARE(m_checks, checks);
    });
    actions.insert("hide", [&] { target->hide(); });
    actions.insert("reveal", [&] { target->show(); });
    // What is to be seen.
    actions.insert("see", [&] { QCOMPARE(seenTitles(), tail); });
    actions.insert("focus", [&] {
        // The host hands the view the focus; the view passes it on.
        m_layer->setFocus();
        m_view->setFocus();
        QCOMPARE(QApplication::focusWidget(), target ? target : m_view.data());
    });
    actions.insert("count", [&] { QCOMPARE(screens(kind).size(), words.value(2).toInt()); });
    actions.insert("text", [&] { QCOMPARE(named->property("text").toString(), step.section(' ', 3)); });
    actions.insert("controls", [&] {
        QSet<QString> shown;
        for (const QWidget *control :
             target->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (control->isVisibleTo(target))
                shown << control->objectName();
        }
        QCOMPARE(shown, QSet<QString>(words.begin() + 2, words.end()));
    });
    actions.insert("grab", [&] { m_grab = target->grab().toImage(); });
    actions.insert("alike", [&] { QCOMPARE(target->grab().toImage(), m_grab); });
    actions.insert("unlike", [&] { QVERIFY(target->grab().toImage() != m_grab); });
    QVERIFY2(actions.contains(words.first()), "unknown step");
    const bool onScreen = screenClasses.contains(kind) && words.first() != "poke" && words.first() != "show";
    QVERIFY2(target || !onScreen, "no such screen");
    actions.value(words.first())();
}

// The view disables the screens it ends.
QList<QWidget *> tst_Plugin::screens(const QString &kind, bool live) const
{
    QList<QWidget *> found;
    for (QWidget *widget : m_layer->findChildren<QWidget *>()) {
        if (widget->inherits(screenClasses.value(kind, "-")) && widget->isEnabled() == live)
            found << widget;
    }
    return found;
}

// The titles of the screens the driver sees: shown and not covered.
QString tst_Plugin::seenTitles() const
{
    // Queued input lands before the driver looks.
    QCoreApplication::sendPostedEvents();
    QStringList titles;
    for (QLabel *title : m_layer->findChildren<QLabel *>("m_titleLabel")) {
        if (title->isVisible() && m_layer->childAt(title->mapTo(m_layer, title->rect().center())) == title)
            titles << title->text();
    }
    return titles.join(QStringLiteral(" | "));
}

QTEST_MAIN(tst_Plugin)
#include "tst_plugin.moc"
