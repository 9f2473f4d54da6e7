#include "barepainter.h"
#include "basecontrol.h"
#include "customimagebutton.h"
#include "custommcuupdatewidget.h"
#include "datasavecontrol.h"
#include "logcapture.h"
#include "progressringpainter.h"
#include "sandbox.h"
#include "screentest.h"
#include "uimanager.h"

#include <QPainter>
#include <QScreen>
#include <QtTest>

#include <limits>
#include <memory>

namespace {

// Counts the host's onReturn() calls; nothing else of the view is needed here.
class FakeView : public UpdateInterface
{
public:
    FakeView()
        : UpdateInterface(nullptr)
    { }
    void setDevicePath(const QString &) override { }
    void setUpgradeFileList(const QStringList &) override { }
    void showUpdate(const DeviceType &, const UpgradeType &) override { }
    void showUpdateTip() override { }
    void setEnableDeviceList(const QStringList &, const QStringList &) override { }
    void setDeviceInfomation(DeviceType, bool, const QString &, const QString &, const QString &) override { }
    void setUpateInformation(const QString &) override { }
    bool onReturn() override
    {
        ++returns;
        return true;
    }
    void onUpdateProgressChanged(int) override { }
    void onUpdateMessage(int, QString) override { }
    void onUpdateFinished(int) override { }

    int returns = 0;
};

class PaintCounter : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            painted += static_cast<QPaintEvent *>(event)->region();
        }
        return false;
    }
    int paints = 0;
    QRegion painted;
};

enum State { Checking, Counting, Unusable, Upgrading, UpgradingQuick, Finished };

const QList<int> leftKeys = {0x0110003D, 0x0110003F, 0x0110004E, 0x0140000A, 0x0140000C};
const QList<int> rightKeys = {0x0110003E, 0x01100040, 0x0110004D, 0x0140000B, 0x0140000D};
const QList<int> activateKeys = {0x01100041, 0x01400009};
const QList<int> cancelKeys = {0x0110002A, 0x0140000F};
const int unknownKey = 0x01100099;

} // namespace

class tst_CustomMcuUpdateWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsByAskingForTheMedium();
    void keys_data();
    void keys();
    void fileInfo_data();
    void fileInfo();
    void countsDownTickByTick_data();
    void countsDownTickByTick();
    void countsDownInRealTime();
    void cancelWithoutALiveViewLeavesDirectly();
    void setMessage_data();
    void setMessage();
    void touchOnTheScreen_data();
    void touchOnTheScreen();
    void ringGeometry_data();
    void ringGeometry();
    void spanAngle_data();
    void spanAngle();
    void paintsAsABarePainter_data();
    void paintsAsABarePainter();
    void repaintsWhatReportsChange_data();
    void repaintsWhatReportsChange();
    void coalescesProgressReports();
    void logsWithTheirContext();

private:
    CustomImageButton *button(const char *name) const
    {
        return m_widget->findChild<CustomImageButton *>(name);
    }
    QTimer *countdownTimer() const { return m_widget->findChild<QTimer *>("m_countdownTimer"); }
    void enter(State state);
    bool pressKey(int key);
    QImage render();
    void setPicture(const QColor &color);
    QImage screenAfter(State state, const QStringList &reports, PaintCounter *counter);

    std::unique_ptr<Sandbox> m_sandbox;
    QWidget *m_layer = nullptr;
    FakeView *m_view = nullptr;
    CustomMcuUpdateWidget *m_widget = nullptr;
};

void tst_CustomMcuUpdateWidget::init()
{
    m_sandbox.reset(new Sandbox);
    BaseControl::getInstance()->setBackgroundPicture(QString());
    m_layer = new QWidget;
    m_layer->resize(800, 480);
    qvappframework::UIManager::setUIHerarchy(qvappframework::UIHerarchyApplication, m_layer);
    qvappframework::UIManager::setDeskTopRect(QRect(0, 0, 800, 480));
    m_view = new FakeView;
    m_widget = new CustomMcuUpdateWidget;
    m_widget->m_view = m_view;
    m_layer->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_layer));
}

