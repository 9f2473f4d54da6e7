#include "screenprobe.h"

#include "tipdialog.h"

#include <QApplication>
#include <QImage>
#include <QJsonArray>
#include <QRegularExpression>
#include <QVariant>
#include <QWidget>

namespace {

// The plugin's screens, by class name; also the contexts of their translations.
const char *const screenClasses[] = {nullptr, "UpgradeDialog", "CustomUpdateWidget", "CustomMcuUpdateWidget"};
const char *const screenNames[] = {"none", "dialog", "confirmation", "mcu"};

bool isA(const QWidget *widget, const char *className)
{
    return qstrcmp(widget->metaObject()->className(), className) == 0;
}

QJsonArray rectangle(const QRect &rect)
{
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

} // namespace

ScreenProbe::ScreenProbe(QWidget *window)
    : m_window(window)
{ }

ScreenProbe::Screen ScreenProbe::currentScreen() const
{
    for (Screen screen : {McuScreen, ConfirmationScreen, DialogScreen}) {
        if (screenWidget(screen))
            return screen;
    }
    return NoScreen;
}

QWidget *ScreenProbe::screenWidget(Screen screen) const
{
    for (QWidget *widget : screenWidgets(screen)) {
        if (widget->isVisible())
            return widget;
    }
    return nullptr;
}

QList<QWidget *> ScreenProbe::screenWidgets(Screen screen) const
{
    QList<QWidget *> found;
    for (QWidget *widget : m_window->findChildren<QWidget *>()) {
        if (screen != NoScreen && isA(widget, screenClasses[screen]))
            found.append(widget);
    }
    return found;
}

ScreenProbe::Screen ScreenProbe::focusedScreen() const
{
    for (Screen screen : {DialogScreen, ConfirmationScreen, McuScreen}) {
        if (screenWidgets(screen).contains(QApplication::focusWidget()))
            return screen;
    }
    return NoScreen;
}

QImage ScreenProbe::grab() const
{
    return m_window->grab().toImage();
}

QString ScreenProbe::screenName(Screen screen)
{
    return QLatin1String(screenNames[screen]);
}

bool ScreenProbe::screenFromName(const QString &name, Screen *screen)
{
    for (Screen candidate : {NoScreen, DialogScreen, ConfirmationScreen, McuScreen}) {
        if (name == QLatin1String(screenNames[candidate])) {
            *screen = candidate;
            return true;
        }
    }
    return false;
}

bool ScreenProbe::confirmsPartialUpgrade() const
{
    // The title names the upgrade also when the client model hides it.
    QWidget *confirmation = screenWidget(ConfirmationScreen);
    QWidget *title
        = confirmation ? confirmation->findChild<QWidget *>(QStringLiteral("m_titleLabel")) : nullptr;
    return title && shows(textOf(title), QStringLiteral("Upgrade part"));
}

QList<QWidget *> ScreenProbe::visibleControls() const
{
    QList<QWidget *> controls;
    for (QWidget *widget : m_window->findChildren<QWidget *>()) {
        if (widget->isVisible() && !isA(widget, "TipDialog") && !textOf(widget).isEmpty())
            controls.append(widget);
    }
    return controls;
}

QList<QWidget *> ScreenProbe::controlsShowing(const QString &caption) const
{
    QList<QWidget *> found;
    for (QWidget *control : visibleControls()) {
        if (shows(textOf(control), caption))
            found.append(control);
    }
    return found;
}

QString ScreenProbe::textOf(const QWidget *control)
{
    return control->property("text").toString();
}

bool ScreenProbe::shows(const QString &text, const QString &caption)
{
    QStringList forms = {caption};
    for (int screen = DialogScreen; screen <= McuScreen; ++screen)
        forms.append(QCoreApplication::translate(screenClasses[screen], caption.toUtf8().constData()));
    static const QRegularExpression countdown(QStringLiteral("^(.*)\\(\\d+\\)$"));
    const QRegularExpressionMatch counting = countdown.match(text);
    for (const QString &form : forms) {
        if (text == form || (counting.hasMatch() && counting.captured(1) == form))
            return true;
    }
    return false;
}

QString ScreenProbe::toastText() const
{
    TipDialog *tip = TipDialog::current();
    return tip && tip->isVisible() ? tip->text() : QString();
}

QJsonObject ScreenProbe::describe() const
{
    QJsonArray controls;
    for (QWidget *control : visibleControls()) {
        QJsonObject entry;
        entry.insert(QStringLiteral("text"), textOf(control));
        entry.insert(QStringLiteral("name"), control->objectName());
        entry.insert(QStringLiteral("rect"),
                     rectangle(QRect(control->mapTo(m_window, QPoint(0, 0)), control->size())));
        entry.insert(QStringLiteral("enabled"), control->isEnabled());
        entry.insert(QStringLiteral("focused"), control->hasFocus());
        if (control->property("checked").isValid())
            entry.insert(QStringLiteral("checked"), control->property("checked").toBool());
        entry.insert(QStringLiteral("font"), control->font().toString());
        controls.append(entry);
    }
    QJsonObject description;
    const Screen screen = currentScreen();
    description.insert(QStringLiteral("screen"), screenName(screen));
    if (QWidget *widget = screenWidget(screen))
        description.insert(QStringLiteral("screenFont"), widget->font().toString());
    description.insert(QStringLiteral("controls"), controls);
    description.insert(QStringLiteral("toast"), toastText());
    return description;
}
