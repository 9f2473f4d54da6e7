#include "basecontrol.h"
#include "commandrunner.h"
#include "customimagelabel.h"
#include "datasavecontrol.h"
#include "deviceroot.h"
#include "flashpartition.h"
#include "hostjournal.h"
#include "hostsetup.h"
#include "logcapture.h"
#include "logorecord.h"
#include "mediatree.h"
#include "sandbox.h"
#include "tipdialog.h"
#include "upgradedialog.h"
#include "usbcontrol.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

const char setUpgradeFileListSignature[] = "void UpgradeDialog::setUpgradeFileList(const QStringList&)";
const char writeLogoSignature[] = "void UpgradeDialog::writeLogo(const QString&)";

const int backwardKey = 0x0110003F;
const int forwardKey = 0x01100040;

const QStringList allFiles {"ORBITA_PACK.BIN", "ISPBOOOT.BIN", "mcu.bin"};
// The choices in focus order and their captions.
const QStringList buttons {"m_partButton", "m_systemButton", "m_mcuButton", "m_cancelButton"};
const QStringList captions {"Upgrade part", "Upgrade system", "Upgrade MCU", "Cancel"};

const QString noBinFile = "1390 [media_print][no_bin_file]";
const QString copyOut = "dd if={root}/dev/mtd14 of={root}/media/flash/userdata/logo.txt bs=2048c count=1500";
const QString copyBack = "dd if={root}/media/flash/userdata/logo.txt of={root}/dev/mtd14 bs=2048c count=1500";

QByteArray pictureBytes(const QSize &size, const QColor &color)
{
    QImage picture(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y, qRgb(color.red(), (x * 255) / size.width(), (y * 255) / size.height()));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

// A parent that keeps the keys the dialog leaves to it.
class KeyRecorder : public QWidget
{
public:
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent *event) override { keys << event->key(); }
};

// What the dialog emitted and what the host was asked, in one sequence.
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
        connect(HostJournal::instance(), &HostJournal::recorded, this,
                [this](const QJsonObject &entry) { events << entry.value("request").toString(); });
    }
};

enum LogoFault {
    NoFault,
    PictureMissing,
    PictureDamaged,
    DeviceMissing,
    DeviceGoneAfterCopyOut,
    NoUserDataFolder,
    StagingIsFolder,
    GetInfoFails,
    EraseFails,
    HeaderTooShort,
    HeaderZeroWidth,
    HeaderTooLarge,
    BlankPartition,
    CopyBackFails,
    ReadBackDiffers
};

} // namespace

class tst_UpgradeDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keepsItsMetaObjectOrder();
    void buildsItsButtons();
    void copesWithMissingImages();
    void buttonsEmitTheirChoice_data();
    void buttonsEmitTheirChoice();

    void handlesKeys_data();
    void handlesKeys();

    void countdownPicksTheFirstChoice_data();
    void countdownPicksTheFirstChoice();
    void quickUpgradeStopsTheCountdown();
    void countdownRunsInRealTime();

    void fileListShowsChoices_data();
    void fileListShowsChoices();
    void quickUpgradeWalksTheMedia_data();
    void quickUpgradeWalksTheMedia();

    void importsAFullMedium();
    void importRows_data();
    void importRows();
    void quotesHostileMountNames_data();
    void quotesHostileMountNames();

    void writesTheLogo_data();
    void writesTheLogo();
    void logoWriterFailures_data();
    void logoWriterFailures();

private:
    UpgradeDialog *showDialog(const QStringList &files = allFiles);
    CustomImageLabel *button(const QString &name) const;
    QString focusName() const;
    void press(int key);
    void tick();
    QStringList quickUpgrade(bool factoryCustom = true);

    QString expand(QString text) const;
    QStringList expand(const QStringList &texts) const;
    QString mediumPath(const QString &name) const;
    QString makeMedium(const QString &name, const QStringList &entries) const;
    QByteArray writePartition(quint32 width, quint32 height, int size = int(LogoRecord::size)) const;
    QByteArray writeFlash(const QByteArray &bytes) const;
    QByteArray partition() const { return readDevice(*m_sandbox, "/dev/mtd14"); }
    QByteArray expectedPartition(const QByteArray &before, const QString &picture) const
    {
        return writtenRecord(before, int(LogoRecord::size), picture);
    }
    QStringList commands() const;
    QStringList records() const;

    std::unique_ptr<Sandbox> m_sandbox;
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<KeyRecorder> m_parent;
    std::unique_ptr<QSignalSpy> m_commands;
    UpgradeDialog *m_dialog = nullptr;
};

void tst_UpgradeDialog::init()
{
    m_sandbox.reset(new Sandbox);
    // Every device path of the plugin lies under the sandbox, and commands name it as it is.
    QVERIFY(DeviceRoot::path("/dev/mtd14").startsWith(m_sandbox->root() + "/"));
    QVERIFY(CommandRunner::isOrdinary(m_sandbox->root()));

    m_sandbox->writeFile("/application/resource/update/style0/tip_bt_n.png",
                         pictureBytes(QSize(32, 8), Qt::gray));
    m_sandbox->writeFile("/application/resource/update/style0/tip_bt_d.png",
                         pictureBytes(QSize(32, 8), Qt::blue));
    prepareHeadUnit(*m_sandbox);
    m_log.reset(new LogCapture);
    m_commands.reset(new QSignalSpy(CommandRunner::instance(), &CommandRunner::commandFinished));
}

void tst_UpgradeDialog::cleanup()
{
    m_parent.reset();
    m_dialog = nullptr;
    delete TipDialog::current();
    FlashPartition::setFailingRequest(FlashPartition::NoRequest);
    m_commands.reset();
    m_log.reset();
    m_sandbox.reset();
}

UpgradeDialog *tst_UpgradeDialog::showDialog(const QStringList &files)
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
    return m_dialog;
}

CustomImageLabel *tst_UpgradeDialog::button(const QString &name) const
{
    return m_dialog->findChild<CustomImageLabel *>(name);
}

QString tst_UpgradeDialog::focusName() const
{
    QWidget *focus = QApplication::focusWidget();
    return focus == m_dialog ? QStringLiteral("dialog") : focus ? focus->objectName() : QString();
}

// A host key reaches the focused widget and, while ignored, its parents.
void tst_UpgradeDialog::press(int key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(QApplication::focusWidget(), &event);
}

