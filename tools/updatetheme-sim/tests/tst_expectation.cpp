#include "devicesandbox.h"
#include "expectation.h"
#include "screenprobe.h"
#include "simjournal.h"

#include <QJsonDocument>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

// What a scenario expects is judged against the journal, the window and the
// sandbox; a count is exact when given and "at least once" otherwise.
class tst_Expectation : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void judgesTheJournal_data();
    void judgesTheJournal();
    void judgesControls_data();
    void judgesControls();
    void judgesTheScreenByClassName();
    void judgesTheDevice();

private:
    bool holds(const char *expectation, QString *detail = nullptr);

    SimJournal *m_journal = nullptr;
    QWidget *m_window = nullptr;
    ScreenProbe *m_probe = nullptr;
    DeviceSandbox *m_sandbox = nullptr;
};

// Stands in for the plugin's screen of that class name.
class CustomMcuUpdateWidget : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;
};

void tst_Expectation::init()
{
    m_journal = new SimJournal;
    m_window = new QWidget;
    m_window->resize(800, 480);
    m_probe = new ScreenProbe(m_window);
    m_sandbox = new DeviceSandbox;
    QString error;
    QVERIFY2(m_sandbox->prepare(QString(), &error), qPrintable(error));
}

void tst_Expectation::cleanup()
{
    delete m_sandbox;
    delete m_probe;
    delete m_window;
    delete m_journal;
}

bool tst_Expectation::holds(const char *expectation, QString *detail)
{
    QString error;
    const std::optional<Expectation> parsed
        = Expectation::parse(QJsonDocument::fromJson(expectation).object(), &error);
    if (!parsed)
        qFatal("%s: %s", expectation, qPrintable(error));
    QString found;
    return parsed->holds({m_probe, m_journal, m_sandbox}, detail ? detail : &found);
}

void tst_Expectation::judgesTheJournal_data()
{
    QTest::addColumn<QByteArray>("expectation");
    QTest::addColumn<bool>("held");
    QTest::newRow("seen at least once") << QByteArray(R"({"signal": "changeToUsbDevice"})") << true;
    QTest::newRow("exact count") << QByteArray(R"({"signal": "changeToUsbDevice", "count": 2})") << true;
    QTest::newRow("exact count missed")
        << QByteArray(R"({"signal": "changeToUsbDevice", "count": 1})") << false;
    QTest::newRow("count of none") << QByteArray(R"({"signal": "cancelUpdate", "count": 0})") << true;
    QTest::newRow("arguments") << QByteArray(R"({"signal": "changeToUsbDevice", "args": [1], "count": 1})")
                               << true;
    QTest::newRow("arguments never seen")
        << QByteArray(R"({"signal": "changeToUsbDevice", "args": [2]})") << false;
    QTest::newRow("signal is no call") << QByteArray(R"({"call": "changeToUsbDevice"})") << false;
    QTest::newRow("call with list") << QByteArray(R"({"call": "setUpgradeFileList", "args": [["mcu.bin"]]})")
                                    << true;
    QTest::newRow("request with details")
        << QByteArray(R"({"request": "toast", "text": "Updating"})") << true;
    QTest::newRow("request with other details")
        << QByteArray(R"({"request": "toast", "text": "Package missing"})") << false;
    QTest::newRow("request with number")
        << QByteArray(R"({"request": "saveSettingData", "value": 0})") << true;
}

void tst_Expectation::judgesTheJournal()
{
    QFETCH(QByteArray, expectation);
    QFETCH(bool, held);
    m_journal->record("signal",
                      QJsonDocument::fromJson(R"({"name": "changeToUsbDevice", "args": [0]})").object());
    m_journal->record("signal",
                      QJsonDocument::fromJson(R"({"name": "changeToUsbDevice", "args": [1]})").object());
    m_journal->record(
        "call", QJsonDocument::fromJson(R"({"name": "setUpgradeFileList", "args": [["mcu.bin"]]})").object());
    m_journal->record("host",
                      QJsonDocument::fromJson(R"({"request": "toast", "text": "Updating"})").object());
    m_journal->record(
        "host",
        QJsonDocument::fromJson(R"({"request": "saveSettingData", "key": "LogoIndex", "value": 0})")
            .object());
    QCOMPARE(holds(expectation.constData()), held);
}

