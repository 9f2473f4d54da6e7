#ifndef PROGRESSRINGPAINTER_H
#define PROGRESSRINGPAINTER_H

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>

class QFont;
class QPainter;
class QPixmap;
class QRegion;
class QString;

// Paints the MCU upgrade screen behind its child widgets: the dimmed
// background, the status line, the percent with its two captions and the ring
// whose arc grows clockwise from twelve o'clock. The ring is a square centred
// horizontally and 30 pixels above the middle of the screen; all geometry is
// integer arithmetic on the screen size, a negative size included.
//
// What no progress report changes, the dimmed background and the ring's grey
// track, is drawn once for a size and a picture and kept; a paint then copies
// it and draws the arc and the texts over it, only inside the region asked for.
class ProgressRingPainter
{
public:
    enum Text { StatusLine, Percent, UpperCaption, LowerCaption };

    static QRect ringRect(const QSize &area);
    // The arc in sixteenths of a degree, negative for clockwise: whole
    // degrees of percent * 3.6, rounded toward zero.
    static int spanAngle(int percent);
    static QString percentText(int percent);

    // Where the ring's stroke may touch a pixel: what a new percent repaints.
    static QRect ringBounds(const QSize &area);
    // Where the text may touch a pixel when it changes from one text to the other.
    static QRect textChange(const QSize &area, const QFont &font, Text text, const QString &from,
                            const QString &to);

    // Whether what is kept was drawn for this size and this picture (null
    // when there is none).
    bool isPreparedFor(const QSize &area, const QPixmap *picture) const;
    // Draws what is kept again unless it is prepared for the size and picture.
    void prepare(const QSize &area, const QPixmap *picture);
    void paint(QPainter *painter, const QRegion &region, const QFont &font, int percent,
               const QString &status, const QString &upper, const QString &lower) const;

private:
    void fillShade(QPainter *painter, const QRect &rect) const;

    QSize m_area;
    qint64 m_pictureKey = -1;
    // The picture dimmed, or black without one; translucent where the picture
    // leaves the screen uncovered, so that what lies below is dimmed too.
    QImage m_background;
    QColor m_shade;
    bool m_shadeOnScreen = false;
    // The grey track alone, over ringBounds(), drawn over the texts as the
    // track itself would be.
    QImage m_track;
};

#endif // PROGRESSRINGPAINTER_H