void tst_UpgradeDialog::tick()
{
    QMetaObject::invokeMethod(m_dialog, "onCountdown");
}

// Shows the dialog, then lets it run the quick upgrade over the mounted media;
// what it emitted and asked the host on the way.
QStringList tst_UpgradeDialog::quickUpgrade(bool factoryCustom)
{
    showDialog();
    DataSaveControl::writeFactoryData("SupportQuickUpgrade", true);
    DataSaveControl::writeFactoryData("SupportFactoryCustom", factoryCustom);
    EventLog log(m_dialog);
    m_dialog->setUpgradeFileList(QStringList());
    return log.events;
}

QString tst_UpgradeDialog::expand(QString text) const
{
    return text.replace("{root}", m_sandbox->root());
}

QStringList tst_UpgradeDialog::expand(const QStringList &texts) const
{
    QStringList result;
    for (const QString &text : texts)
        result << expand(text);
    return result;
}

QString tst_UpgradeDialog::mediumPath(const QString &name) const
{
    return m_sandbox->path("/media/" + name);
}

// Entries: "name/" a folder, "name=N" a file of N bytes, a name ending in
// .png, .jpg or .bin a picture, any other name a file that holds its name.
QString tst_UpgradeDialog::makeMedium(const QString &name, const QStringList &entries) const
{
    const QString mount = mediumPath(name);
    QDir().mkpath(mount);
    for (const QString &entry : entries) {
        if (entry.isEmpty())
            continue;
        if (entry.endsWith('/')) {
            QDir().mkpath(mount + '/' + entry);
            continue;
        }
        const QString fileName = entry.section('=', 0, 0);
        QByteArray contents = fileName.toUtf8();
        if (entry.contains('='))
            contents = QByteArray(entry.section('=', 1).toInt(), 'x');
        else if (QRegularExpression("\\.(png|jpg|bin)$", QRegularExpression::CaseInsensitiveOption)
                     .match(entry)
                     .hasMatch())
            contents = pictureBytes(QSize(20, 10), QColor(qHash(fileName) % 256, 0, 0));
        m_sandbox->writeFile("/media/" + name + '/' + fileName, contents);
    }
    return mount;
}

QByteArray tst_UpgradeDialog::writePartition(quint32 width, quint32 height, int size) const
{
    return writeFlash(logoPartition(size, width, height));
}

// Writes the logo partition as flash takes new bytes, erased first, and
// returns what it then holds (on the kernel's flash, all of its 3 MiB).
QByteArray tst_UpgradeDialog::writeFlash(const QByteArray &bytes) const
{
    FlashPartition flash(m_sandbox->path("/dev/mtd14"));
    mtd_info_user info;
    if (flash.open() && flash.getInfo(&info) == 0) {
        const erase_info_user whole = {0, info.size};
        flash.erase(whole);
    }
    flash.close();
    m_sandbox->writeFile("/dev/mtd14", bytes);
    return partition();
}

QStringList tst_UpgradeDialog::commands() const
{
    QStringList result;
    for (const QList<QVariant> &arguments : *m_commands)
        result << QFile::decodeName(arguments.at(0).toByteArray());
    return result;
}

// "line message" for every record of the plugin; a record in the wrong
// context shows up as an extra entry.
QStringList tst_UpgradeDialog::records() const
{
    QStringList result;
    for (const LogCapture::Record &record : m_log->records()) {
        if (record.file != "update")
            continue;
        result << QString::number(record.line) + ' ' + record.message;
        const QString function = record.line >= 1400 ? writeLogoSignature : setUpgradeFileListSignature;
        if (record.function != function || record.category != "default")
            result << "unexpected context " + record.function + ' ' + record.category;
    }
    return result;
}

void tst_UpgradeDialog::keepsItsMetaObjectOrder()
{
    // UpdateView connects these by signature.
    const QMetaObject &meta = UpgradeDialog::staticMetaObject;
    QCOMPARE(meta.className(), "UpgradeDialog");
    QCOMPARE(meta.superClass(), &QWidget::staticMetaObject);
    const QList<QByteArray> expected {"partUpdateSig()", "completeUpdateSig()", "mcuUpdateSig()",
                                      "cancelSig()",     "onCloseBtClicked()",  "onCountdown()"};
    QCOMPARE(meta.methodCount() - meta.methodOffset(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        const QMetaMethod method = meta.method(meta.methodOffset() + i);
        QCOMPARE(method.methodSignature(), expected.at(i));
        QCOMPARE(method.methodType(), i < 4 ? QMetaMethod::Signal : QMetaMethod::Slot);
        QCOMPARE(method.access(), i < 4 ? QMetaMethod::Public : QMetaMethod::Private);
    }
}

void tst_UpgradeDialog::buildsItsButtons()
{
    showDialog();
    QCOMPARE(button("m_titleLabel")->text(), QString("Upgrade file detected"));
    QVERIFY(button("m_titleLabel")->wordWrap());
    const QImage *normal = button("m_partButton")->backgroundImages().normal();
    const QImage *pressed = button("m_partButton")->backgroundImages().pressed();
    QVERIFY(normal && !normal->isNull() && pressed && !pressed->isNull() && *normal != *pressed);
    for (int i = 0; i < buttons.size(); ++i) {
        CustomImageLabel *label = button(buttons.at(i));
        QVERIFY(label);
        QCOMPARE(label->text(), captions.at(i));
        QVERIFY(label->isVisible());
        QCOMPARE(label->alignment(), Qt::Alignment(Qt::AlignCenter));
        QCOMPARE(label->backgroundImages().normal(), normal);
        QCOMPARE(label->backgroundImages().pressed(), pressed);
        QVERIFY(!label->backgroundImages().focused() && !label->backgroundImages().disabled());
    }
    // Shown, the dialog holds the focus itself; the keys walk the buttons in this order.
    QCOMPARE(focusName(), QString("dialog"));
    for (const QString &name : buttons) {
        press(forwardKey);
        QCOMPARE(focusName(), name);
    }
    QTimer *timer = m_dialog->findChild<QTimer *>("m_countdownTimer");
    QVERIFY(timer && timer->isActive());
    QCOMPARE(timer->interval(), 1000);
}

void tst_UpgradeDialog::copesWithMissingImages()
{
    QFile::remove(m_sandbox->path("/application/resource/update/style0/tip_bt_n.png"));
    QFile::remove(m_sandbox->path("/application/resource/update/style0/tip_bt_d.png"));
    showDialog();
    const QImage *normal = button("m_cancelButton")->backgroundImages().normal();
    QVERIFY(normal && normal->isNull());
    QVERIFY(!m_dialog->grab().isNull());
}

void tst_UpgradeDialog::buttonsEmitTheirChoice_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("signal");
    const char *const chosen[] = {"partUpdateSig", "completeUpdateSig", "mcuUpdateSig", "cancelSig"};
    for (int i = 0; i < buttons.size(); ++i)
        QTest::newRow(qPrintable(captions.at(i))) << buttons.at(i) << chosen[i];
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
        QTest::mouseClick(button(name), Qt::LeftButton);
    QCOMPARE(log.events, QStringList {signal});
}

