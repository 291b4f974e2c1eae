#include "backup/BackupSet.h"

#include "BackupTexts.h"
#include "backup/FileCopy.h"

#include "store/Catalogue.h"
#include "store/Errors.h"
#include "store/TableCheck.h"
#include "store/TableFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <optional>
#include <vector>

namespace backup {

namespace {

const QString kManifestHeader = QStringLiteral("# Pelmir a telefony: záloha tabulek");
const QString kTakenKey = QStringLiteral("taken");
const QString kFileKey = QStringLiteral("file");

} // namespace

const QStringList& backupTables()
{
    static const QStringList tables = {
        QStringLiteral("Cas.db"),     QStringLiteral("Dat.DB"),      QStringLiteral("Datp.db"),
        QStringLiteral("Datz.db"),    QStringLiteral("Psc.DB"),      QStringLiteral("Spzzem.db"),
        QStringLiteral("Svatek.db"),  QStringLiteral("TelefCR.DB"),  QStringLiteral("TelefSvt.DB"),
        QStringLiteral("Vyrob.db"),   QStringLiteral("Zaloha.db"),   QStringLiteral("Data.DB"),
        // The sync state, so that a restored address book goes on syncing.
        QStringLiteral("Synchro.DB"),
    };
    return tables;
}

QList<BackupFile> backupFiles()
{
    QList<BackupFile> files;
    for (const QString& table : backupTables()) {
        const store::TableDef* def = store::findTableDef(table.toStdString());
        // The list above names only tables of the catalogue.
        Q_ASSERT(def);
        for (const std::string& name : store::tableFiles(*def))
            files.append({table, QString::fromStdString(name)});
    }
    return files;
}

void writeManifest(const QString& dir, const Manifest& manifest)
{
    const QString path = QDir(dir).filePath(kManifestName);
    QSaveFile file(path);
    QByteArray text = kManifestHeader.toUtf8() + '\n';
    text += (kTakenKey + QLatin1Char('\t') + manifest.taken.toString(Qt::ISODate)).toUtf8() + '\n';
    for (const auto& [name, size] : manifest.files)
        text += (kFileKey + QLatin1Char('\t') + name + QLatin1Char('\t') + QString::number(size)).toUtf8() + '\n';
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        throw BackupError(texts::kCannotWriteManifest.arg(path, file.errorString()));
}

std::optional<Manifest> readManifest(const QString& dir)
{
    const QString path = QDir(dir).filePath(kManifestName);
    QFile file(path);
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly))
        throw BackupError(texts::kDamagedManifest.arg(path));
    Manifest manifest;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList parts = line.split(QLatin1Char('\t'));
        bool numeric = false;
        if (parts.size() == 2 && parts[0] == kTakenKey) {
            manifest.taken = QDateTime::fromString(parts[1], Qt::ISODate);
        } else if (parts.size() == 3 && parts[0] == kFileKey && !parts[1].isEmpty()) {
            const qint64 size = parts[2].toLongLong(&numeric);
            if (!numeric || size < 0)
                throw BackupError(texts::kDamagedManifest.arg(path));
            manifest.files.append({parts[1], size});
        } else {
            throw BackupError(texts::kDamagedManifest.arg(path));
        }
    }
    if (!manifest.taken.isValid())
        throw BackupError(texts::kDamagedManifest.arg(path));
    return manifest;
}

