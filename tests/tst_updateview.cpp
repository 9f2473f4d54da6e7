#include "customimagelabel.h"
#include "custommcuupdatewidget.h"
#include "customupdatewidget.h"
#include "hostjournal.h"
#include "sandbox.h"
#include "uimanager.h"
#include "updateview.h"
#include "upgradedialog.h"

#include <QPointer>
#include <QtTest>

// The view's routing: which screen exists, which call reaches which screen,
// and which signal reaches the host.
class tst_UpdateView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void ownMethodsFollowTheContract();
    void callsWithoutScreensDoNothing();
    void returnWithoutDialogCancels_data();
    void returnWithoutDialogCancels();
    void returnGoesBackToTheDialog_data();
    void returnGoesBackToTheDialog();
    void confirmationScreenIsReused();
    void mcuScreenIsReusedAndRaised();
    void storedMediaReachANewConfirmationScreen();
    void deviceReportReachesBothScreens();
    void showTipEndsTheOtherScreens();
    void endedScreensStaySilent_data();
    void endedScreensStaySilent();
    void dialogChoicesOpenTheirScreens_data();
    void dialogChoicesOpenTheirScreens();
    void screenSignalsReachTheHost();
    void focusPrefersDialogThenConfirmationThenMcu();
    void deletingTheViewLeavesNoScreenBehind();

private:
    template<typename T> QList<T *> liveScreens() const;
    void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    Sandbox *m_sandbox = nullptr;
    QWidget *m_layer = nullptr;
    UpdateView *m_view = nullptr;
};

template<typename T> QList<T *> tst_UpdateView::liveScreens() const
{
    return m_layer->findChildren<T *>();
}

void tst_UpdateView::init()
{
    m_sandbox = new Sandbox;
    HostJournal::instance()->clear();
    m_layer = new QWidget;
    m_layer->resize(800, 480);
    qvappframework::UIManager::setUIHerarchy(qvappframework::UIHerarchyApplication, m_layer);
    qvappframework::UIManager::setDeskTopRect(QRect(0, 0, 800, 480));
    // Like the head unit's host, the view sits on the host's UI layer.
    m_view = new UpdateView;
    m_view->setParent(m_layer);
    m_view->resize(640, 400);
    m_layer->show();
    QApplication::setActiveWindow(m_layer);
    QVERIFY(QTest::qWaitForWindowActive(m_layer));
}

void tst_UpdateView::cleanup()
{
    delete m_view;
    flushDeletes();
    delete m_layer;
    delete m_sandbox;
}

void tst_UpdateView::ownMethodsFollowTheContract()
{
    const QMetaObject *meta = m_view->metaObject();
    QCOMPARE(meta->className(), "UpdateView");
    QCOMPARE(meta->methodOffset(), UpdateInterface::staticMetaObject.methodCount());
    QCOMPARE(meta->methodCount() - meta->methodOffset(), 3);
    QCOMPARE(meta->method(meta->methodOffset()).methodSignature(), QByteArray("onPartUpgrade()"));
    QCOMPARE(meta->method(meta->methodOffset() + 1).methodSignature(), QByteArray("onCompleteUpgrade()"));
    QCOMPARE(meta->method(meta->methodOffset() + 2).methodSignature(), QByteArray("onMcuUpgrade()"));
    QVERIFY(m_view->m_firstFlag);
    QVERIFY(m_view->m_secondFlag);
    m_view->setDevicePath("/media/usb0");
    QCOMPARE(m_view->m_devicePath, QStringLiteral("/media/usb0"));
}

void tst_UpdateView::callsWithoutScreensDoNothing()
{
    QSignalSpy cancel(m_view, SIGNAL(cancelUpdate()));
    QSignalSpy update(m_view, SIGNAL(updateSystem()));
    m_view->setUpgradeFileList({"ISPBOOOT.BIN"});
    m_view->setDeviceInfomation(UpdateInterface::Usb0Device, true, "a", "b", "c");
    m_view->setUpateInformation("text");
    QMetaObject::invokeMethod(m_view, "onUpdateProgressChanged", Q_ARG(int, 50));
    QMetaObject::invokeMethod(m_view, "onUpdateMessage", Q_ARG(int, 0), Q_ARG(QString, "x"));
    QMetaObject::invokeMethod(m_view, "onUpdateFinished", Q_ARG(int, 0));
    QCOMPARE(cancel.count() + update.count(), 0);
    QVERIFY(m_view->findChildren<QWidget *>().isEmpty());
    QVERIFY(HostJournal::instance()->entries().isEmpty());
}

