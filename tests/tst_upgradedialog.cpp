#include "customimagelabel.h"
#include "datasavecontrol.h"
#include "hostjournal.h"
#include "hostkeys.h"
#include "hostsetup.h"
#include "logcapture.h"
#include "mediatree.h"
#include "sandbox.h"
#include "screenclock.h"
#include "screentest.h"
#include "upgradedialog.h"
#include "usbcontrol.h"

#include <QLabel>
#include <QtTest>

#include <memory>

namespace {

const char walkFunction[] = "void UpgradeDialog::setUpgradeFileList(const QStringList&)";

const QStringList allFiles {"ORBITA_PACK.BIN", "ISPBOOOT.BIN", "mcu.bin"};
// The title, then the choices in focus order: their plain captions and the signal each emits.
const QStringList labels {"m_titleLabel", "m_partButton", "m_systemButton", "m_mcuButton", "m_cancelButton"};
const QStringList captions {"Upgrade file detected", "Upgrade part", "Upgrade system", "Upgrade MCU",
                            "Cancel"};
const QStringList choices {"", "partUpdateSig", "completeUpdateSig", "mcuUpdateSig", "cancelSig"};

// What the plugin logged, what the dialog emitted and what the host was asked, in order. A record reads
// "line message", with its function unless it is the one the factory line's tools match the walk on.
class EventLog : public QObject
{
public:
    explicit EventLog(UpgradeDialog *dialog)
    {
        connect(dialog, &UpgradeDialog::partUpdateSig, this, [this] { events("partUpdateSig"); });
        connect(dialog, &UpgradeDialog::completeUpdateSig, this, [this] { events("completeUpdateSig"); });
        connect(dialog, &UpgradeDialog::mcuUpdateSig, this, [this] { events("mcuUpdateSig"); });
        connect(dialog, &UpgradeDialog::cancelSig, this, [this] { events("cancelSig"); });
        connect(HostJournal::instance(), &HostJournal::recorded, this, [this](const QJsonObject &entry) {
            events((entry.value("request").toString() + ' ' + entry.value("text").toString()).trimmed());
        });
    }

    // Adds event, if any, after the records written before it.
    QStringList events(const QString &event = QString())
    {
        for (const LogCapture::Record &record : m_log.records()) {
            const QString other = record.function == walkFunction ? "" : " in " + record.function;
            if (record.file == "update")
                m_events << QString::number(record.line) + ' ' + record.message + other;
        }
        m_log.clear();
        if (!event.isEmpty())
            m_events << event;
        return m_events;
    }

private:
    LogCapture m_log;
    QStringList m_events;
};

} // namespace

class tst_UpgradeDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void upgradeFileList_data();
    void upgradeFileList();
    void handlesKeys_data();
    void handlesKeys();
    void countdown_data();
    void countdown();

private:
    void showDialog(const QStringList &files);
    QLabel *label(const QString &name) const { return m_dialog->findChild<QLabel *>(name); }
    QStringList texts(bool shownOnly) const;
    void mount(const QStringList &media) const;
    void configure(const QString &setup);

    std::unique_ptr<Sandbox> m_sandbox;
    std::unique_ptr<QWidget> m_parent;
    UpgradeDialog *m_dialog = nullptr;
};

void tst_UpgradeDialog::init()
{
    m_sandbox.reset(new Sandbox);
    prepareHeadUnit(*m_sandbox);
}

void tst_UpgradeDialog::cleanup()
{
    m_parent.reset();
    m_sandbox.reset();
}

