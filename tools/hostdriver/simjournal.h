#ifndef SIMJOURNAL_H
#define SIMJOURNAL_H

#include <QElapsedTimer>
#include <QFile>
#include <QJsonObject>
#include <QList>
#include <QObject>

// Everything that passes between the simulated host and the plugin, in the
// order it happened, kept for the scenario's expectations and written as JSON
// lines. Each line has "event" and "time" (milliseconds since the start):
//
//   call      the host called an operation of the plugin: "name", "args" (and "result")
//   signal    the plugin emitted a signal: "name", "args"
//   host      the plugin asked the host's services for something ("request", as the
//             host stand-in journals it) or the host acted on its own ("action")
//   input     a key or a click the user gave
//   step, result, screenshot, scenario   the scenario's progress
class SimJournal : public QObject
{
    Q_OBJECT

public:
    explicit SimJournal(QObject *parent = nullptr);

    // Writes to file, or to standard output when file is empty.
    bool open(const QString &file, QString *error);

    void record(const QString &event, QJsonObject fields);
    QList<QJsonObject> events() const { return m_events; }

signals:
    void recorded(const QJsonObject &entry);

private slots:
    void onHostRequest(const QJsonObject &entry);

private:
    QElapsedTimer m_clock;
    QFile m_output;
    QList<QJsonObject> m_events;
};

#endif // SIMJOURNAL_H
