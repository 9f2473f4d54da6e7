#ifndef MEDIUMCHECK_H
#define MEDIUMCHECK_H

#include <QString>

// The host's verdict on an upgrade package on one medium, in the form the
// plugin receives it: whether the package is usable, two detail lines and a
// message. A package is usable when its upgrade file exists on the medium
// and is not empty.
class MediumCheck
{
public:
    struct Verdict
    {
        bool valid = false;
        QString text1;
        QString text2;
        QString text3;
    };

    // The medium named as the confirmation screen's radios name it: "USB0",
    // "USB1", "SD0", "SD1"; empty for UnknownDevice.
    static QString deviceName(int device);

    // mountDirectory is empty when the medium is not present.
    static Verdict check(int device, const QString &mountDirectory, const QString &fileName);

    // What an MCU image says about itself: its first line when that reads as
    // a version ("MCU_2.2.0"), otherwise the file's name.
    static QString firmwareLabel(const QString &imagePath);
};

#endif // MEDIUMCHECK_H
