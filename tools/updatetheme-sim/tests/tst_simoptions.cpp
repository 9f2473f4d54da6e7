#include "simoptions.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

// The command line and a scenario's setup configure the same things; what
// the command line gives explicitly wins.
class tst_SimOptions : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void refusesBadArguments_data();
    void refusesBadArguments();
    void readsScreenSize_data();
    void readsScreenSize();
    void keepsMediaInTheirOrder();
    void typesSettingValues();
    void commandLineWinsOverSetup();
    void setupFillsWhatTheCommandLineLeftOpen();
    void refusesBadSetup_data();
    void refusesBadSetup();

private:
    bool parse(const QStringList &arguments);
    static QJsonObject json(const char *text);

    QTemporaryDir m_dir;
    SimOptions m_options;
    QString m_error;
};

void tst_SimOptions::init()
{
    m_options = SimOptions();
    m_error.clear();
}

bool tst_SimOptions::parse(const QStringList &arguments)
{
    return m_options.parse(QStringList {"updatetheme-sim"} + arguments, &m_error);
}

QJsonObject tst_SimOptions::json(const char *text)
{
    return QJsonDocument::fromJson(text).object();
}

void tst_SimOptions::refusesBadArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error");
    QTest::newRow("unknown option") << QStringList {"--speed", "2"} << "Unknown option 'speed'.";
    QTest::newRow("stray argument") << QStringList {"plugin.so"} << "unexpected argument \"plugin.so\"";
    QTest::newRow("medium folder missing")
        << QStringList {"--usb", "/no/such/folder"} << "--usb: no folder \"/no/such/folder\"";
    QTest::newRow("setting without value") << QStringList {"--factory", "SupportQuickUpgrade"}
                                           << "--factory expects KEY=VALUE, not \"SupportQuickUpgrade\"";
    QTest::newRow("module neither on nor off")
        << QStringList {"--mcu-module", "yes"} << "--mcu-module expects on or off";
    QTest::newRow("client model not a number")
        << QStringList {"--client-model", "two"} << "--client-model expects a number";
    QTest::newRow("tick of zero") << QStringList {"--upgrade-tick", "0"}
                                  << "--upgrade-tick expects milliseconds from 1 to 10000";
    QTest::newRow("screenshots without scenario")
        << QStringList {"--screenshots", "/tmp"}
        << "--screenshots is for scenarios: give --scenario FILE as well";
    QTest::newRow("unknown demo medium")
        << QStringList {"--demo-medium", "firmware"} << "--demo-medium: unknown content \"firmware\"";
}

void tst_SimOptions::refusesBadArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    QVERIFY(!parse(arguments));
    QCOMPARE(m_error, error);
}

void tst_SimOptions::readsScreenSize_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QSize>("size");
    QTest::newRow("head unit") << "800x480" << QSize(800, 480);
    QTest::newRow("wide centre screen") << "1280x720" << QSize(1280, 720);
    QTest::newRow("smallest") << "320x240" << QSize(320, 240);
    QTest::newRow("too small") << "319x240" << QSize();
    QTest::newRow("too large") << "3841x2160" << QSize();
    QTest::newRow("one number") << "800" << QSize();
    QTest::newRow("three numbers") << "800x480x2" << QSize();
    QTest::newRow("upper-case X") << "800X480" << QSize();
}

void tst_SimOptions::readsScreenSize()
{
    QFETCH(QString, text);
    QFETCH(QSize, size);
    QCOMPARE(parse({"--size", text}), size.isValid());
    QCOMPARE(m_options.screenSize, size.isValid() ? size : QSize(800, 480));
}

void tst_SimOptions::keepsMediaInTheirOrder()
{
    QDir(m_dir.path()).mkpath("a");
    QDir(m_dir.path()).mkpath("b");
    QDir(m_dir.path()).mkpath("c");
    QVERIFY2(parse({"--usb", m_dir.filePath("c"), "--sd", m_dir.filePath("a"), "--usb", m_dir.filePath("b")}),
             qPrintable(m_error));
    // USB0 and USB1 are the first and second --usb.
    QStringList usb;
    QStringList sd;
    for (const SimulatedMedium &medium : m_options.media)
        (medium.type == SimulatedMedium::Usb ? usb : sd).append(medium.directory);
    QCOMPARE(usb, (QStringList {m_dir.filePath("c"), m_dir.filePath("b")}));
    QCOMPARE(sd, QStringList {m_dir.filePath("a")});
}

void tst_SimOptions::typesSettingValues()
{
    QVERIFY(parse({"--factory", "SupportQuickUpgrade=true", "--factory", "SupportFactoryCustom=false",
                   "--temp", "MCUVERSION=MCU_2.1.0", "--temp", "Count=12", "--temp", "Equation=a=b"}));
    QCOMPARE(m_options.factory.value("SupportQuickUpgrade"), QVariant(true));
    QCOMPARE(m_options.factory.value("SupportFactoryCustom"), QVariant(false));
    QCOMPARE(m_options.temp.value("MCUVERSION"), QVariant("MCU_2.1.0"));
    QCOMPARE(m_options.temp.value("Count"), QVariant(12));
    QCOMPARE(m_options.temp.value("Equation"), QVariant("a=b"));
}

