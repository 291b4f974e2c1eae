#include "backup/Restore.h"

#include "BackupTexts.h"
#include "RestoreJournal.h"
#include "store/CzechText.h"
#include "RestoreTexts.h"
#include "backup/BackupSet.h"
#include "backup/FileCopy.h"

#include "store/Catalogue.h"
#include "store/Cursor.h"
#include "store/Database.h"
#include "store/Errors.h"
#include "store/TableFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>

#include <cerrno>
#include <cstdio>
#include <functional>

namespace backup {

namespace {

QString titleOf(const QString& table)
{
    for (const texts::TableTitle& entry : texts::kTableTitles) {
        if (table == QString::fromUtf8(entry.table))
            return QString::fromUtf8(entry.title);
    }
    return table;
}

QString recordsText(int count)
{
    return store::czechPlural(count, texts::kRecordsOne, texts::kRecordsFew, texts::kRecordsMany).arg(count);
}

// Why a table did not open, in the restore's own words.
QString openFailure(const std::exception& error)
{
    const auto* storeError = dynamic_cast<const store::StoreError*>(&error);
    if (!storeError)
        return texts::kTableUnreadable + QStringLiteral(" (") + QString::fromUtf8(error.what()) + QLatin1Char(')');
    switch (storeError->kind()) {
    case store::StoreError::Kind::Damaged:
    case store::StoreError::Kind::Foreign:
        return texts::kTableDamaged;
    case store::StoreError::Kind::NotFound:
        return texts::kTableMissing;
    case store::StoreError::Kind::Password:
        return texts::kTablePassword;
    case store::StoreError::Kind::Locked:
        return texts::kTableLocked;
    default:
        break;
    }
    const QString detail = QString::fromStdString(storeError->detail());
    return detail.isEmpty() ? texts::kTableUnreadable : texts::kTableUnreadable + QStringLiteral(" (") + detail + QLatin1Char(')');
}

// Opens every backup table in `dir` as the program would; `opened` sees each
// table's cursor, and `failed` turns the store's error into the caller's.
void openEachTable(const QString& dir, const std::function<void(const QString&, store::Cursor&)>& opened,
                   const std::function<QString(const QString&, const QString&)>& failed)
{
    store::Database database(QFile::encodeName(dir).toStdString());
    database.registerPassword(store::dataTablesPassword());
    for (const QString& table : backupTables()) {
        try {
            store::Cursor cursor(database, table.toStdString());
            cursor.open();
            opened(table, cursor);
        } catch (const std::exception& error) {
            throw BackupError(failed(table, openFailure(error)));
        }
    }
}

} // namespace

BackupContents stageBackup(const QString& backupDir, const QString& stagingDir)
{
    const QDir source(backupDir);
    const QList<BackupFile> files = backupFiles();
    // A backup stopped while its files were moving in is whole: it is finished first.
    finishInterruptedBackup(backupDir);
    const std::optional<Manifest> manifest = readManifest(backupDir);
    if (!manifest) {
        for (const BackupFile& file : files) {
            if (QFileInfo::exists(source.filePath(file.file)))
                throw BackupError(texts::kNotFinished.arg(backupDir));
        }
        throw BackupError(texts::kNoBackup.arg(backupDir));
    }

    const QDir staging(stagingDir);
    for (const BackupFile& file : files) {
        qint64 recorded = -1;
        for (const auto& [name, size] : manifest->files) {
            if (name == file.file)
                recorded = size;
        }
        const QFileInfo copy(source.filePath(file.file));
        if (recorded < 0 || !copy.isFile())
            throw BackupError(texts::kMissingFile.arg(file.file));
        if (copy.size() != recorded)
            throw BackupError(texts::kChangedFile.arg(file.file).arg(copy.size()).arg(recorded));
        // Only the table file: a journal beside it belongs to another file's past.
        KopirujSoubor(copy.filePath(), staging.filePath(file.file));
    }

    BackupContents contents;
    contents.taken = manifest->taken;
    openEachTable(
        stagingDir,
        [&](const QString& table, store::Cursor& cursor) {
            const store::TableDef* def = store::findTableDef(table.toStdString());
            contents.tables.append({table, QString::fromStdString(def->fileName), cursor.recordCount()});
        },
        [](const QString& table, const QString& error) { return texts::kDamagedTable.arg(table, error); });
    return contents;
}

QString replacedFolderName(const QDateTime& now)
{
    return texts::kReplacedFolderPrefix + now.toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
}

void replaceTables(const QString& stagingDir, const QString& dataDir, const QString& replacedFolder,
                   const RestoreObserver& observer)
{
    const auto observe = [&observer](RestoreStep step, const QString& file = {}) {
        if (observer)
            observer(step, file);
    };
    const QDir data(dataDir);
    const QDir staging(stagingDir);
    const QDir replaced(data.filePath(replacedFolder));

    // Everything the swap will move is written down first: whatever stops
    // it, the next start or restore puts every file back from this record.
    RestoreJournal journal;
    journal.replacedFolder = replacedFolder;
    if (QFileInfo(stagingDir).dir() == QDir(dataDir))
        journal.stagingFolder = QFileInfo(stagingDir).fileName();
    for (const BackupFile& file : backupFiles()) {
        journal.incoming << file.file;
        for (const QString& name : {file.file, file.file + QString::fromLatin1(store::kJournalSuffix)}) {
            if (QFileInfo::exists(data.filePath(name)))
                journal.replaced << name;
        }
    }
    writeRestoreJournal(dataDir, journal);
    observe(RestoreStep::Recorded);
    try {
        if (!QDir().mkpath(replaced.path()))
            throw BackupError(texts::kCannotMove.arg(dataDir, replaced.path(), systemReason(errno)));
        for (const QString& name : journal.replaced) {
            moveFile(data.filePath(name), replaced.filePath(name));
            observe(RestoreStep::MovedOut, name);
        }
        syncDirectory(replaced.path());
        for (const QString& name : journal.incoming) {
            moveFile(staging.filePath(name), data.filePath(name));
            observe(RestoreStep::MovedIn, name);
        }
        syncDirectory(dataDir);
        openEachTable(
            dataDir, [](const QString&, store::Cursor&) {},
            [](const QString& table, const QString& error) { return texts::kRestoredDoesNotOpen.arg(table, error); });
        observe(RestoreStep::Checked);
        removeRestoreJournal(dataDir);
    } catch (...) {
        try {
            rollBackRestore(dataDir, journal);
            removeRestoreJournal(dataDir);
        } catch (const BackupError& error) {
            throw RestoreNotUndone(texts::kRestoreNotUndone.arg(error.message(), replaced.path()));
        }
        throw;
    }
    observe(RestoreStep::Done);
}

QString undoInterruptedRestore(const QString& dataDir)
{
    std::optional<RestoreJournal> journal;
    try {
        journal = readRestoreJournal(dataDir);
        if (!journal)
            return {};
        rollBackRestore(dataDir, *journal);
        removeRestoreJournal(dataDir);
    } catch (const BackupError& error) {
        const QString replaced = journal ? QDir(dataDir).filePath(journal->replacedFolder) : dataDir;
        throw RestoreNotUndone(texts::kRestoreNotUndone.arg(error.message(), replaced));
    }
    return texts::kRestoreUndone;
}

QString restoreQuestion(const BackupContents& contents, const QString& replacedFolder)
{
    QStringList lines;
    lines << texts::kBackupTaken.arg(QLocale(QLocale::Czech).toString(contents.taken, QStringLiteral("d.M.yyyy H:mm:ss")))
          << QString();
    for (const TableCount& table : contents.tables)
        lines << texts::kTableLine.arg(titleOf(table.table), table.file, recordsText(table.records));
    lines << QString() << texts::kAskRestore.arg(replacedFolder);
    return lines.join(QLatin1Char('\n'));
}

void extractArchive(const QString& archiver, const QString& archive, const QString& targetDir)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    // x: with the folders stored; -y: no questions (volumes lie side by side); -v: all volumes.
    process.start(archiver, {QStringLiteral("x"), QStringLiteral("-y"), QStringLiteral("-v"), archive,
                             targetDir + QLatin1Char('/')});
    process.closeWriteChannel();
    if (!process.waitForStarted())
        throw BackupError(texts::kExtractFailed.arg(archive, texts::kArchiverNoStart));
    process.waitForFinished(-1);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString output = QString::fromLocal8Bit(process.readAll()).trimmed();
        const QString lastLine = output.section(QLatin1Char('\n'), -1).trimmed();
        QString reason = texts::kArchiverExit.arg(process.exitCode());
        if (!lastLine.isEmpty())
            reason += QStringLiteral(" (") + lastLine + QLatin1Char(')');
        throw BackupError(texts::kExtractFailed.arg(archive, reason));
    }
}

} // namespace backup
