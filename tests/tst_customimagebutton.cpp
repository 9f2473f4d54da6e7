#include "customimagebutton.h"
#include "testimages.h"

#include <QtTest>

class tst_CustomImageButton : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void pressReleaseClicks_data();
    void pressReleaseClicks();
    void drawsThePictureOfItsState_data();
    void drawsThePictureOfItsState();
    void focusShowsAFrame();
    void withoutPicturesStillDraws();
    void sizeFollowsThePicture();
    void otherKeysReachTheScreen();

private:
    QWidget *m_screen = nullptr;
    CustomImageButton *m_button = nullptr;
    QImage m_normal = solidImage(Qt::red);
    QImage m_pressed = solidImage(Qt::green);
    QImage m_disabled = solidImage(Qt::blue);
};

void tst_CustomImageButton::init()
{
    m_screen = new QWidget;
    m_screen->resize(400, 200);
    m_button = new CustomImageButton(m_screen);
    m_button->setGeometry(10, 10, 200, 80);
    m_button->setText(QStringLiteral("Update"), Qt::AlignCenter, Qt::white, 0.5f, false);
    m_button->setConstBackgroundImage(&m_normal, &m_pressed, nullptr, &m_disabled, true);
    m_screen->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_screen));
}

void tst_CustomImageButton::cleanup()
{
    delete m_screen;
}

void tst_CustomImageButton::pressReleaseClicks_data()
{
    QTest::addColumn<QPoint>("releaseAt");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("clicks");

    QTest::newRow("released inside") << QPoint(100, 40) << true << 1;
    QTest::newRow("dragged off before release") << QPoint(300, 150) << true << 0;
    QTest::newRow("disabled") << QPoint(100, 40) << false << 0;
}

void tst_CustomImageButton::pressReleaseClicks()
{
    QFETCH(QPoint, releaseAt);
    QFETCH(bool, enabled);
    QFETCH(int, clicks);

    m_button->setEnabled(enabled);
    QSignalSpy clicked(m_button, &CustomButtonBase::clicked);
    QTest::mousePress(m_button, Qt::LeftButton, Qt::NoModifier, QPoint(100, 40));
    QCOMPARE(m_button->isDown(), enabled);
    QTest::mouseRelease(m_button, Qt::LeftButton, Qt::NoModifier, releaseAt);
    QCOMPARE(clicked.count(), clicks);
    QVERIFY(!m_button->isDown());
}

void tst_CustomImageButton::drawsThePictureOfItsState_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("held");
    QTest::addColumn<QColor>("expected");

    QTest::newRow("normal") << true << false << QColor(Qt::red);
    QTest::newRow("held down") << true << true << QColor(Qt::green);
    QTest::newRow("disabled") << false << false << QColor(Qt::blue);
}

void tst_CustomImageButton::drawsThePictureOfItsState()
{
    QFETCH(bool, enabled);
    QFETCH(bool, held);
    QFETCH(QColor, expected);

    m_button->setText(QString(), Qt::AlignCenter, Qt::white, 0.5f, false);
    m_button->setEnabled(enabled);
    if (held)
        QTest::mousePress(m_button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(centrePixel(m_button), expected);
}

void tst_CustomImageButton::focusShowsAFrame()
{
    QApplication::setActiveWindow(m_screen);
    QVERIFY(QTest::qWaitForWindowActive(m_screen));
    m_button->clearFocus();
    const QPoint edge(1, 40);
    QCOMPARE(m_button->grab().toImage().pixelColor(edge), QColor(Qt::red));
    m_button->setFocus();
    QVERIFY(m_button->hasFocus());
    QVERIFY(m_button->grab().toImage().pixelColor(edge) != QColor(Qt::red));
}

void tst_CustomImageButton::withoutPicturesStillDraws()
{
    const QImage null;
    m_button->setConstBackgroundImage(nullptr, &null, nullptr, nullptr, true);
    const QColor panel = centrePixel(m_button);
    QVERIFY(panel != QColor(Qt::red));
    QVERIFY(panel.alpha() > 0);
    m_button->setEnabled(false);
    QVERIFY(!m_button->grab().isNull());
}

void tst_CustomImageButton::sizeFollowsThePicture()
{
    CustomImageButton plain;
    plain.setText(QStringLiteral("Cancel"), Qt::AlignCenter, Qt::white, 0.5f, false);
    QVERIFY(plain.sizeHint().width() >= 100);
    QVERIFY(plain.sizeHint().height() >= 40);

    const QImage large = solidImage(Qt::red, QSize(260, 90));
    plain.setConstBackgroundImage(&large, nullptr, nullptr, nullptr, true);
    QCOMPARE(plain.sizeHint(), QSize(260, 90));
}

void tst_CustomImageButton::otherKeysReachTheScreen()
{
    QSignalSpy clicked(m_button, &CustomButtonBase::clicked);
    QKeyEvent hostKey(QEvent::KeyPress, 0x0110003F, Qt::NoModifier);
    QApplication::sendEvent(m_button, &hostKey);
    QVERIFY(!hostKey.isAccepted());

    QTest::keyClick(m_button, Qt::Key_Space);
    QCOMPARE(clicked.count(), 1);
}

QTEST_MAIN(tst_CustomImageButton)
#include "tst_customimagebutton.moc"
