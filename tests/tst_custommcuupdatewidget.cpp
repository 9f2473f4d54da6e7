#include "barepainter.h"
#include "basecontrol.h"
#include "customimagebutton.h"
#include "custommcuupdatewidget.h"
#include "datasavecontrol.h"
#include "hostkeys.h"
#include "logcapture.h"
#include "progressringpainter.h"
#include "returnpath.h"
#include "sandbox.h"
#include "screenclock.h"
#include "screentest.h"
#include "uimanager.h"
#include "updateview.h"

#include <QScreen>
#include <QtTest>

namespace {

enum State { Counting, Unusable, Upgrading, UpgradingQuick, Finished, Viewless };
// What the user does besides pressing the host's key codes, and the host hiding Update.
enum Input { TouchScreen = 1, TouchUpdate, TouchCancel, HideUpdate };

const QList<int> leftKeys
    = {HostKey::Previous, HostKey::Left, HostKey::KnobBackward, HostKey::Up, HostKey::PagePrevious};
const QList<int> rightKeys
    = {HostKey::Next, HostKey::Right, HostKey::KnobForward, HostKey::Down, HostKey::PageNext};
const QList<int> activateKeys = {HostKey::Ok, HostKey::Select};
const QList<int> cancelKeys = {HostKey::Back, HostKey::Return};
const int unknownKey = 0x01100099; // in none of the tables

} // namespace

class tst_CustomMcuUpdateWidget : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void opens();
    void fileInfo_data();
    void fileInfo();
    void inputs_data();
    void inputs();
    void ring_data();
    void ring();
    void reports_data();
    void reports();

private:
    CustomImageButton *button(const char *id) const { return m_widget->findChild<CustomImageButton *>(id); }
    QTimer *countdownTimer() const { return m_widget->findChild<QTimer *>("m_countdownTimer"); }
    void enter(State state);
    void give(int input);
    void setPicture(const QColor &color);
    QImage screenAfter(State state, const QStringList &reports, bool stepwise);

    QScopedPointer<Sandbox> m_sandbox;
    QWidget *m_layer = nullptr;
    QPointer<UpdateView> m_view;
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
    m_view = new UpdateView;
    m_widget = new CustomMcuUpdateWidget;
    // The view that shows the screen: Cancel goes back to it.
    connect(m_widget->returnPath(), &ReturnPath::followed, m_view.data(), &UpdateView::onReturn);
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
    // The view ends this screen with a deferred delete and may be gone first.
    if (state == Viewless)
        delete m_view;
}

// A key goes as the host sends it, to the focused widget.
void tst_CustomMcuUpdateWidget::give(int input)
{
    QKeyEvent key(QEvent::KeyPress, input, Qt::NoModifier);
    if (input == HideUpdate)
        button("m_updateButton")->hide();
    else if (input == TouchScreen)
        QTest::mouseClick(m_widget, Qt::LeftButton, Qt::NoModifier, QPoint(400, 200));
    else if (input == TouchUpdate || input == TouchCancel)
        QTest::mouseClick(button(input == TouchUpdate ? "m_updateButton" : "m_cancelButton"), Qt::LeftButton);
    else
        QApplication::sendEvent(m_layer->focusWidget(), &key);
}

// A new screen covers the host's desktop, shows the stored MCU version and
// asks for the medium's check 100 ms later.
void tst_CustomMcuUpdateWidget::opens()
{
    DataSaveControl::writeTempData(QStringLiteral("MCUVERSION"), QStringLiteral("MCU_V2.07"));
    qvappframework::UIManager::setDeskTopRect(QRect(0, 0, 1024, 600));
    CustomMcuUpdateWidget widget;
    QCOMPARE(widget.geometry(), QRect(0, 0, 1024, 600));
    QCOMPARE(widget.lowerText(), QStringLiteral("MCU_V2.07"));
    verifyMediaCheck(&widget, 100);
}

