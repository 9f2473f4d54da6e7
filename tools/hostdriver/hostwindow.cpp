#include "hostwindow.h"

#include <QPainter>

HostWindow::HostWindow(const QSize &screenSize, const QPixmap &background)
    : m_layer(new QWidget(this))
    , m_background(background)
{
    setWindowTitle(QStringLiteral("updatetheme-sim %1x%2").arg(screenSize.width()).arg(screenSize.height()));
    setFixedSize(screenSize);
    m_layer->setObjectName(QStringLiteral("applicationLayer"));
    m_layer->setGeometry(rect());
}

void HostWindow::setIdleText(const QString &text)
{
    m_idleText = text;
    update();
}

void HostWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_background.isNull())
        painter.fillRect(rect(), Qt::black);
    else
        painter.drawPixmap(rect(), m_background);
    if (m_idleText.isEmpty())
        return;
    QFont idleFont = font();
    idleFont.setPixelSize(20);
    painter.setFont(idleFont);
    painter.setPen(QColor(0x9a, 0xa8, 0xb8));
    painter.drawText(rect().adjusted(40, 0, -40, 0), Qt::AlignCenter | Qt::TextWordWrap, m_idleText);
}
