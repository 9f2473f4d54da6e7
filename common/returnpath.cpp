#include "returnpath.h"

#include <QMetaMethod>

ReturnPath::ReturnPath(QObject *screen)
    : QObject(screen)
{ }

bool ReturnPath::follow()
{
    if (!isSignalConnected(QMetaMethod::fromSignal(&ReturnPath::followed)))
        return false;
    emit followed();
    return true;
}
