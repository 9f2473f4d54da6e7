#include "constsetting.h"
#include "customupdatewidget.h"
#include "datasavecontrol.h"
#include "hostjournal.h"
#include "hostkeys.h"
#include "logcapture.h"
#include "sandbox.h"
#include "screenclock.h"
#include "screentest.h"

#include <QKeyEvent>
#include <QtTest>

using Keys = QList<int>;
using Device = UpdateInterface::DeviceType;
static const QStringList radios = {"m_usb0Radio", "m_usb1Radio", "m_sd0Radio", "m_sd1Radio"};
static const QStringList lines = {"m_infoLabel1", "m_infoLabel2", "m_messageLabel"};

class tst_CustomUpdateWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void asksForTheMediaHalfASecondAfterCreation();
    void pickingAMedium_data();
    void pickingAMedium();
    void confirming_data();
    void confirming();
    void keys_data();
    void keys();

private:
    void create(UpdateInterface::UpgradeType type);
    void report(Device device, bool valid) { m_screen->setDeviceInfomation(device, valid, "1", "2", "3"); }
    QWidget *child(const QString &name) const { return m_screen->findChild<QWidget *>(name); }
    QString text(const QString &name) const { return child(name)->property("text").toString(); }
    QTimer *timer() const { return m_screen->findChild<QTimer *>("m_countdownTimer"); }
    // The interval of the running countdown, 0 while it stands still.
    int countdown() const { return timer()->isActive() ? timer()->interval() : 0; }
    // Those of the named children whose property ("visible", "checked") holds, space-separated.
    QString where(const QStringList &names, const char *property) const
    {
        QStringList matching;
        for (const QString &name : names)
            if (child(name)->property(property).toBool())
                matching << name;
        return matching.join(' ');
    }
    // "USB1 SD0" names the radios "m_usb1Radio m_sd0Radio".
    static QString radioNames(QString list)
    {
        return list.toLower().replace(QRegularExpression("(\\w+)"), "m_\\1Radio");
    }

    QScopedPointer<Sandbox> m_sandbox;
    QScopedPointer<QWidget> m_parent;
    CustomUpdateWidget *m_screen = nullptr;
};

void tst_CustomUpdateWidget::init()
{
    m_sandbox.reset(new Sandbox);
    HostJournal::instance()->clear();
}

void tst_CustomUpdateWidget::cleanup()
{
    m_parent.reset();
    m_sandbox.reset();
    ConstSetting::clientModelId = 0;
}

void tst_CustomUpdateWidget::create(UpdateInterface::UpgradeType type)
{
    m_parent.reset(new QWidget);
    m_screen = new CustomUpdateWidget(true, true, m_parent.data());
    m_screen->resize(800, 480);
    m_screen->initWidget(UpdateInterface::UnknownDevice, type);
    m_parent->show();
    QVERIFY(QTest::qWaitForWindowActive(m_parent.data()));
}

void tst_CustomUpdateWidget::asksForTheMediaHalfASecondAfterCreation()
{
    // The delay as its timer holds it: a clock on a busy machine would not tell.
    CustomUpdateWidget screen(true, true, nullptr);
    verifyMediaCheck(&screen, 500);
}

// The host lists the media, the driver picks one, the host reports on its package.
void tst_CustomUpdateWidget::pickingAMedium_data()
{
    QTest::addColumn<bool>("system");
    QTest::addColumn<QString>("picked");
    QTest::addColumn<int>("usb");
    QTest::addColumn<int>("sd");
    QTest::addColumn<QString>("offered");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("details");
    QTest::addColumn<int>("model"); // the client model; 2 hides the title

    QTest::newRow("no media, nothing usable") << true << "" << 0 << 0 << "" << false << false << 0;
    QTest::newRow("one stick, unusable") << false << "USB0" << 1 << 0 << "USB0" << false << false << 1;
    // A system upgrade shows the host's message even for a usable package.
    QTest::newRow("system upgrade from USB1")
        << true << "USB1" << 2 << 1 << "USB0 USB1 SD0" << true << false << 2;
    QTest::newRow("two cards, SD1 usable") << false << "SD1" << 0 << 2 << "SD0 SD1" << true << true << 3;
    QTest::newRow("three of each") << false << "SD0" << 3 << 3 << "USB0 USB1 SD0 SD1" << true << true << 0;
}