void tst_UpgradeDialog::handlesKeys_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("expected");

    const auto row = [](const char *name, const QStringList &files, const QString &start, int key,
                        const QString &expected) {
        QTest::newRow(name) << files << start << key << expected;
    };
    row("forward from nothing", allFiles, "", forwardKey, "m_partButton");
    row("backward from nothing", allFiles, "", backwardKey, "m_cancelButton");
    for (int key : {0x0110003F, 0x0110004E, 0x0140000A, 0x01100040, 0x0110004D, 0x0140000B}) {
        const bool forward = key == 0x01100040 || key == 0x0110004D || key == 0x0140000B;
        const QString name = QString("key 0x%1 %2")
                                 .arg(QString::number(key, 16).toUpper().rightJustified(8, '0'),
                                      forward ? "forward" : "backward");
        row(qPrintable(name), allFiles, "m_systemButton", key, forward ? "m_mcuButton" : "m_partButton");
    }
    row("forward wraps from cancel", allFiles, "m_cancelButton", forwardKey, "m_partButton");
    row("backward wraps from part", allFiles, "m_partButton", backwardKey, "m_cancelButton");
    row("forward from nothing skips hidden part", {"ISPBOOOT.BIN"}, "", forwardKey, "m_systemButton");
    row("forward from nothing, MCU only", {"mcu.bin"}, "", forwardKey, "m_mcuButton");
    row("wrap skips hidden choices", {"mcu.bin"}, "m_cancelButton", forwardKey, "m_mcuButton");
    row("backward skips hidden choices", {"ORBITA_PACK.BIN"}, "m_cancelButton", backwardKey, "m_partButton");
    row("only cancel, forward from nothing", {}, "", forwardKey, "m_cancelButton");
    row("only cancel, forward stays", {}, "m_cancelButton", forwardKey, "m_cancelButton");
    row("only cancel, backward stays", {}, "m_cancelButton", backwardKey, "m_cancelButton");
    // Keys that move no focus are left to the parent.
    row("neighbour of a focus key, nothing focused", allFiles, "", 0x01100041, "");
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
        button(start)->setFocus();
    const QString focus = focusName();
    press(key);
    QCOMPARE(focusName(), expected.isEmpty() ? focus : expected);
    QCOMPARE(m_parent->keys, expected.isEmpty() ? QList<int> {key} : QList<int>());
}

void tst_UpgradeDialog::countdownPicksTheFirstChoice_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("chosen");

    QTest::newRow("system before part and MCU")
        << allFiles << false << "m_systemButton" << QStringList {"completeUpdateSig"};
    QTest::newRow("part before MCU") << QStringList {"mcu.bin", "ORBITA_PACK.BIN"} << false << "m_partButton"
                                     << QStringList {"partUpdateSig"};
    QTest::newRow("MCU alone") << QStringList {"mcu.bin"} << false << "m_mcuButton"
                               << QStringList {"mcuUpdateSig"};
    QTest::newRow("nothing to choose") << QStringList() << false << QString() << QStringList();
    QTest::newRow("dialog hidden") << allFiles << true << QString() << QStringList();
}

void tst_UpgradeDialog::countdownPicksTheFirstChoice()
{
    QFETCH(QStringList, files);
    QFETCH(bool, hidden);
    QFETCH(QString, target);
    QFETCH(QStringList, chosen);
    const QString caption = captions.value(buttons.indexOf(target));

    showDialog(files);
    if (hidden)
        m_dialog->hide();
    EventLog log(m_dialog);
    QTimer *timer = m_dialog->findChild<QTimer *>("m_countdownTimer");

    for (int left = 9; left >= 1; --left) {
        tick();
        for (int i = 0; i < buttons.size(); ++i) {
            const QString expected
                = buttons.at(i) == target ? QString("%1(%2)").arg(caption).arg(left) : captions.at(i);
            QCOMPARE(button(buttons.at(i))->text(), expected);
        }
        QVERIFY(timer->isActive());
        QCOMPARE(log.events, QStringList());
    }
    tick();
    QCOMPARE(log.events, chosen);
    QVERIFY(!timer->isActive());
    if (!target.isEmpty())
        QCOMPARE(button(target)->text(), caption + "(1)");
}

void tst_UpgradeDialog::quickUpgradeStopsTheCountdown()
{
    showDialog();
    DataSaveControl::writeFactoryData("SupportQuickUpgrade", true);
    EventLog log(m_dialog);
    tick();
    QVERIFY(!m_dialog->findChild<QTimer *>("m_countdownTimer")->isActive());
    QCOMPARE(button("m_systemButton")->text(), QString("Upgrade system"));
    QCOMPARE(log.events, QStringList());
}

