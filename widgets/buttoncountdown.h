#ifndef BUTTONCOUNTDOWN_H
#define BUTTONCOUNTDOWN_H

#include <QString>

class CustomImageButton;
class QTimer;

// The ten-second countdown that the confirmation and MCU screens show on
// their "Update" button, and the caption style of their buttons.
class ButtonCountdown
{
public:
    static const int Seconds = 10;
    static const int TickInterval = 1000;

    // Shows a caption the way the screens' buttons show them.
    static void setCaption(CustomImageButton *button, const QString &caption);

    // One tick: counts down, stops the timer and shows "caption(n)" on the
    // button, restarting the timer while time is left. With quick upgrade the
    // countdown stops for good at its first tick. True when the count has
    // just run out, so that the screen takes its automatic action.
    static bool tick(int &countdown, QTimer *timer, CustomImageButton *button, const QString &caption);
};

#endif // BUTTONCOUNTDOWN_H
