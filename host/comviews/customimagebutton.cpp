#include "customimagebutton.h"

#include <QPainter>

CustomImageButton::CustomImageButton(QWidget *parent)
    : CustomButtonBase(parent)
{
    QFont captionFont = font();
    captionFont.setPixelSize(22);
    setFont(captionFont);
}

CustomImageButton::~CustomImageButton() = default;

void CustomImageButton::setText(const QString &text, int alignment, const QColor &color,
                                float disabledOpacity, bool bold)
{
    m_text = text;
    m_alignment = alignment;
    m_color = color;
    m_disabledOpacity = disabledOpacity;
    m_bold = bold;
    updateGeometry();
    update();
}

QString CustomImageButton::text() const
{
    return m_text;
}

int CustomImageButton::textAlignment() const
{
    return m_alignment;
}

QColor CustomImageButton::textColor() const
{
    return m_color;
}

void CustomImageButton::setConstBackgroundImage(const QImage *normal, const QImage *pressed,
                                                const QImage *focused, const QImage *disabled, bool stretch)
{
    m_background.set(normal, pressed, focused, disabled, stretch);
    updateGeometry();
    update();
}

const StateImages &CustomImageButton::backgroundImages() const
{
    return m_background;
}

QSize CustomImageButton::sizeHint() const
{
    const QSize textSize = fontMetrics().size(Qt::TextSingleLine, m_text) + QSize(48, 24);
    return currentImages().sizeHint(QSize(200, 64)).expandedTo(textSize);
}

StateImages::State CustomImageButton::visualState() const
{
    if (!isEnabled())
        return StateImages::Disabled;
    if (isDown())
        return StateImages::Pressed;
    if (hasFocus())
        return StateImages::Focused;
    return StateImages::Normal;
}

const StateImages &CustomImageButton::currentImages() const
{
    return m_background;
}

void CustomImageButton::paintDecoration(QPainter &, bool) { }

void CustomImageButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const StateImages &images = currentImages();
    const StateImages::State state = visualState();
    const bool pictureDrawn = images.draw(painter, rect(), state);
    if (hasFocus() && !images.focused())
        StateImages::drawFocusFrame(painter, rect());
    paintDecoration(painter, pictureDrawn);

    QFont captionFont = font();
    captionFont.setBold(m_bold);
    painter.setFont(captionFont);
    painter.setPen(m_color);
    if (!isEnabled())
        painter.setOpacity(m_disabledOpacity);
    painter.drawText(rect().adjusted(8, 4, -8, -4), m_alignment, m_text);
}
