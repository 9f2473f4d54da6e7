#ifndef BAREPAINTER_H
#define BAREPAINTER_H

class QFont;
class QImage;
class QPixmap;
class QString;

// The MCU screen at 800x480 drawn step by step by a bare painter over what the
// image holds: the picture dimmed (black without one), the status line, the
// percent and the captions, the grey track and the white arc.
void paintMcuScreen(QImage *image, const QFont &font, const QPixmap *picture, int percent,
                    const QString &status, const QString &upper, const QString &lower);

#endif // BAREPAINTER_H
