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
#include "sandbox.h"
#include "tipdialog.h"
#include "upgradedialog.h"
#include "usbcontrol.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QtEndian>
#include <QtTest>

#include <memory>

namespace {

const char setUpgradeFileListSignature[] = "void UpgradeDialog::setUpgradeFileList(const QStringList&)";
const char writeLogoSignature[] = "void UpgradeDialog::writeLogo(const QString&)";

const int backwardKey = 0x0110003F;
const int forwardKey = 0x01100040;

const QStringList allFiles {"ORBITA_PACK.BIN", "ISPBOOOT.BIN", "mcu.bin"};

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
    void closeSlotCancels();

    void keysMoveTheFocus_data();
    void keysMoveTheFocus();
    void otherKeysReachTheParent_data();
    void otherKeysReachTheParent();

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
    void setFactory(const char *key, bool value);

    QString expand(QString text) const;
    QStringList expand(const QStringList &texts) const;
    QString mediumPath(const QString &name) const;
    QString makeMedium(const QString &name, const QStringList &entries) const;
    QByteArray writePartition(quint32 width, quint32 height, int size = int(LogoRecord::size)) const;
    QByteArray partition() const;
    QByteArray expectedPartition(const QByteArray &before, const QString &picture) const;
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
    QDir().mkpath(m_sandbox->path("/media/flash/nvm/Quorvex"));
    QDir().mkpath(m_sandbox->path("/media/flash/userdata"));

    HostJournal::instance()->clear();
    HostSetup::setMcuModuleAvailable(true);
    BaseControl::getInstance()->setSoftwareVersion("KD_PLV_07");
    UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_USB, QStringList());
    UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_SD, QStringList());
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

void tst_UpgradeDialog::setFactory(const char *key, bool value)
{
    DataSaveControl::writeFactoryData(QLatin1String(key), value);
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

// A logo partition whose header prescribes width x height; the other bytes
// follow a pattern so that carried bytes can be told from written ones.
QByteArray tst_UpgradeDialog::writePartition(quint32 width, quint32 height, int size) const
{
    QByteArray bytes(size, 0);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7) % 253);
    if (size >= 68) {
        uchar header[8];
        qToLittleEndian(width, header);
        qToLittleEndian(height, header + 4);
        bytes.replace(60, 8, reinterpret_cast<const char *>(header), 8);
    }
    m_sandbox->writeFile("/dev/mtd14", bytes);
    return bytes;
}