void tst_CustomMcuUpdateWidget::cleanup()
{
    delete m_layer;
    delete m_view;
    m_sandbox.reset();
}

void tst_CustomMcuUpdateWidget::enter(State state)
{
    if (state == UpgradingQuick)
        DataSaveControl::writeFactoryData(QStringLiteral("SupportQuickUpgrade"), true);
    if (state == Counting || state == UpgradingQuick || state == Unusable)
        m_widget->setFileInfo(state != Unusable, QStringLiteral("mcu.bin unusable"));
    if (state == Upgrading || state == Finished)
        emit button("m_updateButton")->clicked();
    if (state == Finished)
        m_widget->onFinished(1);
}

// Delivers the key as the host does, to the focused widget, starting out
// ignored; returns whether someone accepted it.
bool tst_CustomMcuUpdateWidget::pressKey(int key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    event.ignore();
    QApplication::sendEvent(m_layer->focusWidget(), &event);
    return event.isAccepted();
}

QImage tst_CustomMcuUpdateWidget::render()
{
    QImage image(m_widget->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(0, 0, 255));
    m_widget->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

// A picture smaller than the screen (none when the colour is invalid): of
// one colour, or with a colour's alpha below 255 fading in from transparent
// at its left edge to that colour at its right.
void tst_CustomMcuUpdateWidget::setPicture(const QColor &color)
{
    QString file;
    if (color.isValid()) {
        const bool translucent = color.alpha() < 255;
        QImage picture(600, 300, translucent ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        if (!translucent) {
            picture.fill(color);
        } else {
            QLinearGradient fade(0, 0, picture.width(), 0);
            fade.setColorAt(0, Qt::transparent);
            fade.setColorAt(1, color);
            QPainter painter(&picture);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.fillRect(picture.rect(), fade);
        }
        file = m_sandbox->path(QStringLiteral("/background-%1.png").arg(color.name(QColor::HexArgb).mid(1)));
        QVERIFY(picture.save(file));
    }
    BaseControl::getInstance()->setBackgroundPicture(file);
}

// What the window shows of a new screen in the state after the reports:
// "45%" is a progress report, "0:text" a message of type 0, "picture" a new
// background picture from the host. With a counter, the window repaints
// after each report and the counter sees those paints; without one, once at
// the end, in full.
QImage tst_CustomMcuUpdateWidget::screenAfter(State state, const QStringList &reports, PaintCounter *counter)
{
    delete m_widget;
    m_widget = new CustomMcuUpdateWidget;
    m_widget->m_view = m_view;
    m_widget->show();
    enter(state);
    countdownTimer()->stop();
    QCoreApplication::processEvents();
    if (counter)
        m_widget->installEventFilter(counter);

    for (const QString &report : reports) {
        if (report == QLatin1String("picture")) {
            setPicture(Qt::darkCyan);
        } else if (report == QLatin1String("italic")) {
            QFont italic = m_widget->font();
            italic.setItalic(true);
            m_widget->setFont(italic);
        } else if (report.endsWith(QLatin1Char('%'))) {
            m_widget->setPercent(report.chopped(1).toInt());
        } else {
            m_widget->setMessage(report.section(QLatin1Char(':'), 0, 0).toInt(),
                                 report.section(QLatin1Char(':'), 1));
        }
        if (counter)
            QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    return m_layer->windowHandle()->screen()->grabWindow(m_layer->winId()).toImage();
}

void tst_CustomMcuUpdateWidget::startsByAskingForTheMedium()
{
    DataSaveControl::writeTempData(QStringLiteral("MCUVERSION"), QStringLiteral("MCU_V2.07"));
    qvappframework::UIManager::setDeskTopRect(QRect(0, 0, 1024, 600));
    CustomMcuUpdateWidget widget;
    QSignalSpy checks(&widget, &CustomMcuUpdateWidget::checkDevice);

    QCOMPARE(widget.parentWidget(), m_layer);
    QCOMPARE(widget.geometry(), QRect(0, 0, 1024, 600));
    QCOMPARE(widget.lowerText(), QStringLiteral("MCU_V2.07"));
    QCOMPARE(m_widget->lowerText(), QStringLiteral("unknown"));
    QCOMPARE(widget.focusPolicy(), Qt::StrongFocus);
    QCOMPARE(widget.findChild<CustomImageButton *>("m_updateButton")->text(), QStringLiteral("Update"));
    QCOMPARE(widget.findChild<CustomImageButton *>("m_cancelButton")->text(), QStringLiteral("Cancel"));
    QCOMPARE(checks.count(), 0);
    QTRY_COMPARE(checks.count(), 1);
}

void tst_CustomMcuUpdateWidget::keys_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("focus"); // the focused widget's name, "" when it does not matter
    QTest::addColumn<int>("starts");
    QTest::addColumn<int>("returns");
    QTest::addColumn<int>("leaves");

    for (State state : {Checking, Counting}) {
        const char *name = state == Checking ? "checking" : "counting";
        for (int key : leftKeys)
            QTest::addRow("%s, %s focuses Update", name, qPrintable(keyName(key)))
                << int(state) << QList<int> {key} << "m_updateButton" << 0 << 0 << 0;
        for (int key : rightKeys)
            QTest::addRow("%s, %s focuses Cancel", name, qPrintable(keyName(key)))
                << int(state) << QList<int> {key} << "m_cancelButton" << 0 << 0 << 0;
        for (int key : activateKeys) {
            QTest::addRow("%s, %s without a focused button", name, qPrintable(keyName(key)))
                << int(state) << QList<int> {key} << "CustomMcuUpdateWidget" << 0 << 0 << 0;
            QTest::addRow("%s, %s on Update starts", name, qPrintable(keyName(key)))
                << int(state) << QList<int> {leftKeys.first(), key} << "" << 1 << 0 << 0;
            QTest::addRow("%s, %s on Cancel goes back", name, qPrintable(keyName(key)))
                << int(state) << QList<int> {rightKeys.first(), key} << "" << 0 << 1 << 0;
        }
        for (int key : cancelKeys)
            QTest::addRow("%s, %s goes back", name, qPrintable(keyName(key)))
                << int(state) << QList<int> {key} << "" << 0 << 1 << 0;
        QTest::addRow("%s, unknown key", name)
            << int(state) << QList<int> {unknownKey} << "CustomMcuUpdateWidget" << 0 << 0 << 0;
    }

    for (int key : cancelKeys) {
        QTest::addRow("upgrading, %s goes back with both buttons disabled", qPrintable(keyName(key)))
            << int(Upgrading) << QList<int> {key} << "" << 0 << 1 << 0;
        QTest::addRow("quick upgrading, %s goes back", qPrintable(keyName(key)))
            << int(UpgradingQuick) << QList<int> {key} << "" << 0 << 1 << 0;
    }
    QTest::newRow("upgrading, navigation finds no button")
        << int(Upgrading) << QList<int> {leftKeys.first(), rightKeys.first(), activateKeys.first()}
        << "CustomMcuUpdateWidget" << 0 << 0 << 0;
    QTest::newRow("quick upgrading, Update refuses the focus")
        << int(UpgradingQuick) << QList<int> {leftKeys.first(), activateKeys.first()}
        << "CustomMcuUpdateWidget" << 0 << 0 << 0;
    QTest::newRow("quick upgrading, activated Cancel goes back")
        << int(UpgradingQuick) << QList<int> {rightKeys.first(), activateKeys.last()} << "" << 0 << 1 << 0;

    for (State state : {Unusable, Finished})
        for (int key : QList<int> {leftKeys.first(), rightKeys.first(), activateKeys.first(),
                                   cancelKeys.first(), cancelKeys.last(), unknownKey})
            QTest::addRow("%s, %s leaves", state == Unusable ? "unusable file" : "finished",
                          qPrintable(keyName(key)))
                << int(state) << QList<int> {key} << "CustomMcuUpdateWidget" << 0 << 0 << 1;
}

void tst_CustomMcuUpdateWidget::keys()
{
    QFETCH(int, state);
    QFETCH(QList<int>, keys);
    QFETCH(QString, focus);
    QFETCH(int, starts);
    QFETCH(int, returns);
    QFETCH(int, leaves);

    enter(State(state));
    QCOMPARE(m_layer->focusWidget(), static_cast<QWidget *>(m_widget));
    const bool couldQuit = m_widget->canQuit();
    QSignalSpy startSpy(m_widget, &CustomMcuUpdateWidget::startUpdate);
    QSignalSpy leaveSpy(m_widget, &CustomMcuUpdateWidget::cancelUpdate);

    bool accepted = false;
    for (int key : keys)
        accepted = pressKey(key);

    QCOMPARE(startSpy.count(), starts);
    QCOMPARE(m_view->returns, returns);
    QCOMPARE(leaveSpy.count(), leaves);
    // A screen that can be left lets the key go on to the host untouched.
    QCOMPARE(accepted, !couldQuit);
    if (!focus.isEmpty())
        QCOMPARE(m_layer->focusWidget(),
                 focus == "CustomMcuUpdateWidget" ? static_cast<QWidget *>(m_widget)
                                                  : button(qPrintable(focus)));
}

void tst_CustomMcuUpdateWidget::fileInfo_data()
{
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("quick");
    QTest::addColumn<bool>("updateEnabled");
    QTest::addColumn<bool>("counting");
    QTest::addColumn<int>("starts");
    QTest::addColumn<bool>("canQuit");
    QTest::addColumn<QString>("status");

    QTest::newRow("usable file counts down") << true << false << true << true << 0 << false << QString();
    QTest::newRow("usable file, quick upgrade starts at once")
        << true << true << false << true << 1 << false << QString();
    QTest::newRow("unusable file") << false << false << false << false << 0 << true << "mcu.bin missing";
    QTest::newRow("unusable file, quick upgrade")
        << false << true << false << false << 0 << true << "mcu.bin missing";
}

void tst_CustomMcuUpdateWidget::fileInfo()
{
    QFETCH(bool, valid);
    QFETCH(bool, quick);
    QFETCH(bool, updateEnabled);
    QFETCH(bool, counting);
    QFETCH(int, starts);
    QFETCH(bool, canQuit);
    QFETCH(QString, status);

    DataSaveControl::writeFactoryData(QStringLiteral("SupportQuickUpgrade"), quick);
    QSignalSpy startSpy(m_widget, &CustomMcuUpdateWidget::startUpdate);
    m_widget->setFileInfo(valid, QStringLiteral("mcu.bin missing"));

    QCOMPARE(button("m_updateButton")->isEnabled(), updateEnabled);
    QVERIFY(button("m_cancelButton")->isEnabled());
    QCOMPARE(countdownTimer()->isActive(), counting);
    QCOMPARE(startSpy.count(), starts);
    QCOMPARE(m_widget->canQuit(), canQuit);
    QCOMPARE(m_widget->statusText(), status);

    // The quick upgrade's countdown stops for good at its first tick.
    if (counting) {
        QMetaObject::invokeMethod(m_widget, "onCountdown");
        QCOMPARE(countdownTimer()->isActive(), !quick);
        QCOMPARE(button("m_updateButton")->text(), QString::fromLatin1(quick ? "Update" : "Update(9)"));
    }
}

void tst_CustomMcuUpdateWidget::countsDownTickByTick_data()
{
    QTest::addColumn<int>("ticks");
    QTest::addColumn<bool>("pressUpdate");
    QTest::addColumn<QString>("caption");

    QTest::newRow("the tenth tick starts") << 10 << false << "Update(1)";
    QTest::newRow("Update pressed after four ticks keeps the count") << 4 << true << "Update(6)";
}

void tst_CustomMcuUpdateWidget::countsDownTickByTick()
{
    QFETCH(int, ticks);
    QFETCH(bool, pressUpdate);
    QFETCH(QString, caption);

    QSignalSpy startSpy(m_widget, &CustomMcuUpdateWidget::startUpdate);
    m_widget->setFileInfo(true, QString());
    QCOMPARE(button("m_updateButton")->text(), QStringLiteral("Update"));

    for (int left = 9; left >= qMax(1, 10 - ticks); --left) {
        tickCountdown(m_widget, 1);
        QCOMPARE(button("m_updateButton")->text(), QStringLiteral("Update(%1)").arg(left));
        QVERIFY(countdownTimer()->isActive());
        QCOMPARE(startSpy.count(), 0);
    }
    if (pressUpdate)
        emit button("m_updateButton")->clicked();
    else
        tickCountdown(m_widget, 1);

    QCOMPARE(startSpy.count(), 1);
    QVERIFY(!countdownTimer()->isActive());
    QVERIFY(!button("m_updateButton")->isEnabled());
    QVERIFY(!button("m_cancelButton")->isEnabled());
    QCOMPARE(button("m_updateButton")->text(), caption);
    QVERIFY(!m_widget->canQuit());
}

void tst_CustomMcuUpdateWidget::countsDownInRealTime()
{
    QSignalSpy startSpy(m_widget, &CustomMcuUpdateWidget::startUpdate);
    QElapsedTimer clock;
    clock.start();
    m_widget->setFileInfo(true, QString());

    QTRY_COMPARE_WITH_TIMEOUT(button("m_updateButton")->text(), QStringLiteral("Update(9)"), 2000);
    QVERIFY(clock.elapsed() >= 900);
    QTRY_COMPARE_WITH_TIMEOUT(startSpy.count(), 1, 15000);
    QVERIFY2(clock.elapsed() >= 9400, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(button("m_updateButton")->text(), QStringLiteral("Update(1)"));
}

void tst_CustomMcuUpdateWidget::cancelWithoutALiveViewLeavesDirectly()
{
    QSignalSpy leaveSpy(m_widget, &CustomMcuUpdateWidget::cancelUpdate);
    // The view ends this screen with a deferred delete and may be gone first.
    delete m_view;
    m_view = nullptr;
    QVERIFY(!m_widget->m_view);

    emit button("m_cancelButton")->clicked();
    QCOMPARE(leaveSpy.count(), 1);
    QVERIFY(m_widget->canQuit());
}

void tst_CustomMcuUpdateWidget::setMessage_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("texts"); // lower caption, upper caption, status line

    QTest::newRow("type 1 sets the lower caption")
        << 1 << "V2.07" << QStringList {"V2.07", "erasing", "writing"};
    QTest::newRow("type 1 empty keeps it") << 1 << "" << QStringList {"V1.00", "erasing", "writing"};
    QTest::newRow("type 2 sets the upper caption")
        << 2 << "verify" << QStringList {"V1.00", "verify", "writing"};
    QTest::newRow("type 2 empty keeps it") << 2 << "" << QStringList {"V1.00", "erasing", "writing"};
    QTest::newRow("type 0 sets the status") << 0 << "done" << QStringList {"V1.00", "erasing", "done"};
    QTest::newRow("type 0 empty clears the status") << 0 << "" << QStringList {"V1.00", "erasing", ""};
    QTest::newRow("type 3 empty clears the status") << 3 << "" << QStringList {"V1.00", "erasing", ""};
    QTest::newRow("type -1 sets the status") << -1 << "failed" << QStringList {"V1.00", "erasing", "failed"};
}

void tst_CustomMcuUpdateWidget::setMessage()
{
    QFETCH(int, type);
    QFETCH(QString, message);
    QFETCH(QStringList, texts);

    m_widget->setMessage(1, QStringLiteral("V1.00"));
    m_widget->setMessage(2, QStringLiteral("erasing"));
    m_widget->setMessage(0, QStringLiteral("writing"));
    PaintCounter counter;
    QCoreApplication::processEvents();
    m_widget->installEventFilter(&counter);

    m_widget->setMessage(type, message);

    QCOMPARE(QStringList({m_widget->lowerText(), m_widget->upperText(), m_widget->statusText()}), texts);
    QTRY_VERIFY(counter.paints > 0);
}

void tst_CustomMcuUpdateWidget::touchOnTheScreen_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("updateHidden");
    QTest::addColumn<int>("leaves");

    QTest::newRow("finished screen stays") << int(Finished) << false << 0;
    QTest::newRow("finished screen without Update leaves") << int(Finished) << true << 1;
    QTest::newRow("upgrading screen without Update stays") << int(Upgrading) << true << 0;
}

void tst_CustomMcuUpdateWidget::touchOnTheScreen()
{
    QFETCH(int, state);
    QFETCH(bool, updateHidden);
    QFETCH(int, leaves);

    enter(State(state));
    button("m_updateButton")->setHidden(updateHidden);
    QSignalSpy startSpy(m_widget, &CustomMcuUpdateWidget::startUpdate);
    QSignalSpy leaveSpy(m_widget, &CustomMcuUpdateWidget::cancelUpdate);

    QTest::mouseClick(m_widget, Qt::LeftButton, Qt::NoModifier, QPoint(400, 200));
    QCOMPARE(leaveSpy.count(), leaves);

    // The buttons of a finished screen offer another upgrade.
    if (state == Finished && !updateHidden) {
        QTest::mouseClick(button("m_updateButton"), Qt::LeftButton);
        QCOMPARE(startSpy.count(), 1);
    }
}

void tst_CustomMcuUpdateWidget::ringGeometry_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QRect>("ring");
    QTest::addColumn<QRect>("bounds"); // what the 8-pixel stroke may touch

    QTest::newRow("800x480") << QSize(800, 480) << QRect(310, 120, 180, 180) << QRect(306, 116, 188, 188);
    QTest::newRow("odd sizes round down")
        << QSize(801, 481) << QRect(310, 120, 180, 180) << QRect(306, 116, 188, 188);
    QTest::newRow("1024x600") << QSize(1024, 600) << QRect(392, 150, 240, 240) << QRect(388, 146, 248, 248);
    QTest::newRow("narrower than the ring halves down")
        << QSize(101, 480) << QRect(-40, 120, 180, 180) << QRect(-44, 116, 188, 188);
    QTest::newRow("shorter than 120, the ellipse mirrored")
        << QSize(800, 99) << QRect(405, 25, -11, -11) << QRect(389, 9, 21, 21);
}

