#ifndef MCUMODULE_H
#define MCUMODULE_H

#include <QObject>

// The host's link to the vehicle MCU. The stand-in journals and signals each
// request; it never upgrades or reboots the machine it runs on.
class McuModule : public QObject
{
    Q_OBJECT

public:
    explicit McuModule(QObject *parent = nullptr);

    void updateSystem();
    void rebootSystem();

signals:
    void updateSystemRequested();
    void rebootSystemRequested();
};

#endif // MCUMODULE_H
