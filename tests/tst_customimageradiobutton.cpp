#include "customimageradiobutton.h"
#include "testimages.h"

#include <QtTest>

class tst_CustomImageRadioButton : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void userPickChecksAndSignals();
    void setCheckedIsQuiet();
    void drawsCheckedOrUncheckedPictures();

private:
    CustomImageRadioButton *m_radio = nullptr;
    QImage m_checked = solidImage(Qt::green);
    QImage m_unchecked = solidImage(Qt::darkGray);
};

void tst_CustomImageRadioButton::init()
{
    m_radio = new CustomImageRadioButton;
    m_radio->resize(160, 60);
    m_radio->setText(QStringLiteral("USB0"), Qt::AlignCenter, Qt::white, 0.5f, false);
    m_radio->setConstCheckedImage(&m_checked, nullptr, nullptr, nullptr, true);
    m_radio->setConstUncheckImage(&m_unchecked, nullptr, nullptr, nullptr, true);
    m_radio->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_radio));
}

void tst_CustomImageRadioButton::cleanup()
{
    delete m_radio;
}

void tst_CustomImageRadioButton::userPickChecksAndSignals()
{
    QSignalSpy changed(m_radio, &CustomImageRadioButton::stateChanged);
    QSignalSpy clicked(m_radio, &CustomButtonBase::clicked);

    QTest::mouseClick(m_radio, Qt::LeftButton);
    QVERIFY(m_radio->isChecked());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().first().toBool(), true);
    QCOMPARE(clicked.count(), 1);

    // Picking the checked radio again is still the user's choice.
    QTest::mouseClick(m_radio, Qt::LeftButton);
    QVERIFY(m_radio->isChecked());
    QCOMPARE(changed.count(), 2);
}

void tst_CustomImageRadioButton::setCheckedIsQuiet()
{
    QSignalSpy changed(m_radio, &CustomImageRadioButton::stateChanged);
    m_radio->setChecked(true);
    m_radio->setChecked(false);
    m_radio->setProperty("checked", true);
    QVERIFY(m_radio->isChecked());
    QCOMPARE(changed.count(), 0);
}

void tst_CustomImageRadioButton::drawsCheckedOrUncheckedPictures()
{
    m_radio->setText(QString(), Qt::AlignCenter, Qt::white, 0.5f, false);
    QCOMPARE(centrePixel(m_radio), QColor(Qt::darkGray));
    m_radio->setChecked(true);
    QCOMPARE(centrePixel(m_radio), QColor(Qt::green));
}

QTEST_MAIN(tst_CustomImageRadioButton)
#include "tst_customimageradiobutton.moc"
