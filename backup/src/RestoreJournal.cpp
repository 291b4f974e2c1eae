#include "RestoreJournal.h"

#include "BackupTexts.h"
#include "RestoreTexts.h"
#include "backup/BackupSet.h"
#include "backup/FileCopy.h"

#include "store/TableFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

namespace backup {

namespace {

const QString kHeader = QStringLiteral("# Pelmir a telefony: obnova ze zálohy");
const QString kReplacedKey = QStringLiteral("puvodni");
const QString kStagingKey = QStringLiteral("docasne");
const QString kOldKey = QStringLiteral("stary");
const QString kNewKey = QStringLiteral("novy");
// A record of a few dozen names; anything far longer is no record of ours.
constexpr qint64 kMaxSize = 64 * 1024;

QString journalPath(const QString& dataDir)
{
    return QDir(dataDir).filePath(kRestoreJournalName);
}

QString journalOf(const QString& table)
{
    return table + QString::fromLatin1(store::kJournalSuffix);
}

// Only names a restore moves may be moved back: a table of the backup, its
// journal, and folders of the restore's own, all directly in Data.
bool isTableName(const QString& name, bool withJournal)
{
    for (const BackupFile& file : backupFiles()) {
        if (name == file.file || (withJournal && name == journalOf(file.file)))
            return true;
    }
    return false;
}

bool isFolderName(const QString& name, const QString& prefix)
{
    return name.startsWith(prefix) && !name.contains(QLatin1Char('/')) && name != QStringLiteral(".") &&
           name != QStringLiteral("..");
}

void removeFile(const QString& path)
{
    if (QFileInfo(path).isFile() && !QFile::remove(path))
        throw BackupError(texts::kCannotRemove.arg(path, systemReason(errno)));
}

} // namespace

void writeRestoreJournal(const QString& dataDir, const RestoreJournal& journal)
{
    QByteArray text = kHeader.toUtf8() + '\n';
    const auto line = [&text](const QString& key, const QString& value) {
        text += (key + QLatin1Char('\t') + value).toUtf8() + '\n';
    };
    line(kReplacedKey, journal.replacedFolder);
    if (!journal.stagingFolder.isEmpty())
        line(kStagingKey, journal.stagingFolder);
    for (const QString& name : journal.replaced)
        line(kOldKey, name);
    for (const QString& name : journal.incoming)
        line(kNewKey, name);
    QSaveFile file(journalPath(dataDir));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        throw BackupError(texts::kCannotWriteManifest.arg(journalPath(dataDir), file.errorString()));
    // The record's name must be on the disk before the first move is.
    syncDirectory(dataDir);
}

std::optional<RestoreJournal> readRestoreJournal(const QString& dataDir)
{
    const QString path = journalPath(dataDir);
    QFile file(path);
    if (!QFileInfo::exists(path))
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSize)
        throw BackupError(texts::kDamagedJournal.arg(path));
    RestoreJournal journal;
    for (const QString& line : QString::fromUtf8(file.read(kMaxSize)).split(QLatin1Char('\n'))) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList parts = line.split(QLatin1Char('\t'));
        const QString value = parts.value(1);
        bool sound = parts.size() == 2;
        if (sound && parts[0] == kReplacedKey && isFolderName(value, texts::kReplacedFolderPrefix))
            journal.replacedFolder = value;
        else if (sound && parts[0] == kStagingKey && isFolderName(value, QStringLiteral(".obnova")))
            journal.stagingFolder = value;
        else if (sound && parts[0] == kOldKey && isTableName(value, true))
            journal.replaced << value;
        else if (sound && parts[0] == kNewKey && isTableName(value, false))
            journal.incoming << value;
        else
            sound = false;
        if (!sound)
            throw BackupError(texts::kDamagedJournal.arg(path));
    }
    if (journal.replacedFolder.isEmpty())
        throw BackupError(texts::kDamagedJournal.arg(path));
    return journal;
}

void removeRestoreJournal(const QString& dataDir)
{
    removeFile(journalPath(dataDir));
    syncDirectory(dataDir);
}

void rollBackRestore(const QString& dataDir, const RestoreJournal& journal)
{
    const QDir data(dataDir);
    const QDir replaced(data.filePath(journal.replacedFolder));
    // A name whose old file was moved away, or that had none, holds the
    // backup's file in Data (if the move in happened): it goes, and the old
    // file comes back.
    const auto putBack = [&](const QString& name) {
        const bool hadOne = journal.replaced.contains(name);
        if (hadOne && !QFileInfo::exists(replaced.filePath(name)))
            return; // never moved: the old file is still in Data
        removeFile(data.filePath(name));
        if (hadOne)
            moveFile(replaced.filePath(name), data.filePath(name));
    };
    for (const QString& table : journal.incoming) {
        // A journal beside a restored table belongs to it: it goes before the
        // old table comes back, so that it is never replayed into that one.
        const QString tableJournal = journalOf(table);
        if (!journal.replaced.contains(tableJournal) || QFileInfo::exists(replaced.filePath(tableJournal)))
            removeFile(data.filePath(tableJournal));
        putBack(table);
        if (journal.replaced.contains(tableJournal))
            putBack(tableJournal);
    }
    syncDirectory(dataDir);
    QDir().rmdir(replaced.path());
    if (!journal.stagingFolder.isEmpty())
        QDir(data.filePath(journal.stagingFolder)).removeRecursively();
}

} // namespace backup