QByteArray tst_UpgradeDialog::partition() const
{
    QFile file(m_sandbox->path("/dev/mtd14"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The record after a successful write: the picture, stretched to the
// header's size unless it has it already, patched in at byte 80; the
// partition then holds the record's first 3,072,000 bytes.
QByteArray tst_UpgradeDialog::expectedPartition(const QByteArray &before, const QString &picture) const
{
    QByteArray record = before.left(int(LogoRecord::size));
    const QSize size(qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(record.constData() + 60)),
                     qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(record.constData() + 64)));
    QImage image(picture);
    if (image.size() != size)
        image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QByteArray pixels(reinterpret_cast<const char *>(image.constBits()),
                            image.bytesPerLine() * image.height());
    if (record.size() < 80 + pixels.size())
        record.resize(80 + pixels.size());
    record.replace(80, pixels.size(), pixels);
    return record.left(int(LogoRecord::size));
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
    const QStringList names {"m_partButton", "m_systemButton", "m_mcuButton", "m_cancelButton"};
    const QStringList captions {"Upgrade part", "Upgrade system", "Upgrade MCU", "Cancel"};
    const QImage *normal = button("m_partButton")->backgroundImages().normal();
    const QImage *pressed = button("m_partButton")->backgroundImages().pressed();
    QVERIFY(normal && !normal->isNull() && pressed && !pressed->isNull() && *normal != *pressed);
    for (int i = 0; i < names.size(); ++i) {
        CustomImageLabel *label = button(names.at(i));
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
    for (const QString &name : names) {
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
    QTest::newRow("part") << "m_partButton"
                          << "partUpdateSig";
    QTest::newRow("system") << "m_systemButton"
                            << "completeUpdateSig";
    QTest::newRow("mcu") << "m_mcuButton"
                         << "mcuUpdateSig";
    QTest::newRow("cancel") << "m_cancelButton"
                            << "cancelSig";
}

void tst_UpgradeDialog::buttonsEmitTheirChoice()
{
    QFETCH(QString, name);
    QFETCH(QString, signal);
    showDialog();
    EventLog log(m_dialog);
    QTest::mouseClick(button(name), Qt::LeftButton);
    QCOMPARE(log.events, QStringList {signal});
}

void tst_UpgradeDialog::closeSlotCancels()
{
    showDialog();
    EventLog log(m_dialog);
    QVERIFY(QMetaObject::invokeMethod(m_dialog, "onCloseBtClicked"));
    QCOMPARE(log.events, QStringList {"cancelSig"});
}

void tst_UpgradeDialog::keysMoveTheFocus_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("forward from nothing") << allFiles << "" << forwardKey << "m_partButton";
    QTest::newRow("backward from nothing") << allFiles << "" << backwardKey << "m_cancelButton";
    QTest::newRow("key 0x0110003F backward") << allFiles << "m_systemButton" << 0x0110003F << "m_partButton";
    QTest::newRow("key 0x01100040 forward") << allFiles << "m_systemButton" << 0x01100040 << "m_mcuButton";
    QTest::newRow("key 0x0110004D forward") << allFiles << "m_systemButton" << 0x0110004D << "m_mcuButton";
    QTest::newRow("key 0x0110004E backward") << allFiles << "m_systemButton" << 0x0110004E << "m_partButton";
    QTest::newRow("key 0x0140000A backward") << allFiles << "m_systemButton" << 0x0140000A << "m_partButton";
    QTest::newRow("key 0x0140000B forward") << allFiles << "m_systemButton" << 0x0140000B << "m_mcuButton";
    QTest::newRow("forward wraps from cancel")
        << allFiles << "m_cancelButton" << forwardKey << "m_partButton";
    QTest::newRow("backward wraps from part")
        << allFiles << "m_partButton" << backwardKey << "m_cancelButton";
    QTest::newRow("forward from nothing skips hidden part")
        << QStringList {"ISPBOOOT.BIN"} << "" << forwardKey << "m_systemButton";
    QTest::newRow("forward from nothing, MCU only")
        << QStringList {"mcu.bin"} << "" << forwardKey << "m_mcuButton";
    QTest::newRow("wrap skips hidden choices")
        << QStringList {"mcu.bin"} << "m_cancelButton" << forwardKey << "m_mcuButton";
    QTest::newRow("backward skips hidden choices")
        << QStringList {"ORBITA_PACK.BIN"} << "m_cancelButton" << backwardKey << "m_partButton";
    QTest::newRow("only cancel, forward from nothing")
        << QStringList() << "" << forwardKey << "m_cancelButton";
    QTest::newRow("only cancel, forward stays")
        << QStringList() << "m_cancelButton" << forwardKey << "m_cancelButton";
    QTest::newRow("only cancel, backward stays")
        << QStringList() << "m_cancelButton" << backwardKey << "m_cancelButton";
}

void tst_UpgradeDialog::keysMoveTheFocus()
{
    QFETCH(QStringList, files);
    QFETCH(QString, start);
    QFETCH(int, key);
    QFETCH(QString, expected);

    showDialog(files);
    if (!start.isEmpty())
        button(start)->setFocus();
    press(key);
    QCOMPARE(focusName(), expected);
    QCOMPARE(m_parent->keys, QList<int>());
}

void tst_UpgradeDialog::otherKeysReachTheParent_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("key");
    QTest::newRow("neighbour of a focus key, nothing focused") << "" << 0x01100041;
    QTest::newRow("host key of another screen, button focused") << "m_mcuButton" << 0x0120000A;
    QTest::newRow("Qt arrow key") << "m_systemButton" << int(Qt::Key_Down);
    QTest::newRow("Qt return key") << "" << int(Qt::Key_Return);
}

void tst_UpgradeDialog::otherKeysReachTheParent()
{
    QFETCH(QString, start);
    QFETCH(int, key);
    showDialog();
    if (!start.isEmpty())
        button(start)->setFocus();
    const QString focus = focusName();
    press(key);
    QCOMPARE(m_parent->keys, QList<int> {key});
    QCOMPARE(focusName(), focus);
}

void tst_UpgradeDialog::countdownPicksTheFirstChoice_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("hidden");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("chosen");

    QTest::newRow("system before part and MCU") << allFiles << false << "m_systemButton"
                                                << "Upgrade system" << QStringList {"completeUpdateSig"};
    QTest::newRow("part before MCU") << QStringList {"mcu.bin", "ORBITA_PACK.BIN"} << false << "m_partButton"
                                     << "Upgrade part" << QStringList {"partUpdateSig"};
    QTest::newRow("MCU alone") << QStringList {"mcu.bin"} << false << "m_mcuButton"
                               << "Upgrade MCU" << QStringList {"mcuUpdateSig"};
    QTest::newRow("nothing to choose") << QStringList() << false << ""
                                       << "" << QStringList();
    QTest::newRow("dialog hidden") << allFiles << true << ""
                                   << "" << QStringList();
}