void tst_UpdateView::returnWithoutDialogCancels_data()
{
    QTest::addColumn<int>("shown");
    QTest::newRow("fresh view") << -1;
    QTest::newRow("confirmation without dialog") << int(UpdateInterface::PartUpgrade);
    QTest::newRow("MCU screen without dialog") << int(UpdateInterface::McuUpgrade);
}

void tst_UpdateView::returnWithoutDialogCancels()
{
    QFETCH(int, shown);
    if (shown >= 0)
        m_view->showUpdate(UpdateInterface::Usb0Device, UpdateInterface::UpgradeType(shown));
    QSignalSpy cancel(m_view, SIGNAL(cancelUpdate()));
    QCOMPARE(m_view->onReturn(), false);
    QCOMPARE(cancel.count(), 1);
    flushDeletes();
    QCOMPARE(liveScreens<CustomUpdateWidget>().size(), shown == UpdateInterface::PartUpgrade ? 1 : 0);
    QCOMPARE(liveScreens<CustomMcuUpdateWidget>().size(), shown == UpdateInterface::McuUpgrade ? 1 : 0);
}

void tst_UpdateView::returnGoesBackToTheDialog_data()
{
    QTest::addColumn<int>("shown");
    QTest::newRow("from the confirmation screen") << int(UpdateInterface::CompleteUpgrade);
    QTest::newRow("from the MCU screen") << int(UpdateInterface::McuUpgrade);
}

void tst_UpdateView::returnGoesBackToTheDialog()
{
    QFETCH(int, shown);
    m_view->showUpdateTip();
    m_view->setUpgradeFileList({"ISPBOOOT.BIN", "mcu.bin"});
    m_view->showUpdate(UpdateInterface::UnknownDevice, UpdateInterface::UpgradeType(shown));
    UpgradeDialog *dialog = m_view->findChild<UpgradeDialog *>();
    QVERIFY(!dialog->isVisible());

    QSignalSpy cancel(m_view, SIGNAL(cancelUpdate()));
    QCOMPARE(m_view->onReturn(), true);
    QCOMPARE(cancel.count(), 0);
    QVERIFY(dialog->isVisible());
    QCOMPARE(QApplication::focusWidget(), dialog);
    // The dialog keeps what it offered.
    QVERIFY(dialog->findChild<CustomImageLabel *>("m_systemButton")->isVisible());
    QVERIFY(!dialog->findChild<CustomImageLabel *>("m_partButton")->isVisible());

    // Scheduled, not yet gone; a second return has nothing to end.
    QCOMPARE(m_view->onReturn(), false);
    QCOMPARE(cancel.count(), 1);
    flushDeletes();
    QVERIFY(liveScreens<CustomUpdateWidget>().isEmpty());
    QVERIFY(liveScreens<CustomMcuUpdateWidget>().isEmpty());
    QCOMPARE(m_view->findChildren<UpgradeDialog *>().size(), 1);
}

void tst_UpdateView::confirmationScreenIsReused()
{
    m_view->showUpdate(UpdateInterface::UnknownDevice, UpdateInterface::PartUpgrade);
    CustomUpdateWidget *screen = m_view->findChild<CustomUpdateWidget *>();
    QCOMPARE(screen->geometry(), QRect(0, 0, 640, 400));
    m_view->resize(800, 480);
    m_view->showUpdate(UpdateInterface::UnknownDevice, UpdateInterface::CompleteUpgrade);

    QCOMPARE(liveScreens<CustomUpdateWidget>(), QList<CustomUpdateWidget *> {screen});
    QCOMPARE(screen->geometry(), QRect(0, 0, 640, 400));
    QCOMPARE(screen->findChild<CustomImageLabel *>("m_titleLabel")->text(), QStringLiteral("Upgrade part"));
    QSignalSpy toUsb(m_view, SIGNAL(changeToUsbDevice(int)));
    emit screen->changeToUsbDevice(1);
    QCOMPARE(toUsb.count(), 1);
}

