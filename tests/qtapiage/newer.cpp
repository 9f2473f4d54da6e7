// Qt API the device's Qt 5.3 lacks: the age check must flag both uses.
#include <QImage>
#include <QTimer>

qint64 pixelBytes(const QImage &image)
{
    return image.sizeInBytes();
}

void later(QObject *target)
{
    QTimer::singleShot(0, [target] { target->deleteLater(); });
}
