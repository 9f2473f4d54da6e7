#include "progressringpainter.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QRegion>
#include <QString>

#include <limits>

namespace {

const int LargePixelSize = 30;
const int SmallPixelSize = LargePixelSize * 2 / 3;
const int StatusLineHeight = 60;
const int TwelveOClock = 90 * 16;
const qreal PenWidth = 8.0;

QColor rgba(int red, int green, int blue, int alpha)
{
    QColor color;
    color.setRgb(red, green, blue, alpha);
    return color;
}

QPen ringPen(const QColor &color)
{
    return QPen(QBrush(color), PenWidth, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin);
}

QColor trackColor()
{
    return rgba(50, 50, 50, 100);
}

// Where a text goes and how it looks.
struct TextPlace
{
    QRect rect;
    int flags;
    int pixelSize;
    QColor color;
};

TextPlace textPlace(const QSize &area, ProgressRingPainter::Text text)
{
    const QRect ring = ProgressRingPainter::ringRect(area);
    const int quarter = ring.height() / 4;
    switch (text) {
    case ProgressRingPainter::StatusLine:
        // The band starts on the ring's last row.
        return {QRect(0, ring.bottom(), area.width(), StatusLineHeight), Qt::AlignCenter, LargePixelSize,
                Qt::white};
    case ProgressRingPainter::Percent:
        return {ring, Qt::AlignCenter, LargePixelSize, Qt::white};
    case ProgressRingPainter::UpperCaption:
        return {QRect(ring.left(), ring.top() + quarter, ring.width(), quarter),
                Qt::AlignHCenter | Qt::AlignTop, SmallPixelSize, Qt::darkGreen};
    case ProgressRingPainter::LowerCaption:
        break;
    }
    return {QRect(ring.left(), ring.bottom() - 2 * quarter, ring.width(), quarter),
            Qt::AlignHCenter | Qt::AlignBottom, SmallPixelSize, Qt::red};
}

QRect textBounds(const TextPlace &place, const QFont &font, const QString &text)
{
    QFont textFont = font;
    textFont.setPixelSize(place.pixelSize);
    const QFontMetrics metrics(textFont);
    // The laid-out box holds the lines and the glyphs' advances. Ink reaches
    // beyond it where letters lean or accents stack above them: half a line
    // around it is the margin allowed for that.
    const int reach = metrics.height() / 2;
    return metrics.boundingRect(place.rect, place.flags, text).adjusted(-reach, -reach, reach, reach);
}

qint64 pictureKey(const QPixmap *picture)
{
    // A null pixmap's key is 0 too: without a picture the screen is black either way.
    return picture ? picture->cacheKey() : 0;
}

} // namespace

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

QString ProgressRingPainter::percentText(int percent)
{
    return QString::number(percent) + QLatin1Char('%');
}

QRect ProgressRingPainter::ringBounds(const QSize &area)
{
    // The ellipse runs along the ring rectangle's outer edges and the stroke
    // reaches half the pen beyond them; a negative side draws the mirrored ellipse.
    const int reach = int(PenWidth) / 2;
    return ringRect(area).normalized().adjusted(-reach, -reach, reach, reach);
}

QRect ProgressRingPainter::textChange(const QSize &area, const QFont &font, Text text, const QString &from,
                                      const QString &to)
{
    const TextPlace place = textPlace(area, text);
    return textBounds(place, font, from).united(textBounds(place, font, to));
}

bool ProgressRingPainter::isPreparedFor(const QSize &area, const QPixmap *picture) const
{
    return area == m_area && pictureKey(picture) == m_pictureKey;
}

void ProgressRingPainter::prepare(const QSize &area, const QPixmap *picture)
{
    if (isPreparedFor(area, picture))
        return;
    m_area = area;
    m_pictureKey = pictureKey(picture);

    m_background = QImage(area, QImage::Format_ARGB32_Premultiplied);
    m_background.fill(Qt::transparent);
    QPainter background(&m_background);
    const bool hasPicture = picture && !picture->isNull();
    if (hasPicture)
        background.drawPixmap(0, 0, *picture);
    // Dimmed here, the uncovered screen keeps the shade's alpha and dims what
    // lies below just the same. Where a picture is translucent, the rounding
    // depends on what lies below: such a picture is dimmed on the screen.
    m_shade = hasPicture ? rgba(0, 0, 0, 150) : rgba(0, 0, 0, 255);
    m_shadeOnScreen = hasPicture && picture->hasAlphaChannel();
    if (!m_shadeOnScreen)
        fillShade(&background, QRect(QPoint(0, 0), area));

    // Drawn at whole-pixel offsets the stroke covers the very same pixels
    // with the very same coverage as on the screen.
    const QRect bounds = ringBounds(area);
    m_track = QImage(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    m_track.fill(Qt::transparent);
    QPainter track(&m_track);
    track.setRenderHint(QPainter::Antialiasing);
    track.translate(-bounds.topLeft());
    track.setBrush(Qt::NoBrush);
    track.setPen(ringPen(trackColor()));
    track.drawEllipse(ringRect(area));
}

void ProgressRingPainter::fillShade(QPainter *painter, const QRect &rect) const
{
    painter->setPen(Qt::NoPen);
    painter->setBrush(m_shade);
    painter->drawRects(&rect, 1);
}

void ProgressRingPainter::paint(QPainter *painter, const QRegion &region, const QFont &font, int percent,
                                const QString &status, const QString &upper, const QString &lower) const
{
    // The painter is clipped to the region: only the region's bounding box is copied.
    const QRect dirty = region.boundingRect();
    painter->drawImage(dirty.topLeft(), m_background, dirty);
    if (m_shadeOnScreen)
        fillShade(painter, dirty);

    // A text outside the region costs its layout only: the clip drops its glyphs.
    painter->setRenderHint(QPainter::Antialiasing);
    QFont textFont = font;
    const QString texts[] = {status, percentText(percent), upper, lower};
    for (Text text : {StatusLine, Percent, UpperCaption, LowerCaption}) {
        const TextPlace place = textPlace(m_area, text);
        textFont.setPixelSize(place.pixelSize);
        painter->setFont(textFont);
        painter->setPen(ringPen(place.color));
        painter->drawText(place.rect, place.flags, texts[text]);
    }

    const QRect bounds = ringBounds(m_area);
    if (!region.intersects(bounds))
        return;
    painter->drawImage(bounds.topLeft(), m_track);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(ringPen(Qt::white));
    const QRect ring = ringRect(m_area);
    painter->drawArc(QRectF(ring.left(), ring.top(), ring.width(), ring.height()), TwelveOClock,
                     spanAngle(percent));
}
