#ifndef EXPECTATION_H
#define EXPECTATION_H

#include <QHash>
#include <QJsonObject>
#include <QString>

#include <optional>

class QImage;
class Sandbox;
class ScreenProbe;
class SimJournal;

// One thing a scenario expects, written as a JSON object with one of these keys:
//
//   {"screen": "dialog"}              the screen on display: none, dialog, confirmation, mcu
//   {"focus": "dialog"}               the screen that has the keyboard focus itself (none: the
//                                     focus is on the host's interface)
//   {"visible": "Upgrade system"}     a control shows the caption (also "hidden", "enabled",
//                                     "disabled", "focused", "checked", "unchecked")
//   {"toast": "Updating"}             the host's tip on screen ("" for none)
//   {"signal": "updateSystem"}        the plugin emitted it; "args": [...] to match the
//                                     arguments, "count": n for exactly n times (default:
//                                     at least once)
//   {"call": "onUpdateFinished"}      the host called it; "args" and "count" as for signals
//   {"return": "onReturn", "value": false}   the call returned the value; "count" as above
//   {"request": "toast", "text": "COPY is Done!"}   the plugin asked the host's services for
//                                     it; further keys match the request's details, "count"
//                                     as above
//   {"file": "/media/flash/nvm/touch_conf", "exists": true}   a device path in the sandbox
//   {"logoWritten": true}             whether the boot-logo partition was written
//   {"picture": "before"}             the window looks as at the screenshot "before" of
//                                     this run; "same": false for a changed look
//
// Captions and texts are written in the plugin's source language.
class Expectation
{
public:
    struct Context
    {
        const ScreenProbe *probe;
        const SimJournal *journal;
        const Sandbox *sandbox;
        const QHash<QString, QImage> *screenshots;
    };

    static std::optional<Expectation> parse(const QJsonObject &object, QString *error);

    // Whether it holds now; detail says what was found instead.
    bool holds(const Context &context, QString *detail) const;

private:
    Expectation(const QString &kind, const QJsonObject &object);

    bool holdsOnScreen(const Context &context, QString *detail) const;
    bool holdsForControl(const Context &context, QString *detail) const;
    bool holdsInJournal(const Context &context, QString *detail) const;
    bool holdsOnDevice(const Context &context, QString *detail) const;
    bool holdsForPicture(const Context &context, QString *detail) const;

    QString m_kind;
    QJsonObject m_object;
};

#endif // EXPECTATION_H
