#include "constsetting.h"
#include "customimagebutton.h"
#include "customimagelabel.h"
#include "customimageradiobutton.h"
#include "customupdatewidget.h"
#include "datasavecontrol.h"
#include "hostjournal.h"
#include "logcapture.h"
#include "sandbox.h"
#include "screentest.h"
#include "tipdialog.h"

#include <QKeyEvent>
#include <QTimer>
#include <QtTest>

// Records the keys that a screen leaves to its parent.
class KeyRecorder : public QWidget
{
public:
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent *event) override { keys.append(event->key()); }
};

static const char *const radios[] = {"m_usb0Radio", "m_usb1Radio", "m_sd0Radio", "m_sd1Radio"};

class tst_CustomUpdateWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void buildsTheScreen_data();
    void buildsTheScreen();
    void asksForTheMediaHalfASecondAfterCreation();
    void offersTheMediaPresent_data();
    void offersTheMediaPresent();
    void showsTheHostsReport_data();
    void showsTheHostsReport();
    void pickingAMediumTellsTheHost_data();
    void pickingAMediumTellsTheHost();
    void countdown_data();
    void countdown();
    void updateWithoutPackageSaysSo();
    void keysMoveTheFocus_data();
    void keysMoveTheFocus();
    void cancelKeysLeave_data();
    void cancelKeysLeave();
    void otherKeysReachTheParent();

private:
    void create(UpdateInterface::UpgradeType type);
    void press(int key)
    {
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key(key), QString(),
                            Qt::NoModifier);
    }
    template<typename T = CustomImageButton> T *child(const char *name) const
    {
        return m_screen->findChild<T *>(QLatin1String(name));
    }
    QTimer *countdownTimer() const { return child<QTimer>("m_countdownTimer"); }
    // The names of the radios for which the predicate holds, space-separated.
    template<typename T = CustomImageButton, typename P> QString radiosWhere(P predicate) const
    {
        QStringList names;
        for (const char *name : radios)
            if (predicate(child<T>(name)))
                names << QLatin1String(name);
        return names.join(' ');
    }

    Sandbox *m_sandbox = nullptr;
    KeyRecorder *m_parent = nullptr;
    CustomUpdateWidget *m_screen = nullptr;
};

void tst_CustomUpdateWidget::init()
{
    m_sandbox = new Sandbox;
    HostJournal::instance()->clear();
    ConstSetting::clientModelId = 0;
    m_parent = new KeyRecorder;
    m_parent->resize(800, 480);
}

void tst_CustomUpdateWidget::cleanup()
{
    delete m_parent;
    m_screen = nullptr;
    delete m_sandbox;
}

void tst_CustomUpdateWidget::create(UpdateInterface::UpgradeType type)
{
    m_screen = new CustomUpdateWidget(true, true, m_parent);
    m_screen->setGeometry(m_parent->rect());
    m_screen->initWidget(UpdateInterface::UnknownDevice, type);
    m_parent->show();
    QApplication::setActiveWindow(m_parent);
    QVERIFY(QTest::qWaitForWindowActive(m_parent));
}

void tst_CustomUpdateWidget::buildsTheScreen_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("clientModel");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("titleVisible");

    QTest::newRow("partial upgrade") << int(UpdateInterface::PartUpgrade) << 0 << "Upgrade part" << true;
    QTest::newRow("system upgrade") << int(UpdateInterface::CompleteUpgrade) << 0 << "Upgrade system" << true;
    QTest::newRow("client model 2 hides the title")
        << int(UpdateInterface::CompleteUpgrade) << 2 << "Upgrade system" << false;
}

void tst_CustomUpdateWidget::buildsTheScreen()
{
    QFETCH(int, type);
    QFETCH(int, clientModel);
    QFETCH(QString, title);
    QFETCH(bool, titleVisible);

    ConstSetting::clientModelId = clientModel;
    create(UpdateInterface::UpgradeType(type));

    QCOMPARE(child<CustomImageLabel>("m_titleLabel")->text(), title);
    QCOMPARE(child<CustomImageLabel>("m_titleLabel")->isVisible(), titleVisible);
    const QStringList captions = {"USB0", "USB1", "SD0", "SD1"};
    for (int i = 0; i < 4; ++i)
        QCOMPARE(child(radios[i])->text(), captions.at(i));
    QCOMPARE(child("m_updateButton")->text(), QStringLiteral("Update"));
    QCOMPARE(child("m_cancelButton")->text(), QStringLiteral("Cancel"));
    QVERIFY(!child("m_updateButton")->isEnabled());
    QVERIFY(!child<CustomImageLabel>("m_infoLabel1")->isVisible());
    QVERIFY(!child<CustomImageLabel>("m_infoLabel2")->isVisible());
    QVERIFY(child<CustomImageLabel>("m_messageLabel")->isVisible());
    QCOMPARE(QApplication::focusWidget(), m_screen);
}

