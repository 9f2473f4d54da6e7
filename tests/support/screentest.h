#ifndef SCREENTEST_H
#define SCREENTEST_H

#include <QString>

class QObject;

// A hardware key code as the host's logs and the test rows spell it: "0x0110003d".
QString keyName(int key);
// Runs the screen's countdown slot as many times as its timer would have fired.
void tickCountdown(QObject *screen, int ticks);

#endif // SCREENTEST_H
