// Qt 5.0 API only, including the old overloads of what newer.cpp calls: the
// age check must stay silent.
#include <QImage>
#include <QTimer>

int pixelBytes(const QImage &image)
{
    return image.bytesPerLine() * image.height();
}

void later(QObject *target)
{
    QTimer::singleShot(0, target, SLOT(deleteLater()));
}