void tst_UpgradeDialog::countdownRunsInRealTime()
{
    QElapsedTimer clock;
    clock.start();
    showDialog({"mcu.bin"});
    EventLog log(m_dialog);
    QTRY_COMPARE_WITH_TIMEOUT(button("m_mcuButton")->text(), QString("Upgrade MCU(9)"), 3000);
    QVERIFY(clock.elapsed() >= 900);
    QTRY_COMPARE_WITH_TIMEOUT(log.events, QStringList {"mcuUpdateSig"}, 15000);
    // Ten one-second ticks; coarse timers may each fire a little early.
    QVERIFY2(clock.elapsed() >= 9000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(button("m_mcuButton")->text(), QString("Upgrade MCU(1)"));
}

void tst_UpgradeDialog::fileListShowsChoices_data()
{
    QTest::addColumn<QStringList>("earlier");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("part");
    QTest::addColumn<bool>("system");
    QTest::addColumn<bool>("mcu");

    const auto row = [](const char *name, const QStringList &earlier, const QStringList &files, bool part,
                        bool system, bool mcu) {
        QTest::newRow(name) << earlier << files << part << system << mcu;
    };
    row("system image only", allFiles, {"ISPBOOOT.BIN"}, false, true, false);
    row("all three", {}, {"ORBITA_PACK.BIN", "mcu.bin", "ISPBOOOT.BIN"}, true, true, true);
    row("empty list", allFiles, {}, false, false, false);
    row("other letter case", allFiles, {"ispbooot.bin", "MCU.BIN", "Orbita_Pack.bin"}, false, false, false);
    row("directory in front", allFiles, {"/media/usb0/ISPBOOOT.BIN", "usb/mcu.bin"}, false, false, false);
    row("name inside a longer name", allFiles, {"ISPBOOOT.BIN.bak", "old_mcu.bin"}, false, false, false);
    row("duplicates and other files", allFiles, {"readme.txt", "mcu.bin", "mcu.bin"}, false, false, true);
    row("later list shows a hidden choice again", {"mcu.bin"}, {"ISPBOOOT.BIN"}, false, true, false);
}

void tst_UpgradeDialog::fileListShowsChoices()
{
    QFETCH(QStringList, earlier);
    QFETCH(QStringList, files);
    QFETCH(bool, part);
    QFETCH(bool, system);
    QFETCH(bool, mcu);

    showDialog(earlier);
    EventLog log(m_dialog);
    m_dialog->setUpgradeFileList(files);
    QCOMPARE(button("m_partButton")->isVisible(), part);
    QCOMPARE(button("m_systemButton")->isVisible(), system);
    QCOMPARE(button("m_mcuButton")->isVisible(), mcu);
    QVERIFY(button("m_cancelButton")->isVisible());
    QCOMPARE(focusName(), QString("dialog"));
    QCOMPARE(log.events, QStringList());
    QCOMPARE(records(), QStringList());
}

void tst_UpgradeDialog::quickUpgradeWalksTheMedia_data()
{
    // Each medium: its entries, comma-separated. USB media are named usb0,
    // usb1, ..., SD media sd0, sd1, ...
    QTest::addColumn<QStringList>("usb");
    QTest::addColumn<QStringList>("sd");
    QTest::addColumn<bool>("mcuModule");
    QTest::addColumn<bool>("factoryCustom");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QStringList>("records");

    const QString system
        = "1108 [media_print][setUpgradeFileList] idx: %1  val: \"{root}/media/%2/ISPBOOOT.BIN\"";
    const QString mcu = "1122 [media_print][setUpgradeFileList] idx: %1  val: \"{root}/media/%2/mcu.bin\"";
    const QString touchConf = "1134 [custom_print][line:1134][copy {root}/media/%1/touch_conf]";
    // Images count only beside an empty marker file.
    const QString marker = ",zel.support.quick.upgrade=0";
    const auto row = [](const char *name, const QStringList &usb, const QStringList &sd, bool mcuModule,
                        bool factoryCustom, const QStringList &events, const QStringList &records) {
        QTest::newRow(name) << usb << sd << mcuModule << factoryCustom << events << records;
    };

    row("MCU image with empty marker", {"mcu.bin=3" + marker}, {}, true, false, {"mcuUpdateSig"},
        {mcu.arg(0).arg("usb0")});
    row("system image with empty marker", {"ISPBOOOT.BIN=5" + marker}, {}, true, false,
        {"updateSystem", "cancelSig"}, {system.arg(0).arg("usb0"), noBinFile});
    row("system and MCU image on one medium", {"ISPBOOOT.BIN=5,mcu.bin=3" + marker}, {}, true, false,
        {"updateSystem", "mcuUpdateSig"}, {system.arg(0).arg("usb0"), mcu.arg(0).arg("usb0")});
    row("marker of one byte", {"ISPBOOOT.BIN=5,mcu.bin=3,zel.support.quick.upgrade=1"}, {}, true, false,
        {"cancelSig"}, {noBinFile});
    row("no marker", {"ISPBOOOT.BIN=5,mcu.bin=3"}, {}, true, false, {"cancelSig"}, {noBinFile});
    row("empty images", {"ISPBOOOT.BIN=0,mcu.bin=0" + marker}, {}, true, false, {"cancelSig"}, {noBinFile});
    row("no USB medium, two SD media", {}, {"ISPBOOOT.BIN=5" + marker, "mcu.bin=3" + marker}, true, false,
        {"updateSystem", "mcuUpdateSig"}, {system.arg(0).arg("sd0"), mcu.arg(1).arg("sd1")});
    row("USB media hide the SD media", {""}, {"mcu.bin=3" + marker}, true, false, {"cancelSig"}, {noBinFile});
    row("MCU image ends the walk",
        {"ISPBOOOT.BIN=5" + marker, "mcu.bin=3" + marker, "ISPBOOOT.BIN=5" + marker}, {}, true, false,
        {"updateSystem", "mcuUpdateSig"}, {system.arg(0).arg("usb0"), mcu.arg(1).arg("usb1")});
    row("no MCU module", {"ISPBOOOT.BIN=5" + marker}, {}, false, false, {"cancelSig"},
        {system.arg(0).arg("usb0"), noBinFile});
    row("no media", {}, {}, true, false, {"cancelSig"}, {noBinFile});
    row("customisation data, then MCU image on the second medium", {"touch_conf", "mcu.bin=3" + marker}, {},
        true, true, {"toast", "rebootSystem", "mcuUpdateSig"},
        {touchConf.arg("usb0"), mcu.arg(1).arg("usb1")});
    row("two media with customisation data", {"touch_conf", "touch_conf"}, {}, true, true,
        {"toast", "rebootSystem", "toast", "rebootSystem", "cancelSig"},
        {touchConf.arg("usb0"), touchConf.arg("usb1"), noBinFile});
    row("customisation data without the factory setting", {"touch_conf"}, {}, true, false, {"cancelSig"},
        {noBinFile});
    row("medium with an MCU image is not imported", {"touch_conf,mcu.bin=3" + marker}, {}, true, true,
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

    const auto mount = [this](const char *type, const QStringList &media) {
        QStringList mounts;
        for (int i = 0; i < media.size(); ++i)
            mounts << makeMedium(type + QString::number(i), media.at(i).split(','));
        return mounts;
    };
    UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_USB, mount("usb", usb));
    UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_SD, mount("sd", sd));
    HostSetup::setMcuModuleAvailable(mcuModule);

    QCOMPARE(quickUpgrade(factoryCustom), events);
    // The walk shows no choice itself: the buttons stay as they were.
    QCOMPARE(this->records(), expand(records));
    for (const char *name : {"m_partButton", "m_systemButton", "m_mcuButton"})
        QVERIFY(button(name)->isVisible());
}

