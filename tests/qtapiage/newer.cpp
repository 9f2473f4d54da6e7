// Qt API the device's Qt 5.3 lacks: the age check must flag every use.
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

QString percent(int value)
{
    return QString::asprintf("%d %%", value);
}