void tst_CustomMcuUpdateWidget::fileInfo_data()
{
    QTest::addColumn<QStringList>("verdicts"); // the host's, in order
    QTest::addColumn<bool>("quick");
    QTest::addColumn<int>("ticks"); // of the countdown after the verdicts
    QTest::addColumn<int>("starts");
    QTest::addColumn<QString>("caption"); // Update's
    QTest::addColumn<bool>("counting");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("record"); // the line of the first log record, 0 for none

    const QStringList usable = {"usable"};
    QTest::newRow("usable file, nine ticks wait")
        << usable << false << 9 << 0 << "Update(1)" << true << "" << 0;
    QTest::newRow("usable file, the tenth tick starts")
        << usable << false << 10 << 1 << "Update(1)" << false << "" << 0;
    QTest::newRow("quick upgrade starts at once, the first tick stops the countdown")
        << usable << true << 1 << 1 << "Update" << false << "" << 690;
    QTest::newRow("unusable file, quick upgrade on")
        << QStringList {"unusable"} << true << 0 << 0 << "Update" << false << "mcu.bin missing" << 0;
    // A later verdict disables Update but leaves the count running: it runs out without a start.
    QTest::newRow("usable, then unusable: the tenth tick starts nothing")
        << QStringList {"usable", "unusable"} << false << 10 << 0 << "Update(1)" << false << "mcu.bin missing"
        << 0;
}

void tst_CustomMcuUpdateWidget::fileInfo()
{
    QFETCH(QStringList, verdicts);
    QFETCH(bool, quick);
    QFETCH(int, ticks);

    DataSaveControl::writeFactoryData(QStringLiteral("SupportQuickUpgrade"), quick);
    QSignalSpy starts(m_widget, &CustomMcuUpdateWidget::startUpdate);
    LogCapture log;
    for (const QString &verdict : verdicts)
        m_widget->setFileInfo(verdict == "usable", QStringLiteral("mcu.bin missing"));
    QCOMPARE(countdownTimer()->interval(), verdicts.contains("usable") ? 1000 : 0);
    ScreenClock::tick(m_widget, ticks);

    QTEST(int(starts.count()), "starts");
    QTEST(button("m_updateButton")->text(), "caption");
    QTEST(countdownTimer()->isActive(), "counting");
    QTEST(m_widget->statusText(), "status");
    QTEST(log.records().value(0).line, "record");
}

void tst_CustomMcuUpdateWidget::inputs_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QList<int>>("inputs");
    QTest::addColumn<int>("starts");
    QTest::addColumn<int>("returns"); // through the view, Cancel's way back
    QTest::addColumn<int>("leaves"); // the screen's own cancelUpdate()

    const auto row = [](const char *what, State state, const QList<int> &inputs, int starts, int returns,
                        int leaves) {
        const QStringList others = {"screen touched", "Update touched", "Cancel touched", "Update hidden"};
        QStringList names;
        for (int input : inputs)
            names << (input <= HideUpdate ? others[input - 1] : keyName(input));
        QTest::addRow("%s: %s", what, qPrintable(names.join(QStringLiteral(", "))))
            << int(state) << inputs << starts << returns << leaves;
    };
    for (int i = 0; i < leftKeys.size(); ++i) {
        row("counting, Update focused and activated", Counting, {leftKeys[i], activateKeys[i % 2]}, 1, 0, 0);
        row("counting, Cancel focused and activated", Counting, {rightKeys[i], activateKeys[i % 2]}, 0, 1, 0);
    }
    for (int key : {activateKeys[0], activateKeys[1], unknownKey})
        row("counting, no button focused", Counting, {key}, 0, 0, 0);
    for (int key : cancelKeys) {
        row("upgrading, Cancel disabled", Upgrading, {key}, 0, 1, 0);
        row("quick upgrading", UpgradingQuick, {key}, 0, 1, 0);
        row("without a view", Viewless, {key}, 0, 0, 1);
    }
    const QList<int> navigation = {leftKeys[0], activateKeys[0], rightKeys[0], activateKeys[1]};
    row("upgrading, nothing usable", Upgrading, navigation + QList<int> {TouchUpdate, TouchCancel}, 0, 0, 0);
    row("quick upgrading, Cancel only", UpgradingQuick, navigation + QList<int> {TouchUpdate}, 0, 1, 0);
    row("upgrading, a touch stays", Upgrading, {HideUpdate, TouchScreen}, 0, 0, 0);
    row("unusable file, a touch without Update leaves", Unusable, {HideUpdate, TouchScreen}, 0, 0, 1);
    row("finished, a touch stays", Finished, {TouchScreen}, 0, 0, 0);
    row("finished, a touch without Update leaves", Finished, {HideUpdate, TouchScreen}, 0, 0, 1);
    row("finished, both buttons usable", Finished, {TouchCancel, TouchUpdate}, 1, 1, 0);
    for (int key : {leftKeys[0], activateKeys[0], cancelKeys[0], cancelKeys[1], unknownKey}) {
        row("unusable file, any key leaves", Unusable, {key}, 0, 0, 1);
        row("finished, any key leaves", Finished, {key}, 0, 0, 1);
    }
}

