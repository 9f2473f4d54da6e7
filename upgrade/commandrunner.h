#ifndef COMMANDRUNNER_H
#define COMMANDRUNNER_H

class QString;

// Runs the shell commands of the media import and the logo writer. A command
// is built from a template whose placeholders take paths; the shell runs it
// and the caller waits, without looking at its exit status.
//
// Paths come from removable media, whose mount directories are often named
// after volume labels. An ordinary path (ASCII letters, digits and "/._-+,:@")
// is inserted exactly as it stands, so the commands read as the templates do;
// any other path is single-quoted, so that blanks, shell metacharacters or a
// foreign volume label can neither split the command nor run anything else.
// The command is Latin-1 when every path is ordinary, otherwise it is in the
// file-name encoding so that the quoted paths reach the file system intact.
namespace CommandRunner {

void run(const QString &commandTemplate, const QString &path);
void run(const QString &commandTemplate, const QString &first, const QString &second);

bool isOrdinary(const QString &path);

} // namespace CommandRunner

#endif // COMMANDRUNNER_H