void tst_CustomUpdateWidget::asksForTheMediaHalfASecondAfterCreation()
{
    create(UpdateInterface::CompleteUpgrade);
    QSignalSpy checkDevice(m_screen, &CustomUpdateWidget::checkDevice);
    QTest::qWait(300);
    QCOMPARE(checkDevice.count(), 0);
    QTRY_COMPARE(checkDevice.count(), 1);
    QTest::qWait(600);
    QCOMPARE(checkDevice.count(), 1);
}

void tst_CustomUpdateWidget::offersTheMediaPresent_data()
{
    QTest::addColumn<int>("usb");
    QTest::addColumn<int>("sd");
    QTest::addColumn<QString>("visible");

    QTest::newRow("no media") << 0 << 0 << "";
    QTest::newRow("one stick") << 1 << 0 << "m_usb0Radio";
    QTest::newRow("two sticks and a card") << 2 << 1 << "m_usb0Radio m_usb1Radio m_sd0Radio";
    QTest::newRow("two cards") << 0 << 2 << "m_sd0Radio m_sd1Radio";
    QTest::newRow("more media than radios") << 3 << 3 << "m_usb0Radio m_usb1Radio m_sd0Radio m_sd1Radio";
}

void tst_CustomUpdateWidget::offersTheMediaPresent()
{
    QFETCH(int, usb);
    QFETCH(int, sd);
    QFETCH(QString, visible);

    create(UpdateInterface::PartUpgrade);
    m_screen->setEnableDeviceList(QStringList {"a", "b", "c"}.mid(0, usb),
                                  QStringList {"x", "y", "z"}.mid(0, sd));
    QCOMPARE(radiosWhere([](QWidget *radio) { return radio->isVisible(); }), visible);
    // "Update" is offered as soon as any medium is.
    QCOMPARE(child("m_updateButton")->isEnabled(), usb + sd > 0);
}

void tst_CustomUpdateWidget::showsTheHostsReport_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("device");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<bool>("detailsShown");

    QTest::newRow("partial, SD1 usable") << int(UpdateInterface::PartUpgrade)
                                         << int(UpdateInterface::Sd1Device) << true << "m_sd1Radio" << true;
    QTest::newRow("partial, USB0 unusable")
        << int(UpdateInterface::PartUpgrade) << int(UpdateInterface::Usb0Device) << false << "m_usb0Radio"
        << false;
    QTest::newRow("system, USB1 usable shows the message")
        << int(UpdateInterface::CompleteUpgrade) << int(UpdateInterface::Usb1Device) << true << "m_usb1Radio"
        << false;
    QTest::newRow("system, no medium") << int(UpdateInterface::CompleteUpgrade)
                                       << int(UpdateInterface::UnknownDevice) << false << "" << false;
}

void tst_CustomUpdateWidget::showsTheHostsReport()
{
    QFETCH(int, type);
    QFETCH(int, device);
    QFETCH(bool, valid);
    QFETCH(QString, checked);
    QFETCH(bool, detailsShown);

    create(UpdateInterface::UpgradeType(type));
    child<CustomImageRadioButton>("m_sd0Radio")->setChecked(true);
    m_screen->setDeviceInfomation(UpdateInterface::DeviceType(device), valid, "version 2.0", "123 MB",
                                  "ISPBOOOT.BIN found");

    QCOMPARE(
        radiosWhere<CustomImageRadioButton>([](CustomImageRadioButton *radio) { return radio->isChecked(); }),
        checked);
    QCOMPARE(child<CustomImageLabel>("m_infoLabel1")->isVisible(), detailsShown);
    QCOMPARE(child<CustomImageLabel>("m_infoLabel2")->isVisible(), detailsShown);
    QCOMPARE(child<CustomImageLabel>("m_messageLabel")->isVisible(), !detailsShown);
    QCOMPARE(child<CustomImageLabel>("m_infoLabel1")->text(), QStringLiteral("version 2.0"));
    QCOMPARE(child<CustomImageLabel>("m_infoLabel2")->text(), QStringLiteral("123 MB"));
    QCOMPARE(child<CustomImageLabel>("m_messageLabel")->text(), QStringLiteral("ISPBOOOT.BIN found"));
    QCOMPARE(child("m_updateButton")->isEnabled(), valid);
    QCOMPARE(countdownTimer()->isActive(), valid);
}

