#include "stylepainter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

// Sizes at which the screens lay the pictures out on an 800 by 480 display
// (the kit stretches them when a caption needs more room).
const QSize dialogButtonSize(360, 60);
const QSize buttonSize(200, 60);
const QSize radioSize(150, 56);
const QSize backgroundSize(800, 480);

struct Palette
{
    QColor top;
    QColor bottom;
    QColor border;
    QColor highlight; // a one-pixel line below the top edge; invalid for none
};

const Palette slate = {QColor(0x36, 0x42, 0x50), QColor(0x22, 0x29, 0x32), QColor(0x5a, 0x6b, 0x7e),
                       QColor(0x4c, 0x5b, 0x6c)};
const Palette lit = {QColor(0x1f, 0x72, 0xad), QColor(0x14, 0x55, 0x85), QColor(0x4f, 0x9a, 0xd6),
                     QColor(0x2f, 0x86, 0xc4)};
const Palette sunk = {QColor(0x19, 0x1d, 0x23), QColor(0x16, 0x1a, 0x1f), QColor(0x2a, 0x31, 0x39), QColor()};
const Palette warm = {QColor(0x3d, 0x32, 0x20), QColor(0x2a, 0x22, 0x16), QColor(0xe0, 0x94, 0x2a),
                      QColor(0x52, 0x43, 0x2a)};
const Palette warmLit = {QColor(0x5a, 0x47, 0x26), QColor(0x42, 0x34, 0x1c), QColor(0xf2, 0xa8, 0x3c),
                         QColor(0x6e, 0x58, 0x30)};

const QColor amber(0xf0, 0xa0, 0x30);
const QColor ringGrey(0x8a, 0x97, 0xa6);

void paintPanel(QPainter &painter, const QSize &size, const Palette &palette, bool pressed)
{
    const qreal radius = size.height() / 5.0;
    const QRectF outer = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(1, 1, -1, -1);

    QLinearGradient fill(outer.topLeft(), outer.bottomLeft());
    fill.setColorAt(0, palette.top);
    fill.setColorAt(1, palette.bottom);
    painter.setPen(QPen(palette.border, 2));
    painter.setBrush(fill);
    painter.drawRoundedRect(outer, radius, radius);

    if (pressed) {
        // A pressed panel is lit from within and sits lower: a shadow under its top edge.
        QLinearGradient shade(outer.topLeft(), outer.topLeft() + QPointF(0, 10));
        shade.setColorAt(0, QColor(0, 0, 0, 90));
        shade.setColorAt(1, QColor(0, 0, 0, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(shade);
        painter.drawRoundedRect(outer.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    } else if (palette.highlight.isValid()) {
        painter.setPen(QPen(palette.highlight, 1));
        painter.drawLine(QPointF(outer.left() + radius, outer.top() + 2.5),
                         QPointF(outer.right() - radius, outer.top() + 2.5));
    }
}

// The radio mark at the left end: an empty ring, or a ring with a dot.
void paintRadioMark(QPainter &painter, const QSize &size, bool checked)
{
    // Near the left end, clear of the centred caption.
    const qreal radius = size.height() * 0.16;
    const QPointF centre(size.height() * 0.42, size.height() * 0.5);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(checked ? amber : ringGrey, 2.5));
    painter.drawEllipse(centre, radius, radius);
    if (checked) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(amber);
        painter.drawEllipse(centre, radius * 0.5, radius * 0.5);
    }
}

} // namespace

QList<StylePainter::Picture> StylePainter::paintAll()
{
    return {
        {QStringLiteral("tip_bt_n.png"), paintButton(dialogButtonSize, Normal)},
        {QStringLiteral("tip_bt_d.png"), paintButton(dialogButtonSize, Pressed)},
        {QStringLiteral("bt_n.png"), paintButton(buttonSize, Normal)},
        {QStringLiteral("bt_d.png"), paintButton(buttonSize, Pressed)},
        {QStringLiteral("bt_dis.png"), paintButton(buttonSize, Disabled)},
        {QStringLiteral("bt_c_n.png"), paintButton(radioSize, CheckedNormal)},
        {QStringLiteral("bt_c_d.png"), paintButton(radioSize, CheckedPressed)},
        {QStringLiteral("bt_uc_n.png"), paintButton(radioSize, UncheckedNormal)},
        {QStringLiteral("bt_uc_d.png"), paintButton(radioSize, UncheckedPressed)},
        {QStringLiteral("background.png"), paintBackground(backgroundSize)},
    };
}

QImage StylePainter::paintButton(const QSize &size, Look look)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const bool pressed = look == Pressed || look == CheckedPressed || look == UncheckedPressed;
    const bool checked = look == CheckedNormal || look == CheckedPressed;
    const bool radio = checked || look == UncheckedNormal || look == UncheckedPressed;
    const Palette &palette = look == Disabled ? sunk
        : checked                             ? (pressed ? warmLit : warm)
                                              : (pressed ? lit : slate);
    paintPanel(painter, size, palette, pressed);
    if (radio)
        paintRadioMark(painter, size, checked);
    return image;
}

QImage StylePainter::paintBackground(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient night(0, 0, 0, size.height());
    night.setColorAt(0, QColor(0x10, 0x1a, 0x29));
    night.setColorAt(1, QColor(0x05, 0x08, 0x0e));
    painter.fillRect(image.rect(), night);

    // A glow above the middle, where the screens put their titles.
    QRadialGradient glow(QPointF(size.width() / 2.0, size.height() * 0.2), size.width() * 0.55);
    glow.setColorAt(0, QColor(0x24, 0x48, 0x70, 120));
    glow.setColorAt(1, QColor(0x24, 0x48, 0x70, 0));
    painter.fillRect(image.rect(), glow);

    // Faint dial arcs in the lower corners, the instrument cluster's echo.
    painter.setBrush(Qt::NoBrush);
    for (int ring = 0; ring < 3; ++ring) {
        const qreal radius = size.height() * (0.45 + 0.12 * ring);
        painter.setPen(QPen(QColor(0x3a, 0x5a, 0x80, 50 - ring * 12), 2));
        painter.drawEllipse(QPointF(-size.width() * 0.05, size.height() * 1.05), radius, radius);
        painter.drawEllipse(QPointF(size.width() * 1.05, size.height() * 1.05), radius, radius);
    }

    // A thin horizon line across the lower third.
    QLinearGradient horizon(0, 0, size.width(), 0);
    horizon.setColorAt(0, QColor(0x2f, 0x6f, 0xa8, 0));
    horizon.setColorAt(0.5, QColor(0x2f, 0x6f, 0xa8, 110));
    horizon.setColorAt(1, QColor(0x2f, 0x6f, 0xa8, 0));
    painter.fillRect(QRectF(0, size.height() * 0.68, size.width(), 1.5), horizon);
    return image;
}
