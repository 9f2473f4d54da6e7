#ifndef PRESSTRACKER_H
#define PRESSTRACKER_H

class QKeyEvent;
class QMouseEvent;
class QWidget;

// Turns a kit widget's mouse and keyboard events into presses: the widget is
// down while the pointer is held on it, and a release inside it (or Space and
// Select on the focused widget) is a click.
class PressTracker
{
public:
    explicit PressTracker(QWidget *widget)
        : m_widget(widget)
    { }

    bool isDown() const { return m_down; }

    void mousePress(QMouseEvent *event);
    // True when the release completes a click.
    bool mouseRelease(QMouseEvent *event);
    void keyPress(QKeyEvent *event);
    // True when the release completes a click; other keys are left ignored
    // so that they reach the screen.
    bool keyRelease(QKeyEvent *event);

private:
    void setDown(bool down);

    QWidget *m_widget;
    bool m_down = false;
};

#endif // PRESSTRACKER_H
