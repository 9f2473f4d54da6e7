#ifndef SCENARIO_H
#define SCENARIO_H

#include "contractcall.h"
#include "expectation.h"

#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

// A scenario file: a JSON object with a "name", an optional "description", an
// optional "setup" (see SimOptions::applySetup) and "steps", each an object
// with one action:
//
//   {"call": "showUpdate", "args": [4, 2]}   the host calls an operation of the plugin
//   {"host": "insertMedium"}                 the host acts: insertMedium, openInterface,
//                                            closeInterface, raiseInterface
//   {"key": "Enter"}                         a key press: a PC key's name (Left, Right, Up,
//                                            Down, Enter, Escape) or a host key code
//                                            ("0x0110003F")
//   {"click": "Upgrade system"}              a touch on the control that shows the caption
//   {"wait": 500}                            milliseconds
//   {"tick": 9}                              seconds of the countdown of the screen on
//                                            display, ticked at once
//   {"expect": {...}, "within": 3000}        an expectation (see Expectation), checked at
//                                            once or, with "within", until it holds
//   {"screenshot": "dialog"}                 saves <screenshots>/dialog.png
//
// Any step may carry a "comment".
class Scenario
{
public:
    struct Step
    {
        enum Action { Call, Host, Key, Click, Wait, Tick, Expect, Screenshot };

        Action action = Wait;
        QJsonObject source; // the step as written, for the journal
        std::optional<ContractCall> call;
        std::optional<Expectation> expectation;
        QString text; // host action, caption or screenshot name
        int number = 0; // key code, milliseconds or seconds
    };

    static std::optional<Scenario> load(const QString &file, QString *error);
    static std::optional<Scenario> fromJson(const QJsonObject &object, QString *error);

    QString name() const { return m_name; }
    QJsonObject setup() const { return m_setup; }
    QList<Step> steps() const { return m_steps; }

private:
    static std::optional<Step> parseStep(const QJsonObject &object, QString *error);
    // The step's one action, when its keys go together.
    static std::optional<QString> stepAction(const QJsonObject &object, QString *error);
    // Reads the value of the step's action into step.
    static bool parseActionValue(Step *step, const QJsonObject &object, QString *error);

    QString m_name;
    QJsonObject m_setup;
    QList<Step> m_steps;
};

#endif // SCENARIO_H
