#ifndef MEDIATREE_H
#define MEDIATREE_H

#include <QByteArray>
#include <QString>

class Sandbox;

// A head unit ready for a quick upgrade: its customisation folders exist, it
// runs software KD_PLV_07 with an MCU module, has no medium mounted and has
// asked its host nothing yet.
void prepareHeadUnit(const Sandbox &sandbox);

// Logo partition bytes following a pattern, so that carried bytes can be told
// from written ones, with a header prescribing width x height when there is
// room for one.
QByteArray logoPartition(int size, quint32 width, quint32 height);

// The first recordSize bytes of the partition once picture is written: its
// pixels, stretched to the header's size unless they have it already, at byte
// 80, the padding at the end of each row cleared. The partition as it was when
// the picture cannot be loaded.
QByteArray writtenRecord(const QByteArray &before, int recordSize, const QString &picture);

// The contents of a device file, empty when it is missing.
QByteArray readDevice(const Sandbox &sandbox, const QString &devicePath);

#endif // MEDIATREE_H
