// Checks the simulator's screenshots of the dialog, the confirmation screen
// and the MCU screen at 45 % (the scenario screens.json, run by the test
// sim_screenshots_render) for what a driver must see: a picture, the
// captions drawn as text where the controls are, and the ring's white arc
// as far round as 45 % takes it.
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QtMath>
#include <QtTest>

#include <vector>

namespace {

// The screens centre their captions: the text is looked for that far around the centre.
const int searchX = 24;
const int searchY = 12;
// The correlation of rendered glyphs with the screenshot above which a text is present.
const double presentCorrelation = 0.9;

double luminance(QRgb pixel)
{
    return 0.299 * qRed(pixel) + 0.587 * qGreen(pixel) + 0.114 * qBlue(pixel);
}

// The text as the font draws it at a fraction of a pixel to the right,
// cropped to its ink, as coverage 0 to 255.
QImage renderText(const QString &text, const QFont &font, qreal shift)
{
    const QFontMetrics metrics(font);
    QImage canvas(metrics.boundingRect(text).size() + QSize(8, 8), QImage::Format_Grayscale8);
    canvas.fill(0);
    QPainter painter(&canvas);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(canvas.rect()).translated(shift, 0), Qt::AlignCenter, text);
    painter.end();

    QRect ink;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (canvas.pixelColor(x, y).value() > 0)
                ink |= QRect(x, y, 1, 1);
        }
    }
    return canvas.copy(ink);
}

// A screenshot's luminance, row by row.
struct Luminance
{
    explicit Luminance(const QImage &shot)
        : rect(shot.rect())
        , values(size_t(shot.width()) * size_t(shot.height()))
    {
        for (int y = 0; y < shot.height(); ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(shot.constScanLine(y));
            for (int x = 0; x < shot.width(); ++x)
                values[size_t(y) * size_t(shot.width()) + size_t(x)] = luminance(line[x]);
        }
    }
    const double *row(int y) const { return values.data() + size_t(y) * size_t(rect.width()); }

    QRect rect;
    std::vector<double> values;
};

// The best Pearson correlation of the glyphs with the screenshot's luminance
// at the positions around where a centred text stands in area.
double glyphCorrelation(const Luminance &shot, const QRect &area, const QImage &glyphs)
{
    if (glyphs.isNull())
        return 0;
    const int width = glyphs.width();
    const int height = glyphs.height();
    const int count = width * height;
    std::vector<double> glyph(count);
    double glyphMean = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            glyphMean += glyph[y * width + x] = glyphs.constScanLine(y)[x];
    }
    glyphMean /= count;
    double glyphVariance = 0;
    for (double &value : glyph) {
        value -= glyphMean;
        glyphVariance += value * value;
    }

    const QPoint centred = area.center() - QPoint(width / 2, height / 2);
    double best = -1;
    for (int dy = -searchY; dy <= searchY; ++dy) {
        for (int dx = -searchX; dx <= searchX; ++dx) {
            const QRect place(centred + QPoint(dx, dy), glyphs.size());
            if (!shot.rect.contains(place))
                continue;
            // With the glyphs centred on their mean, the covariance needs no mean of the screenshot.
            double covariance = 0, sum = 0, squares = 0;
            for (int y = 0; y < height; ++y) {
                const double *line = shot.row(place.top() + y) + place.left();
                const double *glyphLine = glyph.data() + y * width;
                for (int x = 0; x < width; ++x) {
                    const double value = line[x];
                    covariance += glyphLine[x] * value;
                    sum += value;
                    squares += value * value;
                }
            }
            const double shotVariance = squares - sum * sum / count;
            if (glyphVariance > 0 && shotVariance > 0)
                best = qMax(best, covariance / qSqrt(glyphVariance * shotVariance));
        }
    }
    return best;
}

