#ifndef LOGOWRITER_H
#define LOGOWRITER_H

#include <QFile>
#include <QString>

class QImage;

// Writes a picture into the boot-logo partition. The partition's logo record
// is copied to a staging file, the picture is scaled to the size the record
// prescribes and written into it, the partition is erased and the staging
// file copied back, then compared with what the partition holds. Outcomes go
// to the debug log only.
class LogoWriter
{
public:
    LogoWriter();

    void write(const QString &imgPath);

private:
    Q_DISABLE_COPY(LogoWriter)

    // The picture at imgPath; null when there is none to read, or when it is
    // too large to decode, which *tooLarge then tells.
    static QImage loadPicture(const QString &imgPath, bool *tooLarge);

    void removeStaleStaging();
    // Copies the partition's record to the staging file and opens it.
    bool stageRecord();
    // Writes the picture into the staged record, scaled to its size.
    bool stagePicture(QImage picture);
    bool erasePartition();
    void writeBack();

    const QString m_device;
    QFile m_staging;
};

#endif // LOGOWRITER_H
