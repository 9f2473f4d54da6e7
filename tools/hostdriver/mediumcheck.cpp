#include "mediumcheck.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

QString MediumCheck::deviceName(int device)
{
    static const char *const names[] = {"USB0", "USB1", "SD0", "SD1"};
    return device >= 0 && device < 4 ? QLatin1String(names[device]) : QString();
}

MediumCheck::Verdict MediumCheck::check(int device, const QString &mountDirectory, const QString &fileName)
{
    Verdict verdict;
    const QString medium = deviceName(device);
    if (mountDirectory.isEmpty()) {
        verdict.text3 = medium.isEmpty() ? QStringLiteral("No medium inserted")
                                         : QStringLiteral("%1 is not inserted").arg(medium);
        return verdict;
    }
    // The medium as the user knows it: its name and the label its folder is mounted under.
    const QString where = QStringLiteral("%1 (%2)").arg(medium, QFileInfo(mountDirectory).fileName());
    const QFileInfo file(mountDirectory + QLatin1Char('/') + fileName);
    if (!file.isFile()) {
        verdict.text1 = QStringLiteral("%1 not found").arg(fileName);
        verdict.text3 = QStringLiteral("No %1 on %2").arg(fileName, medium);
    } else if (file.size() == 0) {
        verdict.text1 = QStringLiteral("%1, 0 bytes").arg(fileName);
        verdict.text3 = QStringLiteral("%1 on %2 is empty").arg(fileName, medium);
    } else {
        verdict.valid = true;
        verdict.text1 = QStringLiteral("%1, %2 KB").arg(fileName).arg((file.size() + 1023) / 1024);
        verdict.text3 = QStringLiteral("Upgrade package found on %1").arg(medium);
    }
    verdict.text2 = QStringLiteral("on %1").arg(where);
    return verdict;
}

QString MediumCheck::firmwareLabel(const QString &imagePath)
{
    QFile image(imagePath);
    if (image.open(QIODevice::ReadOnly)) {
        const QString firstLine = QString::fromLatin1(image.readLine(64)).trimmed();
        if (QRegularExpression(QStringLiteral("^[A-Za-z0-9_.-]{3,40}$")).match(firstLine).hasMatch())
            return firstLine;
    }
    return QFileInfo(imagePath).fileName();
}
