#pragma once

#include "backup/Restore.h"

#include <QString>
#include <QStringList>

namespace backup {

// What the restore program is asked to do:
// `pelmir-restore [--workdir DIR] [--arj] [--wait-for PID]`.
struct RestoreRequest {
    QString workDir;
    bool fromFloppy = false; // from the floppy's archive, else from `Zaloha`
    QString mainProgram;     // started again on the working directory at the end
    // The program that started the restore and is ending: the restore waits
    // for it to let go of the data, at most lockWaitMs. Started by hand (0),
    // the restore refuses at once while the program works on the data.
    qint64 waitFor = 0;
    int lockWaitMs = 60000;
    QString error; // a bad argument, in Czech
    RestoreObserver observer; // sees each step of the swap (tests stop it there)
};
RestoreRequest parseRestoreArguments(const QStringList& arguments, const QString& currentDir);

// The restore program, with the platform services installed: checks the
// backup, asks once, puts the tables back into `Data` (the replaced ones kept
// in a dated folder) and starts the main program again. Returns the exit code.
int runRestore(const RestoreRequest& request);

// A message that advises a restore through the menu, for when the menu
// cannot be reached (the program did not start): the advice names the
// restore program instead, with the command that starts it on `workDir`.
// Other messages stay as they are.
QString withRestoreProgramAdvice(const QString& message, const QString& restoreProgram, const QString& workDir);

} // namespace backup
