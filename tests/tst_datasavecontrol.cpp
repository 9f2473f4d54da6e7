#include "datasavecontrol.h"
#include "hostjournal.h"
#include "sandbox.h"

#include <QFile>
#include <QtTest>

class tst_DataSaveControl : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void missingKeyGivesTheDefault_data();
    void missingKeyGivesTheDefault();
    void valuesSurviveReopening();
    void groupsAreSeparate();
    void savedSettingIsJournalled();
    void unwritableStoreKeepsDefaults();

private:
    Sandbox *m_sandbox = nullptr;
};

void tst_DataSaveControl::init()
{
    m_sandbox = new Sandbox;
    HostJournal::instance()->clear();
}

void tst_DataSaveControl::cleanup()
{
    delete m_sandbox;
    m_sandbox = nullptr;
}

void tst_DataSaveControl::missingKeyGivesTheDefault_data()
{
    QTest::addColumn<QString>("store");
    QTest::newRow("no settings file") << QString();
    QTest::newRow("file without the key") << QStringLiteral("[Factory]\nOther=true\n");
    QTest::newRow("unreadable garbage") << QStringLiteral("\x01\x02 not an ini file ===\n[");
}

void tst_DataSaveControl::missingKeyGivesTheDefault()
{
    QFETCH(QString, store);
    if (!store.isNull()) {
        QFile file(m_sandbox->settingsFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(store.toUtf8());
    }
    QCOMPARE(
        DataSaveControl::readFactoryData(QStringLiteral("SupportQuickUpgrade"), QVariant(false)).toBool(),
        false);
    QCOMPARE(DataSaveControl::readTempData(QStringLiteral("MCUVERSION"), QVariant("unknown")).toString(),
             QStringLiteral("unknown"));
}

void tst_DataSaveControl::valuesSurviveReopening()
{
    DataSaveControl::writeFactoryData(QStringLiteral("SupportQuickUpgrade"), true);
    DataSaveControl::writeTempData(QStringLiteral("MCUVERSION"), QStringLiteral("MCU_1.2.3"));
    DataSaveControl::saveSettingData(QStringLiteral("LogoIndex"), 0, QString());

    QVERIFY(QFile::exists(m_sandbox->settingsFile()));
    QCOMPARE(DataSaveControl::readFactoryData(QStringLiteral("SupportQuickUpgrade"), false).toBool(), true);
    QCOMPARE(DataSaveControl::readTempData(QStringLiteral("MCUVERSION"), "unknown").toString(),
             QStringLiteral("MCU_1.2.3"));
    QCOMPARE(DataSaveControl::readSettingData(QStringLiteral("LogoIndex"), -1).toInt(), 0);
}

void tst_DataSaveControl::groupsAreSeparate()
{
    DataSaveControl::writeTempData(QStringLiteral("SupportQuickUpgrade"), true);
    QCOMPARE(DataSaveControl::readFactoryData(QStringLiteral("SupportQuickUpgrade"), false).toBool(), false);
}

void tst_DataSaveControl::savedSettingIsJournalled()
{
    DataSaveControl::saveSettingData(QStringLiteral("LogoIndex"), 0, QString());

    const QList<QJsonObject> entries = HostJournal::instance()->entries();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(HostJournal::toJsonLine(entries.first()),
             QByteArray(R"({"key":"LogoIndex","owner":"","request":"saveSettingData","value":0})"));
}

void tst_DataSaveControl::unwritableStoreKeepsDefaults()
{
    qputenv(DataSaveControl::environmentVariable(), "/proc/updatetheme-no-such-dir/settings.ini");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("cannot write"));
    DataSaveControl::writeFactoryData(QStringLiteral("SupportFactoryCustom"), true);
    QCOMPARE(DataSaveControl::readFactoryData(QStringLiteral("SupportFactoryCustom"), false).toBool(), false);
}

QTEST_MAIN(tst_DataSaveControl)
#include "tst_datasavecontrol.moc"
