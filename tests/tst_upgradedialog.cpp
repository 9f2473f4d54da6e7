#include "customimagelabel.h"
#include "datasavecontrol.h"
#include "hostjournal.h"
#include "hostsetup.h"
#include "logcapture.h"
#include "mediatree.h"
#include "sandbox.h"
#include "screentest.h"
#include "tipdialog.h"
#include "upgradedialog.h"
#include "usbcontrol.h"

#include <QtTest>

#include <memory>

namespace {

// The factory line's tools match the walk's records on this signature.
const char walkFunction[] = "void UpgradeDialog::setUpgradeFileList(const QStringList&)";

const int backwardKey = 0x0110003F;
const int forwardKey = 0x01100040;

const QStringList allFiles {"ORBITA_PACK.BIN", "ISPBOOOT.BIN", "mcu.bin"};
// The title, then the choices in focus order, with their plain captions.
const QStringList labels {"m_titleLabel", "m_partButton", "m_systemButton", "m_mcuButton", "m_cancelButton"};
const QStringList captions {"Upgrade file detected", "Upgrade part", "Upgrade system", "Upgrade MCU",
                            "Cancel"};

const QString noBinFile = "1390 [media_print][no_bin_file]";

// A parent that keeps the keys the dialog leaves to it.
class KeyRecorder : public QWidget
{
public:
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent *event) override { keys << event->key(); }
};

// What the dialog emitted and what the host was asked (a toast with its text), in one sequence.
class EventLog : public QObject
{
public:
    QStringList events;

    explicit EventLog(UpgradeDialog *dialog)
    {
        connect(dialog, &UpgradeDialog::partUpdateSig, this, [this] { events << "partUpdateSig"; });
        connect(dialog, &UpgradeDialog::completeUpdateSig, this, [this] { events << "completeUpdateSig"; });
        connect(dialog, &UpgradeDialog::mcuUpdateSig, this, [this] { events << "mcuUpdateSig"; });
        connect(dialog, &UpgradeDialog::cancelSig, this, [this] { events << "cancelSig"; });
        connect(HostJournal::instance(), &HostJournal::recorded, this, [this](const QJsonObject &entry) {
            const QString text = entry.value("text").toString();
            events << entry.value("request").toString() + (text.isEmpty() ? QString() : ": " + text);
        });
    }
};

} // namespace

class tst_UpgradeDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void fileListShowsChoices_data();
    void fileListShowsChoices();
    void buttonsEmitTheirChoice_data();
    void buttonsEmitTheirChoice();
    void handlesKeys_data();
    void handlesKeys();
    void countdown_data();
    void countdown();
    void quickUpgradeWalksTheMedia_data();
    void quickUpgradeWalksTheMedia();

private:
    void showDialog(const QStringList &files = allFiles);
    CustomImageLabel *label(const QString &name) const
    {
        return m_dialog->findChild<CustomImageLabel *>(name);
    }
    QStringList texts(bool shownOnly) const;
    QString focusName() const;
    void mount(_MediaType type, const QString &prefix, const QStringList &media) const;
    QStringList records() const;

    std::unique_ptr<Sandbox> m_sandbox;
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<KeyRecorder> m_parent;
    UpgradeDialog *m_dialog = nullptr;
};

void tst_UpgradeDialog::init()
{
    m_sandbox.reset(new Sandbox);
    prepareHeadUnit(*m_sandbox);
    m_log.reset(new LogCapture);
}

void tst_UpgradeDialog::cleanup()
{
    m_parent.reset();
    m_dialog = nullptr;
    delete TipDialog::current();
    m_log.reset();
    m_sandbox.reset();
}

void tst_UpgradeDialog::showDialog(const QStringList &files)
{
    m_parent.reset(new KeyRecorder);
    m_parent->resize(800, 480);
    m_dialog = new UpgradeDialog(m_parent.get());
    m_dialog->setGeometry(m_parent->rect());
    m_parent->show();
    QApplication::setActiveWindow(m_parent.get());
    if (!QTest::qWaitForWindowActive(m_parent.get()))
        qWarning("the dialog's window did not become active");
    m_dialog->setUpgradeFileList(files);
}

// The captions of the title and the buttons in focus order; shownOnly: of those a user sees.
QStringList tst_UpgradeDialog::texts(bool shownOnly) const
{
    QStringList result;
    for (const QString &name : labels)
        if (!shownOnly || label(name)->isVisible())
            result << label(name)->text();
    return result;
}

QString tst_UpgradeDialog::focusName() const
{
    QWidget *focus = QApplication::focusWidget();
    return focus == m_dialog ? QStringLiteral("dialog") : focus ? focus->objectName() : QString();
}