void tst_CustomMcuUpdateWidget::ringGeometry()
{
    QFETCH(QSize, screen);
    QFETCH(QRect, ring);
    QFETCH(QRect, bounds);

    QCOMPARE(ProgressRingPainter::ringRect(screen), ring);
    QCOMPARE(ProgressRingPainter::ringBounds(screen), bounds);
}

void tst_CustomMcuUpdateWidget::spanAngle_data()
{
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("span");

    QTest::newRow("0") << 0 << 0;
    QTest::newRow("1") << 1 << -48;
    QTest::newRow("25") << 25 << -1440;
    QTest::newRow("33 rounds toward zero") << 33 << -1888;
    QTest::newRow("99") << 99 << -5696;
    QTest::newRow("100") << 100 << -5760;
    QTest::newRow("150") << 150 << -8640;
    QTest::newRow("-10 runs counter-clockwise") << -10 << 576;
    QTest::newRow("largest product in an int") << 5965232 << -343597360;
    QTest::newRow("first product beyond an int") << 5965233 << -343597408;
    QTest::newRow("largest int") << std::numeric_limits<int>::max() << std::numeric_limits<int>::min();
}

void tst_CustomMcuUpdateWidget::spanAngle()
{
    QFETCH(int, percent);
    QFETCH(int, span);

    QCOMPARE(ProgressRingPainter::spanAngle(percent), span);
}

