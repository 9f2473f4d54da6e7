#ifndef KEYROUTER_H
#define KEYROUTER_H

#include <QObject>
#include <QPointer>

class QWidget;

// The head unit's keys. The host delivers a hardware key to the focused
// widget as a key event with the host's key code; the PC keys of the window
// are translated into those codes:
//
//   Left   0x0110003F   Up     0x0140000A   focus to the previous control
//   Right  0x01100040   Down   0x0140000B   focus to the next control
//   Enter  0x01100041   OK
//   Escape 0x0110002A   Back
//
// These codes move the focus the same way on every screen. A key that no
// widget takes is the host's: OK then presses the focused control with the
// widget kit's Select key, and Back is handed to unhandledKey() for the
// host's back action.
class KeyRouter : public QObject
{
    Q_OBJECT

public:
    explicit KeyRouter(QWidget *window, QObject *parent = nullptr);

    // Translates the window's PC keys from now on.
    void translatePcKeys();

    // A press and a release of a host key.
    void click(int hostKey);

    // The host code of a PC key's name ("Left", "Enter", ...), or 0.
    static int hostKeyForName(const QString &name);
    // "0x0110003F"
    static QString hexCode(int hostKey);
    static QString mappingText();

    // Where the host delivers a key: the window's focused widget when it is
    // visible, else the window.
    QWidget *target() const;

signals:
    void unhandledKey(int hostKey);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void press(int hostKey);
    void release(int hostKey);

    QWidget *m_window;
    QPointer<QWidget> m_selectTarget; // the control a host OK key is pressing
};

#endif // KEYROUTER_H
