#include "expectation.h"

#include "sandbox.h"
#include "screenprobe.h"
#include "simjournal.h"

#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QWidget>

namespace {

const QStringList controlKinds = {"visible", "enabled", "disabled", "focused", "checked", "unchecked"};
const QStringList journalKinds = {"signal", "call", "return", "request"};
const QStringList screenKinds = {"screen", "focus"};
const QStringList allKinds = QStringList {"hidden", "toast", "file", "logoWritten", "picture"} + screenKinds
    + controlKinds + journalKinds;

// Keys that may accompany each kind.
QStringList modifiers(const QString &kind)
{
    if (kind == QLatin1String("signal") || kind == QLatin1String("call"))
        return {"args", "count"};
    if (kind == QLatin1String("return"))
        return {"value", "count"};
    if (kind == QLatin1String("file"))
        return {"exists"};
    if (kind == QLatin1String("picture"))
        return {"same"};
    return {};
}

bool controlState(const QString &kind, const QWidget *control)
{
    if (kind == QLatin1String("enabled"))
        return control->isEnabled();
    if (kind == QLatin1String("disabled"))
        return !control->isEnabled();
    if (kind == QLatin1String("focused"))
        return control->hasFocus();
    if (kind == QLatin1String("checked"))
        return control->property("checked").toBool();
    if (kind == QLatin1String("unchecked"))
        return !control->property("checked").toBool();
    return true;
}

QString quoted(const QStringList &texts)
{
    return texts.isEmpty() ? QStringLiteral("nothing")
                           : QLatin1Char('"') + texts.join("\", \"") + QLatin1Char('"');
}

} // namespace

Expectation::Expectation(const QString &kind, const QJsonObject &object)
    : m_kind(kind)
    , m_object(object)
{ }

std::optional<Expectation> Expectation::parse(const QJsonObject &object, QString *error)
{
    QStringList kinds;
    for (const QString &key : object.keys()) {
        if (allKinds.contains(key))
            kinds.append(key);
    }
    if (kinds.size() != 1) {
        *error = QStringLiteral("an expectation has exactly one of: %1").arg(allKinds.join(", "));
        return std::nullopt;
    }
    const QString kind = kinds.first();
    for (const QString &key : object.keys()) {
        if (key != kind && kind != QLatin1String("request") && !modifiers(kind).contains(key)) {
            *error = QStringLiteral("\"%1\" does not go with \"%2\"").arg(key, kind);
            return std::nullopt;
        }
    }
    const QJsonValue value = object.value(kind);
    const bool valueFits = kind == QLatin1String("logoWritten") ? value.isBool() : value.isString();
    if (!valueFits) {
        *error = QStringLiteral("\"%1\" takes %2")
                     .arg(kind, kind == QLatin1String("logoWritten") ? "true or false" : "a text");
        return std::nullopt;
    }
    ScreenProbe::Screen screen;
    if (screenKinds.contains(kind) && !ScreenProbe::screenFromName(value.toString(), &screen)) {
        *error = QStringLiteral("no screen \"%1\" (none, dialog, confirmation, mcu)").arg(value.toString());
        return std::nullopt;
    }
    if (object.contains("count")
        && !(object.value("count").isDouble() && object.value("count").toInt(-1) >= 0)) {
        *error = QStringLiteral("\"count\" is a number of times");
        return std::nullopt;
    }
    if (object.contains("args") && !object.value("args").isArray()) {
        *error = QStringLiteral("\"args\" is an array");
        return std::nullopt;
    }
    return Expectation(kind, object);
}

bool Expectation::holds(const Context &context, QString *detail) const
{
    if (screenKinds.contains(m_kind) || m_kind == QLatin1String("toast"))
        return holdsOnScreen(context, detail);
    if (m_kind == QLatin1String("picture"))
        return holdsForPicture(context, detail);
    if (controlKinds.contains(m_kind) || m_kind == QLatin1String("hidden"))
        return holdsForControl(context, detail);
    if (journalKinds.contains(m_kind))
        return holdsInJournal(context, detail);
    return holdsOnDevice(context, detail);
}

