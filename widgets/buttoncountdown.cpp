#include "buttoncountdown.h"

#include "customimagebutton.h"
#include "factorysettings.h"

#include <QTimer>

void ButtonCountdown::setCaption(CustomImageButton *button, const QString &caption)
{
    button->setText(caption, Qt::AlignCenter, QColor(Qt::white), 0.5f, false);
}

bool ButtonCountdown::tick(int &countdown, QTimer *timer, CustomImageButton *button, const QString &caption)
{
    --countdown;
    timer->stop();
    if (FactorySettings::quickUpgrade())
        return false;
    if (countdown == 0)
        return true;
    setCaption(button, QStringLiteral("%1(%2)").arg(caption, QString::number(countdown)));
    timer->start(TickInterval);
    return false;
}
