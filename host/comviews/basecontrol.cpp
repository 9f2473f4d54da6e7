#include "basecontrol.h"

#include <QtDebug>

BaseControl *BaseControl::getInstance()
{
    static BaseControl control;
    return &control;
}

QString BaseControl::getSoftwareVersion()
{
    return m_softwareVersion;
}

const QPixmap *BaseControl::getBackgroundPixmap() const
{
    return m_background.isNull() ? nullptr : &m_background;
}

void BaseControl::setSoftwareVersion(const QString &version)
{
    m_softwareVersion = version;
}

void BaseControl::setBackgroundPicture(const QString &path)
{
    m_background = path.isEmpty() ? QPixmap() : QPixmap(path);
    if (!path.isEmpty() && m_background.isNull())
        qWarning() << "BaseControl: cannot load the background picture" << path;
}
