#ifndef SCREENTEST_H
#define SCREENTEST_H

#include <QString>

class QObject;

// A hardware key code as the host's logs and the test rows spell it: "0x0110003d".
QString keyName(int key);
// Lets the screen's timer of that object name run out as many times as it
// would while it runs: each time as the event loop would, none once it stops.
void fireTimer(QObject *screen, const char *name, int times = 1);
// The screen's media check: a single shot ("m_checkDeviceTimer") of msec
// milliseconds, read off the timer, that emits checkDevice() once.
void verifyMediaCheck(QObject *screen, int msec);
// The screen's countdown timer ("m_countdownTimer") runs out ticks times.
void tickCountdown(QObject *screen, int ticks);

#endif // SCREENTEST_H