void tst_UpgradeDialog::showDialog(const QStringList &files)
{
    m_parent.reset(new QWidget);
    m_parent->show();
    QVERIFY(QTest::qWaitForWindowActive(m_parent.get()));
    // Made once the window is up: no real tick of its countdown may come before the test's own.
    m_dialog = new UpgradeDialog(m_parent.get());
    m_dialog->resize(800, 480);
    m_dialog->show();
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

// Each medium: "usb:" or "sd:", then its files as "name=size", comma-separated; mounted as usb0, sd0, ...
void tst_UpgradeDialog::mount(const QStringList &media) const
{
    QMap<QString, QStringList> mounts;
    for (const QString &medium : media) {
        const QString kind = medium.section(':', 0, 0);
        const QString directory = "/media/" + kind + QString::number(mounts[kind].size());
        for (const QString &file : medium.section(':', 1).split(',', Qt::SkipEmptyParts))
            m_sandbox->writeFile(directory + '/' + file.section('=', 0, 0),
                                 QByteArray(file.section('=', 1).toInt(), 'x'));
        mounts[kind] << m_sandbox->path(directory);
    }
    UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_USB, mounts.value("usb"));
    UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_SD, mounts.value("sd"));
}

// setup: "quick" (upgrades from the media), "custom" (factory data imported), "no MCU module", "hidden".
void tst_UpgradeDialog::configure(const QString &setup)
{
    HostSetup::setMcuModuleAvailable(!setup.contains("no MCU module"));
    DataSaveControl::writeFactoryData("SupportFactoryCustom", setup.contains("custom"));
    if (setup.contains("quick"))
        DataSaveControl::writeFactoryData("SupportQuickUpgrade", true);
    m_dialog->setHidden(setup.contains("hidden"));
}

void tst_UpgradeDialog::upgradeFileList_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QStringList>("media");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("events");

    // The factory store has no quick-upgrade setting: the list decides which choices show besides Cancel.
    const auto list = [](const char *name, const QStringList &files, const QStringList &shown) {
        const QStringList seen = QStringList {captions.first()} + shown << "Cancel";
        QTest::newRow(name) << files << QString() << QStringList() << seen << QStringList();
    };
    list("all three, any order", {"mcu.bin", "ISPBOOOT.BIN", "ORBITA_PACK.BIN"}, captions.mid(1, 3));
    list("system image only", {"ISPBOOOT.BIN"}, {"Upgrade system"});
    list("empty list", {}, {});
    list("other letter case", {"ispbooot.bin", "MCU.BIN", "Orbita_Pack.bin"}, {});
    list("folder in front", {"/media/usb0/ISPBOOOT.BIN", "usb/mcu.bin"}, {});
    list("name inside a longer name", {"ORBITA_PACK.BIN.bak", "old_mcu.bin"}, {});
    list("duplicates and other files", {"readme.txt", "mcu.bin", "mcu.bin"}, {"Upgrade MCU"});
    list("part package only", {"ORBITA_PACK.BIN"}, {"Upgrade part"});

    // With it the mounted media decide; the buttons stay as the list before left them.
    const auto walk = [](const char *name, const QStringList &media, const QStringList &events,
                         const QString &setup = "quick") {
        QTest::newRow(name) << allFiles << setup << media << QStringList {captions.first(), "Cancel"}
                            << events;
    };
    // The walk's record of an image it takes; a medium's index among those of its kind is its number.
    const QString found = "%1 [media_print][setUpgradeFileList] idx: %2  val: \"{root}/media/%3/%4\"";
    const auto system = [&](QString at) {
        return found.arg(1108).arg(at.right(1), at, "ISPBOOOT.BIN");
    };
    const auto mcu = [&](QString at) {
        return found.arg(1122).arg(at.right(1), at, "mcu.bin");
    };
    const QStringList nothing {"1390 [media_print][no_bin_file]", "cancelSig"};
    // Images count only beside an empty marker file.
    const QString marker = ",zel.support.quick.upgrade=0";
    const QString systemImage = "ISPBOOOT.BIN=5" + marker;
    const QString mcuImage = "mcu.bin=3" + marker;
    walk("MCU image", {"usb:" + mcuImage}, {mcu("usb0"), "mcuUpdateSig"});
    walk("system image", {"usb:" + systemImage}, QStringList {system("usb0"), "updateSystem"} + nothing);
    walk("system, then MCU image on one medium", {"usb:ISPBOOOT.BIN=5," + mcuImage},
         {system("usb0"), "updateSystem", mcu("usb0"), "mcuUpdateSig"});
    walk("marker of one byte", {"usb:ISPBOOOT.BIN=5,mcu.bin=3,zel.support.quick.upgrade=1"}, nothing);
    walk("no marker", {"usb:ISPBOOOT.BIN=5,mcu.bin=3"}, nothing);
    walk("empty images", {"usb:ISPBOOOT.BIN=0,mcu.bin=0" + marker}, nothing);
    walk("no USB medium, two SD media", {"sd:" + systemImage, "sd:" + mcuImage},
         {system("sd0"), "updateSystem", mcu("sd1"), "mcuUpdateSig"});
    walk("USB media hide the SD media", {"sd:" + mcuImage, "usb:"}, nothing);
    walk("MCU image ends the walk", {"usb:" + systemImage, "usb:" + mcuImage, "usb:" + systemImage},
         {system("usb0"), "updateSystem", mcu("usb1"), "mcuUpdateSig"});
    walk("no MCU module", {"usb:" + systemImage}, QStringList {system("usb0")} + nothing,
         "quick, no MCU module");
    walk("no media", {}, nothing);
    const QString imported = "1134 [custom_print][line:1134][copy {root}/media/usb0/touch_conf]";
    walk("customisation data imported", {"usb:touch_conf=4"},
         QStringList {imported, "toast COPY is Done!", "rebootSystem"} + nothing, "quick, custom");
    walk("customisation data without the factory setting", {"usb:touch_conf=4"}, nothing);
    walk("an MCU image comes before its medium's import", {"usb:touch_conf=4," + mcuImage},
         {mcu("usb0"), "mcuUpdateSig"}, "quick, custom");
}

