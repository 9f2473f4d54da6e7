#include "deviceroot.h"

QString DeviceRoot::path(const QString &devicePath)
{
    // Read on every call: a test may change the sandbox between cases.
    return QString::fromLocal8Bit(qgetenv(environmentVariable())) + devicePath;
}
