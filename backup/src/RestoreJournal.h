#pragma once

// The record a restore writes into `Data` before its first move: what it
// will move where. A restore stopped half way (killed, or the power went) is
// undone from it by the next start or the next restore.

#include <QString>
#include <QStringList>

#include <optional>

namespace backup {

inline const QString kRestoreJournalName = QStringLiteral(".obnova-probiha");

struct RestoreJournal {
    QString replacedFolder; // in Data, where the replaced files go
    QString stagingFolder;  // in Data, where the backup's copies wait; empty when elsewhere
    QStringList replaced;   // the files in Data before the restore (tables and their journals)
    QStringList incoming;   // the tables the restore puts into Data
};

// Written whole and on the disk, or not at all (BackupError).
void writeRestoreJournal(const QString& dataDir, const RestoreJournal& journal);
// nullopt when there is none; BackupError when it cannot be read or names
// anything a restore never moves (it is then left alone).
std::optional<RestoreJournal> readRestoreJournal(const QString& dataDir);
// Removes the record: from then on the restore counts as made (or undone).
void removeRestoreJournal(const QString& dataDir);

// Puts back every file the restore moved, removes what it brought in, and
// removes the replaced folder once it is empty. Each step looks at what is
// there, so it can be stopped and run again. BackupError when a file cannot
// be moved; the record then stays for the next attempt.
void rollBackRestore(const QString& dataDir, const RestoreJournal& journal);

} // namespace backup