void tst_UpgradeDialog::countdownPicksTheFirstChoice()
{
    QFETCH(QStringList, files);
    QFETCH(bool, hidden);
    QFETCH(QString, target);
    QFETCH(QString, caption);
    QFETCH(QStringList, chosen);

    showDialog(files);
    if (hidden)
        m_dialog->hide();
    EventLog log(m_dialog);
    QTimer *timer = m_dialog->findChild<QTimer *>("m_countdownTimer");
    const QStringList names {"m_partButton", "m_systemButton", "m_mcuButton", "m_cancelButton"};
    const QStringList plain {"Upgrade part", "Upgrade system", "Upgrade MCU", "Cancel"};

    for (int left = 9; left >= 1; --left) {
        tick();
        for (int i = 0; i < names.size(); ++i) {
            const QString expected
                = names.at(i) == target ? QString("%1(%2)").arg(caption).arg(left) : plain.at(i);
            QCOMPARE(button(names.at(i))->text(), expected);
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
    setFactory("SupportQuickUpgrade", true);
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

    QTest::newRow("system image only") << allFiles << QStringList {"ISPBOOOT.BIN"} << false << true << false;
    QTest::newRow("all three") << QStringList() << QStringList {"ORBITA_PACK.BIN", "mcu.bin", "ISPBOOOT.BIN"}
                               << true << true << true;
    QTest::newRow("empty list") << allFiles << QStringList() << false << false << false;
    QTest::newRow("other letter case")
        << allFiles << QStringList {"ispbooot.bin", "MCU.BIN", "Orbita_Pack.bin"} << false << false << false;
    QTest::newRow("directory in front")
        << allFiles << QStringList {"/media/usb0/ISPBOOOT.BIN", "usb/mcu.bin"} << false << false << false;
    QTest::newRow("name inside a longer name")
        << allFiles << QStringList {"ISPBOOOT.BIN.bak", "old_mcu.bin"} << false << false << false;
    QTest::newRow("duplicates and other files")
        << allFiles << QStringList {"readme.txt", "mcu.bin", "mcu.bin"} << false << false << true;
    QTest::newRow("later list shows a hidden choice again")
        << QStringList {"mcu.bin"} << QStringList {"ISPBOOOT.BIN"} << false << true << false;
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
    const QString noBinFile = "1390 [media_print][no_bin_file]";
    const QString touchConf = "1134 [custom_print][line:1134][copy {root}/media/%1/touch_conf]";

    QTest::newRow("MCU image with empty marker")
        << QStringList {"mcu.bin=3,zel.support.quick.upgrade=0"} << QStringList() << true << false
        << QStringList {"mcuUpdateSig"} << QStringList {mcu.arg(0).arg("usb0")};
    QTest::newRow("system image with empty marker")
        << QStringList {"ISPBOOOT.BIN=5,zel.support.quick.upgrade=0"} << QStringList() << true << false
        << QStringList {"updateSystem", "cancelSig"} << QStringList {system.arg(0).arg("usb0"), noBinFile};
    QTest::newRow("system and MCU image on one medium")
        << QStringList {"ISPBOOOT.BIN=5,mcu.bin=3,zel.support.quick.upgrade=0"} << QStringList() << true
        << false << QStringList {"updateSystem", "mcuUpdateSig"}
        << QStringList {system.arg(0).arg("usb0"), mcu.arg(0).arg("usb0")};
    QTest::newRow("marker of one byte")
        << QStringList {"ISPBOOOT.BIN=5,mcu.bin=3,zel.support.quick.upgrade=1"} << QStringList() << true
        << false << QStringList {"cancelSig"} << QStringList {noBinFile};
    QTest::newRow("no marker") << QStringList {"ISPBOOOT.BIN=5,mcu.bin=3"} << QStringList() << true << false
                               << QStringList {"cancelSig"} << QStringList {noBinFile};
    QTest::newRow("empty images") << QStringList {"ISPBOOOT.BIN=0,mcu.bin=0,zel.support.quick.upgrade=0"}
                                  << QStringList() << true << false << QStringList {"cancelSig"}
                                  << QStringList {noBinFile};
    QTest::newRow("no USB medium, two SD media")
        << QStringList()
        << QStringList {"ISPBOOOT.BIN=5,zel.support.quick.upgrade=0", "mcu.bin=3,zel.support.quick.upgrade=0"}
        << true << false << QStringList {"updateSystem", "mcuUpdateSig"}
        << QStringList {system.arg(0).arg("sd0"), mcu.arg(1).arg("sd1")};
    QTest::newRow("USB media hide the SD media")
        << QStringList {""} << QStringList {"mcu.bin=3,zel.support.quick.upgrade=0"} << true << false
        << QStringList {"cancelSig"} << QStringList {noBinFile};
    QTest::newRow("MCU image ends the walk")
        << QStringList {"ISPBOOOT.BIN=5,zel.support.quick.upgrade=0", "mcu.bin=3,zel.support.quick.upgrade=0",
                        "ISPBOOOT.BIN=5,zel.support.quick.upgrade=0"}
        << QStringList() << true << false << QStringList {"updateSystem", "mcuUpdateSig"}
        << QStringList {system.arg(0).arg("usb0"), mcu.arg(1).arg("usb1")};
    QTest::newRow("no MCU module") << QStringList {"ISPBOOOT.BIN=5,zel.support.quick.upgrade=0"}
                                   << QStringList() << false << false << QStringList {"cancelSig"}
                                   << QStringList {system.arg(0).arg("usb0"), noBinFile};
    QTest::newRow("no media") << QStringList() << QStringList() << true << false << QStringList {"cancelSig"}
                              << QStringList {noBinFile};
    QTest::newRow("customisation data, then MCU image on the second medium")
        << QStringList {"touch_conf", "mcu.bin=3,zel.support.quick.upgrade=0"} << QStringList() << true
        << true << QStringList {"toast", "rebootSystem", "mcuUpdateSig"}
        << QStringList {touchConf.arg("usb0"), mcu.arg(1).arg("usb1")};
    QTest::newRow("two media with customisation data")
        << QStringList {"touch_conf", "touch_conf"} << QStringList() << true << true
        << QStringList {"toast", "rebootSystem", "toast", "rebootSystem", "cancelSig"}
        << QStringList {touchConf.arg("usb0"), touchConf.arg("usb1"), noBinFile};
    QTest::newRow("customisation data without the factory setting")
        << QStringList {"touch_conf"} << QStringList() << true << false << QStringList {"cancelSig"}
        << QStringList {noBinFile};
    QTest::newRow("medium with an MCU image is not imported")
        << QStringList {"touch_conf,mcu.bin=3,zel.support.quick.upgrade=0"} << QStringList() << true << true
        << QStringList {"mcuUpdateSig"} << QStringList {mcu.arg(0).arg("usb0")};
}

void tst_UpgradeDialog::quickUpgradeWalksTheMedia()
{
    QFETCH(QStringList, usb);
    QFETCH(QStringList, sd);
    QFETCH(bool, mcuModule);
    QFETCH(bool, factoryCustom);
    QFETCH(QStringList, events);
    QFETCH(QStringList, records);

    QStringList usbMounts;
    for (int i = 0; i < usb.size(); ++i)
        usbMounts << makeMedium(QString("usb%1").arg(i), usb.at(i).split(','));
    QStringList sdMounts;
    for (int i = 0; i < sd.size(); ++i)
        sdMounts << makeMedium(QString("sd%1").arg(i), sd.at(i).split(','));
    UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_USB, usbMounts);
    UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_SD, sdMounts);
    HostSetup::setMcuModuleAvailable(mcuModule);

    showDialog();
    setFactory("SupportQuickUpgrade", true);
    setFactory("SupportFactoryCustom", factoryCustom);
    EventLog log(m_dialog);
    m_dialog->setUpgradeFileList(QStringList());

    QCOMPARE(log.events, events);
    QStringList expected;
    for (const QString &record : records)
        expected << expand(record);
    // The walk shows no choice itself: the buttons stay as they were.
    QCOMPARE(this->records(), expected);
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
    showDialog();
    setFactory("SupportQuickUpgrade", true);
    setFactory("SupportFactoryCustom", true);
    EventLog log(m_dialog);
    m_dialog->setUpgradeFileList(QStringList());

    const QString copyOut
        = "dd if={root}/dev/mtd14 of={root}/media/flash/userdata/logo.txt bs=2048c count=1500";
    const QString copyBack
        = "dd if={root}/media/flash/userdata/logo.txt of={root}/dev/mtd14 bs=2048c count=1500";
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
                 "1390 [media_print][no_bin_file]",
             }));

    QCOMPARE(log.events, QStringList({"saveSettingData", "toast", "rebootSystem", "cancelSig"}));
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
    const QString noBinFile = "1390 [media_print][no_bin_file]";
    const QString copyOut
        = "dd if={root}/dev/mtd14 of={root}/media/flash/userdata/logo.txt bs=2048c count=1500";
    const QString copyBack
        = "dd if={root}/media/flash/userdata/logo.txt of={root}/dev/mtd14 bs=2048c count=1500";

    QTest::newRow("no customisation data")
        << QStringList {"readme.txt", "Logo.jpg", "Icon/"} << QStringList() << "KD_PLV_07" << true
        << QStringList() << QStringList {noBinFile} << nothing << QStringList() << QStringList() << "";
    QTest::newRow("folder where a file is expected")
        << QStringList {"touch_keys/map.txt"} << QStringList() << "KD_PLV_07" << true
        << QStringList {"cp -arf {root}/media/usb0/touch_keys {root}/media/flash/nvm/touch_keys",
                        "cp -arf {root}/media/usb0/touch_keys {root}/media/flash/nvm/touch_keys.bak"}
        << QStringList {"1171 [custom_print][line:1171][copy {root}/media/usb0/touch_keys]", noBinFile}
        << done
        << QStringList {"/media/flash/nvm/touch_keys/map.txt", "/media/flash/nvm/touch_keys.bak/map.txt"}
        << QStringList() << "";
    QTest::newRow("file where a folder is expected")
        << QStringList {"icon"} << QStringList {"/media/flash/nvm/icon/old.png"} << "KD_PLV_07" << true
        << QStringList() << QStringList {noBinFile} << nothing
        << QStringList {"/media/flash/nvm/icon/old.png"} << QStringList() << "";
    QTest::newRow("folder replaces the old one")
        << QStringList {"wallpapers/new.jpg"} << QStringList {"/media/flash/nvm/wallpapers/old.jpg"}
        << "KD_PLV_07" << true
        << QStringList {"rm -rf {root}/media/flash/nvm/wallpapers",
                        "cp -rf {root}/media/usb0/wallpapers {root}/media/flash/nvm/wallpapers"}
        << QStringList {"1269 [custom_print][line:1269][copy {root}/media/usb0/wallpapers to "
                        "{root}/media/flash/nvm/wallpapers]",
                        noBinFile}
        << done << QStringList {"/media/flash/nvm/wallpapers/new.jpg"}
        << QStringList {"/media/flash/nvm/wallpapers/old.jpg", "/media/flash/nvm/wallpapers/wallpapers"}
        << "";
    QTest::newRow("logo folder on other software")
        << QStringList {"logo/a.png"} << QStringList {"/media/flash/nvm/logo/old.png"} << "KD_PLV_070" << true
        << QStringList() << QStringList {noBinFile} << nothing
        << QStringList {"/media/flash/nvm/logo/old.png"} << QStringList() << "";
    QTest::newRow("logo folder of sub-folders only")
        << QStringList {"logo/sub/a.png"} << QStringList() << "KD_PLV_07" << true
        << QStringList {"cp -rf {root}/media/usb0/logo {root}/media/flash/nvm/logo",
                        "rm -rf {root}/media/flash/nvm/logo"}
        << QStringList {"1283 [custom_print][line:1283][copy {root}/media/usb0/logo to "
                        "{root}/media/flash/nvm/logo]",
                        "1312 setUpgradeFileList 1312 The destination path does not have a jpg file.",
                        noBinFile}
        << nothing << QStringList() << QStringList {"/media/flash/nvm/logo"} << "";
    QTest::newRow("logo picture written, then removed")
        << QStringList {"logo.jpg"} << QStringList() << "KD_PLV_07" << true
        << QStringList {"cp -arf {root}/media/usb0/logo.jpg {root}/media/flash/nvm/logo.jpg", copyOut,
                        copyBack, "rm {root}/media/flash/nvm/logo.jpg"}
        << QStringList {"1212 [custom_print][line:1212][copy {root}/media/usb0/logo.jpg]",
                        "1214 setUpgradeFileList 1214 dstF.fileName(): \"{root}/media/flash/nvm/logo.jpg\"",
                        "1404 writeLogo 1404 imgPath: \"{root}/media/flash/nvm/logo.jpg\"", noBinFile}
        << done << QStringList()
        << QStringList {"/media/flash/nvm/logo.jpg", "/media/flash/userdata/logo.txt"} << "logo.jpg";
    QTest::newRow("only CarHome.png, with leftovers")
        << QStringList {"CarHome.png"}
        << QStringList {"/media/flash/nvm/configs/carplay_config.xml", "/media/flash/nvm/CarHome.png"}
        << "KD_PLV_07" << true
        << QStringList {"rm -rf {root}/media/flash/nvm/configs/carplay_config.xml",
                        "rm -rf {root}/media/flash/nvm/CarHome.png",
                        "cp -arf {root}/media/usb0/CarHome.png {root}/media/flash/nvm/CarHome.png"}
        << QStringList {"1368 [custom_print][line:1368][copy {root}/media/usb0/CarHome.png to "
                        "{root}/media/flash/nvm/CarHome.png]",
                        noBinFile}
        << done << QStringList {"/media/flash/nvm/CarHome.png"}
        << QStringList {"/media/flash/nvm/configs/carplay_config.xml"} << "";
    QTest::newRow("only CarHome.png, nothing to remove")
        << QStringList {"CarHome.png"} << QStringList() << "KD_PLV_07" << true
        << QStringList {"cp -arf {root}/media/usb0/CarHome.png {root}/media/flash/nvm/CarHome.png"}
        << QStringList {"1368 [custom_print][line:1368][copy {root}/media/usb0/CarHome.png to "
                        "{root}/media/flash/nvm/CarHome.png]",
                        noBinFile}
        << done << QStringList {"/media/flash/nvm/CarHome.png"} << QStringList() << "";
    QTest::newRow("no MCU module")
        << QStringList {"UserData.ini"} << QStringList() << "KD_PLV_07" << false
        << QStringList {"cp -arf {root}/media/usb0/UserData.ini {root}/media/flash/nvm/Quorvex/UserData.ini"}
        << QStringList {"1162 [custom_print][line:1162][copy {root}/media/usb0/UserData.ini]", noBinFile}
        << QStringList {"toast", "cancelSig"} << QStringList {"/media/flash/nvm/Quorvex/UserData.ini"}
        << QStringList() << "";
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
    showDialog();
    setFactory("SupportQuickUpgrade", true);
    setFactory("SupportFactoryCustom", true);
    EventLog log(m_dialog);
    m_dialog->setUpgradeFileList(QStringList());

    QCOMPARE(this->commands(), expand(commands));
    QCOMPARE(this->records(), expand(records));
    QCOMPARE(log.events, events);
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

    QTest::newRow("blanks") << "MY STICK"
                            << "'{root}/media/MY STICK/touch_conf'";
    QTest::newRow("command separator") << "x;touch {root}/owned"
                                       << "'{root}/media/x;touch {root}/owned/touch_conf'";
    QTest::newRow("command substitution") << "$(touch {root}/owned)"
                                          << "'{root}/media/$(touch {root}/owned)/touch_conf'";
    QTest::newRow("backquotes") << "`touch {root}/owned`"
                                << "'{root}/media/`touch {root}/owned`/touch_conf'";
    QTest::newRow("single quote") << "it's"
                                  << "'{root}/media/it'\\''s/touch_conf'";
    QTest::newRow("placeholders") << "50%2off%1"
                                  << "'{root}/media/50%2off%1/touch_conf'";
    QTest::newRow("non-Latin-1 volume label")
        << QString::fromUtf8("U\xe7\x9b\x98 2")
        << QString::fromUtf8("'{root}/media/U\xe7\x9b\x98 2/touch_conf'");
}

