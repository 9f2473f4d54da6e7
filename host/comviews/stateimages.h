#ifndef STATEIMAGES_H
#define STATEIMAGES_H

#include <QRect>

class QImage;
class QPainter;

// The background pictures of one kit widget, one per state. The pictures
// belong to the screen that hands them over; the kit only keeps pointers.
class StateImages
{
public:
    enum State { Normal, Pressed, Focused, Disabled };

    void set(const QImage *normal, const QImage *pressed, const QImage *focused, const QImage *disabled,
             bool stretch);

    const QImage *normal() const { return m_images[Normal]; }
    const QImage *pressed() const { return m_images[Pressed]; }
    const QImage *focused() const { return m_images[Focused]; }
    const QImage *disabled() const { return m_images[Disabled]; }
    bool stretch() const { return m_stretch; }

    // The picture for the state, falling back to the normal one; null when
    // neither is usable.
    const QImage *imageFor(State state) const;

    // Draws the state's picture into rect; without a usable picture a plain
    // rounded panel stands in. Returns whether a picture was drawn.
    bool draw(QPainter &painter, const QRect &rect, State state) const;

    // The focus frame drawn around a focused widget that has no focus picture.
    static void drawFocusFrame(QPainter &painter, const QRect &rect);

    // The normal picture's size, or fallback when there is none.
    QSize sizeHint(const QSize &fallback) const;

private:
    const QImage *m_images[4] = {nullptr, nullptr, nullptr, nullptr};
    bool m_stretch = true;
};

#endif // STATEIMAGES_H
