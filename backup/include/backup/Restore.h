#pragma once

#include "backup/FileCopy.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <functional>

namespace backup {

// What a backup holds: when it was taken and the records of each table.
struct TableCount {
    QString table;
    QString file;
    int records = 0;
};
struct BackupContents {
    QDateTime taken;
    QList<TableCount> tables;
};

// Checks a backup folder and copies its tables into `stagingDir` (an empty
// folder on the disk of `Data`): the marker of a finished backup must name
// every file with its size, and each copy must open as its table. Only the
// table files are taken, never a journal beside them. Throws BackupError
// saying what is wrong; `Data` is not touched.
BackupContents stageBackup(const QString& backupDir, const QString& stagingDir);

// The folder inside `Data` that a restore at `now` moves the replaced files into.
QString replacedFolderName(const QDateTime& now);

// The moments of the swap, for the tests that stop it at each one.
enum class RestoreStep {
    Recorded, // what the swap will move is written down beside the tables
    MovedOut, // one replaced file moved into the replaced folder
    MovedIn,  // one restored table moved into `Data`
    Checked,  // every restored table opens
    Done,     // the record is gone: the restore counts as made
};
using RestoreObserver = std::function<void(RestoreStep step, const QString& file)>;

// Puts the staged tables into `dataDir`. What it will move is written down
// first (undoInterruptedRestore reads it); the files they replace, with any
// journal beside them, move into `replacedFolder` (created inside
// `dataDir`); then each restored table must open. When anything fails every
// file goes back where it was and BackupError follows (RestoreNotUndone when
// even that fails).
void replaceTables(const QString& stagingDir, const QString& dataDir, const QString& replacedFolder,
                   const RestoreObserver& observer = {});

// A restore that could be neither finished nor undone: its message says
// where the tables are.
class RestoreNotUndone : public BackupError {
public:
    using BackupError::BackupError;
};

// Puts back what a restore stopped half way (killed, or the power went)
// had moved, from the record it wrote before its first move: the tables in
// `dataDir` are then those from before it. The next start and the next
// restore do this first. Returns the user's text when there was such a
// restore, empty when not; BackupError when it cannot be undone.
QString undoInterruptedRestore(const QString& dataDir);

// The question the restore program asks, with the backup's contents.
QString restoreQuestion(const BackupContents& contents, const QString& replacedFolder);

// The archive a floppy backup leaves on the disk.
inline const QString kFloppyArchiveName = QStringLiteral("arpelmir.arj");

// Unpacks the archive with the archiver into `targetDir` (waiting for it);
// the tables are then in its folder `Data`. BackupError when the archiver fails.
void extractArchive(const QString& archiver, const QString& archive, const QString& targetDir);

} // namespace backup
