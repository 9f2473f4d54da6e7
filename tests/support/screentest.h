#ifndef SCREENTEST_H
#define SCREENTEST_H

#include <QString>

class QWidget;

// A hardware key code as the host's logs and the test rows spell it: "0x0110003d".
QString keyName(int key);
// The screen's media check: a single shot ("m_checkDeviceTimer") of msec
// milliseconds, read off the timer, that emits checkDevice() once.
void verifyMediaCheck(QWidget *screen, int msec);

#endif // SCREENTEST_H
