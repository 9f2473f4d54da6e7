#ifndef SCREENCLOCK_H
#define SCREENCLOCK_H

class QWidget;

// Time for the screens without waiting for it, so that a run replays the
// same way on a busy machine: a screen's timers, found by their object names,
// run out at once.
namespace ScreenClock {

// Lets the screen's timer of that object name run out as many times as it
// would while it runs, each time as the event loop would. Returns how many
// times it ran (none for a screen without such a timer).
int fire(QWidget *screen, const char *timerName, int times);

// The screen's countdown ("m_countdownTimer") runs for that many seconds.
int tick(QWidget *screen, int seconds);

} // namespace ScreenClock

#endif // SCREENCLOCK_H
