#ifndef SIMULATEDMEDIUM_H
#define SIMULATEDMEDIUM_H

#include <QJsonObject>
#include <QString>

// One removable medium the simulated host reports as mounted: a folder of
// the machine (--usb DIR, --sd DIR), or a medium the simulator makes in its
// session folder from a content preset and single files (scenarios and the
// built-in demo medium).
struct SimulatedMedium
{
    enum Type { Usb = 1, Sd = 2 }; // the host's media types

    Type type = Usb;
    QString directory; // an existing folder; empty for a made medium
    QString content; // preset of a made medium, see DemoMedium
    QJsonObject files; // made medium: file name -> size in bytes, or null to leave it out
    QString name; // "usb0", "sd1": its kind and place among the mounted ones of its kind

    QString kind() const { return type == Usb ? QStringLiteral("usb") : QStringLiteral("sd"); }
};

#endif // SIMULATEDMEDIUM_H
