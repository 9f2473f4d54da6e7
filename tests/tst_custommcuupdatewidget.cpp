#include "basecontrol.h"
#include "customimagebutton.h"
#include "custommcuupdatewidget.h"
#include "datasavecontrol.h"
#include "logcapture.h"
#include "progressringpainter.h"
#include "sandbox.h"
#include "screentest.h"
#include "testimages.h"
#include "uimanager.h"

#include <QtMath>
#include <QtTest>

#include <cmath>
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
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
    int paints = 0;
};

enum State { Checking, Counting, Unusable, Upgrading, UpgradingQuick, Finished };

const QList<int> leftKeys = {0x0110003D, 0x0110003F, 0x0110004E, 0x0140000A, 0x0140000C};
const QList<int> rightKeys = {0x0110003E, 0x01100040, 0x0110004D, 0x0140000B, 0x0140000D};
const QList<int> activateKeys = {0x01100041, 0x01400009};
const QList<int> cancelKeys = {0x0110002A, 0x0140000F};
const int unknownKey = 0x01100099;

// A point on the middle of the 8-pixel ring of an 800x480 screen, clockwise from twelve o'clock.
QPoint ringPoint(qreal degrees)
{
    const qreal radians = qDegreesToRadians(degrees);
    return QPoint(int(400 + 90 * std::sin(radians)), int(210 - 90 * std::cos(radians)));
}

bool isWhite(QRgb pixel)
{
    return qRed(pixel) >= 250 && qGreen(pixel) >= 250 && qBlue(pixel) >= 250;
}

// The grey track, rgba(50, 50, 50, 100), over black.
bool isTrack(QRgb pixel)
{
    return qAbs(qRed(pixel) - 20) <= 2 && qGreen(pixel) == qRed(pixel) && qBlue(pixel) == qRed(pixel);
}

int count(const QImage &image, const QRect &band, bool (*matches)(QRgb))
{
    int found = 0;
    for (int y = band.top(); y <= band.bottom(); ++y)
        for (int x = band.left(); x <= band.right(); ++x)
            found += matches(image.pixel(x, y)) ? 1 : 0;
    return found;
}

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
    void paintsTheRing_data();
    void paintsTheRing();
    void paintsTheTextsInTheirBands();
    void dimsTheBackgroundPicture();
    void paintsAShortScreen();
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

    QTest::newRow("800x480") << QSize(800, 480) << QRect(310, 120, 180, 180);
    QTest::newRow("odd sizes round down") << QSize(801, 481) << QRect(310, 120, 180, 180);
    QTest::newRow("1024x600") << QSize(1024, 600) << QRect(392, 150, 240, 240);
    QTest::newRow("narrower than the ring halves down") << QSize(101, 480) << QRect(-40, 120, 180, 180);
    QTest::newRow("shorter than 120") << QSize(800, 99) << QRect(405, 25, -11, -11);
}