// Widgets place their texts at fractions of a pixel: the glyphs are tried at quarter pixels.
double textCorrelation(const QImage &shot, const QRect &area, const QString &text, const QFont &font)
{
    const Luminance plane(shot);
    double best = -1;
    for (qreal shift : {0.0, 0.25, 0.5, 0.75})
        best = qMax(best, glyphCorrelation(plane, area, renderText(text, font, shift)));
    return best;
}

bool isWhite(QRgb pixel)
{
    return qRed(pixel) > 200 && qGreen(pixel) > 200 && qBlue(pixel) > 200;
}

} // namespace

class tst_Screenshots : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void showsAPicture_data();
    void showsAPicture();
    void showsCaptions_data();
    void showsCaptions();
    void captionsAreNotFoundWhereTheyAreNot();
    void mcuRingShows45Percent();

private:
    QImage screenshot(const QString &name) const;
    QJsonObject control(const QString &shot, const QString &text) const;

    QMap<QString, QJsonObject> m_shots; // screenshot name -> its journal entry
};

void tst_Screenshots::initTestCase()
{
    QFile journal(QStringLiteral(SCREENSHOT_JOURNAL));
    QVERIFY2(journal.open(QIODevice::ReadOnly), "run the test sim_screenshots_render first");
    while (!journal.atEnd()) {
        const QJsonObject entry = QJsonDocument::fromJson(journal.readLine()).object();
        if (entry.value("event").toString() == QLatin1String("screenshot"))
            m_shots.insert(QFileInfo(entry.value("file").toString()).baseName(), entry);
    }
    QCOMPARE(m_shots.keys(), (QStringList {"confirmation", "dialog", "mcu-45"}));
}

QImage tst_Screenshots::screenshot(const QString &name) const
{
    return QImage(m_shots.value(name).value("file").toString()).convertToFormat(QImage::Format_RGB32);
}

QJsonObject tst_Screenshots::control(const QString &shot, const QString &text) const
{
    for (const QJsonValue &entry : m_shots.value(shot).value("controls").toArray()) {
        if (entry.toObject().value("text").toString() == text)
            return entry.toObject();
    }
    return QJsonObject();
}

void tst_Screenshots::showsAPicture_data()
{
    QTest::addColumn<QString>("shot");
    QTest::addColumn<QString>("screen");
    QTest::newRow("dialog") << "dialog"
                            << "dialog";
    QTest::newRow("confirmation") << "confirmation"
                                  << "confirmation";
    QTest::newRow("MCU screen") << "mcu-45"
                                << "mcu";
}

void tst_Screenshots::showsAPicture()
{
    QFETCH(QString, shot);
    QFETCH(QString, screen);
    QCOMPARE(m_shots.value(shot).value("screen").toString(), screen);
    const QImage image = screenshot(shot);
    QCOMPARE(image.size(), QSize(800, 480));
    // Not blank: a spread of brightness, dark background and bright text alike.
    double sum = 0, squares = 0;
    int bright = 0;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            const double value = luminance(image.pixel(x, y));
            sum += value;
            squares += value * value;
            bright += value > 200;
        }
    }
    const int samples = (image.width() / 2) * (image.height() / 2);
    const double deviation = qSqrt(squares / samples - (sum / samples) * (sum / samples));
    QVERIFY2(deviation > 10, qPrintable(QString("deviation %1").arg(deviation)));
    QVERIFY2(bright > 100, qPrintable(QString("%1 bright samples").arg(bright)));
    // The dark theme: mostly dark.
    QVERIFY(sum / samples < 80);
}

