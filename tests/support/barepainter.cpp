#include "barepainter.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QString>

void paintMcuScreen(QImage *image, const QFont &font, const QPixmap *picture, int percent,
                    const QString &status, const QString &upper, const QString &lower)
{
    const QRect ring(310, 120, 180, 180);
    QPen pen(QBrush(Qt::white), 8.0, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin);
    QFont textFont = font;
    QPainter painter(image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (picture)
        painter.drawPixmap(0, 0, *picture);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, picture ? 150 : 255));
    const QRect screen(0, 0, 800, 480);
    painter.drawRects(&screen, 1);
    textFont.setPixelSize(30);
    painter.setFont(textFont);
    painter.setPen(pen);
    painter.drawText(QRect(0, 299, 800, 60), Qt::AlignCenter, status);
    painter.drawText(ring, Qt::AlignCenter, QString::number(percent) + QLatin1Char('%'));
    textFont.setPixelSize(20);
    painter.setFont(textFont);
    pen.setColor(Qt::darkGreen);
    painter.setPen(pen);
    painter.drawText(QRect(310, 165, 180, 45), Qt::AlignHCenter | Qt::AlignTop, upper);
    pen.setColor(Qt::red);
    painter.setPen(pen);
    painter.drawText(QRect(310, 209, 180, 45), Qt::AlignHCenter | Qt::AlignBottom, lower);
    painter.setBrush(Qt::NoBrush);
    pen.setColor(QColor(50, 50, 50, 100));
    painter.setPen(pen);
    painter.drawEllipse(ring);
    pen.setColor(Qt::white);
    painter.setPen(pen);
    painter.drawArc(QRectF(ring), 1440, 16 * (percent * 360 / -100));
}
