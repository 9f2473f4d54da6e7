#include "commandrunner.h"

#include <QFile>
#include <QString>

#include <stdlib.h>

namespace {

// A path as it goes into a command.
QString shellPath(const QString &path)
{
    if (CommandRunner::isOrdinary(path))
        return path;
    QString quoted = path;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

void runCommand(const QString &command, bool ordinary)
{
    const int status = system((ordinary ? command.toLatin1() : QFile::encodeName(command)).constData());
    Q_UNUSED(status);
}

} // namespace

void CommandRunner::run(const QString &commandTemplate, const QString &path)
{
    runCommand(commandTemplate.arg(shellPath(path)), isOrdinary(path));
}

void CommandRunner::run(const QString &commandTemplate, const QString &first, const QString &second)
{
    // The two-argument arg() fills both placeholders in one pass: a path that
    // itself holds "%1" or "%2" is not substituted again.
    runCommand(commandTemplate.arg(shellPath(first), shellPath(second)),
               isOrdinary(first) && isOrdinary(second));
}

bool CommandRunner::isOrdinary(const QString &path)
{
    static const QString punctuation = QStringLiteral("/._-+,:@");
    for (int i = 0; i < path.size(); ++i) {
        const QChar c = path.at(i);
        const ushort u = c.unicode();
        const bool alphanumeric = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9');
        if (!alphanumeric && !punctuation.contains(c))
            return false;
    }
    return true;
}
