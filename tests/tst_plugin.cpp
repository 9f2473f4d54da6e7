// A host's view of the plugin: this program knows only the contract header
// and loads the built plugin file the way the head unit's host does. The
// screens are found by class and object name, as the host's tools see them.
#include "hostjournal.h"
#include "sandbox.h"
#include "screentest.h"
#include "uimanager.h"
#include "updateinterface.h"

#include <QJsonObject>
#include <QLabel>
#include <QMetaEnum>
#include <QMetaMethod>
#include <QPluginLoader>
#include <QPointer>
#include <QtTest>

// The host's end of the contract: what the view tells it, in order, with the
// toasts the plugin asked of it. The view's requests to check the medium are
// counted apart, as their timers run in real time.
class HostLog : public QObject
{
    Q_OBJECT

public:
    // Connects by signature, as the head unit's host does.
    bool listenTo(QObject *view)
    {
        connect(HostJournal::instance(), &HostJournal::recorded, this, [this](const QJsonObject &entry) {
            const QString text = entry.value("text").toString();
            entries << entry.value("request").toString() + (text.isEmpty() ? QString() : ' ' + text);
        });
        return connect(view, SIGNAL(checkDevice()), this, SLOT(countCheck()))
            && connect(view, SIGNAL(changeToUsbDevice(int)), this, SLOT(usbChosen(int)))
            && connect(view, SIGNAL(changeToSdDevice(int)), this, SLOT(sdChosen(int)))
            && connect(view, SIGNAL(updateSystem()), this, SLOT(updateAsked()))
            && connect(view, SIGNAL(cancelUpdate()), this, SLOT(cancelAsked()));
    }

    QStringList entries;
    int checks = 0;

public slots:
    void countCheck() { ++checks; }
    void usbChosen(int id) { entries << QStringLiteral("usb %1").arg(id); }
    void sdChosen(int id) { entries << QStringLiteral("sd %1").arg(id); }
    void updateAsked() { entries << QStringLiteral("updateSystem"); }
    void cancelAsked() { entries << QStringLiteral("cancelUpdate"); }
};

class tst_Plugin : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void entryNamesTheContract();
    void contractKeepsItsNumbers_data();
    void contractKeepsItsNumbers();
    void hostSequences_data();
    void hostSequences();

private:
    QList<QWidget *> screens(const QString &kind, bool live = true) const;
    QWidget *screen(const QString &kind, bool live = true) const { return screens(kind, live).value(0); }
    QString seenTitles() const;
    void runStep(const QString &step);
    void pokeEndedScreen(QWidget *ended);

    Sandbox *m_sandbox = nullptr;
    QWidget *m_layer = nullptr;
    QPluginLoader *m_loader = nullptr;
    QPointer<UpdateInterface> m_view;
    HostLog *m_host = nullptr;
    int m_answered = 0;
    QImage m_grab;
};

static void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// "a; b; c" as a list; an empty text is an empty list.
static QStringList items(const QString &text)
{
    return text.split(QStringLiteral("; "), Qt::SkipEmptyParts);
}

void tst_Plugin::init()
{
    m_sandbox = new Sandbox;
    HostJournal::instance()->clear();
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
    m_host = new HostLog;
    QVERIFY(m_host->listenTo(m_view));
    m_answered = 0;
}

void tst_Plugin::cleanup()
{
    delete m_host;
    delete m_view;
    flushDeletes();
    delete m_loader;
    delete m_layer;
    delete m_sandbox;
}

