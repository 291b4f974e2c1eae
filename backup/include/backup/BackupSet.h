#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace backup {

// One file of a backup: its table and its name, the same in `Data` and in
// the backup.
struct BackupFile {
    QString table;
    QString file;
    bool operator==(const BackupFile&) const = default;
};

// The tables in the order every backup copies them (not the catalogue's).
const QStringList& backupTables();
// Their files, table by table, as the store names them.
QList<BackupFile> backupFiles();

// Written into a backup once every file is in it: when it was taken and each
// file's size. A backup without it did not finish, and a file of another size
// was changed or cut short since.
inline const QString kManifestName = QStringLiteral("obsah-zalohy.txt");
struct Manifest {
    QDateTime taken;
    QList<QPair<QString, qint64>> files;
};
void writeManifest(const QString& dir, const Manifest& manifest);
// nullopt when there is none; BackupError when it cannot be read or makes no sense.
std::optional<Manifest> readManifest(const QString& dir);

// The folder inside a backup folder where a new backup is put together; the
// backup in the folder itself stays whole until this one is complete.
inline const QString kStagingName = QStringLiteral(".nova");

// The moments of a backup, for the tests that stop it at each one.
enum class BackupStep {
    Copied,  // one table copied into the staging folder
    Staged,  // every copy checked and on the disk, its marker written: the new backup is whole
    MovedIn, // one file moved from the staging folder into the backup folder
    Done,    // the new marker in place and the staging folder gone
};
using BackupObserver = std::function<void(BackupStep step, const QString& file)>;

// Makes a new backup of every table in dataDir in targetDir (an existing
// folder). Every table must be there before anything is copied. The copies
// are made in targetDir's staging folder, each while its table is held
// still, so every copy is a consistent table although the program keeps its
// tables open; each copy is checked and flushed to the disk. Only then do
// they replace the previous backup's files, the marker last. Any failure
// before that point leaves the previous backup as it was (BackupError); one
// after it is completed by the next backup or restore.
void copyBackupSet(const QString& dataDir, const QString& targetDir, const QDateTime& now,
                   const BackupObserver& observer = {});

// Completes a backup that was stopped while its files were moving in, or
// drops one that was stopped before it was whole. Every backup and restore
// does this first. BackupError when a file cannot be moved.
void finishInterruptedBackup(const QString& targetDir);

} // namespace backup