void tst_CustomUpdateWidget::pickingAMedium()
{
    QFETCH(bool, system);
    QFETCH(QString, picked);
    QFETCH(int, usb);
    QFETCH(int, sd);
    QFETCH(QString, offered);
    QFETCH(bool, valid);
    QFETCH(bool, details);
    QFETCH(int, model);

    ConstSetting::clientModelId = model;
    create(system ? UpdateInterface::CompleteUpgrade : UpdateInterface::PartUpgrade);
    QCOMPARE(text("m_titleLabel"), system ? "Upgrade system" : "Upgrade part");
    QCOMPARE(child("m_titleLabel")->isVisible(), model != 2);
    // Until the host reports, only the message line shows and nothing can be confirmed.
    QCOMPARE(where(lines, "visible"), "m_messageLabel");
    QVERIFY(!child("m_updateButton")->isEnabled());
    m_screen->setEnableDeviceList(QStringList {"a", "b", "c"}.mid(0, usb),
                                  QStringList {"x", "y", "z"}.mid(0, sd));
    QCOMPARE(where(radios, "visible"), radioNames(offered));
    QCOMPARE(child("m_updateButton")->isEnabled(), usb + sd > 0);

    for (const QString &radio : radios)
        child(radio)->setProperty("checked", true);
    QStringList host;
    connect(m_screen, &CustomUpdateWidget::changeToUsbDevice,
            [&](int id) { host << QString("USB%1").arg(id); });
    connect(m_screen, &CustomUpdateWidget::changeToSdDevice,
            [&](int id) { host << QString("SD%1").arg(id); });
    if (!picked.isEmpty()) {
        QTest::mouseClick(child(radioNames(picked)), Qt::LeftButton);
        QCOMPARE(where(radios, "checked"), radioNames(picked));
        QCOMPARE(QApplication::focusWidget(), m_screen);
    }
    QCOMPARE(host.join(' '), picked);

    const int device = picked.isEmpty() ? UpdateInterface::UnknownDevice : radios.indexOf(radioNames(picked));
    report(Device(device), valid);
    QCOMPARE(where(radios, "checked"), radioNames(picked));
    QCOMPARE(where(lines, "visible"), details ? "m_infoLabel1 m_infoLabel2" : "m_messageLabel");
    QCOMPARE(text("m_infoLabel1") + text("m_infoLabel2") + text("m_messageLabel"), QStringLiteral("123"));
    QCOMPARE(child("m_updateButton")->isEnabled(), valid);
    QCOMPARE(countdown(), valid ? 1000 : 0);
}

void tst_CustomUpdateWidget::confirming_data()
{
    QTest::addColumn<bool>("quick");
    QTest::addColumn<bool>("laterUnusable");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<QString>("tip");

    QTest::newRow("the tenth tick confirms") << false << false << false << "Updating";
    // A later report of an unusable package disables "Update" but leaves the count running.
    QTest::newRow("ends quietly when Update is disabled") << false << true << false << "";
    QTest::newRow("quick upgrade stops at the first tick") << true << false << false << "";
    QTest::newRow("Update pressed") << false << false << true << "Updating";
    QTest::newRow("Update pressed without a usable package") << false << true << true << "Package missing";
}

void tst_CustomUpdateWidget::confirming()
{
    QFETCH(bool, quick);
    QFETCH(bool, laterUnusable);
    QFETCH(bool, pressed);
    QFETCH(QString, tip);

    DataSaveControl::writeFactoryData("SupportQuickUpgrade", quick);
    create(UpdateInterface::CompleteUpgrade);
    QSignalSpy updateSystem(m_screen, &CustomUpdateWidget::updateSystem);
    report(UpdateInterface::Usb0Device, true);
    if (laterUnusable)
        report(UpdateInterface::Usb0Device, false);
    // The media list offers "Update" even after a report of an unusable package.
    if (pressed)
        m_screen->setEnableDeviceList({"a"}, {});

    for (int left = 9; left > 0 && !quick; --left) {
        ScreenClock::tick(m_screen, 1);
        QCOMPARE(text("m_updateButton"), QStringLiteral("Update(%1)").arg(left));
        QCOMPARE(countdown(), 1000);
    }
    if (pressed)
        QTest::mouseClick(child("m_updateButton"), Qt::LeftButton);
    else
        ScreenClock::tick(m_screen, 1);
    // The upgrade starts exactly when the driver is told so; with quick upgrade the caption never counts.
    QCOMPARE(updateSystem.count(), int(tip == "Updating"));
    const QList<QJsonObject> toasts = HostJournal::instance()->entries();
    QCOMPARE(toasts.isEmpty() ? QString() : toasts.last().value("text").toString(), tip);
    QCOMPARE(text("m_updateButton"), quick ? "Update" : "Update(1)");
    QCOMPARE(countdown(), 0);
}