void tst_CustomMcuUpdateWidget::inputs()
{
    QFETCH(int, state);
    QFETCH(QList<int>, inputs);
    QSignalSpy returns(m_view, &UpdateView::cancelUpdate);
    enter(State(state));
    QSignalSpy starts(m_widget, &CustomMcuUpdateWidget::startUpdate);
    QSignalSpy leaves(m_widget, &CustomMcuUpdateWidget::cancelUpdate);
    LogCapture log;
    for (int input : inputs)
        give(input);
    QTEST(int(starts.count()), "starts");
    QTEST(int(returns.count()), "returns");
    QTEST(int(leaves.count()), "leaves");
    // Every key reaches the screen, which logs it before anything else.
    const QRegularExpression keyRecord("^\\[QT\\] \\[UpdateStyle0\\] func: keyPressEvent line: 805 "
                                       "keyPressEvent McuUpdate QKeyEvent\\(KeyPress, ");
    QCOMPARE(log.messages().filter(keyRecord).size(),
             int(std::count_if(inputs.begin(), inputs.end(), [](int input) { return input > HideUpdate; })));
}

void tst_CustomMcuUpdateWidget::ring_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QRect>("ring");
    QTest::addColumn<QRect>("bounds"); // what the 8-pixel stroke may touch

    QTest::newRow("odd sizes round down")
        << QSize(801, 481) << QRect(310, 120, 180, 180) << QRect(306, 116, 188, 188);
    QTest::newRow("1024x600") << QSize(1024, 600) << QRect(392, 150, 240, 240) << QRect(388, 146, 248, 248);
    QTest::newRow("narrower than the ring halves down")
        << QSize(101, 480) << QRect(-40, 120, 180, 180) << QRect(-44, 116, 188, 188);
    QTest::newRow("shorter than 120 mirrors the ellipse")
        << QSize(800, 99) << QRect(405, 25, -11, -11) << QRect(389, 9, 21, 21);
}

void tst_CustomMcuUpdateWidget::ring()
{
    QFETCH(QSize, screen);
    QTEST(ProgressRingPainter::ringRect(screen), "ring");
    QTEST(ProgressRingPainter::ringBounds(screen), "bounds");
}

