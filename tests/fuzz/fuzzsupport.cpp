#include "fuzzsupport.h"

#include "commandlog.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <cstdlib>

namespace {

QStringList warnings;
QList<QByteArray> commands;

void keepWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg || (context.file && qstrcmp(context.file, "update") == 0))
        return;
    warnings << message;
    fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(keepWarnings);
    new QApplication(argc, argv);
    QObject::connect(CommandLog::instance(), &CommandLog::commandFinished,
                     [](const QByteArray &command) { commands << command; });
    return 0;
}

void Fuzz::check(bool holds, const QString &invariant)
{
    if (holds)
        return;
    fprintf(stderr, "invariant broken: %s\n", qPrintable(invariant));
    abort();
}

QStringList Fuzz::takeWarnings()
{
    QStringList taken;
    taken.swap(warnings);
    return taken;
}

QList<QByteArray> Fuzz::takeCommands()
{
    QList<QByteArray> taken;
    taken.swap(commands);
    return taken;
}

QStringList Fuzz::commandPaths(const QByteArray &command)
{
    QStringList words = {QString()};
    bool quoted = false;
    const QString text = QFile::decodeName(command);
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (c == QLatin1Char('\\') && !quoted && i + 1 < text.size())
            words.last() += text.at(++i);
        else if (c == QLatin1Char(' ') && !quoted)
            words << QString();
        else
            words.last() += c;
    }
    // The program, its options and dd's sizes aside, every word is a path.
    QStringList paths;
    for (QString word : words.mid(1)) {
        if (word.startsWith(QLatin1Char('-')) || word.startsWith(QLatin1String("bs="))
            || word.startsWith(QLatin1String("count=")))
            continue;
        if (word.startsWith(QLatin1String("if=")) || word.startsWith(QLatin1String("of=")))
            word.remove(0, 3);
        paths << word;
    }
    return paths;
}

bool Fuzz::inside(const QString &path, const QStringList &folders)
{
    const QString clean = QDir::cleanPath(path);
    for (const QString &folder : folders) {
        const QString root = QDir::cleanPath(folder);
        if (clean == root || clean.startsWith(root + QLatin1Char('/')))
            return true;
    }
    return false;
}
