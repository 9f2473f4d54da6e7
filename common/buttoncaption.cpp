#include "buttoncaption.h"

#include "customimagebutton.h"

void ButtonCaption::show(CustomImageButton *button, const QString &caption)
{
    button->setText(caption, Qt::AlignCenter, QColor(Qt::white), 0.5f, false);
}