void tst_CustomUpdateWidget::keys_data()
{
    QTest::addColumn<bool>("valid");
    QTest::addColumn<Keys>("keys");
    QTest::addColumn<QString>("outcome");

    // Media present: USB0 and SD0 only; a usable package enables "Update" and starts the count.
    QTest::newRow("forward from none: first radio") << true << Keys {HostKey::Right} << "m_usb0Radio";
    QTest::newRow("backward from none: Cancel") << true << Keys {HostKey::Left} << "m_cancelButton";
    QTest::newRow("hidden USB1 skipped")
        << true << Keys {HostKey::Next, HostKey::KnobBackward} << "m_sd0Radio";
    QTest::newRow("wraps forward") << true << Keys {HostKey::PagePrevious, HostKey::Down} << "m_usb0Radio";
    QTest::newRow("wraps backward") << true << Keys {HostKey::PageNext, HostKey::KnobForward}
                                    << "m_cancelButton";
    QTest::newRow("Update skipped forward")
        << false << Keys {HostKey::Previous, HostKey::Previous, HostKey::Down} << "m_cancelButton";
    QTest::newRow("Update skipped backward")
        << false << Keys {HostKey::Previous, HostKey::Up} << "m_sd0Radio";
    QTest::newRow("Update reached when enabled")
        << true << Keys {HostKey::Previous, HostKey::Up} << "m_updateButton";
    for (int key : {HostKey::Back, HostKey::Cancel, HostKey::Return, HostKey::Exit})
        QTest::addRow("%s cancels", qPrintable(keyName(key))) << true << Keys {key} << "cancel";
    for (int key : {int(HostKey::Ok), int(Qt::Key_Escape)})
        QTest::addRow("%s reaches the parent", qPrintable(keyName(key))) << true << Keys {key} << "parent";
}

void tst_CustomUpdateWidget::keys()
{
    QFETCH(bool, valid);
    QFETCH(Keys, keys);
    QFETCH(QString, outcome);

    create(UpdateInterface::PartUpgrade);
    m_screen->setEnableDeviceList({"a"}, {"x"});
    report(UpdateInterface::Usb0Device, valid);
    QSignalSpy cancel(m_screen, &CustomUpdateWidget::cancelUpdate);
    LogCapture log;
    for (int key : keys) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(QApplication::focusWidget(), &press);
        QCOMPARE(press.isAccepted(), outcome != "parent");
        // Releases are always left to the parent.
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(m_screen, &release);
        QVERIFY(!release.isAccepted());
    }
    // Keys that move no focus leave it on the screen itself.
    QCOMPARE(QApplication::focusWidget(), outcome.startsWith("m_") ? child(outcome) : m_screen);
    QCOMPARE(cancel.count(), int(outcome == "cancel"));
    QCOMPARE(countdown(), valid && outcome != "cancel" ? 1000 : 0);
    const LogCapture::Record record = log.records().value(0);
    QCOMPARE(record.function, "virtual void CustomUpdateWidget::keyPressEvent(QKeyEvent*)");
    QCOMPARE(record.line, 457);
    QVERIFY(log.messages().value(0).startsWith(
        "[QT] [UpdateStyle0] func: keyPressEvent line: 457 CustomUpdateWidget keyPressEvent QKeyEvent("));
}

QTEST_MAIN(tst_CustomUpdateWidget)
#include "tst_customupdatewidget.moc"
