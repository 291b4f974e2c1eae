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

#include <optional>

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

void copyBackupSet(const QString& dataDir, const QString& targetDir, const QDateTime& now)
{
    const QDir data(dataDir);
    const QDir target(targetDir);
    // Only one backup is kept, and a damaged table is restored from it: a
    // damaged copy must never replace it. Every table is checked before the
    // first file is touched (a missing or unreadable one is left to the copy).
    for (const BackupFile& file : backupFiles()) {
        const std::string damage = store::checkTableFile(QFile::encodeName(data.filePath(file.file)).toStdString());
        if (!damage.empty())
            throw BackupError(texts::kDamagedTableNotCopied.arg(QString::fromStdString(damage)));
    }
    // Until the new marker stands, the folder holds no finished backup.
    const QString oldManifest = target.filePath(kManifestName);
    if (QFileInfo::exists(oldManifest) && !QFile::remove(oldManifest))
        throw BackupError(texts::kCannotReplaceManifest.arg(oldManifest));

    Manifest manifest;
    manifest.taken = now;
    for (const BackupFile& file : backupFiles()) {
        const QString source = data.filePath(file.file);
        const QString copy = target.filePath(file.file);
        // A missing file is left to the copy, which names it.
        std::optional<store::FileSnapshot> still;
        if (QFileInfo::exists(source)) {
            try {
                still.emplace(QFile::encodeName(source).toStdString());
            } catch (const store::StoreError& error) {
                throw BackupError(texts::kCannotHoldTable.arg(source,
                                                                QString::fromUtf8(error.what())));
            }
        }
        KopirujSoubor(source, copy);
        manifest.files.append({file.file, QFileInfo(copy).size()});
    }
    writeManifest(targetDir, manifest);
}

} // namespace backup