void tst_UpgradeDialog::importsAFullMedium()
{
    const QString mount = makeMedium(
        "usb0",
        {"touch_conf", "Factory.ini", "SETUPMENU.ini", "UserData.ini", "touch_keys", "direction.json",
         "ir_keys", "physical_keys", "logo.jpg", "runtime.cfg", "icon/apps/nav.png", "device_install",
         "bootAnimatiom/frames/001.png", "wallpapers/w1.jpg", "logo/aaa/inner.png", "logo/Zulu.png",
         "logo/alpha.bin", "languages/en.qm", "CarHome.png"});
    m_sandbox->writeFile("/media/flash/nvm/icon/old.png", "old");
    m_sandbox->writeFile("/media/flash/nvm/configs/carplay_config.xml", "<carplay/>");
    m_sandbox->writeFile("/media/flash/nvm/CarHome.png", "old");
    const QByteArray before = writePartition(16, 8);
    UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_USB, {mount});
    QCOMPARE(quickUpgrade(), QStringList({"saveSettingData", "toast", "rebootSystem", "cancelSig"}));

    QCOMPARE(commands(),
             expand({
                 "cp -arf {root}/media/usb0/touch_conf {root}/media/flash/nvm/touch_conf",
                 "cp -arf {root}/media/usb0/touch_conf {root}/media/flash/nvm/touch_conf.bak",
                 "cp -arf {root}/media/usb0/Factory.ini {root}/media/flash/nvm/Quorvex/Factory.ini",
                 "cp -arf {root}/media/usb0/SETUPMENU.ini {root}/media/flash/nvm/Quorvex/SETUPMENU.ini",
                 "cp -arf {root}/media/usb0/UserData.ini {root}/media/flash/nvm/Quorvex/UserData.ini",
                 "cp -arf {root}/media/usb0/touch_keys {root}/media/flash/nvm/touch_keys",
                 "cp -arf {root}/media/usb0/touch_keys {root}/media/flash/nvm/touch_keys.bak",
                 "cp -arf {root}/media/usb0/direction.json {root}/media/flash/nvm/direction.json",
                 "cp -arf {root}/media/usb0/direction.json {root}/media/flash/nvm/direction.bak",
                 "cp -arf {root}/media/usb0/ir_keys {root}/media/flash/nvm/ir_keys",
                 "cp -arf {root}/media/usb0/ir_keys {root}/media/flash/nvm/ir_keys.bak",
                 "cp -arf {root}/media/usb0/physical_keys {root}/media/flash/nvm/physical_keys",
                 "cp -arf {root}/media/usb0/physical_keys {root}/media/flash/nvm/physical_keys.bak",
                 "cp -arf {root}/media/usb0/logo.jpg {root}/media/flash/nvm/logo.jpg",
                 copyOut,
                 copyBack,
                 "rm {root}/media/flash/nvm/logo.jpg",
                 "cp -arf {root}/media/usb0/runtime.cfg {root}/media/flash/userdata/.runtime.cfg",
                 "rm -rf {root}/media/flash/nvm/icon",
                 "cp -rf {root}/media/usb0/icon {root}/media/flash/nvm/icon",
                 "cp -arf {root}/media/usb0/device_install {root}/media/flash/userdata/device_install",
                 "cp -rf {root}/media/usb0/bootAnimatiom {root}/media/flash/nvm/bootAnimatiom",
                 "cp -rf {root}/media/usb0/wallpapers {root}/media/flash/nvm/wallpapers",
                 "cp -rf {root}/media/usb0/logo {root}/media/flash/nvm/logo",
                 copyOut,
                 copyBack,
                 "cp -rf {root}/media/usb0/languages {root}/media/flash/nvm/languages",
                 "rm -rf {root}/media/flash/nvm/configs/carplay_config.xml",
                 "rm -rf {root}/media/flash/nvm/CarHome.png",
                 "cp -arf {root}/media/usb0/CarHome.png {root}/media/flash/nvm/CarHome.png",
             }));

    QCOMPARE(records(),
             expand({
                 "1134 [custom_print][line:1134][copy {root}/media/usb0/touch_conf]",
                 "1144 [custom_print][line:1144][copy {root}/media/usb0/Factory.ini]",
                 "1153 [custom_print][line:1153][copy {root}/media/usb0/SETUPMENU.ini]",
                 "1162 [custom_print][line:1162][copy {root}/media/usb0/UserData.ini]",
                 "1171 [custom_print][line:1171][copy {root}/media/usb0/touch_keys]",
                 "1181 [custom_print][line:1181][copy {root}/media/usb0/direction.json]",
                 "1191 [custom_print][line:1191][copy {root}/media/usb0/ir_keys]",
                 "1201 [custom_print][line:1201][copy {root}/media/usb0/physical_keys]",
                 "1212 [custom_print][line:1212][copy {root}/media/usb0/logo.jpg]",
                 "1214 setUpgradeFileList 1214 dstF.fileName(): \"{root}/media/flash/nvm/logo.jpg\"",
                 "1404 writeLogo 1404 imgPath: \"{root}/media/flash/nvm/logo.jpg\"",
                 "1224 [custom_print][line:1224][copy {root}/media/usb0/runtime.cfg]",
                 "1236 [custom_print][line:1236][copy {root}/media/usb0/icon to {root}/media/flash/nvm/icon]",
                 "1245 [custom_print][line:1245][copy {root}/media/usb0/device_install]",
                 "1257 [custom_print][line:1257][copy {root}/media/usb0/bootAnimatiom to "
                 "{root}/media/flash/nvm/bootAnimatiom]",
                 "1269 [custom_print][line:1269][copy {root}/media/usb0/wallpapers to "
                 "{root}/media/flash/nvm/wallpapers]",
                 "1283 [custom_print][line:1283][copy {root}/media/usb0/logo to {root}/media/flash/nvm/logo]",
                 "1404 writeLogo 1404 imgPath: \"{root}/media/flash/nvm/logo/alpha.bin\"",
                 "1352 [custom_print][line:1352][copy {root}/media/usb0/languages to "
                 "{root}/media/flash/nvm/languages]",
                 "1368 [custom_print][line:1368][copy {root}/media/usb0/CarHome.png to "
                 "{root}/media/flash/nvm/CarHome.png]",
                 noBinFile,
             }));

    const QList<QJsonObject> journal = HostJournal::instance()->entries();
    QCOMPARE(journal.at(0).value("key").toString(), QString("LogoIndex"));
    QCOMPARE(journal.at(0).value("value").toInt(-1), 0);
    QCOMPARE(journal.at(0).value("owner").toString(), QString());
    QCOMPARE(journal.at(1).value("text").toString(), QString("COPY is Done!"));

    for (const char *copied : {"/nvm/touch_conf", "/nvm/touch_conf.bak", "/nvm/Quorvex/Factory.ini",
                               "/nvm/direction.json", "/nvm/direction.bak", "/userdata/.runtime.cfg",
                               "/nvm/icon/apps/nav.png", "/nvm/bootAnimatiom/frames/001.png",
                               "/nvm/logo/alpha.bin", "/nvm/logo/aaa/inner.png", "/nvm/languages/en.qm"})
        QVERIFY2(QFile::exists(m_sandbox->path(QString("/media/flash") + copied)), copied);
    for (const char *gone : {"/nvm/direction.json.bak", "/nvm/logo.jpg", "/nvm/icon/old.png",
                             "/nvm/configs/carplay_config.xml", "/userdata/logo.txt"})
        QVERIFY2(!QFile::exists(m_sandbox->path(QString("/media/flash") + gone)), gone);
    QFile carHome(m_sandbox->path("/media/flash/nvm/CarHome.png"));
    QVERIFY(carHome.open(QIODevice::ReadOnly));
    QCOMPARE(carHome.readAll(),
             pictureBytes(QSize(20, 10), QColor(qHash(QString("CarHome.png")) % 256, 0, 0)));
    // The logo folder's first picture in name order ignoring case was written last.
    QCOMPARE(partition(), expectedPartition(before, mount + "/logo/alpha.bin"));
}

