#include "keyrouter.h"

#include <QKeyEvent>
#include <QSignalSpy>
#include <QtTest>

// A focused control that records the keys it gets and takes only some.
class KeyRecorder : public QWidget
{
public:
    explicit KeyRecorder(QWidget *parent)
        : QWidget(parent)
    {
        setFocusPolicy(Qt::StrongFocus);
    }

    QList<int> presses;
    QList<int> releases;
    QList<int> taken;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        presses.append(event->key());
        event->setAccepted(taken.contains(event->key()));
    }
    void keyReleaseEvent(QKeyEvent *event) override
    {
        releases.append(event->key());
        event->setAccepted(taken.contains(event->key()));
    }
};

// The window's PC keys reach the plugin as the host's key codes; keys the
// plugin leaves are the host's.
class tst_KeyRouter : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void translatesPcKeys_data();
    void translatesPcKeys();
    void okPressesTheFocusedControlWhenTheScreenIgnoresIt();
    void okTakenByTheScreenIsNotRepeatedAsSelect();
    void backLeftByTheScreenGoesToTheHost();
    void otherKeysAndOtherWindowsPassUntouched();

private:
    void typePcKey(QWidget *receiver, Qt::Key key);

    QWidget *m_window = nullptr;
    KeyRecorder *m_control = nullptr;
    KeyRouter *m_router = nullptr;
};

void tst_KeyRouter::init()
{
    m_window = new QWidget;
    m_control = new KeyRecorder(m_window);
    m_window->show();
    m_control->setFocus();
    m_router = new KeyRouter(m_window);
    m_router->translatePcKeys();
}

void tst_KeyRouter::cleanup()
{
    delete m_router;
    delete m_window;
}

void tst_KeyRouter::typePcKey(QWidget *receiver, Qt::Key key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(receiver, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(receiver, &release);
}

void tst_KeyRouter::translatesPcKeys_data()
{
    QTest::addColumn<int>("pcKey");
    QTest::addColumn<int>("hostKey");
    QTest::newRow("left: previous") << int(Qt::Key_Left) << 0x0110003F;
    QTest::newRow("right: next") << int(Qt::Key_Right) << 0x01100040;
    QTest::newRow("up: previous") << int(Qt::Key_Up) << 0x0140000A;
    QTest::newRow("down: next") << int(Qt::Key_Down) << 0x0140000B;
    QTest::newRow("enter: OK") << int(Qt::Key_Return) << 0x01100041;
    QTest::newRow("keypad enter: OK") << int(Qt::Key_Enter) << 0x01100041;
    QTest::newRow("escape: back") << int(Qt::Key_Escape) << 0x0110002A;
}

void tst_KeyRouter::translatesPcKeys()
{
    QFETCH(int, pcKey);
    QFETCH(int, hostKey);
    m_control->taken << hostKey;
    typePcKey(m_control, Qt::Key(pcKey));
    QCOMPARE(m_control->presses, QList<int> {hostKey});
    QCOMPARE(m_control->releases, QList<int> {hostKey});
}

void tst_KeyRouter::okPressesTheFocusedControlWhenTheScreenIgnoresIt()
{
    QSignalSpy unhandled(m_router, &KeyRouter::unhandledKey);
    m_control->taken << Qt::Key_Select;
    typePcKey(m_control, Qt::Key_Return);
    // The widget kit presses on Select: down with the press, clicked with the release.
    QCOMPARE(m_control->presses, (QList<int> {0x01100041, Qt::Key_Select}));
    QCOMPARE(m_control->releases, (QList<int> {0x01100041, Qt::Key_Select}));
    QCOMPARE(unhandled.count(), 0);
}

void tst_KeyRouter::okTakenByTheScreenIsNotRepeatedAsSelect()
{
    m_control->taken << 0x01100041;
    m_router->click(0x01100041);
    QCOMPARE(m_control->presses, QList<int> {0x01100041});
    QCOMPARE(m_control->releases, QList<int> {0x01100041});
}

void tst_KeyRouter::backLeftByTheScreenGoesToTheHost()
{
    QSignalSpy unhandled(m_router, &KeyRouter::unhandledKey);
    m_router->click(0x0110002A);
    QCOMPARE(unhandled.count(), 1);
    QCOMPARE(unhandled.first().first().toInt(), 0x0110002A);

    m_control->taken << 0x0110002A;
    m_router->click(0x0110002A);
    QCOMPARE(unhandled.count(), 1);
}

void tst_KeyRouter::otherKeysAndOtherWindowsPassUntouched()
{
    typePcKey(m_control, Qt::Key_A);
    QWidget other;
    KeyRecorder *elsewhere = new KeyRecorder(&other);
    typePcKey(elsewhere, Qt::Key_Left);
    QCOMPARE(m_control->presses, QList<int> {Qt::Key_A});
    QCOMPARE(elsewhere->presses, QList<int> {Qt::Key_Left});
}

QTEST_MAIN(tst_KeyRouter)
#include "tst_keyrouter.moc"