void tst_Plugin::entryNamesTheContract()
{
    const QJsonObject metaData = m_loader->metaData();
    QCOMPARE(metaData.value("IID").toString(), QStringLiteral("updatetheme/0.1"));
    QCOMPARE(metaData.value("className").toString(), QStringLiteral("UpdateView"));
    // Qt's build tools record the Qt release the plugin was built against.
    QCOMPARE(metaData.value("version").toInt() >> 8, QT_VERSION >> 8);
#ifdef QT_NO_DEBUG
    QCOMPARE(metaData.value("debug").toBool(), false);
#endif
    // No metadata file: newer build tools leave the key out instead of writing {}.
    QVERIFY(metaData.value("MetaData").toObject().isEmpty());

    // Hosts cast by the interface's id or by its class name.
    QObject *instance = m_loader->instance();
    QCOMPARE(instance, static_cast<QObject *>(m_view.data()));
    QCOMPARE(instance->qt_metacast("UpdateInterface"), static_cast<void *>(m_view.data()));
    QCOMPARE(instance->qt_metacast("QWidget"), static_cast<void *>(static_cast<QWidget *>(m_view.data())));
    QVERIFY(!instance->qt_metacast("updatetheme/0.2"));

    // A host that dropped the instance gets a fresh one, not a dangling one.
    delete instance;
    m_view = qobject_cast<UpdateInterface *>(m_loader->instance());
    QVERIFY(m_view);
    QVERIFY(!m_view->parent());
}

void tst_Plugin::contractKeepsItsNumbers_data()
{
    QTest::addColumn<QByteArray>("member");
    QTest::addColumn<int>("number");
    // Methods by their index after QWidget's, enumerators by their value.
    const std::pair<const char *, int> rows[] = {
        {"signal checkDevice()", 0},
        {"signal changeToUsbDevice(int)", 1},
        {"signal changeToSdDevice(int)", 2},
        {"signal updateSystem()", 3},
        {"signal cancelUpdate()", 4},
        {"slot onUpdateProgressChanged(int)", 5},
        {"slot onUpdateMessage(int,QString)", 6},
        {"slot onUpdateFinished(int)", 7},
        {"DeviceType::Usb0Device", 0},
        {"DeviceType::Usb1Device", 1},
        {"DeviceType::Sd0Device", 2},
        {"DeviceType::Sd1Device", 3},
        {"DeviceType::UnknownDevice", 4},
        {"UpgradeType::PartUpgrade", 0},
        {"UpgradeType::CompleteUpgrade", 1},
        {"UpgradeType::McuUpgrade", 2},
    };
    for (const auto &row : rows)
        QTest::newRow(row.first) << QByteArray(row.first) << row.second;
}

// The host connects by signature and passes enumerators as numbers across
// separately built binaries: indices, signatures and values are the contract.
void tst_Plugin::contractKeepsItsNumbers()
{
    QFETCH(QByteArray, member);
    QFETCH(int, number);
    const QMetaObject *contract = m_view->metaObject()->superClass();
    QCOMPARE(contract->className(), "UpdateInterface");
    QCOMPARE(contract->superClass(), &QWidget::staticMetaObject);
    QCOMPARE(contract->methodCount() - contract->methodOffset(), 8);

    const int scope = member.indexOf("::");
    if (scope > 0) {
        const QMetaEnum enumerator = contract->enumerator(contract->indexOfEnumerator(member.left(scope)));
        QCOMPARE(enumerator.keyCount(), member.startsWith("DeviceType") ? 5 : 3);
        QCOMPARE(enumerator.keyToValue(member.mid(scope + 2)), number);
        return;
    }
    const QList<QByteArray> kindAndSignature = member.split(' ');
    const QMetaMethod method = contract->method(contract->methodOffset() + number);
    QCOMPARE(method.methodSignature(), kindAndSignature.at(1));
    QCOMPARE(method.methodType(),
             kindAndSignature.at(0) == "signal" ? QMetaMethod::Signal : QMetaMethod::Slot);
    QCOMPARE(method.access(), QMetaMethod::Public);
}