namespace {

void observe(const BackupObserver& observer, BackupStep step, const QString& file = {})
{
    if (observer)
        observer(step, file);
}

// Moves a whole staged backup into its folder. The old marker goes first, so
// that no marker ever vouches for a mix of old and new files; the new one
// comes last. Each step can be repeated: a file already moved is not in the
// staging folder any more.
void moveStagedIn(const QString& targetDir, const BackupObserver& observer)
{
    const QDir target(targetDir);
    QDir staging(target.filePath(kStagingName));
    const QString marker = target.filePath(kManifestName);
    if (QFileInfo::exists(marker) && !QFile::remove(marker))
        throw BackupError(texts::kCannotReplaceManifest.arg(marker));
    for (const BackupFile& file : backupFiles()) {
        if (!QFileInfo::exists(staging.filePath(file.file)))
            continue;
        moveFile(staging.filePath(file.file), target.filePath(file.file));
        observe(observer, BackupStep::MovedIn, file.file);
    }
    syncDirectory(targetDir);
    moveFile(staging.filePath(kManifestName), marker);
    syncDirectory(targetDir);
    staging.removeRecursively();
    observe(observer, BackupStep::Done);
}

// Copies every table into the staging folder and checks each copy; the
// marker written there at the end makes it a whole backup. The disk writes
// the copies while they are checked; every copy is flushed before the marker.
void stageBackupSet(const QString& dataDir, const QString& stagingDir, const QDateTime& now,
                    const BackupObserver& observer)
{
    const QDir data(dataDir);
    const QDir staging(stagingDir);
    Manifest manifest;
    manifest.taken = now;
    std::vector<UnflushedCopy> copies;
    for (const BackupFile& file : backupFiles()) {
        const QString source = data.filePath(file.file);
        const QString copy = staging.filePath(file.file);
        {
            std::optional<store::FileSnapshot> still;
            try {
                still.emplace(QFile::encodeName(source).toStdString());
            } catch (const store::StoreError& error) {
                throw BackupError(texts::kCannotHoldTable.arg(source, QString::fromUtf8(error.what())));
            }
            copies.emplace_back(source, copy);
        }
        manifest.files.append({file.file, copies.back().size()});
        observe(observer, BackupStep::Copied, file.file);
    }
    // A damaged table is restored from the backup, so a damaged copy must never replace it.
    for (const auto& [name, size] : std::as_const(manifest.files)) {
        const QString copy = staging.filePath(name);
        // The page walk passes a file it cannot open and reads an empty one as
        // an empty table: a copy gone or cut short would pass as sound.
        QFile readBack(copy);
        if (!readBack.open(QIODevice::ReadOnly))
            throw BackupError(texts::kCannotOpen.arg(copy, readBack.errorString()));
        if (readBack.size() != size)
            throw BackupError(texts::kCopyCutShort.arg(copy).arg(readBack.size()).arg(size));
        readBack.close();
        const std::string damage = store::checkTablePages(QFile::encodeName(copy).toStdString());
        if (!damage.empty())
            throw BackupError(QString::fromStdString(damage));
    }
    for (UnflushedCopy& copy : copies)
        copy.flush();
    writeManifest(stagingDir, manifest);
    syncDirectory(stagingDir);
    observe(observer, BackupStep::Staged);
}

} // namespace

void finishInterruptedBackup(const QString& targetDir)
{
    const QString staging = QDir(targetDir).filePath(kStagingName);
    if (!QFileInfo(staging).isDir())
        return;
    bool whole = false;
    try {
        whole = readManifest(staging).has_value();
    } catch (const BackupError&) {
        // A marker that makes no sense was never finished by a backup.
    }
    if (whole)
        moveStagedIn(targetDir, {});
    else
        QDir(staging).removeRecursively();
}

void copyBackupSet(const QString& dataDir, const QString& targetDir, const QDateTime& now,
                   const BackupObserver& observer)
{
    if (!QFileInfo(targetDir).isDir())
        throw BackupError(texts::kNoBackupDir.arg(targetDir));
    finishInterruptedBackup(targetDir);
    QStringList missing;
    for (const BackupFile& file : backupFiles()) {
        if (!QFileInfo(QDir(dataDir).filePath(file.file)).isFile())
            missing << file.file;
    }
    if (missing.size() == 1)
        throw BackupError(texts::kBackupNotDone.arg(texts::kTableMissingInData.arg(missing.first(), dataDir)));
    if (!missing.isEmpty())
        throw BackupError(texts::kBackupNotDone.arg(
            texts::kTablesMissingInData.arg(missing.join(QStringLiteral("“, „")), dataDir)));

    const QString staging = QDir(targetDir).filePath(kStagingName);
    try {
        if (!QDir().mkdir(staging))
            throw BackupError(texts::kCannotCreateStaging.arg(staging, systemReason(errno)));
        stageBackupSet(dataDir, staging, now, observer);
    } catch (const BackupError& error) {
        QDir(staging).removeRecursively();
        throw BackupError(texts::kBackupNotDone.arg(error.message()));
    } catch (...) {
        QDir(staging).removeRecursively();
        throw;
    }
    try {
        moveStagedIn(targetDir, observer);
    } catch (const BackupError& error) {
        throw BackupError(texts::kBackupNotMovedIn.arg(staging, error.message()));
    }
}

} // namespace backup
