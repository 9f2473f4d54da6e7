#include "scenario.h"

#include "keyrouter.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

namespace {

const QStringList actions = {"call", "host", "key", "click", "wait", "tick", "expect", "screenshot"};
const QStringList hostActions = {"insertMedium", "openInterface", "closeInterface", "raiseInterface"};

int parseKey(const QJsonValue &value)
{
    const QString text = value.toString();
    if (QRegularExpression(QStringLiteral("^0x[0-9A-Fa-f]{1,8}$")).match(text).hasMatch())
        return int(text.mid(2).toUInt(nullptr, 16));
    return KeyRouter::hostKeyForName(text);
}

} // namespace

std::optional<Scenario> Scenario::load(const QString &file, QString *error)
{
    QFile input(file);
    if (!input.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the scenario %1: %2").arg(file, input.errorString());
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(input.readAll(), &parseError);
    if (!document.isObject()) {
        *error = QStringLiteral("%1 is no JSON object: %2 at offset %3")
                     .arg(file, parseError.errorString())
                     .arg(parseError.offset);
        return std::nullopt;
    }
    std::optional<Scenario> scenario = fromJson(document.object(), error);
    if (!scenario)
        *error = QStringLiteral("%1: %2").arg(file, *error);
    return scenario;
}

std::optional<Scenario> Scenario::fromJson(const QJsonObject &object, QString *error)
{
    for (const QString &key : object.keys()) {
        if (key != QLatin1String("name") && key != QLatin1String("description")
            && key != QLatin1String("setup") && key != QLatin1String("steps")) {
            *error = QStringLiteral("unknown key \"%1\"").arg(key);
            return std::nullopt;
        }
    }
    if (!object.value("steps").isArray() || object.value("steps").toArray().isEmpty()) {
        *error = QStringLiteral("\"steps\" is a non-empty array");
        return std::nullopt;
    }
    Scenario scenario;
    scenario.m_name = object.value("name").toString();
    scenario.m_setup = object.value("setup").toObject();
    const QJsonArray steps = object.value("steps").toArray();
    for (int i = 0; i < steps.size(); ++i) {
        std::optional<Step> step = parseStep(steps.at(i).toObject(), error);
        if (!step) {
            *error = QStringLiteral("step %1: %2").arg(i + 1).arg(*error);
            return std::nullopt;
        }
        scenario.m_steps.append(*step);
    }
    return scenario;
}

std::optional<Scenario::Step> Scenario::parseStep(const QJsonObject &object, QString *error)
{
    const std::optional<QString> action = stepAction(object, error);
    if (!action)
        return std::nullopt;
    Step step;
    step.source = object;
    step.action = Step::Action(actions.indexOf(*action));
    if (!parseActionValue(&step, object, error))
        return std::nullopt;
    return step;
}

std::optional<QString> Scenario::stepAction(const QJsonObject &object, QString *error)
{
    QStringList found;
    for (const QString &key : object.keys()) {
        if (actions.contains(key))
            found.append(key);
    }
    if (found.size() != 1) {
        *error = QStringLiteral("a step has exactly one of: %1").arg(actions.join(", "));
        return std::nullopt;
    }
    const QString action = found.first();
    for (const QString &key : object.keys()) {
        const bool allowed = key == action || key == QLatin1String("comment")
            || (key == QLatin1String("args") && action == QLatin1String("call"))
            || (key == QLatin1String("within") && action == QLatin1String("expect"));
        if (!allowed) {
            *error = QStringLiteral("\"%1\" does not go with \"%2\"").arg(key, action);
            return std::nullopt;
        }
    }
    return action;
}

bool Scenario::parseActionValue(Step *step, const QJsonObject &object, QString *error)
{
    const QString action = actions.at(step->action);
    const QJsonValue value = object.value(action);
    switch (step->action) {
    case Step::Call:
        step->call = ContractCall::parse(value.toString(), object.value("args").toArray(), error);
        if (!step->call)
            return false;
        break;
    case Step::Host:
        step->text = value.toString();
        if (!hostActions.contains(step->text)) {
            *error = QStringLiteral("the host knows %1").arg(hostActions.join(", "));
            return false;
        }
        break;
    case Step::Key:
        step->number = parseKey(value);
        if (step->number == 0) {
            *error = QStringLiteral(
                "\"key\" is Left, Right, Up, Down, Enter, Escape or a code like \"0x0110003F\"");
            return false;
        }
        break;
    case Step::Click:
    case Step::Screenshot:
        step->text = value.toString();
        if (step->text.isEmpty()
            || (step->action == Step::Screenshot && step->text.contains(QLatin1Char('/')))) {
            *error = QStringLiteral("\"%1\" takes a caption or a file name").arg(action);
            return false;
        }
        break;
    case Step::Wait:
        step->number = value.toInt(-1);
        if (step->number < 0 || step->number > 600000) {
            *error = QStringLiteral("\"wait\" takes milliseconds");
            return false;
        }
        break;
    case Step::Tick:
        step->number = value.toInt(-1);
        if (step->number < 1 || step->number > 60) {
            *error = QStringLiteral("\"tick\" takes seconds from 1 to 60");
            return false;
        }
        break;
    case Step::Expect:
        step->expectation = Expectation::parse(value.toObject(), error);
        if (!step->expectation)
            return false;
        step->number = object.value("within").toInt(0);
        if (step->number < 0 || step->number > 600000) {
            *error = QStringLiteral("\"within\" takes milliseconds");
            return false;
        }
        break;
    }
    return true;
}
