// The logo writer over a fuzzed partition and picture. The input's first
// bytes choose the partition's size, the width and height in its header, a
// stale staging file and a driver request to refuse; the rest is the picture.
#include "driverfault.h"
#include "fuzzsupport.h"
#include "logorecord.h"
#include "logowriter.h"
#include "mediatree.h"
#include "sandbox.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QFile>
#include <QImage>

#include <mtd/mtd-user.h>
#include <sys/ioctl.h>

namespace {

const QString partitionPath = QStringLiteral("/dev/mtd14");
const QString stagingPath = QStringLiteral("/media/flash/userdata/logo.txt");
const QString picturePath = QStringLiteral("/media/flash/nvm/logo.jpg");

bool validHeader(const QByteArray &partition, quint32 width, quint32 height)
{
    return partition.size() >= 68 && width > 0 && height > 0 && quint64(width) * height * 4 <= (16u << 20);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // One device for the run, removed at its end; each input rewrites its files.
    static Sandbox sandbox;
    FuzzedDataProvider input(data, size);
    const int record = int(LogoRecord::size);
    const int partitionSize = input.ConsumeBool() ? input.ConsumeIntegralInRange(0, 4096)
                                                  : record + input.ConsumeIntegralInRange(0, 4096);
    const quint32 width = input.ConsumeIntegral<quint32>();
    const quint32 height = input.ConsumeIntegral<quint32>();
    const QByteArray before = logoPartition(partitionSize, width, height);
    sandbox.writeFile(partitionPath, before);
    QFile::remove(sandbox.path(stagingPath));
    if (input.ConsumeBool())
        sandbox.writeFile(stagingPath, "stale");
    const unsigned long refusable[] = {0, MEMGETINFO, MEMERASE};
    refuseDriverRequest(input.PickValueInArray(refusable));
    const std::vector<char> picture = input.ConsumeRemainingBytes<char>();
    const QString pictureFile
        = sandbox.writeFile(picturePath, QByteArray(picture.data(), int(picture.size())));
    Fuzz::takeCommands();
    const int erasesBefore = driverRequestCount(MEMERASE);

    LogoWriter().write(pictureFile);

    const QByteArray after = readDevice(sandbox, partitionPath);
    if (driverRequestCount(MEMERASE) != erasesBefore)
        Fuzz::check(validHeader(before, width, height) && !QImage(pictureFile).isNull(),
                    QStringLiteral("erased for an invalid header or a picture that cannot be read"));
    const QString device = sandbox.path(partitionPath);
    const QString staging = sandbox.path(stagingPath);
    const auto copy = [](const QString &from, const QString &to) {
        return QStringLiteral("dd if=%1 of=%2 bs=2048c count=1500").arg(from, to).toUtf8();
    };
    for (const QByteArray &command : Fuzz::takeCommands())
        Fuzz::check(command == copy(device, staging) || command == copy(staging, device),
                    "a command other than the record's copies: " + command);
    Fuzz::check(after.size() <= qMax(before.size(), record), QStringLiteral("written past the record"));
    Fuzz::check(after.mid(record) == before.mid(record)
                    || after.mid(record).count(char(0xFF)) == after.size() - record,
                QStringLiteral("what lies behind the record changed other than by the erase"));
    const int header = int(LogoRecord::pixelOffset);
    Fuzz::check(after.left(qMin(header, before.size())) == before.left(header),
                QStringLiteral("the record's header was not carried over"));
    Fuzz::check(!QFile::exists(staging), QStringLiteral("the staging file was left"));
    Fuzz::takeWarnings();
    return 0;
}
