#include "screentest.h"

#include <QCoreApplication>
#include <QLatin1Char>
#include <QTimer>
#include <QTimerEvent>
#include <QtTest>

QString keyName(int key)
{
    return QStringLiteral("0x%1").arg(key, 8, 16, QLatin1Char('0'));
}

void fireTimer(QObject *screen, const char *name, int times)
{
    QTimer *timer = screen->findChild<QTimer *>(QLatin1String(name));
    QVERIFY2(timer, name);
    for (int time = 0; time < times && timer->isActive(); ++time) {
        QTimerEvent event(timer->timerId());
        QCoreApplication::sendEvent(timer, &event);
    }
}

void tickCountdown(QObject *screen, int ticks)
{
    fireTimer(screen, "m_countdownTimer", ticks);
}
