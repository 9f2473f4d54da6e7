#ifndef COUNTDOWN_H
#define COUNTDOWN_H

#include <QList>
#include <QObject>

class CustomImageButton;
class CustomImageLabel;
class QTimer;
class QWidget;

// A screen's ten-second countdown: ten ticks of a one-second timer, the
// child "m_countdownTimer". Each tick counts down and stops the timer; while
// time is left it shows "caption(n)" on the screen's choice and starts the
// timer again, at zero it presses the choice as a touch would. With quick
// upgrade on, the first tick stops the countdown for good and does nothing
// else.
//
// The choice is the first of those added that the screen offers. The dialog
// offers a label by showing it. A button is offered whatever its state, as a
// disabled one still shows its caption, and is pressed only while enabled.
class Countdown : public QObject
{
    Q_OBJECT

public:
    static const int Seconds = 10;
    static const int TickInterval = 1000;

    // The captions are translated at every tick in screen's class, as its
    // own tr() would.
    explicit Countdown(QWidget *screen);

    // caption is untranslated; the most important choice comes first.
    void addChoice(CustomImageLabel *label, const char *caption);
    void addChoice(CustomImageButton *button, const char *caption);

    // Counts down from the start, also when running.
    void start();
    void stop();

private:
    struct Choice
    {
        CustomImageLabel *label;
        CustomImageButton *button;
        const char *caption;
    };

    void tick();
    const Choice *offeredChoice() const;
    void showCount(const Choice &choice) const;
    static void press(const Choice &choice);

    const char *m_context;
    QTimer *m_countdownTimer;
    int m_secondsLeft;
    QList<Choice> m_choices;
};

#endif // COUNTDOWN_H
