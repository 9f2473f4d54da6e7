#include "customimagelabel.h"
#include "testimages.h"

#include <QtTest>

class tst_CustomImageLabel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void pressAndReleaseInsideClicks();
    void drawsPressedPictureWhileHeld();
    void nullPicturesAreHarmless();

private:
    CustomImageLabel *m_label = nullptr;
    QImage m_normal = solidImage(Qt::red, QSize(300, 60));
    QImage m_pressed = solidImage(Qt::green, QSize(300, 60));
};

void tst_CustomImageLabel::init()
{
    m_label = new CustomImageLabel(QStringLiteral("Upgrade system"));
    m_label->setStyleSheet(QStringLiteral("QLabel{background-color:transparent;color:white;font:20px;}"));
    m_label->setConstBackgroundImage(&m_normal, &m_pressed, nullptr, nullptr, true);
    m_label->resize(m_label->sizeHint());
    m_label->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_label));
}

void tst_CustomImageLabel::cleanup()
{
    delete m_label;
}

void tst_CustomImageLabel::pressAndReleaseInsideClicks()
{
    QCOMPARE(m_label->sizeHint(), QSize(300, 60));
    QCOMPARE(m_label->text(), QStringLiteral("Upgrade system"));
    QSignalSpy clicked(m_label, &CustomImageLabel::clicked);
    QTest::mouseClick(m_label, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(clicked.count(), 1);
    QTest::mousePress(m_label, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTest::mouseRelease(m_label, Qt::LeftButton, Qt::NoModifier, QPoint(400, 10));
    QCOMPARE(clicked.count(), 1);
}

void tst_CustomImageLabel::drawsPressedPictureWhileHeld()
{
    const QPoint corner(4, 4);
    QCOMPARE(m_label->grab().toImage().pixelColor(corner), QColor(Qt::red));
    QTest::mousePress(m_label, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(m_label->grab().toImage().pixelColor(corner), QColor(Qt::green));
}

void tst_CustomImageLabel::nullPicturesAreHarmless()
{
    const QImage null;
    m_label->setConstBackgroundImage(&null, nullptr, nullptr, nullptr, true);
    QVERIFY(!m_label->grab().isNull());
    QVERIFY(m_label->sizeHint().isValid());
}

QTEST_MAIN(tst_CustomImageLabel)
#include "tst_customimagelabel.moc"