void tst_Plugin::hostSequences_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("log");

    QTest::newRow("system upgrade chosen by both countdowns")
        << "tip; files ISPBOOOT.BIN mcu.bin; interval dialog 1000; tick dialog 9; see Upgrade file detected; "
           "text dialog m_systemButton Upgrade system(1); tick dialog 1; see Upgrade system; answer; "
           "interval confirm 1000; tick confirm 10; text confirm m_updateButton Update(1)"
        << "toast Updating; updateSystem";
    QTest::newRow("part upgrade chosen by touch")
        << "tip; files ORBITA_PACK.BIN ISPBOOOT.BIN; text dialog m_partButton Upgrade part; "
           "click dialog m_partButton; see Upgrade part; answer; "
           "controls confirm m_usb0Radio m_infoLabel1 m_infoLabel2 m_titleLabel m_updateButton "
           "m_cancelButton; "
           "click confirm m_updateButton"
        << "toast Updating; updateSystem";
    QTest::newRow("part upgrade chosen by the dialog's countdown")
        << "tip; files ORBITA_PACK.BIN mcu.bin; tick dialog 10; see Upgrade part"
        << "";
    // The dialog leaves OK to the host, which sends it on as Select.
    QTest::newRow("MCU upgrade chosen by keys")
        << "tip; files ORBITA_PACK.BIN ISPBOOOT.BIN mcu.bin; key 0x0110003F; key 0x0110003F; key 0x01010000; "
           "see Upgrade MCU"
        << "";
    QTest::newRow("MCU upgrade to the end")
        << "tip; files mcu.bin; click dialog m_mcuButton; see Upgrade MCU; answer; interval mcu 1000; "
           "key 0x0140000A; key 0x01100041; grab mcu; progress 45; unlike mcu; finished; touch mcu; "
           "key 0x0110003F; click mcu m_cancelButton; see Upgrade file detected"
        << "updateSystem; cancelUpdate";
    QTest::newRow("cancel on the confirmation goes back to the dialog")
        << "tip; files ORBITA_PACK.BIN; click dialog m_partButton; key 0x0140004B; see Upgrade file "
           "detected; "
           "click dialog m_partButton; click confirm m_cancelButton; see Upgrade file detected"
        << "";
    QTest::newRow("cancel on the MCU screen goes back to the dialog")
        << "tip; files mcu.bin; click dialog m_mcuButton; key 0x0140000F; see Upgrade file detected"
        << "";
    QTest::newRow("cancel in the dialog reaches the host")
        << "tip; files; controls dialog m_titleLabel m_cancelButton; click dialog m_cancelButton; "
           "see Upgrade file detected"
        << "cancelUpdate";
    QTest::newRow("return on a fresh view cancels") << "return"
                                                    << "cancelUpdate; returned false";
    QTest::newRow("return from a confirmation without a dialog cancels") << "part; return; see Upgrade part"
                                                                         << "cancelUpdate; returned false";
    QTest::newRow("return from an MCU screen without a dialog cancels") << "mcu; return; see Upgrade MCU"
                                                                        << "cancelUpdate; returned false";
    QTest::newRow("return goes back to the dialog once")
        << "tip; files ISPBOOOT.BIN mcu.bin; system; mcu; return; see Upgrade file detected; "
           "focus Upgrade file detected; controls dialog m_titleLabel m_systemButton m_mcuButton "
           "m_cancelButton; "
           "return"
        << "returned true; cancelUpdate; returned false";
    QTest::newRow("screens are reused") << "part; system; see Upgrade part; count confirm 1; "
                                           "mcu; cover; mcu; see Upgrade MCU; count mcu 1"
                                        << "";
    QTest::newRow("media reported before the confirmation reach it")
        << "media /media/usb0 /media/usb1 | /media/sd0; part; "
           "controls confirm m_usb0Radio m_usb1Radio m_sd0Radio m_messageLabel m_titleLabel m_updateButton "
           "m_cancelButton; click confirm m_sd0Radio; click confirm m_usb1Radio; click confirm "
           "m_updateButton; "
           "media |; controls confirm m_messageLabel m_titleLabel m_updateButton m_cancelButton"
        << "sd 0; usb 1; toast Package missing";
    // The MCU screen paints the host's verdict as its status line.
    QTest::newRow("device reports reach both screens")
        << "part; mcu; grab mcu; report unusable one two three; unlike mcu; grab mcu; "
           "report unusable three two three; alike mcu; text confirm m_infoLabel1 three; "
           "controls confirm m_messageLabel m_titleLabel m_updateButton m_cancelButton"
        << "";
    QTest::newRow("focus prefers the dialog, then the confirmation, then the MCU screen")
        << "tip; mcu; part; focus Upgrade part; reveal dialog; focus-view; focus Upgrade file detected; "
           "hide dialog; hide confirm; focus-view; focus Upgrade MCU; hide mcu; focus-view; focus"
        << "";
    QTest::newRow("screens ended by showUpdateTip stay silent")
        << "system; mcu; answer; tip; info Upgrading; poke confirm; poke mcu; see Upgrade file detected"
        << "";
    QTest::newRow("screens ended by return stay silent")
        << "tip; part; answer; return; poke confirm; mcu; answer; return; poke mcu; see Upgrade file detected"
        << "returned true; returned true";
    QTest::newRow("a queued cancel of an ended MCU screen leaves the view alone")
        << "tip; files ISPBOOOT.BIN mcu.bin; click dialog m_mcuButton; queue mcu onBtClicked; tip; "
           "click dialog m_systemButton; see Upgrade system"
        << "";
    QTest::newRow("deleting the view leaves no screen") << "tip; mcu; part; delete; poke mcu; see"
                                                        << "";
}

