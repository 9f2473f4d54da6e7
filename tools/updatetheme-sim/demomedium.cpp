#include "demomedium.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace {

// The firmware version a made "mcu.bin" names in its first line.
const char mcuVersion[] = "MCU_2.2.0";

bool writeFile(const QString &path, const QByteArray &contents)
{
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

// A recognisable filler, so that a copied file can be told from an empty one.
QByteArray filler(int size, char seed)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(seed + i % 61);
    return bytes;
}

// A picture that says what it is, so that a written boot logo can be recognised.
bool writePicture(const QString &path, const QSize &size, const QColor &top, const QColor &bottom)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient fill(0, 0, 0, size.height());
    fill.setColorAt(0, top);
    fill.setColorAt(1, bottom);
    painter.fillRect(image.rect(), fill);
    painter.setPen(QPen(QColor(0xf0, 0xa0, 0x30), qMax(2, size.height() / 40)));
    painter.setBrush(Qt::NoBrush);
    const int side = size.height() / 2;
    painter.drawEllipse(QRect((size.width() - side) / 2, (size.height() - side) / 2, side, side));
    painter.end();
    return QDir().mkpath(QFileInfo(path).path()) && image.save(path);
}

} // namespace

bool DemoMedium::isContent(const QString &content)
{
    return content == QLatin1String("upgrade") || content == QLatin1String("customisation")
        || content == QLatin1String("empty");
}

bool DemoMedium::create(const QString &directory, const QString &content, const QJsonObject &files,
                        QString *error)
{
    if (!isContent(content)) {
        *error = QStringLiteral("unknown medium content \"%1\"").arg(content);
        return false;
    }
    bool written = QDir().mkpath(directory);
    if (written && content == QLatin1String("upgrade"))
        written = writeUpgradeFiles(directory);
    else if (written && content == QLatin1String("customisation"))
        written = writeCustomisation(directory);

    for (auto file = files.constBegin(); written && file != files.constEnd(); ++file) {
        const QString path = QDir(directory).filePath(file.key());
        if (file.value().isNull())
            written = !QFileInfo::exists(path) || QFile::remove(path);
        else
            written = writeFile(path, filler(file.value().toInt(), 'F'));
    }
    if (!written)
        *error = QStringLiteral("cannot make the medium in %1").arg(directory);
    return written;
}

bool DemoMedium::writeUpgradeFiles(const QString &directory)
{
    const QDir medium(directory);
    QByteArray mcuImage = QByteArray(mcuVersion) + '\n';
    mcuImage += filler(64 * 1024 - mcuImage.size(), 'M');
    return writeFile(medium.filePath("ISPBOOOT.BIN"), filler(512 * 1024, 'S'))
        && writeFile(medium.filePath("ORBITA_PACK.BIN"), filler(256 * 1024, 'P'))
        && writeFile(medium.filePath("mcu.bin"), mcuImage);
}

bool DemoMedium::writeCustomisation(const QString &directory)
{
    const QDir medium(directory);
    const QByteArray keyMap = "# key code -> function\n0x0110003F prev\n0x01100040 next\n";
    return writeFile(medium.filePath("touch_conf"), "calibration=1024,1024,0,0\n")
        && writeFile(medium.filePath("Factory.ini"), "[Factory]\nSupportQuickUpgrade=true\n")
        && writeFile(medium.filePath("SETUPMENU.ini"), "[Menu]\nBrightness=7\n")
        && writeFile(medium.filePath("UserData.ini"), "[User]\nLanguage=en\n")
        && writeFile(medium.filePath("touch_keys"), keyMap) && writeFile(medium.filePath("ir_keys"), keyMap)
        && writeFile(medium.filePath("physical_keys"), keyMap)
        && writeFile(medium.filePath("direction.json"), "{\"steering\": \"left\"}\n")
        && writePicture(medium.filePath("logo.jpg"), QSize(800, 480), QColor(0x20, 0x30, 0x60), Qt::black)
        && writeFile(medium.filePath("runtime.cfg"), "volume=12\n")
        && writeFile(medium.filePath("device_install"), "installed=factory\n")
        && writePicture(medium.filePath("icon/navigation.png"), QSize(64, 64), Qt::darkCyan, Qt::black)
        && writePicture(medium.filePath("icon/music.png"), QSize(64, 64), Qt::darkMagenta, Qt::black)
        && writePicture(medium.filePath("bootAnimatiom/frame_000.png"), QSize(160, 96), Qt::darkBlue,
                        Qt::black)
        && writePicture(medium.filePath("bootAnimatiom/frame_001.png"), QSize(160, 96), Qt::blue, Qt::black)
        && writePicture(medium.filePath("wallpapers/night.png"), QSize(200, 120), Qt::darkGray, Qt::black)
        && writePicture(medium.filePath("logo/logo_customer.png"), QSize(400, 240), Qt::darkGreen, Qt::black)
        && writeFile(medium.filePath("languages/en.json"), "{\"hello\": \"Hello\"}\n")
        && writePicture(medium.filePath("CarHome.png"), QSize(200, 120), Qt::darkRed, Qt::black);
}
