#ifndef HOSTJOURNAL_H
#define HOSTJOURNAL_H

#include <QJsonObject>
#include <QList>
#include <QObject>

// Everything the plugin asks of the host (toasts, module requests, settings
// written) in the order it was asked. Tests read it; a host program prints it.
class HostJournal : public QObject
{
    Q_OBJECT

public:
    static HostJournal *instance();

    // Appends {"request": request, ...details} and signals it.
    void record(const QString &request, const QJsonObject &details = QJsonObject());

    QList<QJsonObject> entries() const;
    // The "request" field of every entry, oldest first.
    QStringList requests() const;
    void clear();

    // One entry as a compact JSON line without the trailing newline.
    static QByteArray toJsonLine(const QJsonObject &entry);

signals:
    void recorded(const QJsonObject &entry);

private:
    HostJournal() = default;

    QList<QJsonObject> m_entries;
};

#endif // HOSTJOURNAL_H
