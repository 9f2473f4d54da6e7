#include "hostjournal.h"

#include <QJsonDocument>
#include <QStringList>

HostJournal *HostJournal::instance()
{
    static HostJournal journal;
    return &journal;
}

void HostJournal::record(const QString &request, const QJsonObject &details)
{
    QJsonObject entry = details;
    entry.insert(QStringLiteral("request"), request);
    m_entries.append(entry);
    emit recorded(entry);
}

QList<QJsonObject> HostJournal::entries() const
{
    return m_entries;
}

QStringList HostJournal::requests() const
{
    QStringList names;
    for (const QJsonObject &entry : m_entries)
        names.append(entry.value(QStringLiteral("request")).toString());
    return names;
}

void HostJournal::clear()
{
    m_entries.clear();
}

QByteArray HostJournal::toJsonLine(const QJsonObject &entry)
{
    return QJsonDocument(entry).toJson(QJsonDocument::Compact);
}
