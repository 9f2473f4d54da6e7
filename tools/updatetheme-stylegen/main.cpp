// updatetheme-stylegen paints the pictures of the screens' style (see
// stylepainter.h) and writes them as PNG files. The committed pictures in
// resources/style0/ are its output; after a change to the painting run
//
//   cmake --build build --target updatetheme-stylegen
//   build/tools/updatetheme-stylegen/updatetheme-stylegen resources/style0
//
// and commit the pictures together with the change. With --check it paints
// the pictures and compares them with those in a folder instead, so that the
// test suite notices pictures that no longer match their generator.
#include "stylepainter.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <cstdlib>

namespace {

// Painting differs in the last bit between processors' blending code.
const int channelTolerance = 3;

bool samePicture(const QImage &painted, const QImage &stored)
{
    if (painted.size() != stored.size())
        return false;
    const QImage first = painted.convertToFormat(QImage::Format_ARGB32);
    const QImage second = stored.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < first.height(); ++y) {
        const QRgb *a = reinterpret_cast<const QRgb *>(first.constScanLine(y));
        const QRgb *b = reinterpret_cast<const QRgb *>(second.constScanLine(y));
        for (int x = 0; x < first.width(); ++x) {
            if (std::abs(qRed(a[x]) - qRed(b[x])) > channelTolerance
                || std::abs(qGreen(a[x]) - qGreen(b[x])) > channelTolerance
                || std::abs(qBlue(a[x]) - qBlue(b[x])) > channelTolerance
                || std::abs(qAlpha(a[x]) - qAlpha(b[x])) > channelTolerance)
                return false;
        }
    }
    return true;
}

int write(const QDir &folder, QTextStream &err)
{
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        err << "updatetheme-stylegen: cannot create " << folder.path() << "\n";
        return 1;
    }
    for (const StylePainter::Picture &picture : StylePainter::paintAll()) {
        const QString file = folder.filePath(picture.fileName);
        if (!picture.image.save(file, "PNG")) {
            err << "updatetheme-stylegen: cannot write " << file << "\n";
            return 1;
        }
    }
    return 0;
}

int check(const QDir &folder, QTextStream &err)
{
    int differing = 0;
    for (const StylePainter::Picture &picture : StylePainter::paintAll()) {
        const QString file = folder.filePath(picture.fileName);
        const QImage stored(file);
        if (stored.isNull()) {
            err << "missing or unreadable: " << file << "\n";
            ++differing;
        } else if (!samePicture(picture.image, stored)) {
            err << "differs from its generator: " << file << "\n";
            ++differing;
        }
    }
    return differing == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() == 1 && !arguments.first().startsWith(QLatin1Char('-')))
        return write(QDir(arguments.first()), err);
    if (arguments.size() == 2 && arguments.first() == QLatin1String("--check"))
        return check(QDir(arguments.at(1)), err);
    err << "usage: updatetheme-stylegen FOLDER          paint the style pictures into FOLDER\n"
           "       updatetheme-stylegen --check FOLDER  compare FOLDER's pictures with freshly painted "
           "ones\n";
    return 2;
}
