#ifndef TOUCHSCREEN_H
#define TOUCHSCREEN_H

#include <QPoint>
#include <QString>

class QWidget;

// The head unit's touch screen: a touch is a press and a release of the left
// button at the centre of a control, delivered to what the window shows at
// that point, as a finger on the glass would be.
namespace TouchScreen {

// Where a touch on control lands in window coordinates. Fails, saying why
// ("is disabled", "is covered by ..."), when the control cannot be touched.
bool aim(QWidget *window, QWidget *control, QPoint *at, QString *why);

// Touches the window at a point.
void touch(QWidget *window, const QPoint &at);

} // namespace TouchScreen

#endif // TOUCHSCREEN_H