void tst_UpgradeDialog::importRows_data()
{
    QTest::addColumn<QStringList>("medium");
    QTest::addColumn<QStringList>("device");
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("mcuModule");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");
    QTest::addColumn<QString>("logo");

    const QStringList done {"toast", "rebootSystem", "cancelSig"};
    const QStringList nothing {"cancelSig"};
    const auto row
        = [](const char *name, const QStringList &medium, const QStringList &device,
             const QStringList &commands, const QStringList &records, const QStringList &events,
             const QStringList &present, const QStringList &absent, const QString &logo = QString(),
             const QString &version = "KD_PLV_07", bool mcuModule = true) {
              QTest::newRow(name) << medium << device << version << mcuModule << commands << records << events
                                  << present << absent << logo;
          };

    row("no customisation data", {"readme.txt", "Logo.jpg", "Icon/"}, {}, {}, {}, nothing, {}, {});
    row("folder where a file is expected", {"touch_keys/map.txt"}, {},
        {"cp -arf {root}/media/usb0/touch_keys {root}/media/flash/nvm/touch_keys",
         "cp -arf {root}/media/usb0/touch_keys {root}/media/flash/nvm/touch_keys.bak"},
        {"1171 [custom_print][line:1171][copy {root}/media/usb0/touch_keys]"}, done,
        {"/media/flash/nvm/touch_keys/map.txt", "/media/flash/nvm/touch_keys.bak/map.txt"}, {});
    row("file where a folder is expected", {"icon"}, {"/media/flash/nvm/icon/old.png"}, {}, {}, nothing,
        {"/media/flash/nvm/icon/old.png"}, {});
    row("folder replaces the old one", {"wallpapers/new.jpg"}, {"/media/flash/nvm/wallpapers/old.jpg"},
        {"rm -rf {root}/media/flash/nvm/wallpapers",
         "cp -rf {root}/media/usb0/wallpapers {root}/media/flash/nvm/wallpapers"},
        {"1269 [custom_print][line:1269][copy {root}/media/usb0/wallpapers to "
         "{root}/media/flash/nvm/wallpapers]"},
        done, {"/media/flash/nvm/wallpapers/new.jpg"},
        {"/media/flash/nvm/wallpapers/old.jpg", "/media/flash/nvm/wallpapers/wallpapers"});
    row("logo folder on other software", {"logo/a.png"}, {"/media/flash/nvm/logo/old.png"}, {}, {}, nothing,
        {"/media/flash/nvm/logo/old.png"}, {}, QString(), "KD_PLV_070");
    row("logo folder of sub-folders only", {"logo/sub/a.png"}, {},
        {"cp -rf {root}/media/usb0/logo {root}/media/flash/nvm/logo", "rm -rf {root}/media/flash/nvm/logo"},
        {"1283 [custom_print][line:1283][copy {root}/media/usb0/logo to {root}/media/flash/nvm/logo]",
         "1312 setUpgradeFileList 1312 The destination path does not have a jpg file."},
        nothing, {}, {"/media/flash/nvm/logo"});
    row("logo picture written, then removed", {"logo.jpg"}, {},
        {"cp -arf {root}/media/usb0/logo.jpg {root}/media/flash/nvm/logo.jpg", copyOut, copyBack,
         "rm {root}/media/flash/nvm/logo.jpg"},
        {"1212 [custom_print][line:1212][copy {root}/media/usb0/logo.jpg]",
         "1214 setUpgradeFileList 1214 dstF.fileName(): \"{root}/media/flash/nvm/logo.jpg\"",
         "1404 writeLogo 1404 imgPath: \"{root}/media/flash/nvm/logo.jpg\""},
        done, {}, {"/media/flash/nvm/logo.jpg", "/media/flash/userdata/logo.txt"}, "logo.jpg");
    row("only CarHome.png, with leftovers", {"CarHome.png"},
        {"/media/flash/nvm/configs/carplay_config.xml", "/media/flash/nvm/CarHome.png"},
        {"rm -rf {root}/media/flash/nvm/configs/carplay_config.xml",
         "rm -rf {root}/media/flash/nvm/CarHome.png",
         "cp -arf {root}/media/usb0/CarHome.png {root}/media/flash/nvm/CarHome.png"},
        {"1368 [custom_print][line:1368][copy {root}/media/usb0/CarHome.png to "
         "{root}/media/flash/nvm/CarHome.png]"},
        done, {"/media/flash/nvm/CarHome.png"}, {"/media/flash/nvm/configs/carplay_config.xml"});
    row("only CarHome.png, nothing to remove", {"CarHome.png"}, {},
        {"cp -arf {root}/media/usb0/CarHome.png {root}/media/flash/nvm/CarHome.png"},
        {"1368 [custom_print][line:1368][copy {root}/media/usb0/CarHome.png to "
         "{root}/media/flash/nvm/CarHome.png]"},
        done, {"/media/flash/nvm/CarHome.png"}, {});
    row("no MCU module", {"UserData.ini"}, {},
        {"cp -arf {root}/media/usb0/UserData.ini {root}/media/flash/nvm/Quorvex/UserData.ini"},
        {"1162 [custom_print][line:1162][copy {root}/media/usb0/UserData.ini]"}, {"toast", "cancelSig"},
        {"/media/flash/nvm/Quorvex/UserData.ini"}, {}, QString(), "KD_PLV_07", false);
}