bool Expectation::holdsOnScreen(const Context &context, QString *detail) const
{
    const QString expected = m_object.value(m_kind).toString();
    if (m_kind == QLatin1String("screen")) {
        const QString shown = ScreenProbe::screenName(context.probe->currentScreen());
        *detail = QStringLiteral("the screen is %1").arg(shown);
        return shown == expected;
    }
    if (m_kind == QLatin1String("focus")) {
        const QString focused = ScreenProbe::screenName(context.probe->focusedScreen());
        *detail = QStringLiteral("the focus is on %1").arg(focused);
        return focused == expected;
    }
    const QString toast = context.probe->toastText();
    *detail = toast.isEmpty() ? QStringLiteral("no tip on screen")
                              : QStringLiteral("the tip reads \"%1\"").arg(toast);
    return expected.isEmpty() ? toast.isEmpty() : ScreenProbe::shows(toast, expected);
}

bool Expectation::holdsForControl(const Context &context, QString *detail) const
{
    const QString caption = m_object.value(m_kind).toString();
    const QList<QWidget *> controls = context.probe->controlsShowing(caption);
    QStringList shown;
    for (QWidget *control : context.probe->visibleControls())
        shown.append(ScreenProbe::textOf(control));
    if (m_kind == QLatin1String("hidden")) {
        *detail = QStringLiteral("\"%1\" is visible").arg(caption);
        return controls.isEmpty();
    }
    if (controls.isEmpty()) {
        *detail = QStringLiteral("no visible control shows \"%1\"; shown: %2").arg(caption, quoted(shown));
        return false;
    }
    for (QWidget *control : controls) {
        if (controlState(m_kind, control))
            return true;
    }
    *detail = QStringLiteral("\"%1\" is not %2").arg(caption, m_kind);
    return false;
}

bool Expectation::holdsInJournal(const Context &context, QString *detail) const
{
    const QString name = m_object.value(m_kind).toString();
    const bool request = m_kind == QLatin1String("request");
    const QString event = request ? QStringLiteral("host") : m_kind;
    const QString nameKey = request ? QStringLiteral("request") : QStringLiteral("name");
    int seen = 0;
    for (const QJsonObject &entry : context.journal->events()) {
        if (entry.value("event").toString() != event || entry.value(nameKey).toString() != name)
            continue;
        bool matches = true;
        for (const QString &key : m_object.keys()) {
            if (key == m_kind || key == QLatin1String("count"))
                continue;
            const QJsonValue expected = m_object.value(key);
            const QJsonValue found = entry.value(key);
            matches = matches
                && (expected.isString() && found.isString()
                        ? ScreenProbe::shows(found.toString(), expected.toString())
                        : expected == found);
        }
        if (matches)
            ++seen;
    }
    const bool exact = m_object.contains("count");
    const int wanted = m_object.value("count").toInt(1);
    *detail = QStringLiteral("%1 %2 seen %3 time(s), expected %4%5")
                  .arg(m_kind, name)
                  .arg(seen)
                  .arg(exact ? QString() : QStringLiteral("at least "))
                  .arg(wanted);
    return exact ? seen == wanted : seen >= wanted;
}

bool Expectation::holdsOnDevice(const Context &context, QString *detail) const
{
    if (m_kind == QLatin1String("logoWritten")) {
        const bool written = context.sandbox->logoPartitionChanged();
        *detail = written ? QStringLiteral("the boot logo was written")
                          : QStringLiteral("the boot logo is unchanged");
        return written == m_object.value(m_kind).toBool();
    }
    const QString devicePath = m_object.value(m_kind).toString();
    const bool exists = QFileInfo::exists(context.sandbox->path(devicePath));
    *detail = QStringLiteral("%1 %2").arg(devicePath, exists ? "exists" : "does not exist");
    return exists == m_object.value("exists").toBool(true);
}

bool Expectation::holdsForPicture(const Context &context, QString *detail) const
{
    const QString name = m_object.value(m_kind).toString();
    if (!context.screenshots->contains(name)) {
        *detail = QStringLiteral("no screenshot \"%1\" was taken").arg(name);
        return false;
    }
    const bool same = context.probe->grab() == context.screenshots->value(name);
    *detail = same ? QStringLiteral("the window looks as at \"%1\"").arg(name)
                   : QStringLiteral("the window looks other than at \"%1\"").arg(name);
    return same == m_object.value("same").toBool(true);
}
