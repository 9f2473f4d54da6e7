#include "barepainter.h"
#include "basecontrol.h"
#include "custommcuupdatewidget.h"
#include "sandbox.h"
#include "uimanager.h"

#include <QtTest>

#include <memory>

// The MCU screen repaints on every progress report. Its paint event at the
// head unit's 800x480, children left out, is measured next to a floor: the
// same primitives drawn straight onto the same image by a bare painter. A
// progress report is measured as the head unit sees it: the screen shown on
// a window, the report given and the window's repaint done.
class bench_CustomMcuUpdateWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void widgetRepaint();
    void barePainterFloor();
    void progressReport();

private:
    void paintFloor(QImage *image) const;

    std::unique_ptr<Sandbox> m_sandbox;
    std::unique_ptr<QWidget> m_layer;
    CustomMcuUpdateWidget *m_widget = nullptr;
    QImage m_image;
};

void bench_CustomMcuUpdateWidget::initTestCase()
{
    m_sandbox.reset(new Sandbox);
    QImage picture(800, 480, QImage::Format_RGB32);
    picture.fill(QColor(40, 90, 160));
    const QString file = m_sandbox->path(QStringLiteral("/background.png"));
    QVERIFY(picture.save(file));
    BaseControl::getInstance()->setBackgroundPicture(file);

    m_layer.reset(new QWidget);
    m_layer->resize(800, 480);
    qvappframework::UIManager::setUIHerarchy(qvappframework::UIHerarchyApplication, m_layer.get());
    qvappframework::UIManager::setDeskTopRect(QRect(0, 0, 800, 480));
    m_widget = new CustomMcuUpdateWidget;
    m_widget->setPercent(45);
    m_widget->setMessage(0, QStringLiteral("Writing MCU firmware"));
    m_widget->setMessage(1, QStringLiteral("V1.00"));
    m_widget->setMessage(2, QStringLiteral("Erasing"));

    // The floor is only a floor if it paints the very same picture.
    m_image = QImage(800, 480, QImage::Format_ARGB32_Premultiplied);
    QImage floor = m_image;
    m_widget->render(&m_image, QPoint(), QRegion(), QWidget::RenderFlags());
    paintFloor(&floor);
    QCOMPARE(m_image, floor);

    m_layer->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_layer.get()));
}

void bench_CustomMcuUpdateWidget::cleanupTestCase()
{
    m_layer.reset();
    BaseControl::getInstance()->setBackgroundPicture(QString());
    m_sandbox.reset();
}

void bench_CustomMcuUpdateWidget::widgetRepaint()
{
    QBENCHMARK
    {
        m_widget->render(&m_image, QPoint(), QRegion(), QWidget::RenderFlags());
    }
}

void bench_CustomMcuUpdateWidget::barePainterFloor()
{
    QBENCHMARK
    {
        paintFloor(&m_image);
    }
}

void bench_CustomMcuUpdateWidget::progressReport()
{
    QBENCHMARK
    {
        m_widget->setPercent(m_widget->percent() == 45 ? 46 : 45);
        QCoreApplication::processEvents();
    }
}

void bench_CustomMcuUpdateWidget::paintFloor(QImage *image) const
{
    paintMcuScreen(image, m_widget->font(), BaseControl::getInstance()->getBackgroundPixmap(), 45,
                   QStringLiteral("Writing MCU firmware"), QStringLiteral("Erasing"),
                   QStringLiteral("V1.00"));
}

QTEST_MAIN(bench_CustomMcuUpdateWidget)
#include "bench_custommcuupdatewidget.moc"
