// A minimal host of the updatetheme plugin: it loads the plugin file, takes
// the contract by its identifier, connects the five signals by signature and
// walks the "Upgrade file detected" dialog with the head unit's keys to a
// system upgrade, printing each call and signal. Exit status 0 when the
// plugin asked for the upgrade.
//
//   minimal-host [PLUGIN_FILE]    default: the installed plugin below $UPDATETHEME_DEVICE_ROOT

#include <updateinterface.h>

#include <QApplication>
#include <QJsonObject>
#include <QKeyEvent>
#include <QPluginLoader>
#include <QTimer>

#include <cstdio>

namespace {

// Codes of the head unit's key map.
const int NextKey = 0x01100040;
const int PreviousKey = 0x0110003F;

void print(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

} // namespace

class Host : public QObject
{
    Q_OBJECT

public:
    explicit Host(UpdateInterface *view)
        : m_view(view)
    { }

    // The keys reach the focused widget of the view, as the head unit delivers them.
    void press(int key)
    {
        QWidget *target = m_view->focusWidget() ? m_view->focusWidget() : m_view;
        print(QString("host: key 0x%1 to %2")
                  .arg(key, 8, 16, QChar('0'))
                  .arg(target->metaObject()->className()));
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    }

public slots:
    void onCheckDevice()
    {
        print("plugin: checkDevice()");
        answer(UpdateInterface::Usb0Device);
        // On the confirmation, Back twice focuses "Update"; Select presses it.
        press(PreviousKey);
        press(PreviousKey);
        press(Qt::Key_Select);
    }
    void onChangeToUsbDevice(int id)
    {
        print(QString("plugin: changeToUsbDevice(%1)").arg(id));
        answer(id == 0 ? UpdateInterface::Usb0Device : UpdateInterface::Usb1Device);
    }
    void onChangeToSdDevice(int id)
    {
        print(QString("plugin: changeToSdDevice(%1)").arg(id));
        answer(id == 0 ? UpdateInterface::Sd0Device : UpdateInterface::Sd1Device);
    }
    void onUpdateSystem()
    {
        print("plugin: updateSystem(): the host starts the system upgrade");
        QApplication::exit(0);
    }
    void onCancelUpdate()
    {
        print("plugin: cancelUpdate(): the host closes the upgrade interface");
        QApplication::exit(1);
    }
    void onTimeout()
    {
        print("host: no decision within 30 s");
        QApplication::exit(3);
    }

private:
    // The host's verdict on a medium: one USB stick holding a usable package.
    void answer(UpdateInterface::DeviceType device)
    {
        const bool valid = device == UpdateInterface::Usb0Device;
        print(QString("host: setDeviceInfomation(%1, %2)").arg(device).arg(valid ? "valid" : "invalid"));
        m_view->setEnableDeviceList(QStringList() << "/media/usb0", QStringList());
        m_view->setDeviceInfomation(device, valid, "ISPBOOOT.BIN (512 MiB)", "USB0",
                                    valid ? "Upgrade package found" : "No upgrade package");
    }

    UpdateInterface *m_view;
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const QString file = arguments.size() > 1
        ? arguments.at(1)
        : QString::fromLocal8Bit(qgetenv("UPDATETHEME_DEVICE_ROOT")) + UPDATETHEME_PLUGIN_FILE;

    QPluginLoader loader(file);
    print(
        QString("host: loading %1 (interface \"%2\")").arg(file, loader.metaData().value("IID").toString()));
    UpdateInterface *view = qobject_cast<UpdateInterface *>(loader.instance());
    if (!view) {
        print(QString("host: no \"%1\" plugin: %2").arg(UpdateInterface_iid, loader.errorString()));
        return 2;
    }

    Host host(view);
    QObject::connect(view, SIGNAL(checkDevice()), &host, SLOT(onCheckDevice()));
    QObject::connect(view, SIGNAL(changeToUsbDevice(int)), &host, SLOT(onChangeToUsbDevice(int)));
    QObject::connect(view, SIGNAL(changeToSdDevice(int)), &host, SLOT(onChangeToSdDevice(int)));
    QObject::connect(view, SIGNAL(updateSystem()), &host, SLOT(onUpdateSystem()));
    QObject::connect(view, SIGNAL(cancelUpdate()), &host, SLOT(onCancelUpdate()));

    // The geometry is final before the first screen: screens take the view's rectangle.
    view->setGeometry(0, 0, 800, 480);
    view->show();
    print("host: showUpdateTip(), setUpgradeFileList(ISPBOOOT.BIN)");
    view->showUpdateTip();
    view->setUpgradeFileList(QStringList() << "ISPBOOOT.BIN");
    // On the dialog, Next focuses the first choice, "Upgrade system"; Select presses it.
    host.press(NextKey);
    host.press(Qt::Key_Select);

    QTimer::singleShot(30000, &host, SLOT(onTimeout()));
    const int status = app.exec();
    delete view;
    return status;
}

#include "main.moc"