void tst_CustomMcuUpdateWidget::paintsAsABarePainter_data()
{
    QTest::addColumn<QColor>("picture");
    QTest::addColumn<int>("percent");

    QTest::newRow("no picture, 0 draws the track only") << QColor() << 0;
    QTest::newRow("no picture, 100 covers the track") << QColor() << 100;
    QTest::newRow("-10 runs counter-clockwise") << QColor() << -10;
    QTest::newRow("opaque picture, smaller than the screen") << QColor(200, 120, 40) << 45;
    QTest::newRow("translucent picture, 150 covers the track") << QColor(200, 120, 40, 77) << 150;
}

// Pixel for pixel what the bare painter draws over what lies below.
void tst_CustomMcuUpdateWidget::paintsAsABarePainter()
{
    QFETCH(QColor, picture);
    QFETCH(int, percent);
    setPicture(picture);
    m_widget->setPercent(percent);
    m_widget->setMessage(0, QStringLiteral("Writing"));
    m_widget->setMessage(1, QStringLiteral("V1.00"));
    m_widget->setMessage(2, QStringLiteral("Erasing"));

    QImage expected(800, 480, QImage::Format_ARGB32_Premultiplied);
    expected.fill(QColor(0, 0, 255));
    paintMcuScreen(&expected, m_widget->font(), BaseControl::getInstance()->getBackgroundPixmap(), percent,
                   QStringLiteral("Writing"), QStringLiteral("Erasing"), QStringLiteral("V1.00"));
    QCOMPARE(render(), expected);
}

