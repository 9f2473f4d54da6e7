#ifndef STYLEPAINTER_H
#define STYLEPAINTER_H

#include <QImage>
#include <QList>
#include <QString>

// Paints the pictures of the screens' style "style0" for the head unit's
// 800 by 480 display: a dark theme whose states read at arm's length.
//
//   tip_bt_n, tip_bt_d       choice buttons of the "Upgrade file detected" dialog
//   bt_n, bt_d, bt_dis       "Update" and "Cancel": normal, pressed, disabled
//   bt_c_n, bt_c_d           a checked medium radio, normal and pressed
//   bt_uc_n, bt_uc_d         an unchecked medium radio, normal and pressed
//   background               the host's background picture
//
// Normal buttons are slate panels, pressed ones light up in blue, disabled
// ones sink into the background, and a checked radio carries an amber ring
// with a dot where an unchecked one has an empty grey ring. The focus is the
// widget kit's own frame, drawn in cyan around whatever picture is shown, so
// no picture uses that colour. No picture holds near-white pixels: the
// captions drawn on them are white and must stand out.
class StylePainter
{
public:
    struct Picture
    {
        QString fileName;
        QImage image;
    };

    static QList<Picture> paintAll();

private:
    enum Look { Normal, Pressed, Disabled, CheckedNormal, CheckedPressed, UncheckedNormal, UncheckedPressed };

    static QImage paintButton(const QSize &size, Look look);
    static QImage paintBackground(const QSize &size);
};

#endif // STYLEPAINTER_H
