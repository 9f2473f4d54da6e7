#ifndef COMMANDLOG_H
#define COMMANDLOG_H

#include <QByteArray>
#include <QObject>

// The shell commands the plugin's code runs. The test programs that link the
// plugin's objects hand its system() calls to this log at link time
// (-Wl,--wrap=system): each command runs as it would, then is announced.
class CommandLog : public QObject
{
    Q_OBJECT

public:
    static CommandLog *instance();

signals:
    // Emitted after the shell has finished the command.
    void commandFinished(const QByteArray &command);
};

#endif // COMMANDLOG_H