void tst_CustomMcuUpdateWidget::repaintsWhatReportsChange_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QColor>("picture");
    QTest::addColumn<int>("state");
    QTest::addColumn<QStringList>("reports");
    QTest::addColumn<bool>("whole");

    const QSize size(800, 480);
    const QColor picture(70, 130, 180);
    QTest::newRow("before the start")
        << size << picture << int(Checking) << QStringList {"1%", "2%"} << false;
    QTest::newRow("counting, the status line set and cleared")
        << size << picture << int(Counting) << QStringList {"0:Checking mcu.bin", "0:", "3:Ready"} << false;
    QTest::newRow("updating at several percents with the captions")
        << size << picture << int(Upgrading)
        << QStringList {"2:MCU_2.2.0", "1:MCU_2.1.0", "0:Writing", "5%", "45%", "99%", "100%"} << false;
    QTest::newRow("texts beyond their boxes, then shorter ones")
        << size << picture << int(Upgrading)
        << QStringList {"2:Far wider than the ring", "1:Two\nlines", "0:Three\nlines", "33%", "2:Up", "0:"}
        << false;
    QTest::newRow("an italic font, accents stacked above a letter")
        << size << picture << int(Upgrading)
        << QStringList {"italic", "2:jumps off", "0:Writing ff", "0:\u00c9\u0302\u0302\u0302\u0302", "0:"}
        << true;
    QTest::newRow("percents beyond the range")
        << size << picture << int(Upgrading) << QStringList {"-10%", "150%", "-2147483648%", "7%"} << false;
    QTest::newRow("finished") << size << picture << int(Finished) << QStringList {"100%", "0:Done"} << false;
    QTest::newRow("no background picture")
        << size << QColor() << int(Upgrading) << QStringList {"45%", "0:Writing", "46%"} << false;
    QTest::newRow("translucent picture")
        << size << QColor(70, 130, 180, 90) << int(Upgrading) << QStringList {"45%", "0:Writing"} << false;
    QTest::newRow("the host changes its picture")
        << size << picture << int(Upgrading) << QStringList {"45%", "picture", "46%"} << true;
    QTest::newRow("1024x600") << QSize(1024, 600) << picture << int(Upgrading)
                              << QStringList {"45%", "0:Writing", "2:V2"} << false;
    for (int height : {119, 100, 60, 1})
        QTest::newRow(qPrintable(QStringLiteral("800x%1").arg(height)))
            << QSize(800, height) << QColor() << int(Upgrading) << QStringList {"40%", "0:Writing", "41%"}
            << false;
}