// Each step is one host call, one user input or one look at the screens.
void tst_Plugin::hostSequences()
{
    QFETCH(QString, steps);
    QFETCH(QString, log);
    for (const QString &step : items(steps)) {
        runStep(step);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(QStringLiteral("at step \"%1\"").arg(step)));
    }
    QCOMPARE(m_host->entries, items(log));
    flushDeletes();
    for (const char *kind : {"dialog", "confirm", "mcu"})
        QVERIFY(screens(kind, false).isEmpty());
}

void tst_Plugin::runStep(const QString &step)
{
    const QStringList words = step.split(' ');
    const QString &verb = words.first();
    const QString kind = words.value(1);
    QWidget *target = verb == "focus" || verb == "see" ? nullptr : screen(kind);
    const auto child = [&]() {
        return target->findChild<QWidget *>(words.value(2));
    };
    if (verb == "tip") {
        m_view->showUpdateTip();
    } else if (verb == "files") {
        m_view->setUpgradeFileList(words.mid(1));
    } else if (verb == "part" || verb == "system" || verb == "mcu") {
        const QStringList types = {"part", "system", "mcu"};
        m_view->showUpdate(UpdateInterface::UnknownDevice, UpdateInterface::UpgradeType(types.indexOf(verb)));
    } else if (verb == "return") {
        const bool returned = m_view->onReturn();
        m_host->entries << QStringLiteral("returned %1").arg(returned ? "true" : "false");
    } else if (verb == "media") {
        const QString lists = step.section(' ', 1);
        m_view->setEnableDeviceList(lists.section('|', 0, 0).split(' ', Qt::SkipEmptyParts),
                                    lists.section('|', 1).split(' ', Qt::SkipEmptyParts));
    } else if (verb == "report") {
        m_view->setDeviceInfomation(UpdateInterface::Sd0Device, kind == "usable", words.value(2),
                                    words.value(3), words.value(4));
    } else if (verb == "answer") {
        // The host answers the screen's question with a usable package on the first USB stick.
        QTRY_VERIFY_WITH_TIMEOUT(m_host->checks > m_answered, 1500);
        m_answered = m_host->checks;
        m_view->setEnableDeviceList({"/media/usb0"}, {});
        m_view->setDeviceInfomation(UpdateInterface::Usb0Device, true, "Version 2.0", "512 MB",
                                    "Package found");
    } else if (verb == "info") {
        m_view->setUpateInformation(kind);
    } else if (verb == "progress") {
        m_view->onUpdateProgressChanged(kind.toInt());
    } else if (verb == "finished") {
        m_view->onUpdateFinished(0);
    } else if (verb == "delete") {
        delete m_view;
    } else if (verb == "key") {
        QVERIFY(QApplication::focusWidget());
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key(kind.toInt(nullptr, 16)),
                            QString(), Qt::NoModifier);
    } else if (verb == "cover") {
        QWidget *cover = new QWidget(m_layer);
        cover->setGeometry(m_layer->rect());
        cover->show();
    } else if (verb == "focus-view") {
        m_layer->setFocus();
        m_view->setFocus();
    } else if (verb == "focus") {
        const QWidget *focused = QApplication::focusWidget();
        const QLabel *title
            = focused ? focused->findChild<QLabel *>("m_titleLabel", Qt::FindDirectChildrenOnly) : nullptr;
        QCOMPARE(title ? title->text() : QString(), step.section(' ', 1));
    } else if (verb == "see") {
        // Queued input lands before the driver looks.
        QCoreApplication::sendPostedEvents();
        QCOMPARE(seenTitles(), step.section(' ', 1));
    } else if (verb == "poke") {
        pokeEndedScreen(screen(kind, false));
    } else if (!target) {
        QFAIL(qPrintable(QStringLiteral("no %1 screen").arg(kind)));
    } else if (verb == "click") {
        QTest::mouseClick(child(), Qt::LeftButton);
    } else if (verb == "touch") {
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    } else if (verb == "tick") {
        tickCountdown(target, words.value(2).toInt());
    } else if (verb == "queue") {
        QVERIFY(QMetaObject::invokeMethod(target, qPrintable(words.value(2)), Qt::QueuedConnection));
    } else if (verb == "hide" || verb == "reveal") {
        target->setVisible(verb == "reveal");
    } else if (verb == "count") {
        QCOMPARE(screens(kind).size(), words.value(2).toInt());
    } else if (verb == "interval") {
        QCOMPARE(target->findChild<QTimer *>("m_countdownTimer")->interval(), words.value(2).toInt());
    } else if (verb == "text") {
        QCOMPARE(child()->property("text").toString(), step.section(' ', 3));
    } else if (verb == "controls") {
        QStringList shown, expected = words.mid(2);
        for (const QWidget *control :
             target->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
            if (control->isVisibleTo(target))
                shown << control->objectName();
        }
        shown.sort();
        expected.sort();
        QCOMPARE(shown, expected);
    } else if (verb == "grab") {
        m_grab = target->grab().toImage();
    } else if (verb == "alike" || verb == "unlike") {
        QCOMPARE(target->grab().toImage() == m_grab, verb == "alike");
    } else {
        QFAIL(qPrintable(QStringLiteral("unknown step \"%1\"").arg(step)));
    }
}

