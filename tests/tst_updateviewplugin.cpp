// A host's view of the plugin: this program knows only the contract header
// and loads the built plugin file the way the head unit's host does.
#include "hostjournal.h"
#include "sandbox.h"
#include "tipdialog.h"
#include "uimanager.h"
#include "updateinterface.h"

#include <QJsonObject>
#include <QPluginLoader>
#include <QPointer>
#include <QtTest>

// Plays the host's side: answers the screens' questions like a head unit
// with one usable medium.
class Host : public QObject
{
    Q_OBJECT

public:
    explicit Host(UpdateInterface *view)
        : m_view(view)
    {
        connect(view, SIGNAL(checkDevice()), this, SLOT(answerCheck()));
    }

    QStringList signalsSeen;

public slots:
    void answerCheck()
    {
        signalsSeen << QStringLiteral("checkDevice");
        m_view->setEnableDeviceList({"/media/usb0"}, {});
        m_view->setDeviceInfomation(UpdateInterface::Usb0Device, true, "Version 2.0", "512 MB",
                                    "Package found");
    }

private:
    UpdateInterface *m_view;
};

class tst_UpdateViewPlugin : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void metadataNamesTheContract();
    void instanceIsCastAndRenewed();
    void signalsConnectBySignature();
    void systemUpgradeRoad();
    void mcuUpgradeRoad();
    void cancelFromConfirmationReturnsToTheDialog();
    void cancelInTheDialogReachesTheHost();

private:
    UpdateInterface *loadView();
    QWidget *find(const char *name) const;
    void pressKey(int key) const;

    Sandbox *m_sandbox = nullptr;
    QWidget *m_layer = nullptr;
    QPluginLoader *m_loader = nullptr;
    QPointer<UpdateInterface> m_view;
};

void tst_UpdateViewPlugin::init()
{
    m_sandbox = new Sandbox;
    HostJournal::instance()->clear();
    m_layer = new QWidget;
    m_layer->resize(800, 480);
    qvappframework::UIManager::setUIHerarchy(qvappframework::UIHerarchyApplication, m_layer);
    m_layer->show();
    m_loader = new QPluginLoader(QStringLiteral(UPDATETHEME_PLUGIN_FILE));
}

void tst_UpdateViewPlugin::cleanup()
{
    delete m_view;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete m_loader;
    delete m_layer;
    delete m_sandbox;
}

UpdateInterface *tst_UpdateViewPlugin::loadView()
{
    m_view = qobject_cast<UpdateInterface *>(m_loader->instance());
    if (m_view) {
        // The host places the view on its UI layer, at its final size, before showing it.
        m_view->setParent(m_layer);
        m_view->setGeometry(0, 0, 800, 480);
        m_view->show();
        QApplication::setActiveWindow(m_layer);
    }
    return m_view;
}

QWidget *tst_UpdateViewPlugin::find(const char *name) const
{
    QWidget *found = m_view->findChild<QWidget *>(QLatin1String(name));
    return found ? found : m_layer->findChild<QWidget *>(QLatin1String(name));
}

void tst_UpdateViewPlugin::pressKey(int key) const
{
    QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key(key), QString(), Qt::NoModifier);
}

void tst_UpdateViewPlugin::metadataNamesTheContract()
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
}

void tst_UpdateViewPlugin::instanceIsCastAndRenewed()
{
    QObject *instance = m_loader->instance();
    QVERIFY2(instance, qPrintable(m_loader->errorString()));
    QCOMPARE(m_loader->instance(), instance);

    UpdateInterface *byIid = qobject_cast<UpdateInterface *>(instance);
    QVERIFY(byIid);
    QCOMPARE(instance->qt_metacast("updatetheme/0.1"), static_cast<void *>(byIid));
    QCOMPARE(instance->qt_metacast("UpdateInterface"), static_cast<void *>(byIid));
    QCOMPARE(instance->qt_metacast("UpdateView"), static_cast<void *>(instance));
    QCOMPARE(instance->qt_metacast("QWidget"), static_cast<void *>(static_cast<QWidget *>(byIid)));
    QCOMPARE(instance->qt_metacast("updatetheme/0.2"), static_cast<void *>(nullptr));
    QVERIFY(!instance->parent());

    delete instance;
    QObject *fresh = m_loader->instance();
    QVERIFY(fresh);
    QVERIFY(qobject_cast<UpdateInterface *>(fresh));
    m_view = qobject_cast<UpdateInterface *>(fresh);
}

