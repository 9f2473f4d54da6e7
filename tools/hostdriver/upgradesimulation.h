#ifndef UPGRADESIMULATION_H
#define UPGRADESIMULATION_H

#include <QObject>
#include <QStringList>
#include <QTimer>

// What the host reports while it performs an upgrade, paced by a timer so
// that the screens can be watched. Nothing is flashed.
//
// MCU: the new and the current firmware (message types 2 and 1), the status
// line (type 0), the percent from 0 to 100 in steps of 5, one step a tick,
// then the end. System or partial: one information text every five ticks.
class UpgradeSimulation : public QObject
{
    Q_OBJECT

public:
    explicit UpgradeSimulation(QObject *parent = nullptr);

    void setTick(int milliseconds);

    void startMcu(const QString &newFirmware, const QString &currentFirmware);
    void startSystem(bool partial, const QString &package);
    void stop();

signals:
    void progressChanged(int percent);
    void message(int type, const QString &text);
    void finished(int code);
    void information(const QString &text);

private slots:
    void onTick();

private:
    static const int percentStep = 5;
    static const int ticksPerInformation = 5;

    QTimer m_timer;
    int m_tick = 100;
    bool m_mcu = false;
    int m_percent = 0;
    QStringList m_informations;
};

#endif // UPGRADESIMULATION_H