// What an ended screen may still get before the event loop deletes it: its
// timers running out, touches and keys already on their way.
void tst_Plugin::pokeEndedScreen(QWidget *ended)
{
    QVERIFY(ended);
    QVERIFY(!ended->isVisible());
    const QStringList entries = m_host->entries;
    const int checks = m_host->checks;
    QMetaObject::invokeMethod(ended, "onCheckDeviceSlot");
    tickCountdown(ended, 10);
    for (const char *button : {"m_updateButton", "m_cancelButton"})
        QTest::mouseClick(ended->findChild<QWidget *>(button), Qt::LeftButton);
    QTest::sendKeyEvent(QTest::Click, ended, Qt::Key(0x0140000F), QString(), Qt::NoModifier);
    QCOMPARE(m_host->entries, entries);
    QCOMPARE(m_host->checks, checks);
}

QList<QWidget *> tst_Plugin::screens(const QString &kind, bool live) const
{
    const QHash<QString, const char *> classes
        = {{"dialog", "UpgradeDialog"}, {"confirm", "CustomUpdateWidget"}, {"mcu", "CustomMcuUpdateWidget"}};
    QList<QWidget *> found;
    for (QWidget *widget : m_layer->findChildren<QWidget *>()) {
        // The view disables the screens it ends.
        if (widget->inherits(classes.value(kind, "-")) && widget->isEnabled() == live)
            found << widget;
    }
    return found;
}

// The titles of the screens the driver sees: shown and not covered.
QString tst_Plugin::seenTitles() const
{
    QStringList titles;
    for (QLabel *title : m_layer->findChildren<QLabel *>("m_titleLabel")) {
        if (title->isVisible() && m_layer->childAt(title->mapTo(m_layer, title->rect().center())) == title)
            titles << title->text();
    }
    titles.sort();
    return titles.join(QStringLiteral(" | "));
}

QTEST_MAIN(tst_Plugin)
#include "tst_plugin.moc"
