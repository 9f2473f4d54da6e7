#include "progressringpainter.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QString>

#include <limits>

namespace {

const int LargePixelSize = 30;
const int StatusLineHeight = 60;
const int TwelveOClock = 90 * 16;

QColor rgba(int red, int green, int blue, int alpha)
{
    QColor color;
    color.setRgb(red, green, blue, alpha);
    return color;
}

} // namespace

ProgressRingPainter::ProgressRingPainter(QPainter *painter, const QSize &area)
    : m_painter(painter)
    , m_area(area)
    , m_ring(ringRect(area))
    , m_pen(QBrush(Qt::white), 8.0, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin)
{
    m_painter->setRenderHint(QPainter::Antialiasing);
}

QRect ProgressRingPainter::ringRect(const QSize &area)
{
    // The shifts are arithmetic (the floor of half) also for a negative side.
    const int side = (area.height() >> 1) - StatusLineHeight;
    const int left = (area.width() - side) >> 1;
    const int top = (area.height() - side - StatusLineHeight) >> 1;
    return QRect(QPoint(left, top), QPoint(left + side - 1, top + side - 1));
}

int ProgressRingPainter::spanAngle(int percent)
{
    // The host reports whatever it likes: 64 bits keep percent * 360 exact,
    // and a span beyond one turn draws the full circle anyway.
    const qint64 span = 16 * ((qint64(percent) * 360) / -100);
    return int(
        qBound(qint64(std::numeric_limits<int>::min()), span, qint64(std::numeric_limits<int>::max())));
}

void ProgressRingPainter::drawBackground(const QPixmap *picture)
{
    m_painter->setPen(Qt::NoPen);
    if (picture && !picture->isNull()) {
        m_painter->drawPixmap(0, 0, *picture);
        m_painter->setBrush(rgba(0, 0, 0, 150));
    } else {
        m_painter->setBrush(rgba(0, 0, 0, 255));
    }
    const QRect screen(0, 0, m_area.width(), m_area.height());
    m_painter->drawRects(&screen, 1);
}

void ProgressRingPainter::drawTexts(const QFont &font, const QString &status, int percent,
                                    const QString &upper, const QString &lower)
{
    QFont textFont = font;
    textFont.setPixelSize(LargePixelSize);
    m_painter->setFont(textFont);
    m_pen.setColor(Qt::white);
    m_painter->setPen(m_pen);

    const int bottom = m_ring.bottom();
    m_painter->drawText(QRect(0, bottom, m_area.width(), StatusLineHeight), Qt::AlignCenter, status);
    m_painter->drawText(m_ring, Qt::AlignCenter, QString::number(percent) + QLatin1Char('%'));

    textFont.setPixelSize(textFont.pixelSize() * 2 / 3);
    m_painter->setFont(textFont);

    const int quarter = m_ring.height() / 4;
    m_pen.setColor(Qt::darkGreen);
    m_painter->setPen(m_pen);
    m_painter->drawText(QRect(m_ring.left(), m_ring.top() + quarter, m_ring.width(), quarter),
                        Qt::AlignHCenter | Qt::AlignTop, upper);

    m_pen.setColor(Qt::red);
    m_painter->setPen(m_pen);
    m_painter->drawText(QRect(m_ring.left(), bottom - 2 * quarter, m_ring.width(), quarter),
                        Qt::AlignHCenter | Qt::AlignBottom, lower);
}

void ProgressRingPainter::drawRing(int percent)
{
    m_painter->setBrush(Qt::NoBrush);
    m_pen.setColor(rgba(50, 50, 50, 100));
    m_painter->setPen(m_pen);
    m_painter->drawEllipse(m_ring);

    m_pen.setColor(Qt::white);
    m_painter->setPen(m_pen);
    m_painter->drawArc(QRectF(m_ring.left(), m_ring.top(), m_ring.width(), m_ring.height()), TwelveOClock,
                       spanAngle(percent));
}
