#include "backup/BackupLog.h"

#include "store/Cursor.h"

namespace backup {

std::string timeField(BackupKind kind)
{
    return kind == BackupKind::Floppy ? "Čas" : "ČasDisk";
}

void logBackup(store::Cursor& log, BackupKind kind, const QTime& now)
{
    if (!log.isActive())
        log.open();
    log.insert();
    try {
        // Through the text form, which drops the fractions of a second.
        log.setText(timeField(kind), now.toString(QStringLiteral("hh:mm:ss")).toStdString());
        log.post();
    } catch (...) {
        log.cancel();
        throw;
    }
}

} // namespace backup
