#ifndef SCREENCLOCK_H
#define SCREENCLOCK_H

class QWidget;

// Time for the screens without waiting for it, so that a run replays the
// same way on a busy machine.
namespace ScreenClock {

// Runs a screen's countdown: its timer (object name "m_countdownTimer")
// fires once a second while it runs. Returns the seconds it ran.
int tick(QWidget *screen, int seconds);

// Lets the single-shot timers of the process that are still waiting run out
// now, in the order they were started (the screens' media checks among them).
void runSingleShots();

} // namespace ScreenClock

#endif // SCREENCLOCK_H