void tst_CustomMcuUpdateWidget::ringGeometry()
{
    QFETCH(QSize, screen);
    QFETCH(QRect, ring);

    QCOMPARE(ProgressRingPainter::ringRect(screen), ring);
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

void tst_CustomMcuUpdateWidget::paintsTheRing_data()
{
    QTest::addColumn<int>("percent");
    QTest::addColumn<QList<qreal>>("white"); // degrees clockwise from twelve o'clock
    QTest::addColumn<QList<qreal>>("grey");

    QTest::newRow("0 draws the track only") << 0 << QList<qreal> {} << QList<qreal> {10, 90, 180, 270, 350};
    QTest::newRow("25 covers the first quarter")
        << 25 << QList<qreal> {10, 45, 80} << QList<qreal> {100, 180, 270, 350};
    QTest::newRow("100 covers the track") << 100 << QList<qreal> {10, 90, 180, 270, 350} << QList<qreal> {};
    QTest::newRow("150 covers the track") << 150 << QList<qreal> {10, 90, 180, 270, 350} << QList<qreal> {};
    QTest::newRow("-10 runs counter-clockwise")
        << -10 << QList<qreal> {330, 345} << QList<qreal> {15, 90, 300};
    QTest::newRow("smallest int") << std::numeric_limits<int>::min() << QList<qreal> {10, 90, 180, 270, 350}
                                  << QList<qreal> {};
}

void tst_CustomMcuUpdateWidget::paintsTheRing()
{
    QFETCH(int, percent);
    QFETCH(QList<qreal>, white);
    QFETCH(QList<qreal>, grey);

    m_widget->setPercent(percent);
    QCOMPARE(m_widget->percent(), percent);
    const QImage image = render();

    for (qreal degrees : white)
        QVERIFY2(isWhite(image.pixel(ringPoint(degrees))), qPrintable(QString::number(degrees)));
    for (qreal degrees : grey)
        QVERIFY2(isTrack(image.pixel(ringPoint(degrees))), qPrintable(QString::number(degrees)));
    // Without a background picture the screen is opaque black.
    for (const QPoint &corner : {QPoint(0, 0), QPoint(799, 0), QPoint(0, 479), QPoint(799, 479)})
        QCOMPARE(image.pixel(corner), qRgb(0, 0, 0));
    QVERIFY(count(image, QRect(350, 190, 100, 40), isWhite) > 0);
}

void tst_CustomMcuUpdateWidget::paintsTheTextsInTheirBands()
{
    const auto darkGreen = [](QRgb p) {
        return qGreen(p) >= 60 && qRed(p) < 30 && qBlue(p) < 30;
    };
    const auto red = [](QRgb p) {
        return qRed(p) >= 120 && qGreen(p) < 30 && qBlue(p) < 30;
    };
    // The status band below the ring's stroke, and the caption bands inside the ring.
    const QRect statusBand(0, 306, 800, 53);
    QImage image = render();
    QCOMPARE(count(image, statusBand, isWhite), 0);
    QVERIFY(count(image, QRect(330, 165, 140, 45), darkGreen) > 0);
    QVERIFY(count(image, QRect(330, 209, 140, 45), red) > 0);

    m_widget->setMessage(0, QStringLiteral("Writing"));
    image = render();
    QVERIFY(count(image, statusBand, isWhite) > 0);
}

void tst_CustomMcuUpdateWidget::dimsTheBackgroundPicture()
{
    const QString file = m_sandbox->path(QStringLiteral("/background.png"));
    QVERIFY(solidImage(QColor(200, 120, 40), QSize(400, 240)).save(file));
    BaseControl::getInstance()->setBackgroundPicture(file);

    const QImage image = render();

    // Black at alpha 150 over each channel c leaves c * 105 / 255; beyond its
    // own size the picture is not stretched, the screen below is dimmed.
    // A channel of 0 must stay exactly 0.
    const auto dimmed = [](int got, int c) {
        return qAbs(got - c * (255 - 150) / 255.0) <= (c ? 1 : 0);
    };
    for (const QPoint &point :
         {QPoint(0, 0), QPoint(399, 5), QPoint(5, 239), QPoint(400, 5), QPoint(5, 240), QPoint(799, 479)}) {
        const QRgb pixel = image.pixel(point);
        const QRgb under = QRect(0, 0, 400, 240).contains(point) ? qRgb(200, 120, 40) : qRgb(0, 0, 255);
        QVERIFY(dimmed(qRed(pixel), qRed(under)) && dimmed(qGreen(pixel), qGreen(under))
                && dimmed(qBlue(pixel), qBlue(under)));
    }
}

void tst_CustomMcuUpdateWidget::paintsAShortScreen()
{
    for (int height : {119, 100, 60, 1}) {
        qvappframework::UIManager::setDeskTopRect(QRect(0, 0, 800, height));
        CustomMcuUpdateWidget widget;
        widget.setPercent(40);
        widget.setMessage(0, QStringLiteral("Writing"));
        QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
        widget.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        QCOMPARE(image.pixel(0, 0), qRgb(0, 0, 0));
    }
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