void tst_Expectation::judgesControls_data()
{
    QTest::addColumn<QByteArray>("expectation");
    QTest::addColumn<bool>("held");
    QTest::newRow("visible") << QByteArray(R"({"visible": "Cancel"})") << true;
    QTest::newRow("caption with countdown") << QByteArray(R"({"visible": "Update"})") << true;
    QTest::newRow("countdown is not part of a caption")
        << QByteArray(R"({"visible": "Update(7)x"})") << false;
    QTest::newRow("other caption") << QByteArray(R"({"visible": "Upgrade part"})") << false;
    QTest::newRow("hidden control is not visible") << QByteArray(R"({"visible": "USB1"})") << false;
    QTest::newRow("hidden") << QByteArray(R"({"hidden": "USB1"})") << true;
    QTest::newRow("visible is not hidden") << QByteArray(R"({"hidden": "Cancel"})") << false;
    QTest::newRow("disabled") << QByteArray(R"({"disabled": "Update"})") << true;
    QTest::newRow("enabled") << QByteArray(R"({"enabled": "Cancel"})") << true;
    QTest::newRow("disabled is not enabled") << QByteArray(R"({"enabled": "Update"})") << false;
    QTest::newRow("checked") << QByteArray(R"({"checked": "USB0"})") << true;
    QTest::newRow("checked is not unchecked") << QByteArray(R"({"unchecked": "USB0"})") << false;
    QTest::newRow("absent control is not disabled") << QByteArray(R"({"disabled": "SD0"})") << false;
}

void tst_Expectation::judgesControls()
{
    QFETCH(QByteArray, expectation);
    QFETCH(bool, held);
    QPushButton *update = new QPushButton("Update(7)", m_window);
    update->setEnabled(false);
    new QPushButton("Cancel", m_window);
    QPushButton *usb0 = new QPushButton("USB0", m_window);
    usb0->setCheckable(true);
    usb0->setChecked(true);
    (new QPushButton("USB1", m_window))->hide();
    m_window->show();
    QCOMPARE(holds(expectation.constData()), held);
}

void tst_Expectation::judgesTheScreenByClassName()
{
    QString detail;
    m_window->show();
    QVERIFY(holds(R"({"screen": "none"})"));
    CustomMcuUpdateWidget *screen = new CustomMcuUpdateWidget(m_window);
    screen->show();
    QVERIFY(holds(R"({"screen": "mcu"})"));
    QVERIFY(!holds(R"({"screen": "dialog"})", &detail));
    QCOMPARE(detail, QString("the screen is mcu"));
    screen->hide();
    QVERIFY(holds(R"({"screen": "none"})"));
}

void tst_Expectation::judgesTheDevice()
{
    QString detail;
    QVERIFY(holds(R"({"file": "/application/resource/update/style0/bt_n.png"})"));
    QVERIFY(holds(R"({"file": "/media/flash/nvm/logo.jpg", "exists": false})"));
    QVERIFY(!holds(R"({"file": "/media/flash/nvm/logo.jpg"})", &detail));
    QCOMPARE(detail, QString("/media/flash/nvm/logo.jpg does not exist"));

    QVERIFY(holds(R"({"logoWritten": false})"));
    QFile partition(m_sandbox->path("/dev/mtd14"));
    QVERIFY(partition.open(QIODevice::ReadWrite));
    QCOMPARE(partition.size(), qint64(3072000));
    partition.seek(80);
    partition.write("pixels");
    partition.close();
    QVERIFY(holds(R"({"logoWritten": true})"));
}

QTEST_MAIN(tst_Expectation)
#include "tst_expectation.moc"
