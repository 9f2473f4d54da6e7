#ifndef PROGRESSRINGPAINTER_H
#define PROGRESSRINGPAINTER_H

#include <QPen>
#include <QRect>
#include <QSize>

class QFont;
class QPainter;
class QPixmap;
class QString;

// Paints the MCU upgrade screen behind its child widgets: the dimmed
// background, the status line, the percent with its two captions and the ring
// whose arc grows clockwise from twelve o'clock. The ring is a square centred
// horizontally and 30 pixels above the middle of the screen; all geometry is
// integer arithmetic on the screen size, a negative size included.
class ProgressRingPainter
{
public:
    ProgressRingPainter(QPainter *painter, const QSize &area);

    static QRect ringRect(const QSize &area);
    // The arc in sixteenths of a degree, negative for clockwise: whole
    // degrees of percent * 3.6, rounded toward zero.
    static int spanAngle(int percent);

    // Draws the picture at its own size and dims it, or fills with black
    // when there is none.
    void drawBackground(const QPixmap *picture);
    void drawTexts(const QFont &font, const QString &status, int percent, const QString &upper,
                   const QString &lower);
    void drawRing(int percent);

private:
    QPainter *m_painter;
    QSize m_area;
    QRect m_ring;
    QPen m_pen;
};

#endif // PROGRESSRINGPAINTER_H
