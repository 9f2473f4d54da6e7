#include "customimageradiobutton.h"

#include <QPainter>

CustomImageRadioButton::CustomImageRadioButton(QWidget *parent)
    : CustomImageButton(parent)
{ }

CustomImageRadioButton::~CustomImageRadioButton() = default;

void CustomImageRadioButton::setChecked(bool checked)
{
    if (m_checked == checked)
        return;
    m_checked = checked;
    update();
}

bool CustomImageRadioButton::isChecked() const
{
    return m_checked;
}

void CustomImageRadioButton::setConstCheckedImage(const QImage *normal, const QImage *pressed,
                                                  const QImage *focused, const QImage *disabled, bool stretch)
{
    m_checkedImages.set(normal, pressed, focused, disabled, stretch);
    updateGeometry();
    update();
}

void CustomImageRadioButton::setConstUncheckImage(const QImage *normal, const QImage *pressed,
                                                  const QImage *focused, const QImage *disabled, bool stretch)
{
    m_uncheckedImages.set(normal, pressed, focused, disabled, stretch);
    updateGeometry();
    update();
}

const StateImages &CustomImageRadioButton::checkedImages() const
{
    return m_checkedImages;
}

const StateImages &CustomImageRadioButton::uncheckedImages() const
{
    return m_uncheckedImages;
}

void CustomImageRadioButton::pick()
{
    setChecked(true);
    emit stateChanged(true);
    CustomImageButton::pick();
}

const StateImages &CustomImageRadioButton::currentImages() const
{
    return m_checked ? m_checkedImages : m_uncheckedImages;
}

void CustomImageRadioButton::paintDecoration(QPainter &painter, bool pictureDrawn)
{
    // Without pictures the state would be invisible: draw a radio mark.
    if (pictureDrawn)
        return;
    const int size = qMin(height() / 3, 18);
    const QRectF mark(10, (height() - size) / 2.0, size, size);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(mark);
    if (m_checked) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x3d, 0xae, 0xe9));
        painter.drawEllipse(mark.adjusted(4, 4, -4, -4));
    }
    painter.restore();
}
