#ifndef FOCUSRING_H
#define FOCUSRING_H

#include <QList>

class QWidget;

// The controls of a screen in the order the keys move the focus over them.
// A step moves the focus to the next control in its direction that can take
// it, shown and enabled, wrapping around at both ends: with no control
// focused, forward starts at the first and backward at the last. When no
// other control can take it, the focus stays where it is.
class FocusRing
{
public:
    FocusRing &operator<<(QWidget *control);
    // step is +1 (forward) or -1 (backward); 0 moves nothing.
    void move(int step) const;

private:
    int focusedIndex() const;

    QList<QWidget *> m_controls;
};

#endif // FOCUSRING_H
