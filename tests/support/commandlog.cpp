#include "commandlog.h"

extern "C" int __real_system(const char *command);

// What the plugin's objects call for system().
extern "C" int __wrap_system(const char *command)
{
    const int status = __real_system(command);
    emit CommandLog::instance()->commandFinished(QByteArray(command));
    return status;
}

CommandLog *CommandLog::instance()
{
    static CommandLog log;
    return &log;
}