void tst_UpgradeDialog::importRows()
{
    QFETCH(QStringList, medium);
    QFETCH(QStringList, device);
    QFETCH(QString, version);
    QFETCH(bool, mcuModule);
    QFETCH(QStringList, commands);
    QFETCH(QStringList, records);
    QFETCH(QStringList, events);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    QFETCH(QString, logo);

    const QString mount = makeMedium("usb0", medium);
    UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_USB, {mount});
    for (const QString &path : device)
        m_sandbox->writeFile(path, "old");
    const QByteArray before = writePartition(16, 8);
    BaseControl::getInstance()->setSoftwareVersion(version);
    HostSetup::setMcuModuleAvailable(mcuModule);
    QCOMPARE(quickUpgrade(), events);
    QCOMPARE(this->commands(), expand(commands));
    // None of these media holds an image, so each walk ends reporting none.
    QCOMPARE(this->records(), expand(records) << noBinFile);
    for (const QString &path : present)
        QVERIFY2(QFile::exists(m_sandbox->path(path)), qPrintable(path));
    for (const QString &path : absent)
        QVERIFY2(!QFile::exists(m_sandbox->path(path)), qPrintable(path));
    QVERIFY(partition() == (logo.isEmpty() ? before : expectedPartition(before, mount + '/' + logo)));
}

void tst_UpgradeDialog::quotesHostileMountNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("quotedSource");

    const auto row = [](const char *name, const QString &mount, const QString &quoted) {
        QTest::newRow(name) << mount << quoted;
    };
    row("blanks", "MY STICK", "'{root}/media/MY STICK/touch_conf'");
    row("command separator", "x;touch {root}/owned", "'{root}/media/x;touch {root}/owned/touch_conf'");
    row("command substitution", "$(touch {root}/owned)", "'{root}/media/$(touch {root}/owned)/touch_conf'");
    row("backquotes", "`touch {root}/owned`", "'{root}/media/`touch {root}/owned`/touch_conf'");
    row("single quote", "it's", "'{root}/media/it'\\''s/touch_conf'");
    row("placeholders", "50%2off%1", "'{root}/media/50%2off%1/touch_conf'");
    row("non-Latin-1 volume label", QString::fromUtf8("U\xe7\x9b\x98 2"),
        QString::fromUtf8("'{root}/media/U\xe7\x9b\x98 2/touch_conf'"));
}

void tst_UpgradeDialog::quotesHostileMountNames()
{
    QFETCH(QString, name);
    QFETCH(QString, quotedSource);

    const QString mount = mediumPath(expand(name));
    m_sandbox->writeFile("/media/" + expand(name) + "/touch_conf", "hostile keys");
    UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_USB, {mount});
    QCOMPARE(quickUpgrade(), QStringList({"toast", "rebootSystem", "cancelSig"}));
    QCOMPARE(commands(),
             expand({"cp -arf " + quotedSource + " {root}/media/flash/nvm/touch_conf",
                     "cp -arf " + quotedSource + " {root}/media/flash/nvm/touch_conf.bak"}));
    for (const char *copy : {"/media/flash/nvm/touch_conf", "/media/flash/nvm/touch_conf.bak"}) {
        QFile file(m_sandbox->path(copy));
        QVERIFY2(file.open(QIODevice::ReadOnly), copy);
        QCOMPARE(file.readAll(), QByteArray("hostile keys"));
    }
    QVERIFY(!QFile::exists(m_sandbox->path("/owned")));
    QCOMPARE(QDir(m_sandbox->path("/media/flash/nvm")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({"Quorvex", "touch_conf", "touch_conf.bak"}));
}

void tst_UpgradeDialog::writesTheLogo_data()
{
    QTest::addColumn<QSize>("header");
    QTest::addColumn<int>("partitionSize");
    QTest::addColumn<QSize>("picture");

    QTest::newRow("picture of the header's size") << QSize(20, 10) << int(LogoRecord::size) << QSize(20, 10);
    QTest::newRow("other size stretched to the header's")
        << QSize(16, 16) << int(LogoRecord::size) << QSize(20, 10);
    QTest::newRow("pixels reaching beyond the record")
        << QSize(1024, 800) << int(LogoRecord::size) << QSize(20, 10);
    QTest::newRow("partition larger than the record") << QSize(16, 8) << 3 * 1024 * 1024 << QSize(20, 10);
}

void tst_UpgradeDialog::writesTheLogo()
{
    QFETCH(QSize, header);
    QFETCH(int, partitionSize);
    QFETCH(QSize, picture);

    const QByteArray before = writePartition(header.width(), header.height(), partitionSize);
    const QString path = m_sandbox->writeFile("/media/flash/nvm/logo.jpg", pictureBytes(picture, Qt::red));
    showDialog();
    m_dialog->writeLogo(path);

    QCOMPARE(records(),
             QStringList {expand("1404 writeLogo 1404 imgPath: \"{root}/media/flash/nvm/logo.jpg\"")});
    QCOMPARE(commands(), expand({copyOut, copyBack}));
    QVERIFY(!QFile::exists(m_sandbox->path("/media/flash/userdata/logo.txt")));
    // The header is carried, the pixels written (stretched unless they fit) and the rest carried.
    const QByteArray written = partition().left(int(LogoRecord::size));
    QCOMPARE(written.left(80), before.left(80));
    QVERIFY(written == expectedPartition(before, path));
    // Flash keeps its size (a regular file ends with the copy-back): what follows the record is erased.
    const QByteArray rest = partition().mid(int(LogoRecord::size));
    QCOMPARE(rest.count(char(0xFF)), rest.size());
}

