#include "hostjournal.h"
#include "tipdialog.h"
#include "uimanager.h"

#include <QElapsedTimer>
#include <QtTest>

class tst_TipDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void showsAboveTheHostAndGoesAway();
    void newTipReplacesTheOld();

private:
    QWidget *m_layer = nullptr;
};

void tst_TipDialog::init()
{
    HostJournal::instance()->clear();
    m_layer = new QWidget;
    m_layer->resize(800, 480);
    qvappframework::UIManager::setUIHerarchy(qvappframework::UIHerarchyApplication, m_layer);
    m_layer->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_layer));
}

void tst_TipDialog::cleanup()
{
    delete m_layer;
}

void tst_TipDialog::showsAboveTheHostAndGoesAway()
{
    QElapsedTimer clock;
    clock.start();
    TipDialog::showMessage(QStringLiteral("Updating"), 300);
    QVERIFY(clock.elapsed() < 250);

    QPointer<TipDialog> tip = TipDialog::current();
    QVERIFY(tip);
    QCOMPARE(tip->parentWidget(), m_layer);
    QVERIFY(tip->isVisible());
    QCOMPARE(tip->property("text").toString(), QStringLiteral("Updating"));
    QVERIFY(m_layer->rect().contains(tip->geometry()));
    QCOMPARE(HostJournal::instance()->requests(), QStringList {QStringLiteral("toast")});
    QCOMPARE(HostJournal::instance()->entries().first().value("text").toString(), QStringLiteral("Updating"));

    QTRY_VERIFY(!tip);
}

void tst_TipDialog::newTipReplacesTheOld()
{
    TipDialog::showMessage(QStringLiteral("Updating"), 0);
    QPointer<TipDialog> first = TipDialog::current();
    TipDialog::showMessage(QStringLiteral("Package missing"), 0);
    QCOMPARE(TipDialog::current()->text(), QStringLiteral("Package missing"));
    QTRY_VERIFY(!first);
    QCOMPARE(m_layer->findChildren<TipDialog *>().size(), 1);
}

QTEST_MAIN(tst_TipDialog)
#include "tst_tipdialog.moc"
