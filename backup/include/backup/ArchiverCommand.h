#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace backup {

// The archiver's command line: the saved directory, followed directly (no
// separator added) by the fixed text that archives every file of `Data`
// onto the floppy as "arpelmir" in volumes of 1440 KB.
QString archiverCommandLine(const QString& directory);

// Where the command line's drives and names lie on this machine.
struct ArchiverPlaces {
    QString floppy;     // "a:", the floppy drive's mount point
    QString workDrive;  // "c:", the archiver's work folder for its temporary archive
    QString workDir;    // a relative archiver directory lies here (the working directory)
    QString currentDir; // the archiver runs here: relative names ("data\*.*") are found here
    // A file made just before the archiver starts. The command that clears a
    // disk before each volume spares what is newer than it, so a drive that
    // is a plain folder keeps the volumes of this run.
    QString stamp;
};

// A program with its arguments, ready for the process seam.
struct ProcessLaunch {
    QString program;
    QStringList arguments;
    QString workingDirectory;
    bool operator==(const ProcessLaunch&) const = default;
};

// Finds the archiver in the saved directory as the user typed it (in
// capitals, perhaps with backslashes and a drive letter): each folder is
// matched without regard to case, and "ARJ.EXE" is an executable named
// arj.exe or, as Debian installs it, arj. Empty when there is none.
QString findArchiverProgram(const QString& directory, const ArchiverPlaces& places);

// The command line as the archiver here takes it: the program found in the
// directory, and the fixed text's arguments with "a:" and "c:" mapped,
// backslashes turned into slashes, names matched without regard to case, and
// the volume command "del" done by `find`. nullopt without a program.
std::optional<ProcessLaunch> archiverLaunch(const QString& commandLine, const QString& directory,
                                            const ArchiverPlaces& places);

// Runs the archiver through the shell, which removes `removeAfter` (the
// folder the archive was made from) when the archiver ends. With a terminal
// the archiver runs in its window, where the user sees its progress, answers
// its questions (the next volume) and closes it with Enter.
ProcessLaunch inArchiverWindow(const ProcessLaunch& archiver, const QString& terminal,
                               const QString& removeAfter);

// Text quoted for the POSIX shell.
QString shellQuoted(const QString& text);

} // namespace backup
