#ifndef HOSTWINDOW_H
#define HOSTWINDOW_H

#include <QPixmap>
#include <QWidget>

// The head unit's screen: a window of the display's size that draws the
// host's background picture and holds the application layer, the UI layer
// the plugin's full-screen views and the host's tips are parented to. While
// no upgrade interface is open it shows what the host would: a line saying
// so.
class HostWindow : public QWidget
{
    Q_OBJECT

public:
    HostWindow(const QSize &screenSize, const QPixmap &background);

    QWidget *applicationLayer() const { return m_layer; }
    void setIdleText(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *m_layer;
    QPixmap m_background;
    QString m_idleText;
};

#endif // HOSTWINDOW_H
