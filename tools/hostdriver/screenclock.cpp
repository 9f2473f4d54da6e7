#include "screenclock.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

int ScreenClock::tick(QWidget *screen, int seconds)
{
    QTimer *countdown = screen->findChild<QTimer *>(QStringLiteral("m_countdownTimer"));
    int ran = 0;
    for (; countdown && countdown->isActive() && ran < seconds; ++ran)
        QMetaObject::invokeMethod(countdown, "timeout");
    return ran;
}

void ScreenClock::runSingleShots()
{
    // Qt keeps each waiting single shot as an object of the event dispatcher
    // that its timer event runs and deletes.
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
    QList<QPointer<QObject>> waiting;
    for (QObject *child : dispatcher->children()) {
        if (child->inherits("QSingleShotTimer"))
            waiting.append(child);
    }
    for (const QPointer<QObject> &singleShot : waiting) {
        const QList<QAbstractEventDispatcher::TimerInfo> timers = singleShot
            ? dispatcher->registeredTimers(singleShot)
            : QList<QAbstractEventDispatcher::TimerInfo>();
        if (timers.isEmpty())
            continue;
        QTimerEvent event(timers.first().timerId);
        QCoreApplication::sendEvent(singleShot, &event);
    }
}
