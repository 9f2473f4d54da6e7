#ifndef CUSTOMIMAGELABEL_H
#define CUSTOMIMAGELABEL_H

#include "presstracker.h"
#include "stateimages.h"

#include <QLabel>

// A label on a picture background that can be pressed like a button. Text,
// alignment, word wrap and style sheet are the QLabel's own.
class CustomImageLabel : public QLabel
{
    Q_OBJECT

public:
    explicit CustomImageLabel(QWidget *parent = nullptr);
    explicit CustomImageLabel(const QString &text, QWidget *parent = nullptr);
    ~CustomImageLabel() override;

    // The pictures stay the caller's; without them the label has no background.
    void setConstBackgroundImage(const QImage *normal, const QImage *pressed, const QImage *focused,
                                 const QImage *disabled, bool stretch);
    const StateImages &backgroundImages() const;

    bool isDown() const;
    QSize sizeHint() const override;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    bool hasBackground() const;

    StateImages m_background;
    bool m_hasBackground = false;
    PressTracker m_press;
};

#endif // CUSTOMIMAGELABEL_H