// Each medium: its files as "name=size", comma-separated, mounted as prefix0, prefix1, ...
void tst_UpgradeDialog::mount(_MediaType type, const QString &prefix, const QStringList &media) const
{
    QStringList mounts;
    for (int i = 0; i < media.size(); ++i) {
        const QString directory = "/media/" + prefix + QString::number(i);
        QDir().mkpath(m_sandbox->path(directory));
        for (const QString &file : media.at(i).split(',', Qt::SkipEmptyParts))
            m_sandbox->writeFile(directory + '/' + file.section('=', 0, 0),
                                 QByteArray(file.section('=', 1).toInt(), 'x'));
        mounts << m_sandbox->path(directory);
    }
    UsbControl::getInstance()->setMountDevices(type, mounts);
}

// "line message" for every record of the plugin; a record in the wrong context shows up as an extra entry.
QStringList tst_UpgradeDialog::records() const
{
    QStringList result;
    for (const LogCapture::Record &record : m_log->records()) {
        if (record.file != "update")
            continue;
        result << QString::number(record.line) + ' ' + record.message;
        if (record.function != walkFunction || record.category != "default")
            result << "unexpected context " + record.function + ' ' + record.category;
    }
    return result;
}

void tst_UpgradeDialog::fileListShowsChoices_data()
{
    QTest::addColumn<QStringList>("earlier");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("shown");

    const QString title = captions.first();
    const QString cancel = captions.last();
    QTest::newRow("all three, any order")
        << QStringList() << QStringList {"mcu.bin", "ISPBOOOT.BIN", "ORBITA_PACK.BIN"} << captions;
    QTest::newRow("system image only")
        << allFiles << QStringList {"ISPBOOOT.BIN"} << QStringList {title, "Upgrade system", cancel};
    QTest::newRow("empty list") << allFiles << QStringList() << QStringList {title, cancel};
    QTest::newRow("other letter case")
        << allFiles << QStringList {"ispbooot.bin", "MCU.BIN", "Orbita_Pack.bin"}
        << QStringList {title, cancel};
    QTest::newRow("folder in front") << allFiles << QStringList {"/media/usb0/ISPBOOOT.BIN", "usb/mcu.bin"}
                                     << QStringList {title, cancel};
    QTest::newRow("name inside a longer name")
        << allFiles << QStringList {"ORBITA_PACK.BIN.bak", "old_mcu.bin"} << QStringList {title, cancel};
    QTest::newRow("duplicates and other files")
        << allFiles << QStringList {"readme.txt", "mcu.bin", "mcu.bin"}
        << QStringList {title, "Upgrade MCU", cancel};
    QTest::newRow("later list shows a hidden choice again")
        << QStringList {"mcu.bin"} << QStringList {"ORBITA_PACK.BIN"}
        << QStringList {title, "Upgrade part", cancel};
}

void tst_UpgradeDialog::fileListShowsChoices()
{
    QFETCH(QStringList, earlier);
    QFETCH(QStringList, files);
    QFETCH(QStringList, shown);

    // The host's factory store holds no quick-upgrade setting: the list decides, no medium is walked.
    showDialog(earlier);
    EventLog log(m_dialog);
    m_dialog->setUpgradeFileList(files);
    QCOMPARE(texts(true), shown);
    QCOMPARE(focusName(), QString("dialog"));
    QCOMPARE(log.events, QStringList());
    QCOMPARE(records(), QStringList());
}

void tst_UpgradeDialog::buttonsEmitTheirChoice_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("signal");
    const char *const chosen[] = {"partUpdateSig", "completeUpdateSig", "mcuUpdateSig", "cancelSig"};
    for (int i = 1; i < labels.size(); ++i)
        QTest::newRow(qPrintable(captions.at(i))) << labels.at(i) << chosen[i - 1];
    QTest::newRow("close slot") << QString() << "cancelSig";
}

void tst_UpgradeDialog::buttonsEmitTheirChoice()
{
    QFETCH(QString, name);
    QFETCH(QString, signal);
    showDialog();
    EventLog log(m_dialog);
    if (name.isEmpty())
        QVERIFY(QMetaObject::invokeMethod(m_dialog, "onCloseBtClicked"));
    else
        QTest::mouseClick(label(name), Qt::LeftButton);
    QCOMPARE(log.events, QStringList {signal});
}