void tst_UpdateView::mcuScreenIsReusedAndRaised()
{
    m_view->showUpdate(UpdateInterface::UnknownDevice, UpdateInterface::McuUpgrade);
    CustomMcuUpdateWidget *screen = m_layer->findChild<CustomMcuUpdateWidget *>();
    QVERIFY(screen);
    QCOMPARE(screen->parentWidget(), m_layer);
    QCOMPARE(screen->m_view.data(), m_view);
    QWidget *cover = new QWidget(m_layer);
    cover->show();
    m_view->showUpdate(UpdateInterface::Sd1Device, UpdateInterface::McuUpgrade);
    QCOMPARE(liveScreens<CustomMcuUpdateWidget>().size(), 1);
    QCOMPARE(m_layer->children().last(), screen);
    QVERIFY(screen->isVisible());

    QSignalSpy update(m_view, SIGNAL(updateSystem()));
    emit screen->startUpdate();
    QCOMPARE(update.count(), 1);
}

void tst_UpdateView::storedMediaReachANewConfirmationScreen()
{
    m_view->setEnableDeviceList({"/media/usb0"}, {"/media/sd0", "/media/sd1"});
    m_view->showUpdate(UpdateInterface::UnknownDevice, UpdateInterface::PartUpgrade);
    CustomUpdateWidget *screen = m_view->findChild<CustomUpdateWidget *>();
    QVERIFY(screen->findChild<QWidget *>("m_usb0Radio")->isVisible());
    QVERIFY(!screen->findChild<QWidget *>("m_usb1Radio")->isVisible());
    QVERIFY(screen->findChild<QWidget *>("m_sd1Radio")->isVisible());

    m_view->setEnableDeviceList({}, {});
    QVERIFY(!screen->findChild<QWidget *>("m_usb0Radio")->isVisible());
    QVERIFY(!screen->findChild<QWidget *>("m_updateButton")->isEnabled());
}

void tst_UpdateView::deviceReportReachesBothScreens()
{
    m_view->showUpdate(UpdateInterface::UnknownDevice, UpdateInterface::PartUpgrade);
    m_view->showUpdate(UpdateInterface::UnknownDevice, UpdateInterface::McuUpgrade);
    CustomUpdateWidget *confirmation = m_view->findChild<CustomUpdateWidget *>();
    CustomMcuUpdateWidget *mcu = m_layer->findChild<CustomMcuUpdateWidget *>();

    m_view->setDeviceInfomation(UpdateInterface::Sd0Device, false, "one", "two", "mcu.bin is empty");
    QCOMPARE(confirmation->findChild<CustomImageLabel *>("m_infoLabel1")->text(), QStringLiteral("one"));
    QCOMPARE(confirmation->findChild<CustomImageLabel *>("m_messageLabel")->text(),
             QStringLiteral("mcu.bin is empty"));
    QVERIFY(mcu->canQuit());
    QVERIFY(!mcu->findChild<QWidget *>("m_updateButton")->isEnabled());

    m_view->onUpdateProgressChanged(45);
    QCOMPARE(mcu->percent(), 45);
}

void tst_UpdateView::showTipEndsTheOtherScreens()
{
    m_view->showUpdate(UpdateInterface::UnknownDevice, UpdateInterface::CompleteUpgrade);
    m_view->showUpdate(UpdateInterface::UnknownDevice, UpdateInterface::McuUpgrade);
    QPointer<CustomUpdateWidget> confirmation = m_view->findChild<CustomUpdateWidget *>();
    QPointer<CustomMcuUpdateWidget> mcu = m_layer->findChild<CustomMcuUpdateWidget *>();

    m_view->showUpdateTip();
    m_view->setUpateInformation("Upgrading");
    m_view->onUpdateProgressChanged(80);
    QCOMPARE(mcu->percent(), 0);
    QVERIFY(HostJournal::instance()->entries().isEmpty());
    flushDeletes();
    QVERIFY(!confirmation);
    QVERIFY(!mcu);
    QVERIFY(m_view->findChild<UpgradeDialog *>()->isVisible());
}

