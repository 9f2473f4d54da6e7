#ifndef TIPDIALOG_H
#define TIPDIALOG_H

#include <QPointer>
#include <QWidget>

// A short message shown above the host's screens for a moment. Showing a
// new tip replaces the one on screen.
class TipDialog : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text)

public:
    // Shows text for duration milliseconds (0: two seconds) and returns at once.
    static void showMessage(const QString &text, int duration);

    // The tip on screen, or null.
    static TipDialog *current();

    QString text() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TipDialog(const QString &text, QWidget *parent);

    QString m_text;
    static QPointer<TipDialog> s_current;
};

#endif // TIPDIALOG_H
