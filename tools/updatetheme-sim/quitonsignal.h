#ifndef QUITONSIGNAL_H
#define QUITONSIGNAL_H

#include <QObject>

class QSocketNotifier;

// Ends the event loop on SIGINT and SIGTERM, so that Ctrl+C in the terminal
// leaves no session folder behind, as closing the window does. The signal
// handler only writes to a pipe; the quitting happens on the event loop.
class QuitOnSignal : public QObject
{
    Q_OBJECT

public:
    explicit QuitOnSignal(QObject *parent = nullptr);
    ~QuitOnSignal() override;

private slots:
    void onSignal();

private:
    static void handle(int signal);

    static int s_pipe[2];
    QSocketNotifier *m_notifier = nullptr;
};

#endif // QUITONSIGNAL_H
