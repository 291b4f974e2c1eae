#pragma once

#include "app/CommandLine.h"

#include <QString>

namespace app {

// The user's own working directory: $XDG_DATA_HOME/pelmir, else
// ~/.local/share/pelmir (a relative XDG_DATA_HOME is ignored, as the XDG rules say).
QString userWorkDir(const QString& xdgDataHome, const QString& homeDir);

// Whether `dir` is a working directory the program has built: its Data folder
// holds the address table.
bool holdsWorkingDirectory(const QString& dir);

// Where the program works: the --workdir given; else the current directory when
// it is a working directory (a folder made by make-datadir, started from there);
// else the user's own one, built on its first use.
struct WorkDirChoice {
    QString dir;
    bool provision = false; // build `dir` from the delivered data when it has no Data yet
};
WorkDirChoice chooseWorkDir(const CommandLine& commandLine, const QString& currentDir,
                            const QString& userDir);

// Builds the working directory `dir` from the seed files in `seedsDir`, exactly
// as make-datadir does, with an autostart entry that starts `program`; a
// directory that has its Data only gets what it lacks beside the tables (the
// entry, pictures). Never touches the user's tables. Returns the Czech message for the user when the
// directory cannot be made ready, empty on success.
// Drawing the pictures needs a display: `Pictures::Later` (an import or
// export from a script) builds the tables only, and the next start with
// windows adds the pictures.
enum class Pictures { DrawNow, Later };
QString prepareWorkDir(const QString& dir, const QString& seedsDir, const QString& program,
                       Pictures pictures = Pictures::DrawNow);

} // namespace app
