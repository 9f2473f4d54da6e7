#include "keyrouter.h"

#include "hostkeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

struct PcKey
{
    Qt::Key key;
    const char *name;
    int hostKey;
    const char *meaning;
};

const PcKey pcKeys[] = {
    {Qt::Key_Left, "Left", HostKey::Left, "focus to the previous control"},
    {Qt::Key_Right, "Right", HostKey::Right, "focus to the next control"},
    {Qt::Key_Up, "Up", HostKey::Up, "focus to the previous control"},
    {Qt::Key_Down, "Down", HostKey::Down, "focus to the next control"},
    {Qt::Key_Return, "Enter", HostKey::Ok, "OK: the focused control; Select when the screen ignores OK"},
    {Qt::Key_Escape, "Escape", HostKey::Back, "Back: the screen's cancel, else the host's onReturn()"},
};

int hostKeyFor(int pcKey)
{
    if (pcKey == Qt::Key_Enter)
        return HostKey::Ok;
    for (const PcKey &entry : pcKeys) {
        if (entry.key == pcKey)
            return entry.hostKey;
    }
    return 0;
}

bool sendKey(QWidget *receiver, QEvent::Type type, int key)
{
    QKeyEvent event(type, key, Qt::NoModifier);
    QApplication::sendEvent(receiver, &event);
    return event.isAccepted();
}

} // namespace

KeyRouter::KeyRouter(QWidget *window, QObject *parent)
    : QObject(parent)
    , m_window(window)
{ }

void KeyRouter::translatePcKeys()
{
    qApp->installEventFilter(this);
}

void KeyRouter::click(int hostKey)
{
    press(hostKey);
    release(hostKey);
}

QString KeyRouter::hexCode(int hostKey)
{
    return QStringLiteral("0x") + QString::number(hostKey, 16).toUpper().rightJustified(8, QLatin1Char('0'));
}

int KeyRouter::hostKeyForName(const QString &name)
{
    for (const PcKey &entry : pcKeys) {
        if (name == QLatin1String(entry.name))
            return entry.hostKey;
    }
    return 0;
}

QString KeyRouter::mappingText()
{
    QString text = QStringLiteral("Keys in the window (PC key, host key code, what it does):\n");
    for (const PcKey &entry : pcKeys) {
        text += QStringLiteral("  %1 %2  %3\n")
                    .arg(QLatin1String(entry.name), -7)
                    .arg(hexCode(entry.hostKey), QLatin1String(entry.meaning));
    }
    text += QStringLiteral(
        "  Enter (keypad) is Enter. Once the interface is closed, Enter inserts the medium again.\n");
    return text;
}

bool KeyRouter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    QWidget *widget = qobject_cast<QWidget *>(watched);
    const int hostKey = hostKeyFor(static_cast<QKeyEvent *>(event)->key());
    if (!widget || widget->window() != m_window || hostKey == 0)
        return false;
    if (static_cast<QKeyEvent *>(event)->isAutoRepeat())
        return true;
    if (event->type() == QEvent::KeyPress)
        press(hostKey);
    else
        release(hostKey);
    return true;
}

void KeyRouter::press(int hostKey)
{
    QWidget *receiver = target();
    if (sendKey(receiver, QEvent::KeyPress, hostKey))
        return;
    if (hostKey == HostKey::Ok && receiver != m_window) {
        m_selectTarget = receiver;
        sendKey(receiver, QEvent::KeyPress, Qt::Key_Select);
        return;
    }
    emit unhandledKey(hostKey);
}

void KeyRouter::release(int hostKey)
{
    QWidget *receiver = target();
    sendKey(receiver, QEvent::KeyRelease, hostKey);
    if (hostKey == HostKey::Ok && m_selectTarget) {
        QWidget *pressed = m_selectTarget;
        m_selectTarget = nullptr;
        sendKey(pressed, QEvent::KeyRelease, Qt::Key_Select);
    }
}

QWidget *KeyRouter::target() const
{
    QWidget *focused = m_window->focusWidget();
    return focused && focused->isVisible() ? focused : m_window;
}
