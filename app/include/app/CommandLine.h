#pragma once

#include <QString>
#include <QStringList>

namespace app {

// `pelmir [--workdir DIR] [document]`: without --workdir, workDir is the
// current directory (chooseWorkDir() decides where the program works); the
// first plain argument is the editor's document.
struct CommandLine {
    QString workDir;
    bool workDirGiven = false; // --workdir was on the command line
    QString document;
    QString error; // not empty when the arguments cannot be understood
};

// `arguments` without the program name.
CommandLine parseCommandLine(const QStringList& arguments, const QString& currentDir);

} // namespace app
