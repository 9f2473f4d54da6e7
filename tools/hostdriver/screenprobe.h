#ifndef SCREENPROBE_H
#define SCREENPROBE_H

#include <QJsonObject>
#include <QList>
#include <QString>

class QImage;
class QWidget;

// What the host's window shows, found the way a host can see a plugin it has
// no headers of: the screens by their class names, the controls by the text
// they show. A caption is given in the plugin's source language and matches
// the text on screen also when translated, and also with the countdown the
// screens append ("Update(7)").
class ScreenProbe
{
public:
    enum Screen { NoScreen, DialogScreen, ConfirmationScreen, McuScreen };

    explicit ScreenProbe(QWidget *window);

    // The topmost visible screen.
    Screen currentScreen() const;
    // The visible widget of a screen, null when it is not on display.
    QWidget *screenWidget(Screen screen) const;
    // Every widget of a screen in the window, shown or not, ended or not.
    QList<QWidget *> screenWidgets(Screen screen) const;
    // The screen whose own widget has the keyboard focus.
    Screen focusedScreen() const;
    QImage grab() const;
    static QString screenName(Screen screen);
    static bool screenFromName(const QString &name, Screen *screen);

    // Whether the confirmation screen on display is for a partial upgrade.
    bool confirmsPartialUpgrade() const;

    // Visible widgets that show a text (labels and buttons), in paint order.
    QList<QWidget *> visibleControls() const;
    QList<QWidget *> controlsShowing(const QString &caption) const;
    static QString textOf(const QWidget *control);
    static bool shows(const QString &text, const QString &caption);

    // The text of the host's tip on screen, empty when there is none.
    QString toastText() const;

    // The controls on display with their texts, geometry in window
    // coordinates, state and font, and the screen's own font.
    QJsonObject describe() const;

private:
    QWidget *m_window;
};

#endif // SCREENPROBE_H