void tst_UpgradeDialog::handlesKeys_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("expected");

    const auto row = [](const QString &name, const QStringList &files, const QString &start, int key,
                        const QString &expected) {
        QTest::newRow(qPrintable(name)) << files << start << key << expected;
    };
    row("forward from nothing", allFiles, "", forwardKey, "m_partButton");
    row("backward from nothing", allFiles, "", backwardKey, "m_cancelButton");
    for (int key : {0x0110003F, 0x0110004E, 0x0140000A})
        row("backward key " + keyName(key), allFiles, "m_systemButton", key, "m_partButton");
    for (int key : {0x01100040, 0x0110004D, 0x0140000B})
        row("forward key " + keyName(key), allFiles, "m_systemButton", key, "m_mcuButton");
    row("forward wraps from cancel", allFiles, "m_cancelButton", forwardKey, "m_partButton");
    row("backward wraps from part", allFiles, "m_partButton", backwardKey, "m_cancelButton");
    row("forward from nothing skips hidden part", {"ISPBOOOT.BIN"}, "", forwardKey, "m_systemButton");
    row("wrap skips hidden choices", {"mcu.bin"}, "m_cancelButton", forwardKey, "m_mcuButton");
    row("backward skips hidden choices", {"ORBITA_PACK.BIN"}, "m_cancelButton", backwardKey, "m_partButton");
    row("only cancel, forward stays", {}, "m_cancelButton", forwardKey, "m_cancelButton");
    row("only cancel, backward stays", {}, "m_cancelButton", backwardKey, "m_cancelButton");
    // Keys that move no focus are left to the parent.
    row("neighbour of a focus key, nothing focused", allFiles, "", 0x0110003E, "");
    row("host key of another screen, button focused", allFiles, "m_mcuButton", 0x0120000A, "");
    row("Qt arrow key", allFiles, "m_systemButton", Qt::Key_Down, "");
    row("Qt return key", allFiles, "", Qt::Key_Return, "");
}

void tst_UpgradeDialog::handlesKeys()
{
    QFETCH(QStringList, files);
    QFETCH(QString, start);
    QFETCH(int, key);
    QFETCH(QString, expected);

    showDialog(files);
    if (!start.isEmpty())
        label(start)->setFocus();
    const QString focus = focusName();
    // A host key reaches the focused widget and, while ignored, its parents.
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(QApplication::focusWidget(), &event);
    QCOMPARE(focusName(), expected.isEmpty() ? focus : expected);
    QCOMPARE(m_parent->keys, expected.isEmpty() ? QList<int> {key} : QList<int>());
}

void tst_UpgradeDialog::countdown_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<bool>("quick");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("chosen");

    QTest::newRow("system before part and MCU") << allFiles << false << false << "m_systemButton"
                                                << "completeUpdateSig";
    QTest::newRow("part before MCU") << QStringList {"mcu.bin", "ORBITA_PACK.BIN"} << false << false
                                     << "m_partButton"
                                     << "partUpdateSig";
    QTest::newRow("MCU alone") << QStringList {"mcu.bin"} << false << false << "m_mcuButton"
                               << "mcuUpdateSig";
    QTest::newRow("nothing to choose") << QStringList() << false << false << QString() << QString();
    QTest::newRow("dialog hidden") << allFiles << true << false << QString() << QString();
    QTest::newRow("quick-upgrade mode stops it") << allFiles << false << true << QString() << QString();
}

void tst_UpgradeDialog::countdown()
{
    QFETCH(QStringList, files);
    QFETCH(bool, hidden);
    QFETCH(bool, quick);
    QFETCH(QString, target);
    QFETCH(QString, chosen);

    showDialog(files);
    if (hidden)
        m_dialog->hide();
    if (quick)
        DataSaveControl::writeFactoryData("SupportQuickUpgrade", true);
    EventLog log(m_dialog);
    QTimer *timer = m_dialog->findChild<QTimer *>("m_countdownTimer");
    QVERIFY(timer && timer->isActive());
    const QStringList plain = texts(false);
    // Ten ticks, as the timer would fire them; the count 0 is never shown.
    for (int left = 9; left >= 0; --left) {
        QCOMPARE(timer->interval(), 1000);
        tickCountdown(m_dialog, 1);
        QStringList expected = plain;
        if (!target.isEmpty())
            expected[labels.indexOf(target)] += QString("(%1)").arg(qMax(left, 1));
        QCOMPARE(texts(false), expected);
        QCOMPARE(timer->isActive(), left > 0 && !quick);
        QCOMPARE(log.events, left > 0 || chosen.isEmpty() ? QStringList() : QStringList {chosen});
    }
}

