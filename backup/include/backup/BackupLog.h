#pragma once

#include <QTime>

#include <string>

namespace store {
class Cursor;
}

namespace backup {

// Which backup a log entry records: its time goes into `Čas` for floppies
// and into `ČasDisk` for the disk.
enum class BackupKind { Floppy, Disk };
std::string timeField(BackupKind kind);

// Logs a backup: opens the log if it is closed, starts a new record at the
// current position (an insertion, not an append), sets the kind's time field
// to `now` in whole seconds and saves. `Datum` is the table's own default.
// A failure drops the new record and passes the store's error on.
void logBackup(store::Cursor& log, BackupKind kind, const QTime& now);

} // namespace backup