// A report repaints only what it changes, and the window then shows, pixel
// for pixel, what a new screen in the same state shows painted at once.
void tst_CustomMcuUpdateWidget::repaintsWhatReportsChange()
{
    QFETCH(QSize, screen);
    QFETCH(QColor, picture);
    QFETCH(int, state);
    QFETCH(QStringList, reports);
    QFETCH(bool, whole);
    qvappframework::UIManager::setDeskTopRect(QRect(QPoint(0, 0), screen));

    PaintCounter counter;
    setPicture(picture);
    const QImage shown = screenAfter(State(state), reports, &counter);
    setPicture(picture);
    const QImage fresh = screenAfter(State(state), reports, nullptr);

    QCOMPARE(shown, fresh);
    QVERIFY(counter.paints > 0);
    QCOMPARE(QRegion(m_widget->rect()).subtracted(counter.painted).isEmpty(), whole);
}

void tst_CustomMcuUpdateWidget::coalescesProgressReports()
{
    PaintCounter counter;
    QCoreApplication::processEvents();
    m_widget->installEventFilter(&counter);

    for (int report = 0; report < 10000; ++report)
        m_widget->setPercent(report % 101);

    QCOMPARE(counter.paints, 0);
    QTRY_VERIFY(counter.paints > 0);
    QVERIFY2(counter.paints <= 2, qPrintable(QString::number(counter.paints)));
    QCOMPARE(m_widget->percent(), 9999 % 101);
}