void tst_UpgradeDialog::upgradeFileList()
{
    QFETCH(QStringList, files);
    QFETCH(QString, setup);
    QFETCH(QStringList, media);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, events);

    mount(media);
    showDialog(QStringList()); // Every choice hidden: the list must show them again.
    configure(setup);
    EventLog log(m_dialog);
    m_dialog->setUpgradeFileList(files);
    QCOMPARE(texts(true), shown);
    QCOMPARE(log.events(), events.replaceInStrings("{root}", m_sandbox->root()));
}

void tst_UpgradeDialog::handlesKeys_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("expected");

    // The focus before and after the key ("": the dialog itself); expected "": the key goes to the parent.
    const auto row = [](const QString &name, const QStringList &files, const QString &start, int key,
                        const QString &expected) {
        QTest::newRow(qPrintable(name)) << files << start << key << expected;
    };
    row("forward from nothing", allFiles, "", HostKey::Right, "m_partButton");
    row("backward from nothing", allFiles, "", HostKey::Left, "m_cancelButton");
    for (int key : {HostKey::Left, HostKey::KnobBackward, HostKey::Up})
        row("backward key " + keyName(key), allFiles, "m_systemButton", key, "m_partButton");
    for (int key : {HostKey::Right, HostKey::KnobForward, HostKey::Down})
        row("forward key " + keyName(key), allFiles, "m_systemButton", key, "m_mcuButton");
    row("forward wraps from cancel", allFiles, "m_cancelButton", HostKey::Right, "m_partButton");
    row("backward wraps from part", allFiles, "m_partButton", HostKey::Left, "m_cancelButton");
    row("forward from nothing skips hidden part", {"ISPBOOOT.BIN"}, "", HostKey::Right, "m_systemButton");
    row("wrap skips hidden choices", {"mcu.bin"}, "m_cancelButton", HostKey::Right, "m_mcuButton");
    row("backward skips hidden choices", {"ORBITA_PACK.BIN"}, "m_cancelButton", HostKey::Left,
        "m_partButton");
    row("only cancel, forward stays", {}, "m_cancelButton", HostKey::Right, "m_cancelButton");
    row("neighbour of a focus key, nothing focused", allFiles, "", HostKey::Next, "");
    row("host key of another screen, button focused", allFiles, "m_mcuButton", HostKey::Cancel, "");
}