void tst_UpdateViewPlugin::signalsConnectBySignature()
{
    QVERIFY(loadView());
    QObject receiver;
    for (const char *signal : {SIGNAL(checkDevice()), SIGNAL(changeToUsbDevice(int)),
                               SIGNAL(changeToSdDevice(int)), SIGNAL(updateSystem()), SIGNAL(cancelUpdate())})
        QVERIFY(QObject::connect(m_view, signal, &receiver, SLOT(deleteLater())));

    QSignalSpy cancel(m_view.data(), SIGNAL(cancelUpdate()));
    QCOMPARE(m_view->onReturn(), false);
    QCOMPARE(cancel.count(), 1);
}

void tst_UpdateViewPlugin::systemUpgradeRoad()
{
    QVERIFY(loadView());
    Host host(m_view);
    QSignalSpy update(m_view.data(), SIGNAL(updateSystem()));

    m_view->showUpdateTip();
    m_view->setUpgradeFileList({"ISPBOOOT.BIN"});
    QVERIFY(find("m_systemButton")->isVisible());
    QVERIFY(!find("m_partButton")->isVisible());

    // The dialog chooses "Upgrade system" by itself after ten seconds, the
    // confirmation screen asks for the media half a second later.
    QTRY_COMPARE_WITH_TIMEOUT(host.signalsSeen, QStringList {"checkDevice"}, 12000);
    QCOMPARE(update.count(), 0);
    QWidget *confirmation = find("m_updateButton")->parentWidget();
    QCOMPARE(confirmation->parentWidget(), m_view.data());
    QVERIFY(confirmation->isVisible());

    QTRY_COMPARE_WITH_TIMEOUT(update.count(), 1, 12000);
    QCOMPARE(TipDialog::current()->text(), QStringLiteral("Updating"));
    QCOMPARE(find("m_updateButton")->property("text").toString(), QStringLiteral("Update(1)"));
}

void tst_UpdateViewPlugin::mcuUpgradeRoad()
{
    QVERIFY(loadView());
    Host host(m_view);
    QSignalSpy update(m_view.data(), SIGNAL(updateSystem()));
    QSignalSpy cancel(m_view.data(), SIGNAL(cancelUpdate()));

    m_view->showUpdateTip();
    m_view->setUpgradeFileList({"mcu.bin"});
    QTest::mouseClick(find("m_mcuButton"), Qt::LeftButton);
    QWidget *mcuScreen = find("m_updateButton")->parentWidget();
    QCOMPARE(mcuScreen->parentWidget(), m_layer);
    QTRY_COMPARE(host.signalsSeen, QStringList {"checkDevice"});

    pressKey(0x0140000A);
    pressKey(0x01100041);
    QCOMPARE(update.count(), 1);
    for (int percent = 0; percent <= 100; percent += 25)
        m_view->onUpdateProgressChanged(percent);
    m_view->onUpdateMessage(2, "MCU 3.0");
    m_view->onUpdateFinished(0);
    QCOMPARE(cancel.count(), 0);
    pressKey(0x0110003F);
    QCOMPARE(cancel.count(), 1);
}

void tst_UpdateViewPlugin::cancelFromConfirmationReturnsToTheDialog()
{
    QVERIFY(loadView());
    QSignalSpy cancel(m_view.data(), SIGNAL(cancelUpdate()));
    m_view->showUpdateTip();
    m_view->setUpgradeFileList({"ORBITA_PACK.BIN"});
    QTest::mouseClick(find("m_partButton"), Qt::LeftButton);
    QWidget *dialog = find("m_partButton")->parentWidget();
    QVERIFY(!dialog->isVisible());

    QWidget *confirmation = find("m_usb0Radio")->parentWidget();
    QTest::mouseClick(confirmation->findChild<QWidget *>("m_cancelButton"), Qt::LeftButton);
    QVERIFY(dialog->isVisible());
    QCOMPARE(cancel.count(), 0);
}

void tst_UpdateViewPlugin::cancelInTheDialogReachesTheHost()
{
    QVERIFY(loadView());
    QSignalSpy cancel(m_view.data(), SIGNAL(cancelUpdate()));
    m_view->showUpdateTip();
    m_view->setUpgradeFileList({});
    QTest::mouseClick(find("m_cancelButton"), Qt::LeftButton);
    QCOMPARE(cancel.count(), 1);
}

QTEST_MAIN(tst_UpdateViewPlugin)
#include "tst_updateviewplugin.moc"
