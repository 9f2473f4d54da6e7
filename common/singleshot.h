#ifndef SINGLESHOT_H
#define SINGLESHOT_H

class QObject;
class QTimer;

namespace SingleShot {

// A single-shot timer of msec milliseconds, started at once, that belongs to
// owner under the object name of the field that holds it. It keeps time as
// QTimer::singleShot() does (precisely below two seconds), dies with its
// owner, and its delay can be read off it.
QTimer *start(QObject *owner, const char *name, int msec);

} // namespace SingleShot

#endif // SINGLESHOT_H
