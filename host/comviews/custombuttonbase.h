#ifndef CUSTOMBUTTONBASE_H
#define CUSTOMBUTTONBASE_H

#include "presstracker.h"

#include <QWidget>

// A widget the user presses: clicked() follows a touch released on it, or
// Space on the focused widget.
class CustomButtonBase : public QWidget
{
    Q_OBJECT

public:
    explicit CustomButtonBase(QWidget *parent = nullptr);
    ~CustomButtonBase() override;

    bool isDown() const;

signals:
    void clicked();

protected:
    // The user completed a press; emits clicked().
    virtual void pick();

    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    PressTracker m_press;
};

#endif // CUSTOMBUTTONBASE_H
