#ifndef BASECONTROL_H
#define BASECONTROL_H

#include <QPixmap>
#include <QString>

// Facts about the device: its software version and the background picture
// that full-screen views draw behind themselves.
class BaseControl
{
public:
    static BaseControl *getInstance();

    QString getSoftwareVersion();
    // The background picture, or null when the host has none.
    const QPixmap *getBackgroundPixmap() const;

    // Host side.
    void setSoftwareVersion(const QString &version);
    // Loads the picture from a file; an empty or unreadable path leaves no picture.
    void setBackgroundPicture(const QString &path);

private:
    BaseControl() = default;

    QString m_softwareVersion;
    QPixmap m_background;
};

#endif // BASECONTROL_H
