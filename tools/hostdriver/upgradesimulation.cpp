#include "upgradesimulation.h"

UpgradeSimulation::UpgradeSimulation(QObject *parent)
    : QObject(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &UpgradeSimulation::onTick);
}

void UpgradeSimulation::setTick(int milliseconds)
{
    m_tick = milliseconds;
}

void UpgradeSimulation::startMcu(const QString &newFirmware, const QString &currentFirmware)
{
    stop();
    m_mcu = true;
    m_percent = 0;
    emit message(2, newFirmware);
    emit message(1, currentFirmware);
    emit message(0, QStringLiteral("Writing the MCU firmware"));
    emit progressChanged(m_percent);
    m_timer.start(m_tick);
}

void UpgradeSimulation::startSystem(bool partial, const QString &package)
{
    stop();
    m_mcu = false;
    m_informations = QStringList {QStringLiteral("Checking %1").arg(package)};
    if (partial)
        m_informations << QStringLiteral("Installing the partial package")
                       << QStringLiteral("Partial upgrade complete");
    else
        m_informations << QStringLiteral("Writing the system image")
                       << QStringLiteral("System upgrade complete, restarting");
    emit information(m_informations.takeFirst());
    m_timer.start(m_tick * ticksPerInformation);
}

void UpgradeSimulation::stop()
{
    m_timer.stop();
    m_informations.clear();
}

void UpgradeSimulation::onTick()
{
    if (!m_mcu) {
        emit information(m_informations.takeFirst());
        if (m_informations.isEmpty())
            m_timer.stop();
        return;
    }
    m_percent += percentStep;
    emit progressChanged(m_percent);
    if (m_percent < 100)
        return;
    m_timer.stop();
    emit message(0, QStringLiteral("MCU upgrade complete"));
    emit finished(0);
}
