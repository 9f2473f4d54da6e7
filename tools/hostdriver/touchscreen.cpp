#include "touchscreen.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

namespace {

// A touch gives the focus as a real one would: to the first widget under the
// point, from the touched one outwards, that takes the focus by click.
void giveFocusOnPress(QWidget *touched)
{
    for (QWidget *widget = touched; widget; widget = widget->parentWidget()) {
        if (widget->isEnabled() && (widget->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus) {
            widget->setFocus(Qt::MouseFocusReason);
            return;
        }
        if (widget->isWindow())
            return;
    }
}

} // namespace

bool TouchScreen::aim(QWidget *window, QWidget *control, QPoint *at, QString *why)
{
    if (!control->isEnabled()) {
        *why = QStringLiteral("is disabled");
        return false;
    }
    *at = control->mapTo(window, control->rect().center());
    QWidget *touched = window->childAt(*at);
    if (!touched || (touched != control && !control->isAncestorOf(touched))) {
        *why = QStringLiteral("is covered by %1")
                   .arg(touched ? QLatin1String(touched->metaObject()->className())
                                : QStringLiteral("nothing"));
        return false;
    }
    return true;
}

void TouchScreen::touch(QWidget *window, const QPoint &point)
{
    QWidget *touched = window->childAt(point);
    if (!touched)
        return;
    const QPointF local = touched->mapFrom(window, point);
    const QPointF screen = window->mapToGlobal(point);
    // The release goes where the press went, unless the press ended that widget.
    QPointer<QWidget> receiver = touched;
    giveFocusOnPress(touched);
    QMouseEvent press(QEvent::MouseButtonPress, local, point, screen, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(touched, &press);
    if (receiver) {
        QMouseEvent release(QEvent::MouseButtonRelease, local, point, screen, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(receiver, &release);
    }
}
