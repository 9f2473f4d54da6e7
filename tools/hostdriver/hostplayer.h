#ifndef HOSTPLAYER_H
#define HOSTPLAYER_H

#include "screenprobe.h"
#include "updateinterface.h"
#include "upgradesimulation.h"

#include <QJsonArray>
#include <QObject>
#include <QPointer>
#include <QStringList>

class ContractCall;
class HostWindow;
class PluginFile;
class SimJournal;

// Plays the head unit's host: opens the upgrade interface (the plugin's
// view, placed on the application layer at the screen's size), calls its
// operations, and answers its signals.
//
//   checkDevice()          the media present (setEnableDeviceList) and the verdict on the
//                          chosen medium (setDeviceInfomation): the first medium with a
//                          usable package, else the first present. The package is the
//                          screen's: "mcu.bin" on the MCU screen, "ORBITA_PACK.BIN" on the
//                          confirmation of a partial upgrade, "ISPBOOOT.BIN" otherwise.
//   changeToUsbDevice(id)  the verdict on that medium; changeToSdDevice(id) likewise
//   updateSystem()         a simulated upgrade of what the screen on display shows
//   cancelUpdate()         closes the interface
//
// Every call and every signal goes into the journal.
class HostPlayer : public QObject
{
    Q_OBJECT

public:
    HostPlayer(PluginFile *plugin, HostWindow *window, SimJournal *journal, QObject *parent = nullptr);
    ~HostPlayer() override;

    void setUpgradeTick(int milliseconds);
    // Without automatic upgrades a scenario reports progress itself.
    void setAutomaticUpgrade(bool automatic);
    // A host that only listens answers no signal: its scenario does (tests).
    void setAnswering(bool answering);

    bool openInterface(QString *error);
    void closeInterface();
    // Brings the interface to the front of its layer and gives it the focus.
    bool raiseInterface(QString *error);
    UpdateInterface *view() const { return m_view; }

    // A medium was inserted: the interface opens (if it is closed), shows the
    // upgrade-file dialog and is told the upgrade files found on the media.
    bool insertMedium(QString *error);

    // Calls an operation on the open interface.
    bool call(const ContractCall &call, QString *error);

    // The upgrade files present on the mounted media, each name once.
    static QStringList upgradeFilesFound();

public slots:
    // A key the plugin left to the host: Back goes back (onReturn()), OK
    // inserts the medium again once the interface is closed.
    void onUnhandledKey(int hostKey);

private slots:
    void onCheckDevice();
    void onChangeToUsbDevice(int id);
    void onChangeToSdDevice(int id);
    void onUpdateSystem();
    void onCancelUpdate();

    void onUpgradeProgress(int percent);
    void onUpgradeMessage(int type, const QString &text);
    void onUpgradeFinished(int code);
    void onUpgradeInformation(const QString &text);

private:
    void recordSignal(const QString &name, const QJsonArray &arguments = QJsonArray());
    void recordAction(const QString &action, const QString &detail = QString());
    void callFromHost(const ContractCall &call);
    // The user chose the medium id of the kind whose first is firstDevice.
    void changeDevice(const QString &signal, int firstDevice, int id);
    QString packageOnScreen() const;
    int firstUsableDevice(const QString &package) const;
    void answerDevice(int device);
    static QString mountDirectory(int device);

    PluginFile *m_plugin;
    HostWindow *m_window;
    SimJournal *m_journal;
    ScreenProbe m_probe;
    UpgradeSimulation m_upgrade;
    QPointer<UpdateInterface> m_view;
    bool m_automaticUpgrade = true;
    bool m_answering = true;
    int m_device;
    QString m_newFirmware;
};

#endif // HOSTPLAYER_H
