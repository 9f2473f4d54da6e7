#include "focusring.h"

#include <QWidget>

FocusRing &FocusRing::operator<<(QWidget *control)
{
    m_controls << control;
    return *this;
}

void FocusRing::move(int step) const
{
    if (step == 0)
        return;
    const int current = focusedIndex();
    // At most one pass: back at the start, or every control tried, the walk stops.
    int candidate = current;
    for (int tried = 0; tried < m_controls.size(); ++tried) {
        candidate += step;
        if (candidate < 0)
            candidate = m_controls.size() - 1;
        else if (candidate >= m_controls.size())
            candidate = 0;
        if (candidate == current)
            return;
        QWidget *control = m_controls.at(candidate);
        if (control->isVisible() && control->isEnabled()) {
            control->setFocus();
            return;
        }
    }
}

int FocusRing::focusedIndex() const
{
    for (int i = 0; i < m_controls.size(); ++i) {
        if (m_controls.at(i)->isVisible() && m_controls.at(i)->hasFocus())
            return i;
    }
    return -1;
}
