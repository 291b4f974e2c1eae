#pragma once

#include <QString>
#include <QStringList>

namespace app {

// `pelmir [--workdir DIR] [document]`: the working directory defaults to the
// current one; the first plain argument is the editor's document.
struct CommandLine {
    QString workDir;
    QString document;
    QString error; // not empty when the arguments cannot be understood
};

// `arguments` without the program name.
CommandLine parseCommandLine(const QStringList& arguments, const QString& currentDir);

} // namespace app