void tst_SimOptions::commandLineWinsOverSetup()
{
    QDir(m_dir.path()).mkpath("stick");
    QVERIFY(
        parse({"--software-version", "KD_PLV_01", "--factory", "SupportQuickUpgrade=false", "--usb",
               m_dir.filePath("stick"), "--size", "1024x600", "--upgrade-tick", "7", "--mcu-module", "off"}));
    QVERIFY2(m_options.applySetup(json(R"({"softwareVersion": "KD_PLV_07",
        "factory": {"SupportQuickUpgrade": true, "SupportFactoryCustom": true},
        "media": [{"type": "sd", "content": "upgrade"}], "size": "800x480", "upgradeTick": 40,
        "mcuModule": true})"),
                                  m_dir.path(), &m_error),
             qPrintable(m_error));
    QCOMPARE(*m_options.softwareVersion, QString("KD_PLV_01"));
    // Settings merge key by key.
    QCOMPARE(m_options.factory.value("SupportQuickUpgrade"), QVariant(false));
    QCOMPARE(m_options.factory.value("SupportFactoryCustom"), QVariant(true));
    QCOMPARE(m_options.media.size(), 1);
    QCOMPARE(m_options.media.first().directory, m_dir.filePath("stick"));
    QCOMPARE(m_options.screenSize, QSize(1024, 600));
    QCOMPARE(m_options.upgradeTick, 7);
    QCOMPARE(*m_options.mcuModule, false);
}

void tst_SimOptions::setupFillsWhatTheCommandLineLeftOpen()
{
    QVERIFY(parse({}));
    QVERIFY(!m_options.softwareVersion && !m_options.clientModel && !m_options.mcuModule);
    QVERIFY2(
        m_options.applySetup(json(R"({"softwareVersion": "KD_PLV_07", "clientModel": 2, "autoUpgrade": false,
        "media": [{"type": "usb", "content": "empty", "files": {"mcu.bin": 100, "ISPBOOOT.BIN": null}},
                  {"type": "sd", "directory": "card"}]})"),
                             m_dir.path(), &m_error),
        qPrintable(m_error));
    QCOMPARE(*m_options.softwareVersion, QString("KD_PLV_07"));
    QCOMPARE(*m_options.clientModel, 2);
    QVERIFY(!m_options.autoUpgrade);
    QCOMPARE(m_options.media.size(), 2);
    QCOMPARE(m_options.media.at(0).content, QString("empty"));
    QCOMPARE(m_options.media.at(0).files.value("mcu.bin").toInt(), 100);
    QVERIFY(m_options.media.at(0).files.value("ISPBOOOT.BIN").isNull());
    // Folders of media are relative to the scenario.
    QCOMPARE(m_options.media.at(1).directory, m_dir.filePath("card"));
    QCOMPARE(m_options.media.at(1).type, SimulatedMedium::Sd);
}

void tst_SimOptions::refusesBadSetup_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("error");
    QTest::newRow("unknown key") << R"({"speed": 2})"
                                 << "setup: unknown key \"speed\"";
    QTest::newRow("medium of no type") << R"({"media": [{"type": "cd"}]})"
                                       << "setup: a medium's \"type\" is \"usb\" or \"sd\"";
    QTest::newRow("unknown content") << R"({"media": [{"type": "usb", "content": "music"}]})"
                                     << "setup: unknown medium content \"music\"";
    QTest::newRow("negative file size") << R"({"media": [{"type": "usb", "files": {"mcu.bin": -1}}]})"
                                        << "setup: the size of \"mcu.bin\" is a number of bytes or null";
    QTest::newRow("unknown medium key") << R"({"media": [{"type": "usb", "label": "STICK"}]})"
                                        << "setup: unknown key \"label\" in a medium";
    QTest::newRow("bad size") << R"({"size": "big"})"
                              << "setup: \"size\" is \"WIDTHxHEIGHT\"";
    QTest::newRow("tick of zero") << R"({"upgradeTick": 0})"
                                  << "setup: \"upgradeTick\" is milliseconds from 1 to 10000";
}

void tst_SimOptions::refusesBadSetup()
{
    QFETCH(QString, setup);
    QFETCH(QString, error);
    QVERIFY(parse({}));
    QVERIFY(!m_options.applySetup(json(setup.toUtf8().constData()), m_dir.path(), &m_error));
    QCOMPARE(m_error, error);
}

QTEST_GUILESS_MAIN(tst_SimOptions)
#include "tst_simoptions.moc"