void tst_UpgradeDialog::handlesKeys()
{
    QFETCH(QStringList, files);
    QFETCH(QString, start);
    QFETCH(int, key);
    QFETCH(QString, expected);

    showDialog(files);
    QCOMPARE(QApplication::focusWidget(), m_dialog);
    (start.isEmpty() ? static_cast<QWidget *>(m_dialog) : label(start))->setFocus();
    // A host key reaches the focused widget and, while ignored, its parents up to the window.
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(QApplication::focusWidget(), &event);
    QCOMPARE(QApplication::focusWidget()->objectName(), expected.isEmpty() ? start : expected);
    QCOMPARE(event.isAccepted(), !expected.isEmpty());
}

void tst_UpgradeDialog::countdown_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("click");
    QTest::addColumn<QStringList>("clicked");
    QTest::addColumn<QString>("setup");

    // click: a button clicked, or a host's close button, before the first tick; clicked: what that emits.
    const auto row = [](const QString &name, const QStringList &files, const QString &target,
                        const QString &click = QString(), const QStringList &clicked = QStringList(),
                        const QString &setup = QString()) {
        QTest::newRow(qPrintable(name)) << files << target << click << clicked << setup;
    };
    row("system before part and MCU", allFiles, "m_systemButton");
    row("part before MCU", {"mcu.bin", "ORBITA_PACK.BIN"}, "m_partButton");
    row("MCU alone", {"mcu.bin"}, "m_mcuButton");
    row("nothing to choose", {}, "");
    row("dialog hidden", allFiles, "", "", {}, "hidden");
    row("quick-upgrade mode stops it", allFiles, "", "", {}, "quick");
    // A click emits its choice at once; the countdown runs on.
    for (int i = 1; i < labels.size(); ++i)
        row(captions.at(i) + " clicked", allFiles, "m_systemButton", labels.at(i), {choices.at(i)});
    row("a host's close button", allFiles, "m_systemButton", "close", {"cancelSig"});
}

void tst_UpgradeDialog::countdown()
{
    QFETCH(QStringList, files);
    QFETCH(QString, target);
    QFETCH(QString, click);
    QFETCH(QStringList, clicked);
    QFETCH(QString, setup);

    showDialog(files);
    configure(setup);
    EventLog log(m_dialog);
    if (click.startsWith("m_"))
        QTest::mouseClick(label(click), Qt::LeftButton);
    CustomImageLabel closeButton; // wired by signature, as a host would
    QVERIFY(connect(&closeButton, SIGNAL(clicked()), m_dialog, SLOT(onCloseBtClicked())));
    if (click == "close")
        emit closeButton.clicked();
    QTimer *timer = m_dialog->findChild<QTimer *>("m_countdownTimer");
    QVERIFY(timer && timer->isActive());
    const int index = labels.indexOf(target);
    // Ten ticks, as the timer would fire them; the count 0 is never shown.
    for (int left = 9; left >= 0; --left) {
        QCOMPARE(timer->interval(), 1000);
        ScreenClock::tick(m_dialog, 1);
        QStringList expected = captions;
        if (index > 0)
            expected[index] += QString("(%1)").arg(qMax(left, 1));
        QCOMPARE(texts(false), expected);
        QCOMPARE(timer->isActive(), left > 0 && setup != "quick");
        QCOMPARE(log.events(), left > 0 || index < 0 ? clicked : clicked + QStringList {choices.at(index)});
    }
}

QTEST_MAIN(tst_UpgradeDialog)
#include "tst_upgradedialog.moc"
