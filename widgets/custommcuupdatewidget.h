#ifndef CUSTOMMCUUPDATEWIDGET_H
#define CUSTOMMCUUPDATEWIDGET_H

#include "progressringpainter.h"
#include "updateinterface.h"

#include <QString>
#include <QWidget>

class Countdown;
class CustomImageButton;
class CustomImageLabel;
class QImage;
class ReturnPath;
class QTimer;

// The full-screen MCU upgrade screen. It asks the host to check the source
// medium, starts the upgrade by button, key, a ten-second countdown or at
// once on quick-upgrade devices, and then shows the progress ring, the
// percent and the texts the host reports. It is parented to the host's
// application layer, not to the view that shows it.
class CustomMcuUpdateWidget : public QWidget
{
    Q_OBJECT

public:
    CustomMcuUpdateWidget();
    ~CustomMcuUpdateWidget() override;

    // The host's verdict on the MCU upgrade file; msg is shown when it is unusable.
    void setFileInfo(const bool &valid, const QString &msg);
    // A negative step focuses Update, any other Cancel.
    void moveFocus(int step);

    int percent() const { return m_percent; }
    QString statusText() const { return m_statusText; }
    QString upperText() const { return m_upperText; }
    QString lowerText() const { return m_lowerText; }
    bool canQuit() const { return m_canQuit; }
    // Cancel goes back to the view along it.
    ReturnPath *returnPath() const { return m_returnPath; }

signals:
    void startUpdate();
    void cancelUpdate();
    void checkDevice();

public slots:
    void setPercent(int p);
    // Type 1 sets the caption below the percent, type 2 the one above (both
    // keep their text when msg is empty); any other type the status line.
    void setMessage(int type, QString msg);
    void onFinished(int code);

private slots:
    void onBtClicked();
    void onCheckDeviceSlot();
    void onDelayQuit();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void startUpgrade();
    void activateFocusedButton();
    void repaintReport(const QRect &changed);

    ReturnPath *m_returnPath;
    QString m_lowerText;
    QString m_upperText;
    QString m_statusText;
    int m_percent;
    bool m_canQuit;
    Countdown *m_countdown;
    CustomImageLabel *m_titleLabel;
    CustomImageButton *m_updateButton;
    CustomImageButton *m_cancelButton;
    QImage *m_normalImage;
    QImage *m_pressedImage;
    QImage *m_disabledImage;
    ProgressRingPainter m_ring;
    // Asks the host to check the medium a tenth of a second after construction.
    QTimer *m_checkDeviceTimer;
};

#endif // CUSTOMMCUUPDATEWIDGET_H
