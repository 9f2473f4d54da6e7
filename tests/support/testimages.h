#ifndef TESTIMAGES_H
#define TESTIMAGES_H

#include <QColor>
#include <QImage>

// A picture of one colour, so that a test can tell by a pixel which was drawn.
inline QImage solidImage(const QColor &color, const QSize &size = QSize(120, 50))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

#endif // TESTIMAGES_H
