#include "custombuttonbase.h"

#include <QEvent>

CustomButtonBase::CustomButtonBase(QWidget *parent)
    : QWidget(parent)
    , m_press(this)
{
    setFocusPolicy(Qt::StrongFocus);
}

CustomButtonBase::~CustomButtonBase() = default;

bool CustomButtonBase::isDown() const
{
    return m_press.isDown();
}

void CustomButtonBase::pick()
{
    emit clicked();
}

void CustomButtonBase::mousePressEvent(QMouseEvent *event)
{
    m_press.mousePress(event);
}

void CustomButtonBase::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_press.mouseRelease(event))
        pick();
}

void CustomButtonBase::keyPressEvent(QKeyEvent *event)
{
    m_press.keyPress(event);
}

void CustomButtonBase::keyReleaseEvent(QKeyEvent *event)
{
    if (m_press.keyRelease(event))
        pick();
}

void CustomButtonBase::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void CustomButtonBase::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

void CustomButtonBase::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        update();
}