void tst_CustomMcuUpdateWidget::logsWithTheirContext()
{
    LogCapture log;
    m_widget->setFileInfo(true, QString());
    DataSaveControl::writeFactoryData(QStringLiteral("SupportQuickUpgrade"), true);
    m_widget->setFileInfo(true, QString());
    pressKey(leftKeys.first());
    m_widget->onFinished(0);
    pressKey(unknownKey);

    const QString fileInfo
        = QStringLiteral("void CustomMcuUpdateWidget::setFileInfo(const bool&, const QString&)");
    const QString keyPress = QStringLiteral("virtual void CustomMcuUpdateWidget::keyPressEvent(QKeyEvent*)");
    const QString key = QStringLiteral(
        "[QT] [UpdateStyle0] func: keyPressEvent line: 805 keyPressEvent McuUpdate QKeyEvent(KeyPress, %1)");
    const QList<QStringList> expected = {{"690", fileInfo, "[media_print][setFileInfo]"},
                                         {"805", keyPress, key.arg(leftKeys.first())},
                                         {"805", keyPress, key.arg(unknownKey)}};
    const QList<LogCapture::Record> records = log.records();
    QCOMPARE(records.size(), expected.size());
    for (int i = 0; i < records.size(); ++i) {
        QCOMPARE(records[i].file, QStringLiteral("update"));
        QCOMPARE(records[i].category, QStringLiteral("default"));
        QCOMPARE(QStringList({QString::number(records[i].line), records[i].function, records[i].message}),
                 expected[i]);
    }
}

QTEST_MAIN(tst_CustomMcuUpdateWidget)
#include "tst_custommcuupdatewidget.moc"
