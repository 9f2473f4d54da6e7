#include "customimagelabel.h"

#include <QPainter>

CustomImageLabel::CustomImageLabel(QWidget *parent)
    : CustomImageLabel(QString(), parent)
{ }

CustomImageLabel::CustomImageLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
    , m_press(this)
{ }

CustomImageLabel::~CustomImageLabel() = default;

void CustomImageLabel::setConstBackgroundImage(const QImage *normal, const QImage *pressed,
                                               const QImage *focused, const QImage *disabled, bool stretch)
{
    m_background.set(normal, pressed, focused, disabled, stretch);
    m_hasBackground = true;
    updateGeometry();
    update();
}

const StateImages &CustomImageLabel::backgroundImages() const
{
    return m_background;
}

bool CustomImageLabel::isDown() const
{
    return m_press.isDown();
}

bool CustomImageLabel::hasBackground() const
{
    return m_hasBackground;
}

QSize CustomImageLabel::sizeHint() const
{
    const QSize textHint = QLabel::sizeHint();
    if (!hasBackground())
        return textHint;
    return m_background.sizeHint(QSize(320, 64)).expandedTo(textHint);
}

void CustomImageLabel::paintEvent(QPaintEvent *event)
{
    if (hasBackground()) {
        StateImages::State state = StateImages::Normal;
        if (!isEnabled())
            state = StateImages::Disabled;
        else if (isDown())
            state = StateImages::Pressed;
        else if (hasFocus())
            state = StateImages::Focused;
        QPainter painter(this);
        m_background.draw(painter, rect(), state);
    }
    if (hasFocus() && !m_background.focused()) {
        QPainter painter(this);
        StateImages::drawFocusFrame(painter, rect());
    }
    QLabel::paintEvent(event);
}

void CustomImageLabel::mousePressEvent(QMouseEvent *event)
{
    m_press.mousePress(event);
}

void CustomImageLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_press.mouseRelease(event))
        emit clicked();
}

void CustomImageLabel::keyPressEvent(QKeyEvent *event)
{
    m_press.keyPress(event);
}

void CustomImageLabel::keyReleaseEvent(QKeyEvent *event)
{
    if (m_press.keyRelease(event))
        emit clicked();
}

void CustomImageLabel::focusInEvent(QFocusEvent *event)
{
    QLabel::focusInEvent(event);
    update();
}

void CustomImageLabel::focusOutEvent(QFocusEvent *event)
{
    QLabel::focusOutEvent(event);
    update();
}
