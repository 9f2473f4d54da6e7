#include "stateimages.h"

#include <QImage>
#include <QPainter>

namespace {

bool usable(const QImage *image)
{
    return image && !image->isNull();
}

} // namespace

void StateImages::set(const QImage *normal, const QImage *pressed, const QImage *focused,
                      const QImage *disabled, bool stretch)
{
    m_images[Normal] = normal;
    m_images[Pressed] = pressed;
    m_images[Focused] = focused;
    m_images[Disabled] = disabled;
    m_stretch = stretch;
}

const QImage *StateImages::imageFor(State state) const
{
    if (usable(m_images[state]))
        return m_images[state];
    return usable(m_images[Normal]) ? m_images[Normal] : nullptr;
}

bool StateImages::draw(QPainter &painter, const QRect &rect, State state) const
{
    const QImage *image = imageFor(state);
    if (image) {
        if (m_stretch) {
            painter.drawImage(rect, *image);
        } else {
            QRect target(QPoint(), image->size());
            target.moveCenter(rect.center());
            painter.drawImage(target, *image);
        }
        return true;
    }

    static const QColor panel[] = {QColor(0x2b, 0x33, 0x3d), QColor(0x4a, 0x5a, 0x6b),
                                   QColor(0x2b, 0x33, 0x3d), QColor(0x1a, 0x1d, 0x21)};
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x6b, 0x7a, 0x8a), 1));
    painter.setBrush(panel[state]);
    painter.drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    painter.restore();
    return false;
}

void StateImages::drawFocusFrame(QPainter &painter, const QRect &rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x3d, 0xae, 0xe9), 3));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect).adjusted(1.5, 1.5, -1.5, -1.5), 8, 8);
    painter.restore();
}

QSize StateImages::sizeHint(const QSize &fallback) const
{
    return usable(m_images[Normal]) ? m_images[Normal]->size() : fallback;
}
