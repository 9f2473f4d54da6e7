#ifndef RETURNPATH_H
#define RETURNPATH_H

#include <QObject>

// A screen's way back to the view that shows it. The view connects
// followed() to its onReturn() when it makes the screen and cuts the
// connection when it ends the screen; a view that is gone takes its
// connection along.
class ReturnPath : public QObject
{
    Q_OBJECT

public:
    explicit ReturnPath(QObject *screen);

    // Goes back to the view. False, and nothing happens, when there is no
    // view to go back to.
    bool follow();

signals:
    void followed();
};

#endif // RETURNPATH_H
