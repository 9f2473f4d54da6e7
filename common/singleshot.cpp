#include "singleshot.h"

#include <QTimer>

QTimer *SingleShot::start(QObject *owner, const char *name, int msec)
{
    QTimer *timer = new QTimer(owner);
    timer->setObjectName(QLatin1String(name));
    timer->setSingleShot(true);
    timer->setTimerType(msec < 2000 ? Qt::PreciseTimer : Qt::CoarseTimer);
    timer->start(msec);
    return timer;
}
