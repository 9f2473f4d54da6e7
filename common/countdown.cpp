#include "countdown.h"

#include "buttoncaption.h"
#include "customimagebutton.h"
#include "customimagelabel.h"
#include "factorysettings.h"

#include <QCoreApplication>
#include <QTimer>

Countdown::Countdown(QWidget *screen)
    : QObject(screen)
    , m_context(screen->metaObject()->className())
    , m_countdownTimer(new QTimer(this))
    , m_secondsLeft(0)
{
    m_countdownTimer->setObjectName(QStringLiteral("m_countdownTimer"));
    connect(m_countdownTimer, &QTimer::timeout, this, &Countdown::tick);
}

void Countdown::addChoice(CustomImageLabel *label, const char *caption)
{
    const Choice choice = {label, nullptr, caption};
    m_choices << choice;
}

void Countdown::addChoice(CustomImageButton *button, const char *caption)
{
    const Choice choice = {nullptr, button, caption};
    m_choices << choice;
}

void Countdown::start()
{
    m_secondsLeft = Seconds;
    m_countdownTimer->start(TickInterval);
}

void Countdown::stop()
{
    m_countdownTimer->stop();
}

void Countdown::tick()
{
    --m_secondsLeft;
    m_countdownTimer->stop();
    // On quick-upgrade devices the media decide, not the countdown.
    if (FactorySettings::quickUpgrade())
        return;
    const Choice *choice = offeredChoice();
    if (m_secondsLeft != 0) {
        if (choice)
            showCount(*choice);
        m_countdownTimer->start(TickInterval);
    } else if (choice) {
        press(*choice);
    }
}

const Countdown::Choice *Countdown::offeredChoice() const
{
    for (int i = 0; i < m_choices.size(); ++i) {
        if (!m_choices.at(i).label || m_choices.at(i).label->isVisible())
            return &m_choices.at(i);
    }
    return nullptr;
}

void Countdown::showCount(const Choice &choice) const
{
    const QString count = QStringLiteral("%1(%2)").arg(QCoreApplication::translate(m_context, choice.caption),
                                                       QString::number(m_secondsLeft));
    if (choice.label)
        choice.label->setText(count);
    else
        ButtonCaption::show(choice.button, count);
}

void Countdown::press(const Choice &choice)
{
    if (choice.label)
        emit choice.label->clicked();
    else if (choice.button->isEnabled())
        emit choice.button->clicked();
}
