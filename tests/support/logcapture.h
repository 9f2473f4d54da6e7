#ifndef LOGCAPTURE_H
#define LOGCAPTURE_H

#include <QList>
#include <QString>
#include <QtGlobal>

// Collects the debug-log records written while it lives, with their context.
class LogCapture
{
public:
    struct Record
    {
        QtMsgType type;
        QString file;
        int line;
        QString function;
        QString category;
        QString message;
    };

    LogCapture();
    ~LogCapture();

    QList<Record> records() const;
    // The messages of the plugin's records: debug records of the file "update", category "default".
    QStringList messages() const;
    void clear();

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message);

    QtMessageHandler m_previous;
};

#endif // LOGCAPTURE_H
