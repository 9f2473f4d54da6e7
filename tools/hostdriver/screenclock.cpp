#include "screenclock.h"

#include <QCoreApplication>
#include <QTimer>
#include <QTimerEvent>
#include <QWidget>

int ScreenClock::fire(QWidget *screen, const char *timerName, int times)
{
    QTimer *timer = screen->findChild<QTimer *>(QLatin1String(timerName));
    int ran = 0;
    for (; timer && timer->isActive() && ran < times; ++ran) {
        QTimerEvent event(timer->timerId());
        QCoreApplication::sendEvent(timer, &event);
    }
    return ran;
}

int ScreenClock::tick(QWidget *screen, int seconds)
{
    return fire(screen, "m_countdownTimer", seconds);
}