void tst_UpdateView::endedScreensStaySilent_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("byReturn");
    QTest::newRow("confirmation ended by showUpdateTip") << int(UpdateInterface::CompleteUpgrade) << false;
    QTest::newRow("confirmation ended by onReturn") << int(UpdateInterface::PartUpgrade) << true;
    QTest::newRow("MCU screen ended by showUpdateTip") << int(UpdateInterface::McuUpgrade) << false;
    QTest::newRow("MCU screen ended by onReturn") << int(UpdateInterface::McuUpgrade) << true;
}

// An ended screen waits for the event loop to delete it; until then its
// timers may run out and input may still be sent to it. None of that may
// reach the host or step the view back.
void tst_UpdateView::endedScreensStaySilent()
{
    QFETCH(int, type);
    QFETCH(bool, byReturn);
    m_view->showUpdateTip();
    m_view->showUpdate(UpdateInterface::UnknownDevice, UpdateInterface::UpgradeType(type));
    m_view->setEnableDeviceList({"/media/usb0"}, {});
    m_view->setDeviceInfomation(UpdateInterface::Usb0Device, true, "2.0", "512 MB", "found");
    QWidget *screen = type == UpdateInterface::McuUpgrade
        ? static_cast<QWidget *>(m_layer->findChild<CustomMcuUpdateWidget *>())
        : static_cast<QWidget *>(m_view->findChild<CustomUpdateWidget *>());
    QVERIFY(screen->findChild<QTimer *>("m_countdownTimer")->isActive());

    if (byReturn)
        QVERIFY(m_view->onReturn());
    else
        m_view->showUpdateTip();
    QSignalSpy check(m_view, SIGNAL(checkDevice()));
    QSignalSpy update(m_view, SIGNAL(updateSystem()));
    QSignalSpy cancel(m_view, SIGNAL(cancelUpdate()));
    HostJournal::instance()->clear();

    QMetaObject::invokeMethod(screen, "onCheckDeviceSlot");
    for (int tick = 0; tick < 10; ++tick)
        QMetaObject::invokeMethod(screen, "onCountdown");
    QTest::mouseClick(screen->findChild<QWidget *>("m_cancelButton"), Qt::LeftButton);
    QTest::mouseClick(screen->findChild<QWidget *>("m_updateButton"), Qt::LeftButton);
    QKeyEvent cancelKey(QEvent::KeyPress, 0x0140000F, Qt::NoModifier);
    QApplication::sendEvent(screen, &cancelKey);

    QCOMPARE(check.count() + update.count() + cancel.count(), 0);
    QCOMPARE(HostJournal::instance()->requests(), QStringList());
    QVERIFY(!screen->isVisible());
    QVERIFY(m_view->findChild<UpgradeDialog *>()->isVisible());
    flushDeletes();
    QVERIFY(liveScreens<CustomUpdateWidget>().isEmpty());
    QVERIFY(liveScreens<CustomMcuUpdateWidget>().isEmpty());
}

void tst_UpdateView::dialogChoicesOpenTheirScreens_data()
{
    QTest::addColumn<QByteArray>("choice");
    QTest::addColumn<QString>("title");
    QTest::newRow("upgrade part") << QByteArray("m_partButton") << "Upgrade part";
    QTest::newRow("upgrade system") << QByteArray("m_systemButton") << "Upgrade system";
    QTest::newRow("upgrade MCU") << QByteArray("m_mcuButton") << QString();
}

