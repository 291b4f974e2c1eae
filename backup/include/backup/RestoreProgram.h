#pragma once

#include <QString>
#include <QStringList>

namespace backup {

// What the restore program is asked to do: `pelmir-restore [--workdir DIR] [--arj]`.
struct RestoreRequest {
    QString workDir;
    bool fromFloppy = false; // from the floppy's archive, else from `Zaloha`
    QString mainProgram;     // started again on the working directory at the end
    int lockWaitMs = 10000;  // the program that started the restore may still be closing
    QString error;           // a bad argument, in Czech
};
RestoreRequest parseRestoreArguments(const QStringList& arguments, const QString& currentDir);

// The restore program, with the platform services installed: checks the
// backup, asks once, puts the tables back into `Data` (the replaced ones kept
// in a dated folder) and starts the main program again. Returns the exit code.
int runRestore(const RestoreRequest& request);

} // namespace backup
