#include "presstracker.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace {

bool isActivationKey(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Space || event->key() == Qt::Key_Select;
}

} // namespace

void PressTracker::mousePress(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    setDown(true);
    event->accept();
}

bool PressTracker::mouseRelease(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_down) {
        event->ignore();
        return false;
    }
    setDown(false);
    event->accept();
    return m_widget->rect().contains(event->pos());
}

void PressTracker::keyPress(QKeyEvent *event)
{
    if (!isActivationKey(event)) {
        event->ignore();
        return;
    }
    if (!event->isAutoRepeat())
        setDown(true);
    event->accept();
}

bool PressTracker::keyRelease(QKeyEvent *event)
{
    if (!isActivationKey(event) || !m_down) {
        event->ignore();
        return false;
    }
    if (event->isAutoRepeat()) {
        event->accept();
        return false;
    }
    setDown(false);
    event->accept();
    return true;
}

void PressTracker::setDown(bool down)
{
    if (m_down == down)
        return;
    m_down = down;
    m_widget->update();
}