void tst_CustomUpdateWidget::pickingAMediumTellsTheHost_data()
{
    QTest::addColumn<int>("radio");
    for (int radio = 0; radio < 4; ++radio)
        QTest::newRow(radios[radio]) << radio;
}

void tst_CustomUpdateWidget::pickingAMediumTellsTheHost()
{
    QFETCH(int, radio);

    create(UpdateInterface::PartUpgrade);
    m_screen->setEnableDeviceList({"a", "b"}, {"x", "y"});
    for (CustomImageRadioButton *each : m_screen->findChildren<CustomImageRadioButton *>())
        each->setChecked(true);
    QSignalSpy toUsb(m_screen, &CustomUpdateWidget::changeToUsbDevice);
    QSignalSpy toSd(m_screen, &CustomUpdateWidget::changeToSdDevice);

    CustomImageRadioButton *picked = child<CustomImageRadioButton>(radios[radio]);
    QTest::mouseClick(picked, Qt::LeftButton);

    // USB0, USB1, SD0, SD1: the medium's kind picks the signal, its number the argument.
    QSignalSpy &expected = radio < 2 ? toUsb : toSd;
    QCOMPARE(expected.count(), 1);
    QCOMPARE(expected.first().first().toInt(), radio % 2);
    QCOMPARE((radio < 2 ? toSd : toUsb).count(), 0);
    for (CustomImageRadioButton *each : m_screen->findChildren<CustomImageRadioButton *>())
        QCOMPARE(each->isChecked(), each == picked);
    QCOMPARE(QApplication::focusWidget(), m_screen);
}

void tst_CustomUpdateWidget::countdown_data()
{
    QTest::addColumn<bool>("quick");
    QTest::addColumn<bool>("laterUnusable");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("updates");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("requests");

    QTest::newRow("the tenth tick confirms")
        << false << false << 10 << 1 << "Update(1)" << QStringList {"toast"};
    // A later report of an unusable package disables "Update" but leaves the count running.
    QTest::newRow("ends quietly when Update is disabled")
        << false << true << 10 << 0 << "Update(1)" << QStringList();
    QTest::newRow("quick upgrade stops at the first tick")
        << true << false << 1 << 0 << "Update" << QStringList();
}

void tst_CustomUpdateWidget::countdown()
{
    QFETCH(bool, quick);
    QFETCH(bool, laterUnusable);
    QFETCH(int, ticks);
    QFETCH(int, updates);
    QFETCH(QString, caption);
    QFETCH(QStringList, requests);

    DataSaveControl::writeFactoryData("SupportQuickUpgrade", quick);
    create(UpdateInterface::CompleteUpgrade);
    QSignalSpy updateSystem(m_screen, &CustomUpdateWidget::updateSystem);
    m_screen->setDeviceInfomation(UpdateInterface::Usb0Device, true, QString(), QString(), "ok");
    if (laterUnusable)
        m_screen->setDeviceInfomation(UpdateInterface::Usb0Device, false, QString(), QString(), "missing");

    for (int left = 9; left > 10 - ticks; --left) {
        tickCountdown(m_screen, 1);
        QCOMPARE(child("m_updateButton")->text(), QStringLiteral("Update(%1)").arg(left));
        QVERIFY(countdownTimer()->isActive());
        QCOMPARE(updateSystem.count(), 0);
    }
    tickCountdown(m_screen, 1);
    QCOMPARE(updateSystem.count(), updates);
    QCOMPARE(child("m_updateButton")->text(), caption);
    QVERIFY(!countdownTimer()->isActive());
    QCOMPARE(HostJournal::instance()->requests(), requests);
    if (updates)
        QCOMPARE(TipDialog::current()->text(), QStringLiteral("Updating"));
}