void tst_UpgradeDialog::quotesHostileMountNames()
{
    QFETCH(QString, name);
    QFETCH(QString, quotedSource);

    const QString mount = mediumPath(expand(name));
    m_sandbox->writeFile("/media/" + expand(name) + "/touch_conf", "hostile keys");
    UsbControl::getInstance()->setMountDevices(MEDIA_TYPE_USB, {mount});
    showDialog();
    setFactory("SupportQuickUpgrade", true);
    setFactory("SupportFactoryCustom", true);
    EventLog log(m_dialog);
    m_dialog->setUpgradeFileList(QStringList());

    QCOMPARE(commands(),
             expand({"cp -arf " + quotedSource + " {root}/media/flash/nvm/touch_conf",
                     "cp -arf " + quotedSource + " {root}/media/flash/nvm/touch_conf.bak"}));
    QCOMPARE(log.events, QStringList({"toast", "rebootSystem", "cancelSig"}));
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
    QCOMPARE(commands(),
             expand({"dd if={root}/dev/mtd14 of={root}/media/flash/userdata/logo.txt bs=2048c count=1500",
                     "dd if={root}/media/flash/userdata/logo.txt of={root}/dev/mtd14 bs=2048c count=1500"}));
    QVERIFY(!QFile::exists(m_sandbox->path("/media/flash/userdata/logo.txt")));

    const QByteArray written = partition().left(int(LogoRecord::size));
    const QByteArray expected = expectedPartition(before, path);
    QCOMPARE(written.size(), expected.size());
    QCOMPARE(written.left(80), before.left(80));
    if (picture == header) {
        const QImage unscaled(path);
        QCOMPARE(written.mid(80, unscaled.bytesPerLine() * unscaled.height()),
                 QByteArray(reinterpret_cast<const char *>(unscaled.constBits()),
                            unscaled.bytesPerLine() * unscaled.height()));
    }
    QVERIFY(written == expected);
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

    QTest::newRow("picture missing, stale staging file")
        << int(PictureMissing)
        << QStringList {start, "1410 [zq_print][line:1410] remove {root}/media/flash/userdata/logo.txt",
                        "1415 [zq_print][line:1415] {root}/media/usb0/logo.png is null"}
        << 0 << false << true;
    QTest::newRow("picture damaged")
        << int(PictureDamaged)
        << QStringList {start, "1415 [zq_print][line:1415] {root}/media/usb0/logo.png is null"} << 0 << false
        << true;
    QTest::newRow("device missing") << int(DeviceMissing) << QStringList {start} << 1 << false << true;
    QTest::newRow("no user-data folder")
        << int(NoUserDataFolder) << QStringList {start} << 1 << false << true;
    QTest::newRow("staging file cannot be opened")
        << int(StagingIsFolder)
        << QStringList {start, "1410 [zq_print][line:1410] remove {root}/media/flash/userdata/logo.txt"} << 1
        << true << true;
    QTest::newRow("header shorter than 68 bytes")
        << int(HeaderTooShort) << QStringList {start, badHeader} << 1 << false << true;
    QTest::newRow("header width 0") << int(HeaderZeroWidth) << QStringList {start, badHeader} << 1 << false
                                    << true;
    QTest::newRow("header beyond 16 MiB")
        << int(HeaderTooLarge) << QStringList {start, badHeader} << 1 << false << true;
    QTest::newRow("device gone after the copy-out")
        << int(DeviceGoneAfterCopyOut) << QStringList {start, trace.arg(1438)} << 1 << false << true;
    QTest::newRow("getinfo fails") << int(
        GetInfoFails) << QStringList {start, trace.arg(1448) + " /dev/mtd14:MTD getinfo failed\n"}
                                   << 1 << false << true;
    QTest::newRow("erase fails") << int(EraseFails)
                                 << QStringList {start, trace.arg(1459) + " /dev/mtd14:erase failed\n"} << 1
                                 << false << true;
    QTest::newRow("read-back differs")
        << int(ReadBackDiffers) << QStringList {start, trace.arg(1466) + " /dev/mtd14:verify failed\n"} << 2
        << false << false;
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
    case ReadBackDiffers:
        // A flash write that did not take: one byte differs after the copy-back.
        connect(CommandRunner::instance(), &CommandRunner::commandFinished, &context,
                [&](const QByteArray &command) {
                    if (!command.startsWith("dd if=" + QFile::encodeName(staging)))
                        return;
                    QFile flash(device);
                    if (flash.open(QIODevice::ReadWrite) && flash.seek(100))
                        flash.write("!");
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
