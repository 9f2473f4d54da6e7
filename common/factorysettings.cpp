#include "factorysettings.h"

#include "datasavecontrol.h"

bool FactorySettings::quickUpgrade()
{
    return DataSaveControl::readFactoryData(QStringLiteral("SupportQuickUpgrade"), QVariant(false)).toBool();
}

bool FactorySettings::factoryCustom()
{
    return DataSaveControl::readFactoryData(QStringLiteral("SupportFactoryCustom"), QVariant(false)).toBool();
}
