#ifndef UPDATELOG_H
#define UPDATELOG_H

#include <QDebug>
#include <QMessageLogger>

// Writes the plugin's debug-log records. Every record carries the source file
// "update", the category "default" and the function signature and line that
// the caller names explicitly: the factory line's tools match on them, so they
// must not depend on where the code happens to stand.
class UpdateLog
{
public:
    UpdateLog(const char *function, int line)
        : m_logger(file(), line, function, category())
        , m_line(line)
    { }

    // A debug-stream record: the caller streams its items.
    QDebug stream() const { return m_logger.debug(); }

    // A debug-stream record that starts with the trace items
    // "[QT]" "[UpdateStyle0]" "func:" <name> "line:" <line>.
    QDebug trace(const char *name) const
    {
        return m_logger.debug() << "[QT]"
                                << "[UpdateStyle0]"
                                << "func:" << name << "line:" << m_line;
    }

    // A printf-style record.
    template<typename... Args> void printf(const char *format, Args... args) const
    {
        m_logger.debug(format, args...);
    }

    static const char *file() { return "update"; }
    static const char *category() { return "default"; }

private:
    QMessageLogger m_logger;
    int m_line;
};

#endif // UPDATELOG_H
