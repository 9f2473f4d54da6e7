#include "barepainter.h"
#include "basecontrol.h"
#include "custommcuupdatewidget.h"
#include "sandbox.h"
#include "uimanager.h"

#include <QtTest>

// The MCU screen's paint event at 800x480, children left out, next to its floor, a bare painter
// that must paint the very same picture; and a progress report with the window's repaint.
class bench_CustomMcuUpdateWidget : public QObject
{
    Q_OBJECT
    enum Work { WidgetRepaint, BarePainterFloor, ProgressReport };

private slots:
    void initTestCase();
    void measure_data();
    void measure();

private:
    void run(Work work, QImage *image) const;

    Sandbox m_sandbox;
    QWidget m_layer;
    CustomMcuUpdateWidget *m_widget = nullptr;
};

void bench_CustomMcuUpdateWidget::initTestCase()
{
    const QString file = m_sandbox.path(QStringLiteral("/background.png"));
    QImage picture(800, 480, QImage::Format_RGB32);
    picture.fill(QColor(40, 90, 160));
    QVERIFY(picture.save(file));
    BaseControl::getInstance()->setBackgroundPicture(file);
    m_layer.resize(800, 480);
    qvappframework::UIManager::setUIHerarchy(qvappframework::UIHerarchyApplication, &m_layer);
    m_widget = new CustomMcuUpdateWidget;
    m_widget->setPercent(45);
    m_widget->setMessage(0, QStringLiteral("Writing MCU firmware"));
    m_widget->setMessage(1, QStringLiteral("V1.00"));
    m_widget->setMessage(2, QStringLiteral("Erasing"));
    m_layer.show();
    QVERIFY(QTest::qWaitForWindowExposed(&m_layer));
}

void bench_CustomMcuUpdateWidget::measure_data()
{
    QTest::addColumn<int>("work");
    QTest::newRow("widget repaint") << int(WidgetRepaint);
    QTest::newRow("bare painter floor") << int(BarePainterFloor);
    QTest::newRow("progress report") << int(ProgressReport);
}

void bench_CustomMcuUpdateWidget::measure()
{
    QFETCH(int, work);
    QImage image(800, 480, QImage::Format_ARGB32_Premultiplied), floor = image;
    run(WidgetRepaint, &image);
    run(BarePainterFloor, &floor);
    QCOMPARE(image, floor);
    QBENCHMARK
    {
        run(Work(work), &image);
    }
}

void bench_CustomMcuUpdateWidget::run(Work work, QImage *image) const
{
    if (work == WidgetRepaint)
        return m_widget->render(image, QPoint(), QRegion(), QWidget::RenderFlags());
    if (work == BarePainterFloor)
        return paintMcuScreen(image, m_widget->font(), BaseControl::getInstance()->getBackgroundPixmap(),
                              m_widget->percent(), m_widget->statusText(), m_widget->upperText(),
                              m_widget->lowerText());
    m_widget->setPercent(m_widget->percent() == 45 ? 46 : 45);
    QCoreApplication::processEvents();
}

QTEST_MAIN(bench_CustomMcuUpdateWidget)
#include "bench_custommcuupdatewidget.moc"
