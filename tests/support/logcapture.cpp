#include "logcapture.h"

#include "sandbox.h"

#include <QStringList>

#include <stdio.h>

namespace {
QList<LogCapture::Record> captured;
}

LogCapture::LogCapture()
    : m_previous(qInstallMessageHandler(&LogCapture::handler))
{
    captured.clear();
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(m_previous);
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    captured.append({type, QString::fromUtf8(context.file), context.line, QString::fromUtf8(context.function),
                     QString::fromUtf8(context.category), message});
    // The device VM's log shows what the plugin wrote on the kernel's flash.
    if (Sandbox::onKernelFlash())
        fprintf(stderr, "record %s:%d: %s\n", context.file ? context.file : "-", context.line,
                qPrintable(message.trimmed()));
}

QList<LogCapture::Record> LogCapture::records() const
{
    return captured;
}

QStringList LogCapture::messages() const
{
    QStringList result;
    for (const Record &record : captured)
        if (record.type == QtDebugMsg && record.file == QLatin1String("update")
            && record.category == QLatin1String("default"))
            result.append(record.message);
    return result;
}

void LogCapture::clear()
{
    captured.clear();
}
