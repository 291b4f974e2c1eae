#pragma once

#include "sound/TPCSpeaker.h"

#include <QString>

#include <functional>

namespace backup {

class TZalhForm;

// The commands of the menu "&Zálohování": backup to disk, floppy backup
// through the archiver, and the two restores, which hand over to the restore
// program and end the system.
class BackupCommands {
public:
    struct Wiring {
        TZalhForm* log = nullptr;               // logs each backup
        std::function<void()> endSystem;        // ends the program, its windows' work settled
        QString restoreProgram;                 // the restore program to start
        QString terminal;                       // a terminal for the archiver, empty for none
    };
    explicit BackupCommands(Wiring wiring);

    void ZalohaNaDiskClick();
    void ObnovaZDiskuClick();
    void ZalohaNaDisketyARJClick();
    void ObnovaZDisketARJClick();

    // Whether a disk is in the floppy drive.
    static bool DisketaVlozena();

private:
    void startRestore(const QStringList& arguments);

    Wiring m_wiring;
    sound::TPCSpeaker m_speaker;
};

// The restore program's switch for a restore from the floppy's archive.
inline const QString kRestoreFromFloppy = QStringLiteral("--arj");
// Its option naming the program that started it, whose end it waits for.
inline const QString kRestoreWaitFor = QStringLiteral("--wait-for");

} // namespace backup
