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

void verifyMediaCheck(QObject *screen, int msec)
{
    const QTimer *check = screen->findChild<QTimer *>(QStringLiteral("m_checkDeviceTimer"));
    QVERIFY(check && check->isActive() && check->isSingleShot());
    QCOMPARE(check->interval(), msec);
    QSignalSpy checkDevice(screen, SIGNAL(checkDevice()));
    fireTimer(screen, "m_checkDeviceTimer", 2);
    QCOMPARE(checkDevice.count(), 1);
}

void tickCountdown(QObject *screen, int ticks)
{
    fireTimer(screen, "m_countdownTimer", ticks);
}