void tst_UpgradeDialog::quickUpgradeWalksTheMedia_data()
{
    QTest::addColumn<QStringList>("usb");
    QTest::addColumn<QStringList>("sd");
    QTest::addColumn<bool>("mcuModule");
    QTest::addColumn<bool>("factoryCustom");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QStringList>("records");

    const QString system
        = "1108 [media_print][setUpgradeFileList] idx: %1  val: \"{root}/media/%2/ISPBOOOT.BIN\"";
    const QString mcu = "1122 [media_print][setUpgradeFileList] idx: %1  val: \"{root}/media/%2/mcu.bin\"";
    // Images count only beside an empty marker file.
    const QString marker = ",zel.support.quick.upgrade=0";
    const QStringList cancelled {"cancelSig"};
    const auto row = [](const char *name, const QStringList &usb, const QStringList &sd, bool mcuModule,
                        bool factoryCustom, const QStringList &events, const QStringList &records) {
        QTest::newRow(name) << usb << sd << mcuModule << factoryCustom << events << records;
    };

    row("MCU image", {"mcu.bin=3" + marker}, {}, true, false, {"mcuUpdateSig"}, {mcu.arg(0).arg("usb0")});
    row("system image", {"ISPBOOOT.BIN=5" + marker}, {}, true, false, {"updateSystem", "cancelSig"},
        {system.arg(0).arg("usb0"), noBinFile});
    row("system, then MCU image on one medium", {"ISPBOOOT.BIN=5,mcu.bin=3" + marker}, {}, true, false,
        {"updateSystem", "mcuUpdateSig"}, {system.arg(0).arg("usb0"), mcu.arg(0).arg("usb0")});
    row("marker of one byte", {"ISPBOOOT.BIN=5,mcu.bin=3,zel.support.quick.upgrade=1"}, {}, true, false,
        cancelled, {noBinFile});
    row("no marker", {"ISPBOOOT.BIN=5,mcu.bin=3"}, {}, true, false, cancelled, {noBinFile});
    row("empty images", {"ISPBOOOT.BIN=0,mcu.bin=0" + marker}, {}, true, false, cancelled, {noBinFile});
    row("no USB medium, two SD media", {}, {"ISPBOOOT.BIN=5" + marker, "mcu.bin=3" + marker}, true, false,
        {"updateSystem", "mcuUpdateSig"}, {system.arg(0).arg("sd0"), mcu.arg(1).arg("sd1")});
    row("USB media hide the SD media", {""}, {"mcu.bin=3" + marker}, true, false, cancelled, {noBinFile});
    row("MCU image ends the walk",
        {"ISPBOOOT.BIN=5" + marker, "mcu.bin=3" + marker, "ISPBOOOT.BIN=5" + marker}, {}, true, false,
        {"updateSystem", "mcuUpdateSig"}, {system.arg(0).arg("usb0"), mcu.arg(1).arg("usb1")});
    row("no MCU module", {"ISPBOOOT.BIN=5" + marker}, {}, false, false, cancelled,
        {system.arg(0).arg("usb0"), noBinFile});
    row("no media", {}, {}, true, false, cancelled, {noBinFile});
    row("customisation data imported", {"touch_conf=4"}, {}, true, true,
        {"toast: COPY is Done!", "rebootSystem", "cancelSig"},
        {"1134 [custom_print][line:1134][copy {root}/media/usb0/touch_conf]", noBinFile});
    row("customisation data without the factory setting", {"touch_conf=4"}, {}, true, false, cancelled,
        {noBinFile});
    row("medium with an MCU image is not imported", {"touch_conf=4,mcu.bin=3" + marker}, {}, true, true,
        {"mcuUpdateSig"}, {mcu.arg(0).arg("usb0")});
}

void tst_UpgradeDialog::quickUpgradeWalksTheMedia()
{
    QFETCH(QStringList, usb);
    QFETCH(QStringList, sd);
    QFETCH(bool, mcuModule);
    QFETCH(bool, factoryCustom);
    QFETCH(QStringList, events);
    QFETCH(QStringList, records);

    mount(MEDIA_TYPE_USB, "usb", usb);
    mount(MEDIA_TYPE_SD, "sd", sd);
    HostSetup::setMcuModuleAvailable(mcuModule);
    showDialog();
    DataSaveControl::writeFactoryData("SupportQuickUpgrade", true);
    DataSaveControl::writeFactoryData("SupportFactoryCustom", factoryCustom);
    EventLog log(m_dialog);
    m_dialog->setUpgradeFileList(QStringList());
    QCOMPARE(log.events, events);
    QCOMPARE(this->records(), records.replaceInStrings("{root}", m_sandbox->root()));
    // The walk shows no choice itself: the buttons stay as the earlier list left them.
    QCOMPARE(texts(true), captions);
}

QTEST_MAIN(tst_UpgradeDialog)
#include "tst_upgradedialog.moc"
