#include "tipdialog.h"

#include "hostjournal.h"
#include "uimanager.h"

#include <QPainter>
#include <QTimer>

QPointer<TipDialog> TipDialog::s_current;

TipDialog::TipDialog(const QString &text, QWidget *parent)
    : QWidget(parent, parent ? Qt::Widget : Qt::ToolTip | Qt::FramelessWindowHint)
    , m_text(text)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    QFont tipFont = font();
    tipFont.setPixelSize(24);
    setFont(tipFont);
}

void TipDialog::showMessage(const QString &text, int duration)
{
    QJsonObject details;
    details.insert(QStringLiteral("text"), text);
    HostJournal::instance()->record(QStringLiteral("toast"), details);

    if (s_current)
        s_current->deleteLater();

    QWidget *layer = qvappframework::UIManager::getUIHerarchy(qvappframework::UIHerarchyApplication);
    TipDialog *tip = new TipDialog(text, layer);
    s_current = tip;

    const QRect area = layer ? layer->rect() : qvappframework::UIManager::getDeskTopRect();
    QRect geometry(QPoint(), tip->sizeHint().boundedTo(area.size()));
    geometry.moveCenter(QPoint(area.center().x(), area.top() + area.height() * 3 / 4));
    tip->setGeometry(geometry);
    tip->show();
    tip->raise();
    QTimer::singleShot(duration > 0 ? duration : 2000, tip, SLOT(deleteLater()));
}

TipDialog *TipDialog::current()
{
    return s_current;
}

QString TipDialog::text() const
{
    return m_text;
}

QSize TipDialog::sizeHint() const
{
    return fontMetrics().size(0, m_text) + QSize(64, 32);
}

void TipDialog::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x6b, 0x7a, 0x8a), 1));
    painter.setBrush(QColor(0x10, 0x14, 0x18, 230));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, m_text);
}
