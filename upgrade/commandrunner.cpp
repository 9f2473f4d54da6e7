#include "commandrunner.h"

#include <QFile>

#include <stdlib.h>

namespace {

QByteArray encoded(const QString &command, bool ordinary)
{
    return ordinary ? command.toLatin1() : QFile::encodeName(command);
}

} // namespace

CommandRunner *CommandRunner::instance()
{
    static CommandRunner runner;
    return &runner;
}

QByteArray CommandRunner::command(const QString &commandTemplate, const QString &path)
{
    return encoded(commandTemplate.arg(shellPath(path)), isOrdinary(path));
}

QByteArray CommandRunner::command(const QString &commandTemplate, const QString &first, const QString &second)
{
    // The two-argument arg() fills both placeholders in one pass: a path that
    // itself holds "%1" or "%2" is not substituted again.
    return encoded(commandTemplate.arg(shellPath(first), shellPath(second)),
                   isOrdinary(first) && isOrdinary(second));
}

void CommandRunner::run(const QString &commandTemplate, const QString &path)
{
    run(command(commandTemplate, path));
}

void CommandRunner::run(const QString &commandTemplate, const QString &first, const QString &second)
{
    run(command(commandTemplate, first, second));
}

void CommandRunner::run(const QByteArray &command)
{
    const int status = system(command.constData());
    Q_UNUSED(status);
    emit instance()->commandFinished(command);
}

QString CommandRunner::shellPath(const QString &path)
{
    if (isOrdinary(path))
        return path;
    QString quoted = path;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
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