void tst_CustomUpdateWidget::updateWithoutPackageSaysSo()
{
    create(UpdateInterface::PartUpgrade);
    m_screen->setEnableDeviceList({"a"}, {});
    QSignalSpy updateSystem(m_screen, &CustomUpdateWidget::updateSystem);
    QTest::mouseClick(child("m_updateButton"), Qt::LeftButton);
    QCOMPARE(updateSystem.count(), 0);
    QCOMPARE(TipDialog::current()->text(), QStringLiteral("Package missing"));
}

void tst_CustomUpdateWidget::keysMoveTheFocus_data()
{
    QTest::addColumn<bool>("updateEnabled");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("focused");

    // Media present: USB0 and SD0 only.
    QTest::newRow("forward from nothing lands on the first radio")
        << true << QList<int> {0x01100040} << "m_usb0Radio";
    QTest::newRow("backward from nothing lands on Cancel")
        << true << QList<int> {0x0110003F} << "m_cancelButton";
    QTest::newRow("hidden USB1 is skipped") << true << QList<int> {0x0110003E, 0x0110004E} << "m_sd0Radio";
    QTest::newRow("wraps forward from Cancel")
        << true << QList<int> {0x0140000C, 0x0140000B} << "m_usb0Radio";
    QTest::newRow("wraps backward from the first radio")
        << true << QList<int> {0x0140000D, 0x0110004D} << "m_cancelButton";
    QTest::newRow("disabled Update skipped forward")
        << false << QList<int> {0x0110003D, 0x0110003D, 0x0140000B} << "m_cancelButton";
    QTest::newRow("disabled Update skipped backward")
        << false << QList<int> {0x0110003D, 0x0140000A} << "m_sd0Radio";
    QTest::newRow("Update reachable when enabled")
        << true << QList<int> {0x0110003D, 0x0140000A} << "m_updateButton";
}

void tst_CustomUpdateWidget::keysMoveTheFocus()
{
    QFETCH(bool, updateEnabled);
    QFETCH(QList<int>, keys);
    QFETCH(QString, focused);

    create(UpdateInterface::PartUpgrade);
    m_screen->setEnableDeviceList({"a"}, {"x"});
    child("m_updateButton")->setEnabled(updateEnabled);
    m_screen->setFocus();
    for (int key : keys)
        press(key);
    QCOMPARE(QApplication::focusWidget()->objectName(), focused);
    QVERIFY(m_parent->keys.isEmpty());
}

void tst_CustomUpdateWidget::cancelKeysLeave_data()
{
    QTest::addColumn<int>("key");
    for (int key : {0x0110002A, 0x01200026, 0x0140000F, 0x0140004B})
        QTest::addRow("key %s", qPrintable(keyName(key))) << key;
}

void tst_CustomUpdateWidget::cancelKeysLeave()
{
    QFETCH(int, key);

    create(UpdateInterface::PartUpgrade);
    m_screen->setDeviceInfomation(UpdateInterface::Usb0Device, true, QString(), QString(), QString());
    QSignalSpy cancel(m_screen, &CustomUpdateWidget::cancelUpdate);
    LogCapture log;
    press(key);
    QCOMPARE(cancel.count(), 1);
    QVERIFY(!countdownTimer()->isActive());
    QVERIFY(m_parent->keys.isEmpty());

    const LogCapture::Record record = log.records().first();
    QCOMPARE(record.line, 457);
    QCOMPARE(record.function, QStringLiteral("virtual void CustomUpdateWidget::keyPressEvent(QKeyEvent*)"));
    QVERIFY2(
        record.message.startsWith(
            "[QT] [UpdateStyle0] func: keyPressEvent line: 457 CustomUpdateWidget keyPressEvent QKeyEvent("),
        qPrintable(record.message));
}

void tst_CustomUpdateWidget::otherKeysReachTheParent()
{
    create(UpdateInterface::PartUpgrade);
    m_screen->setFocus();
    press(0x01100041);
    press(Qt::Key_Escape);
    QCOMPARE(m_parent->keys, (QList<int> {0x01100041, Qt::Key_Escape}));

    QKeyEvent release(QEvent::KeyRelease, 0x0110003F, Qt::NoModifier);
    QApplication::sendEvent(m_screen, &release);
    QVERIFY(!release.isAccepted());
}

QTEST_MAIN(tst_CustomUpdateWidget)
#include "tst_customupdatewidget.moc"
