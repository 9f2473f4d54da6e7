#ifndef FUZZSUPPORT_H
#define FUZZSUPPORT_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// What the fuzz targets share: the application they run in, the check that
// ends a run on a broken invariant, and the shell commands the plugin ran.
// Before the first input (LLVMFuzzerInitialize) the application is made on
// the offscreen platform; the plugin's own records are dropped, and any
// warning is kept for takeWarnings().
namespace Fuzz {

// Ends the run when an invariant does not hold: libFuzzer keeps the input.
void check(bool holds, const QString &invariant);

QStringList takeWarnings();
// The commands run since the last call.
QList<QByteArray> takeCommands();

// The paths in a command as the shell reads them: every word but the
// program, its options and dd's sizes, those of dd without "if=" or "of=".
QStringList commandPaths(const QByteArray &command);
// Whether path, its "." and ".." resolved, lies in one of the folders.
bool inside(const QString &path, const QStringList &folders);

} // namespace Fuzz

#endif // FUZZSUPPORT_H
