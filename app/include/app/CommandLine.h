#pragma once

#include <QString>
#include <QStringList>

namespace app {

// `pelmir [--workdir DIR] [document]`: without --workdir, workDir is the
// current directory (chooseWorkDir() decides where the program works); the
// first plain argument is the editor's document.
// `pelmir --import FILE [--conflicts skip|replace|keep] [--password P]` and
// `pelmir --export FILE [--encoding windows-1250]` move data in or out
// without opening a window.
struct CommandLine {
    QString workDir;
    bool workDirGiven = false; // --workdir was on the command line
    QString document;
    QString importPath;
    QString exportPath;
    QString conflicts = QStringLiteral("skip");
    QString encoding;  // of a CSV export: empty (UTF-8) or "windows-1250"
    QString password;  // of old encrypted tables
    QString error; // not empty when the arguments cannot be understood

    bool isTransfer() const { return !importPath.isEmpty() || !exportPath.isEmpty(); }
};

// `arguments` without the program name.
CommandLine parseCommandLine(const QStringList& arguments, const QString& currentDir);

} // namespace app