void tst_UpdateView::dialogChoicesOpenTheirScreens()
{
    QFETCH(QByteArray, choice);
    QFETCH(QString, title);

    m_view->showUpdateTip();
    m_view->setUpgradeFileList({"ORBITA_PACK.BIN", "ISPBOOOT.BIN", "mcu.bin"});
    UpgradeDialog *dialog = m_view->findChild<UpgradeDialog *>();
    QTest::mouseClick(dialog->findChild<CustomImageLabel *>(choice), Qt::LeftButton);

    QVERIFY(!dialog->isVisible());
    if (title.isEmpty()) {
        QVERIFY(m_layer->findChild<CustomMcuUpdateWidget *>()->isVisible());
        QVERIFY(!m_view->findChild<CustomUpdateWidget *>());
    } else {
        CustomUpdateWidget *screen = m_view->findChild<CustomUpdateWidget *>();
        QCOMPARE(screen->findChild<CustomImageLabel *>("m_titleLabel")->text(), title);
        QCOMPARE(QApplication::focusWidget(), screen);
    }
}

void tst_UpdateView::screenSignalsReachTheHost()
{
    m_view->showUpdateTip();
    m_view->showUpdate(UpdateInterface::UnknownDevice, UpdateInterface::PartUpgrade);
    UpgradeDialog *dialog = m_view->findChild<UpgradeDialog *>();
    CustomUpdateWidget *screen = m_view->findChild<CustomUpdateWidget *>();

    QSignalSpy check(m_view, SIGNAL(checkDevice()));
    QSignalSpy toSd(m_view, SIGNAL(changeToSdDevice(int)));
    QSignalSpy update(m_view, SIGNAL(updateSystem()));
    QSignalSpy cancel(m_view, SIGNAL(cancelUpdate()));
    emit screen->checkDevice();
    emit screen->changeToSdDevice(1);
    emit screen->updateSystem();
    emit screen->cancelUpdate();
    emit dialog->cancelSig();
    QCOMPARE(check.count(), 1);
    QCOMPARE(toSd.first().first().toInt(), 1);
    QCOMPARE(update.count(), 1);
    QCOMPARE(cancel.count(), 2);
}

void tst_UpdateView::focusPrefersDialogThenConfirmationThenMcu()
{
    m_view->showUpdateTip();
    m_view->showUpdate(UpdateInterface::UnknownDevice, UpdateInterface::McuUpgrade);
    m_view->showUpdate(UpdateInterface::UnknownDevice, UpdateInterface::PartUpgrade);
    UpgradeDialog *dialog = m_view->findChild<UpgradeDialog *>();
    CustomUpdateWidget *confirmation = m_view->findChild<CustomUpdateWidget *>();
    CustomMcuUpdateWidget *mcu = m_layer->findChild<CustomMcuUpdateWidget *>();
    QVERIFY(!dialog->isVisible());
    QVERIFY(mcu->isVisible());

    m_view->setFocus();
    QCOMPARE(QApplication::focusWidget(), confirmation);
    dialog->show();
    m_view->setFocus();
    QCOMPARE(QApplication::focusWidget(), dialog);
    dialog->hide();
    confirmation->hide();
    m_view->setFocus();
    QCOMPARE(QApplication::focusWidget(), mcu);
    mcu->hide();
    m_view->setFocus();
    QCOMPARE(QApplication::focusWidget(), m_view);
}

void tst_UpdateView::deletingTheViewLeavesNoScreenBehind()
{
    m_view->showUpdateTip();
    m_view->showUpdate(UpdateInterface::UnknownDevice, UpdateInterface::McuUpgrade);
    QPointer<CustomMcuUpdateWidget> mcu = m_layer->findChild<CustomMcuUpdateWidget *>();
    QSignalSpy cancel(m_view, SIGNAL(cancelUpdate()));
    delete m_view;
    m_view = nullptr;
    QCOMPARE(cancel.count(), 0);
    QVERIFY(mcu);
    // The MCU screen's Cancel must not reach the deleted view.
    QSignalSpy mcuCancel(mcu.data(), &CustomMcuUpdateWidget::cancelUpdate);
    QMetaObject::invokeMethod(mcu, "onBtClicked");
    QCOMPARE(mcuCancel.count(), 1);
    flushDeletes();
    QVERIFY(!mcu);
    m_view = new UpdateView(m_layer);
}

QTEST_MAIN(tst_UpdateView)
#include "tst_updateview.moc"
