#include "interchange/ImportFile.h"

#include "interchange/AddressCsv.h"
#include "interchange/Paradox.h"
#include "interchange/ParadoxProcess.h"
#include "interchange/VCard.h"

#include "InterchangeTexts.h"

#include <QFile>
#include <QFileInfo>

namespace interchange {

SourceKind sourceKindOf(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir() || info.suffix().compare(QLatin1String("db"), Qt::CaseInsensitive) == 0)
        return SourceKind::Paradox;
    const QString suffix = info.suffix().toLower();
    if (suffix == QLatin1String("vcf") || suffix == QLatin1String("vcard"))
        return SourceKind::VCard;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        QByteArray head = file.read(64);
        if (head.startsWith("\xEF\xBB\xBF"))
            head.remove(0, 3);
        if (head.trimmed().toUpper().startsWith("BEGIN:VCARD"))
            return SourceKind::VCard;
    }
    return SourceKind::Csv;
}

namespace {

// Opens a file to import, refusing what is no file or too large to be one.
bool openForImport(QFile& file, QString* error)
{
    const QString path = file.fileName();
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = texts::kNoSuchFile.arg(path);
        return false;
    }
    if (!info.isFile()) {
        *error = texts::kNotAFile.arg(path);
        return false;
    }
    if (info.size() > kMaxImportBytes) {
        *error = texts::kTooLarge.arg(path).arg(info.size() >> 20).arg(kMaxImportBytes >> 20);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *error = texts::kCannotRead.arg(path, file.errorString());
        return false;
    }
    return true;
}

ImportSource vcardSource(VCardRead read)
{
    ImportSource source;
    TableSource table;
    table.tableName = "Dat.DB";
    table.locationWord = texts::kLineWord;
    table.records = std::move(read.records);
    table.problems = std::move(read.problems);
    table.notes = std::move(read.notes);
    source.description = texts::kVCardDescription.arg(table.records.size() + table.problems.size());
    source.tables.push_back(std::move(table));
    return source;
}

} // namespace

std::optional<QByteArray> readWholeFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!openForImport(file, error))
        return std::nullopt;
    // A device or a growing file may say nothing of its size: read no more than allowed.
    QByteArray bytes = file.read(kMaxImportBytes + 1);
    if (bytes.size() > kMaxImportBytes) {
        *error = texts::kTooLarge.arg(path).arg(bytes.size() >> 20).arg(kMaxImportBytes >> 20);
        return std::nullopt;
    }
    if (file.error() != QFileDevice::NoError) {
        *error = texts::kCannotRead.arg(path, file.errorString());
        return std::nullopt;
    }
    return bytes;
}

std::optional<CsvDocument> readCsvDocument(const QString& path, QString* error)
{
    const std::optional<QByteArray> bytes = readWholeFile(path, error);
    if (!bytes)
        return std::nullopt;
    try {
        return readCsv(*bytes);
    } catch (const CsvError& failure) {
        *error = texts::kCsvUnreadable.arg(path, failure.message());
        return std::nullopt;
    }
}

ImportSource vcardSource(const QByteArray& bytes, const std::function<bool(qint64, qint64)>& progress)
{
    return vcardSource(readVCards(bytes, progress));
}

ReadSource readSource(const QString& path, const std::vector<std::string>& passwords,
                      const std::function<bool(qint64, qint64)>& progress)
{
    ReadSource result;
    switch (sourceKindOf(path)) {
    case SourceKind::Paradox: {
        const QFileInfo info(path);
        const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
        if (!isParadoxDirectory(folder.toStdString())) {
            result.error = texts::kNoParadoxTables.arg(folder);
            return result;
        }
        const auto tables = [&](int done, int total) { return !progress || progress(done, total); };
        // In a process of its own: pxlib must not take the program down with a damaged file.
        result.source = readParadoxDirectoryApart(folder, passwords, tables, &result.error);
        return result;
    }
    case SourceKind::VCard: {
        QFile file(path);
        if (!openForImport(file, &result.error))
            return result;
        bool stopped = false;
        // Read in pieces: a file of junk lines must not cost many times its size.
        VCardRead read = readVCards(file, [&](qint64 done, qint64 total) {
            stopped = progress && !progress(done, total);
            return !stopped;
        });
        if (!read.error.isEmpty())
            result.error = texts::kCannotRead.arg(path, read.error);
        else if (!stopped)
            result.source = vcardSource(std::move(read));
        return result;
    }
    case SourceKind::Csv: {
        std::optional<CsvDocument> document = readCsvDocument(path, &result.error);
        if (!document)
            return result;
        const std::vector<CsvRole> roles = guessRoles(document->header);
        if (!rolesGiveName(roles)) {
            result.error = texts::kCsvNeedsColumns.arg(path, document->header.join(QStringLiteral(", ")));
            return result;
        }
        result.source = csvSource(*document, roles);
        return result;
    }
    }
    return result;
}

} // namespace interchange
