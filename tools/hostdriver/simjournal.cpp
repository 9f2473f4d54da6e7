#include "simjournal.h"

#include "hostjournal.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>

SimJournal::SimJournal(QObject *parent)
    : QObject(parent)
{
    m_clock.start();
    connect(HostJournal::instance(), &HostJournal::recorded, this, &SimJournal::onHostRequest);
}

bool SimJournal::open(const QString &file, QString *error)
{
    bool opened = false;
    if (file.isEmpty()) {
        opened = m_output.open(stdout, QIODevice::WriteOnly);
    } else {
        m_output.setFileName(file);
        opened = QDir().mkpath(QFileInfo(file).absolutePath()) && m_output.open(QIODevice::WriteOnly);
    }
    if (!opened)
        *error = QStringLiteral("cannot write the journal %1: %2").arg(file, m_output.errorString());
    return opened;
}

void SimJournal::record(const QString &event, QJsonObject fields)
{
    fields.insert(QStringLiteral("event"), event);
    fields.insert(QStringLiteral("time"), m_clock.elapsed());
    m_events.append(fields);
    if (m_output.isOpen()) {
        m_output.write(QJsonDocument(fields).toJson(QJsonDocument::Compact) + '\n');
        m_output.flush();
    }
    emit recorded(fields);
}

void SimJournal::onHostRequest(const QJsonObject &entry)
{
    record(QStringLiteral("host"), entry);
}
