#include "commandrunner.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class tst_CommandRunner : public QObject
{
    Q_OBJECT

private slots:
    void formsCommands_data();
    void formsCommands();
    void runsCommandsInOrder();
};

void tst_CommandRunner::formsCommands_data()
{
    QTest::addColumn<QString>("commandTemplate");
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QString>("expected");

    QTest::newRow("ordinary paths as written")
        << "cp -arf %1 %2" << QStringList {"/media/usb0/touch_conf", "/media/flash/nvm/touch_conf"}
        << "cp -arf /media/usb0/touch_conf /media/flash/nvm/touch_conf";
    QTest::newRow("backup suffix after the destination")
        << "cp -arf %1 %2.bak" << QStringList {"/media/usb0/ir_keys", "/media/flash/nvm/ir_keys"}
        << "cp -arf /media/usb0/ir_keys /media/flash/nvm/ir_keys.bak";
    QTest::newRow("all ordinary punctuation")
        << "rm -rf %1" << QStringList {"/media/USB_1.a-b+c,d:e@f"} << "rm -rf /media/USB_1.a-b+c,d:e@f";
    QTest::newRow("blank") << "rm -rf %1" << QStringList {"/media/MY STICK"} << "rm -rf '/media/MY STICK'";
    QTest::newRow("command separator")
        << "cp -arf %1 %2"
        << QStringList {"/media/x;touch /tmp/owned/touch_conf", "/media/flash/nvm/touch_conf"}
        << "cp -arf '/media/x;touch /tmp/owned/touch_conf' /media/flash/nvm/touch_conf";
    QTest::newRow("command substitution")
        << "rm %1" << QStringList {"/media/$(reboot)/logo.jpg"} << "rm '/media/$(reboot)/logo.jpg'";
    QTest::newRow("single quote") << "rm %1" << QStringList {"/media/it's"} << "rm '/media/it'\\''s'";
    QTest::newRow("placeholders in a path are not filled again")
        << "cp -arf %1 %2.bak" << QStringList {"/media/50%2off%1", "/media/flash/nvm/touch_keys"}
        << "cp -arf '/media/50%2off%1' /media/flash/nvm/touch_keys.bak";
    QTest::newRow("non-Latin-1 volume label")
        << "cp -rf %1 %2"
        << QStringList {QString::fromUtf8("/media/U\xe7\x9b\x98/icon"), "/media/flash/nvm/icon"}
        << QString::fromUtf8("cp -rf '/media/U\xe7\x9b\x98/icon' /media/flash/nvm/icon");
}

void tst_CommandRunner::formsCommands()
{
    QFETCH(QString, commandTemplate);
    QFETCH(QStringList, paths);
    QFETCH(QString, expected);

    const QByteArray command = paths.size() == 1
        ? CommandRunner::command(commandTemplate, paths.at(0))
        : CommandRunner::command(commandTemplate, paths.at(0), paths.at(1));
    bool ordinary = true;
    for (const QString &path : paths)
        ordinary = ordinary && CommandRunner::isOrdinary(path);
    // Commands of ordinary paths stay Latin-1; quoted ones reach the file system in its encoding.
    QCOMPARE(command, ordinary ? expected.toLatin1() : QFile::encodeName(expected));
}

void tst_CommandRunner::runsCommandsInOrder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString target = dir.path() + QStringLiteral("/it's a;file $(touch owned)");
    QStringList seen;
    QObject context;
    connect(CommandRunner::instance(), &CommandRunner::commandFinished, &context,
            [&](const QByteArray &) { seen << (QFile::exists(target) ? "present" : "absent"); });
    QSignalSpy spy(CommandRunner::instance(), &CommandRunner::commandFinished);

    QDir::setCurrent(dir.path());
    CommandRunner::run(QStringLiteral("touch %1"), target);
    CommandRunner::run(QStringLiteral("rm %1"), target);

    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toByteArray(), CommandRunner::command(QStringLiteral("touch %1"), target));
    QCOMPARE(spy.at(1).at(0).toByteArray(), CommandRunner::command(QStringLiteral("rm %1"), target));
    // Each signal follows its command's end; nothing but the named file was made.
    QCOMPARE(seen, QStringList({"present", "absent"}));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

QTEST_MAIN(tst_CommandRunner)
#include "tst_commandrunner.moc"