void tst_UpgradeDialog::logoWriterFailures_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<int>("commands");
    QTest::addColumn<bool>("stagingLeft");
    QTest::addColumn<bool>("untouched");

    const QString start = "1404 writeLogo 1404 imgPath: \"{root}/media/usb0/logo.png\"";
    const QString trace = "%1 [QT] [UpdateStyle0] func: writeLogo line: %1";
    const QString badHeader = trace.arg(1426) + " /dev/mtd14:invalid logo header\n";
    const QString verifyFailed = trace.arg(1466) + " /dev/mtd14:verify failed\n";

    // Unless a row says otherwise, a failure runs one command (the copy-out) and leaves no staging
    // file and the partition as it was. In the device VM the flash simulator's faults make the
    // erase and the copy-back fail and a page read back differently (scripts/device-vm.sh).
    const auto row = [&](const char *name, LogoFault fault, const QStringList &after, int commands = 1,
                         bool stagingLeft = false, bool untouched = true) {
        QTest::newRow(name) << int(fault) << QStringList {start} + after << commands << stagingLeft
                            << untouched;
    };
    row("picture missing, stale staging file", PictureMissing,
        {"1410 [zq_print][line:1410] remove {root}/media/flash/userdata/logo.txt",
         "1415 [zq_print][line:1415] {root}/media/usb0/logo.png is null"},
        0);
    row("picture damaged", PictureDamaged, {"1415 [zq_print][line:1415] {root}/media/usb0/logo.png is null"},
        0);
    row("device missing", DeviceMissing, {});
    row("no user-data folder", NoUserDataFolder, {});
    row("staging file cannot be opened", StagingIsFolder,
        {"1410 [zq_print][line:1410] remove {root}/media/flash/userdata/logo.txt"}, 1, true);
    row("header shorter than 68 bytes", HeaderTooShort, {badHeader});
    row("header width 0", HeaderZeroWidth, {badHeader});
    row("header beyond 16 MiB", HeaderTooLarge, {badHeader});
    row("device gone after the copy-out", DeviceGoneAfterCopyOut, {trace.arg(1438)});
    row("getinfo fails", GetInfoFails, {trace.arg(1448) + " /dev/mtd14:MTD getinfo failed\n"});
    row("blank partition", BlankPartition, {badHeader});
    row("erase fails", EraseFails, {trace.arg(1459) + " /dev/mtd14:erase failed\n"}, 1, false, false);
    row("copy-back fails", CopyBackFails, {verifyFailed}, 2, false, false);
    row("read-back differs", ReadBackDiffers, {verifyFailed}, 2, false, false);
}

void tst_UpgradeDialog::logoWriterFailures()
{
    QFETCH(int, fault);
    QFETCH(QStringList, records);
    QFETCH(int, commands);
    QFETCH(bool, stagingLeft);
    QFETCH(bool, untouched);

    const QString staging = m_sandbox->path("/media/flash/userdata/logo.txt");
    const QString device = m_sandbox->path("/dev/mtd14");
    QString picture = m_sandbox->writeFile("/media/usb0/logo.png", pictureBytes(QSize(20, 10), Qt::green));
    QByteArray before = writePartition(16, 8);
    QObject context;
    switch (LogoFault(fault)) {
    case PictureMissing:
        m_sandbox->writeFile("/media/flash/userdata/logo.txt", "stale");
        QFile::remove(picture);
        break;
    case PictureDamaged:
        m_sandbox->writeFile("/media/usb0/logo.png", "\x89PNG damaged");
        break;
    case DeviceMissing:
        QFile::remove(device);
        before.clear();
        break;
    case DeviceGoneAfterCopyOut:
        connect(CommandRunner::instance(), &CommandRunner::commandFinished, &context,
                [&](const QByteArray &) { QFile::remove(device); });
        before.clear();
        break;
    case NoUserDataFolder:
        QDir(m_sandbox->path("/media/flash/userdata")).removeRecursively();
        break;
    case StagingIsFolder:
        QDir().mkpath(staging);
        break;
    case GetInfoFails:
        FlashPartition::setFailingRequest(FlashPartition::GetInfoRequest);
        break;
    case EraseFails:
        FlashPartition::setFailingRequest(FlashPartition::EraseRequest);
        break;
    case HeaderTooShort:
        before = writePartition(16, 8, 64);
        break;
    case HeaderZeroWidth:
        before = writePartition(0, 8);
        break;
    case HeaderTooLarge:
        before = writePartition(4096, 4096);
        break;
    case BlankPartition:
        before = writeFlash(QByteArray(int(LogoRecord::size), char(0xFF)));
        break;
    case CopyBackFails:
    case ReadBackDiffers:
        // What flash holds after the copy-back when a page write fails (the pages from there on stay
        // erased) or a write did not take (one byte differs). The device VM's flash simulator does
        // this itself.
        if (!Sandbox::onKernelFlash())
            connect(CommandRunner::instance(), &CommandRunner::commandFinished, &context,
                    [&](const QByteArray &command) {
                        const qint64 offset = fault == CopyBackFails ? 700 * 2048 : 100;
                        QFile flash(device);
                        if (command.startsWith("dd if=" + QFile::encodeName(staging))
                            && flash.open(QIODevice::ReadWrite) && flash.seek(offset))
                            flash.write(fault == CopyBackFails
                                            ? QByteArray(int(LogoRecord::size - offset), char(0xFF))
                                            : QByteArray("!"));
                    });
        break;
    case NoFault:
        break;
    }

    showDialog();
    m_dialog->writeLogo(picture);

    QCOMPARE(this->records(), expand(records));
    QCOMPARE(m_commands->count(), commands);
    QCOMPARE(QFileInfo::exists(staging), stagingLeft);
    if (untouched)
        QVERIFY(partition() == before);
}

QTEST_MAIN(tst_UpgradeDialog)
#include "tst_upgradedialog.moc"