void tst_Screenshots::showsCaptions_data()
{
    QTest::addColumn<QString>("shot");
    QTest::addColumn<QString>("text");
    QTest::newRow("dialog title") << "dialog"
                                  << "Upgrade file detected";
    QTest::newRow("dialog: part") << "dialog"
                                  << "Upgrade part";
    QTest::newRow("dialog: system") << "dialog"
                                    << "Upgrade system";
    QTest::newRow("dialog: MCU") << "dialog"
                                 << "Upgrade MCU";
    QTest::newRow("dialog: cancel") << "dialog"
                                    << "Cancel";
    QTest::newRow("confirmation title") << "confirmation"
                                        << "Upgrade system";
    QTest::newRow("confirmation: medium") << "confirmation"
                                          << "USB0";
    QTest::newRow("confirmation: host's message") << "confirmation"
                                                  << "Upgrade package found on USB0";
    QTest::newRow("confirmation: update") << "confirmation"
                                          << "Update";
    QTest::newRow("confirmation: cancel") << "confirmation"
                                          << "Cancel";
    QTest::newRow("MCU title") << "mcu-45"
                               << "Upgrade MCU";
    QTest::newRow("MCU: update, disabled") << "mcu-45"
                                           << "Update";
    QTest::newRow("MCU: cancel, disabled") << "mcu-45"
                                           << "Cancel";
}

void tst_Screenshots::showsCaptions()
{
    QFETCH(QString, shot);
    QFETCH(QString, text);
    const QJsonObject found = control(shot, text);
    QVERIFY2(!found.isEmpty(), "no such control on the screen");
    const QJsonArray rect = found.value("rect").toArray();
    const QRect area(rect.at(0).toInt(), rect.at(1).toInt(), rect.at(2).toInt(), rect.at(3).toInt());
    QFont font;
    QVERIFY(font.fromString(found.value("font").toString()));
    const double correlation = textCorrelation(screenshot(shot), area, text, font);
    QVERIFY2(correlation > presentCorrelation, qPrintable(QString("correlation %1").arg(correlation)));
}

void tst_Screenshots::captionsAreNotFoundWhereTheyAreNot()
{
    // The measure tells texts apart: a caption looked for on another control fails it.
    const QJsonObject update = control("confirmation", "Update");
    const QJsonArray rect = update.value("rect").toArray();
    const QRect area(rect.at(0).toInt(), rect.at(1).toInt(), rect.at(2).toInt(), rect.at(3).toInt());
    QFont font;
    QVERIFY(font.fromString(update.value("font").toString()));
    const QImage shot = screenshot("confirmation");
    QVERIFY(textCorrelation(shot, area, "Cancel", font) < presentCorrelation);
    QVERIFY(textCorrelation(shot, area, "USB1", font) < presentCorrelation);
    QVERIFY(textCorrelation(screenshot("dialog"), area.translated(0, -300), "Update", font)
            < presentCorrelation);
}

void tst_Screenshots::mcuRingShows45Percent()
{
    const QImage shot = screenshot("mcu-45");
    // The ring on an 800 by 480 screen: a circle of radius 90 around (400, 210),
    // its arc growing clockwise from twelve o'clock; 45 % is 162 degrees.
    const QPointF centre(400, 210);
    const double radius = 90;
    const auto onRing = [&](double degrees) {
        const double angle = qDegreesToRadians(degrees);
        return shot.pixel(
            QPoint(qRound(centre.x() + radius * qSin(angle)), qRound(centre.y() - radius * qCos(angle))));
    };
    for (double degrees : {5.0, 45.0, 90.0, 135.0, 155.0})
        QVERIFY2(isWhite(onRing(degrees)), qPrintable(QString("no white arc at %1 degrees").arg(degrees)));
    for (double degrees : {170.0, 200.0, 250.0, 300.0, 345.0})
        QVERIFY2(!isWhite(onRing(degrees)), qPrintable(QString("white arc at %1 degrees").arg(degrees)));

    // The percent in the middle of the ring, in the screen's font at 30 pixels.
    QFont font;
    QVERIFY(font.fromString(m_shots.value("mcu-45").value("screenFont").toString()));
    font.setPixelSize(30);
    const QRect ring(310, 120, 180, 180);
    const double correlation = textCorrelation(shot, ring, "45%", font);
    QVERIFY2(correlation > presentCorrelation, qPrintable(QString("correlation %1").arg(correlation)));
    QVERIFY(textCorrelation(shot, ring, "50%", font) < correlation);
}

QTEST_MAIN(tst_Screenshots)
#include "tst_screenshots.moc"
