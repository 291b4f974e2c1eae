#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

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

// Checks every table in dataDir first: a damaged one stops the backup with
// BackupError before anything in targetDir changes. Then copies every backup
// file from dataDir into targetDir, in order, each while
// its table is held still, so every copy is a consistent table although the
// program keeps its tables open. The old marker goes first, the new one is
// written last. Stops at the first failure (BackupError); what was copied
// before stays.
void copyBackupSet(const QString& dataDir, const QString& targetDir, const QDateTime& now);

} // namespace backup
