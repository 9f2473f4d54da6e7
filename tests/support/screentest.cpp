#include "screentest.h"

#include <QLatin1Char>
#include <QMetaObject>
#include <QObject>

QString keyName(int key)
{
    return QStringLiteral("0x%1").arg(key, 8, 16, QLatin1Char('0'));
}

void tickCountdown(QObject *screen, int ticks)
{
    for (int tick = 0; tick < ticks; ++tick)
        QMetaObject::invokeMethod(screen, "onCountdown");
}
