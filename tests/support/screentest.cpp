#include "screentest.h"

#include "screenclock.h"

#include <QLatin1Char>
#include <QTimer>
#include <QtTest>

QString keyName(int key)
{
    return QStringLiteral("0x%1").arg(key, 8, 16, QLatin1Char('0'));
}

void verifyMediaCheck(QWidget *screen, int msec)
{
    const QTimer *check = screen->findChild<QTimer *>(QStringLiteral("m_checkDeviceTimer"));
    QVERIFY(check && check->isActive() && check->isSingleShot());
    QCOMPARE(check->interval(), msec);
    QSignalSpy checkDevice(screen, SIGNAL(checkDevice()));
    ScreenClock::fire(screen, "m_checkDeviceTimer", 2);
    QCOMPARE(checkDevice.count(), 1);
}
