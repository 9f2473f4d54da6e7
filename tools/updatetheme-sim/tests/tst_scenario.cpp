#include "scenario.h"

#include <QJsonDocument>
#include <QtTest>

// Scenario files are checked whole before anything runs, and each mistake
// is named with its step.
class tst_Scenario : public QObject
{
    Q_OBJECT

private slots:
    void readsEveryAction();
    void refusesMistakes_data();
    void refusesMistakes();

private:
    static std::optional<Scenario> fromText(const QByteArray &text, QString *error);
};

std::optional<Scenario> tst_Scenario::fromText(const QByteArray &text, QString *error)
{
    return Scenario::fromJson(QJsonDocument::fromJson(text).object(), error);
}

void tst_Scenario::readsEveryAction()
{
    QString error;
    const std::optional<Scenario> scenario
        = fromText(R"({"name": "all", "setup": {"size": "800x480"}, "steps": [
        {"call": "showUpdate", "args": [4, 2], "comment": "the host's own choice"},
        {"host": "insertMedium"},
        {"key": "Escape"},
        {"key": "0x0140000b"},
        {"click": "Upgrade system"},
        {"wait": 250},
        {"expect": {"signal": "checkDevice"}, "within": 2000},
        {"screenshot": "dialog"}]})",
                   &error);
    QVERIFY2(scenario, qPrintable(error));
    QCOMPARE(scenario->name(), QString("all"));
    QCOMPARE(scenario->setup().value("size").toString(), QString("800x480"));
    const QList<Scenario::Step> steps = scenario->steps();
    QCOMPARE(steps.size(), 8);
    QCOMPARE(steps.at(0).action, Scenario::Step::Call);
    QCOMPARE(steps.at(0).call->name(), QString("showUpdate"));
    QCOMPARE(steps.at(0).call->arguments(), (QJsonArray {4, 2}));
    QCOMPARE(steps.at(1).text, QString("insertMedium"));
    QCOMPARE(steps.at(2).number, 0x0110002A);
    QCOMPARE(steps.at(3).number, 0x0140000B);
    QCOMPARE(steps.at(4).text, QString("Upgrade system"));
    QCOMPARE(steps.at(5).number, 250);
    QCOMPARE(steps.at(6).action, Scenario::Step::Expect);
    QCOMPARE(steps.at(6).number, 2000);
    QCOMPARE(steps.at(7).action, Scenario::Step::Screenshot);
    QCOMPARE(steps.at(7).source.value("screenshot").toString(), QString("dialog"));
}

void tst_Scenario::refusesMistakes_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");
    QTest::newRow("no steps") << QByteArray(R"({"name": "x", "steps": []})")
                              << "\"steps\" is a non-empty array";
    QTest::newRow("unknown key") << QByteArray(R"({"stepz": [], "steps": [{"wait": 1}]})")
                                 << "unknown key \"stepz\"";
    QTest::newRow("two actions")
        << QByteArray(R"({"steps": [{"wait": 1}, {"click": "Cancel", "wait": 5}]})")
        << "step 2: a step has exactly one of: call, host, key, click, wait, expect, screenshot";
    QTest::newRow("misspelt operation") << QByteArray(R"({"steps": [{"call": "setDeviceInformation"}]})")
                                        << "step 1: the contract has no operation \"setDeviceInformation\"";
    QTest::newRow("missing argument") << QByteArray(R"({"steps": [{"call": "showUpdate", "args": [0]}]})")
                                      << "step 1: showUpdate takes 2 argument(s), not 1";
    QTest::newRow("device type out of range")
        << QByteArray(R"({"steps": [{"call": "showUpdate", "args": [5, 1]}]})")
        << "step 1: argument 1 of showUpdate must be a device type 0 to 4";
    QTest::newRow("upgrade type out of range")
        << QByteArray(R"({"steps": [{"call": "showUpdate", "args": [4, 3]}]})")
        << "step 1: argument 2 of showUpdate must be an upgrade type 0 to 2";
    QTest::newRow("list of numbers") << QByteArray(
        R"({"steps": [{"call": "setUpgradeFileList", "args": [[1]]}]})")
                                     << "step 1: argument 1 of setUpgradeFileList must be a list of texts";
    QTest::newRow("fraction for a percent")
        << QByteArray(R"({"steps": [{"call": "onUpdateProgressChanged", "args": [4.5]}]})")
        << "step 1: argument 1 of onUpdateProgressChanged must be a whole number";
    QTest::newRow("args on a click") << QByteArray(R"({"steps": [{"click": "Cancel", "args": []}]})")
                                     << "step 1: \"args\" does not go with \"click\"";
    QTest::newRow("unknown host action")
        << QByteArray(R"({"steps": [{"host": "reboot"}]})")
        << "step 1: the host knows insertMedium, openInterface, closeInterface";
    QTest::newRow("unknown key name")
        << QByteArray(R"({"steps": [{"key": "Tab"}]})")
        << "step 1: \"key\" is Left, Right, Up, Down, Enter, Escape or a code like \"0x0110003F\"";
    QTest::newRow("negative wait") << QByteArray(R"({"steps": [{"wait": -5}]})")
                                   << "step 1: \"wait\" takes milliseconds";
    QTest::newRow("screenshot into a folder") << QByteArray(R"({"steps": [{"screenshot": "../dialog"}]})")
                                              << "step 1: \"screenshot\" takes a caption or a file name";
    QTest::newRow("two expectations in one")
        << QByteArray(R"({"steps": [{"expect": {"screen": "mcu", "toast": ""}}]})")
        << "step 1: an expectation has exactly one of: screen, hidden, toast, file, logoWritten, visible, "
           "enabled, "
           "disabled, focused, checked, unchecked, signal, call, request";
    QTest::newRow("unknown screen") << QByteArray(R"({"steps": [{"expect": {"screen": "home"}}]})")
                                    << "step 1: no screen \"home\" (none, dialog, confirmation, mcu)";
    QTest::newRow("count on a screen")
        << QByteArray(R"({"steps": [{"expect": {"screen": "mcu", "count": 1}}]})")
        << "step 1: \"count\" does not go with \"screen\"";
    QTest::newRow("negative count") << QByteArray(
        R"({"steps": [{"expect": {"signal": "checkDevice", "count": -1}}]})")
                                    << "step 1: \"count\" is a number of times";
    QTest::newRow("logo written as text") << QByteArray(R"({"steps": [{"expect": {"logoWritten": "yes"}}]})")
                                          << "step 1: \"logoWritten\" takes true or false";
}

void tst_Scenario::refusesMistakes()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    QString found;
    QVERIFY(!fromText(text, &found));
    QCOMPARE(found, error);
}

QTEST_GUILESS_MAIN(tst_Scenario)
#include "tst_scenario.moc"