// A picture smaller than the screen of one colour; none for an invalid colour.
void tst_CustomMcuUpdateWidget::setPicture(const QColor &color)
{
    QString file;
    if (color.isValid()) {
        QImage picture(600, 300, color.alpha() < 255 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        picture.fill(color);
        file = m_sandbox->path(QStringLiteral("/background-%1.png").arg(color.name(QColor::HexArgb).mid(1)));
        QVERIFY(picture.save(file));
    }
    BaseControl::getInstance()->setBackgroundPicture(file);
}

// The window with a new screen in the state after the reports ("45%", "0:text"
// of type 0, "picture" from the host), repainted after each or once in full.
QImage tst_CustomMcuUpdateWidget::screenAfter(State state, const QStringList &reports, bool stepwise)
{
    delete m_widget;
    m_widget = new CustomMcuUpdateWidget;
    m_widget->show();
    enter(state);
    countdownTimer()->stop();
    for (const QString &report : reports) {
        if (stepwise)
            QCoreApplication::processEvents();
        if (report == QLatin1String("picture"))
            setPicture(Qt::darkCyan);
        else if (report.endsWith(QLatin1Char('%')))
            m_widget->setPercent(report.chopped(1).toInt());
        else
            m_widget->setMessage(report.section(QLatin1Char(':'), 0, 0).toInt(), report.section(':', 1));
    }
    QCoreApplication::processEvents();
    return m_layer->windowHandle()->screen()->grabWindow(m_layer->winId()).toImage();
}

void tst_CustomMcuUpdateWidget::reports_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QColor>("picture");
    QTest::addColumn<int>("state");
    QTest::addColumn<QStringList>("reports");
    QTest::addColumn<QStringList>("texts"); // lower caption, upper caption, status line

    const QSize size(800, 480);
    const QColor picture(70, 130, 180);
    QTest::newRow("counting, the status line set, cleared and set by type 3")
        << size << picture << int(Counting) << QStringList {"0:Checking mcu.bin", "0:", "3:Ready"}
        << QStringList {"unknown", "unknown", "Ready"};
    QTest::newRow("captions kept when empty, percents in and beyond the range, -10 counter-clockwise")
        << size << picture << int(Upgrading)
        << QStringList {"2:MCU_2.2", "1:MCU_2.1", "2:", "1:", "5%", "100%", "150%", "-2147483648%", "-10%"}
        << QStringList {"MCU_2.1", "MCU_2.2", ""};
    QTest::newRow("texts beyond their boxes, then shorter ones")
        << size << picture << int(Upgrading)
        << QStringList {"2:Far wider than the ring", "1:Two\nlines", "0:Three\nlines", "33%", "2:Up", "0:"}
        << QStringList {"Two\nlines", "Up", ""};
    QTest::newRow("accents stacked above a letter")
        << size << picture << int(Upgrading)
        << QStringList {"2:jumps off", "0:Writing ff", "0:", "0:\u00c9\u0302\u0302\u0302\u0302"}
        << QStringList {"unknown", "jumps off", "\u00c9\u0302\u0302\u0302\u0302"};
    QTest::newRow("translucent picture, finished, type -1")
        << size << QColor(70, 130, 180, 90) << int(Finished) << QStringList {"45%", "-1:Done"}
        << QStringList {"unknown", "unknown", "Done"};
    QTest::newRow("the host changes its picture")
        << size << picture << int(Upgrading) << QStringList {"45%", "picture", "46%"}
        << QStringList {"unknown", "unknown", ""};
    for (const QSize &other : {QSize(1024, 600), QSize(800, 119), QSize(800, 60), QSize(800, 1)})
        QTest::addRow("%dx%d, no picture", other.width(), other.height())
            << other << QColor() << int(Upgrading) << QStringList {"40%", "0:Writing", "2:V2", "41%"}
            << QStringList {"unknown", "V2", "Writing"};
}

// The texts a screen holds after the reports, and what it shows: after it
// repainted what each report changed, pixel for pixel what a new screen shows
// painted at once, and at 800x480 what a bare painter draws.
void tst_CustomMcuUpdateWidget::reports()
{
    QFETCH(QSize, screen);
    QFETCH(QColor, picture);
    QFETCH(int, state);
    QFETCH(QStringList, reports);
    qvappframework::UIManager::setDeskTopRect(QRect(QPoint(0, 0), screen));

    setPicture(picture);
    const QImage shown = screenAfter(State(state), reports, true);
    setPicture(picture);
    QCOMPARE(shown, screenAfter(State(state), reports, false));
    const QStringList texts = {m_widget->lowerText(), m_widget->upperText(), m_widget->statusText()};
    QTEST(texts, "texts");
    if (screen != QSize(800, 480))
        return;
    QImage expected(screen, QImage::Format_ARGB32_Premultiplied);
    expected.fill(Qt::blue);
    QImage painted = expected;
    paintMcuScreen(&expected, m_widget->font(), BaseControl::getInstance()->getBackgroundPixmap(),
                   m_widget->percent(), texts[2], texts[1], texts[0]);
    m_widget->render(&painted, QPoint(), QRegion(), QWidget::RenderFlags());
    QCOMPARE(painted, expected);
}

QTEST_MAIN(tst_CustomMcuUpdateWidget)
#include "tst_custommcuupdatewidget.moc"
