#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

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

// Puts the staged tables into `dataDir`. The files they replace, with any
// journal beside them, first move into `replacedFolder` (created inside
// `dataDir`); then each restored table must open. When anything fails every
// file goes back where it was and BackupError follows.
void replaceTables(const QString& stagingDir, const QString& dataDir, const QString& replacedFolder);

// The question the restore program asks, with the backup's contents.
QString restoreQuestion(const BackupContents& contents, const QString& replacedFolder);

// The archive a floppy backup leaves on the disk.
inline const QString kFloppyArchiveName = QStringLiteral("arpelmir.arj");

// Unpacks the archive with the archiver into `targetDir` (waiting for it);
// the tables are then in its folder `Data`. BackupError when the archiver fails.
void extractArchive(const QString& archiver, const QString& archive, const QString& targetDir);

} // namespace backup
