#include "styleimage.h"

#include "deviceroot.h"

#include <QImage>

QImage *StyleImage::load(const char *name)
{
    return new QImage(
        DeviceRoot::path(QStringLiteral("/application/resource/update/style0/") + QLatin1String(name)));
}

void StyleImage::release(QImage *&image)
{
    delete image;
    image = nullptr;
}
