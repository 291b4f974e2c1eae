#pragma once

// Reading what the user chose to import: a vCard file, a CSV file, or the
// folder of an old Paradox data directory (or one of its .DB files).

#include "interchange/CsvReader.h"
#include "interchange/Source.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace interchange {

enum class SourceKind { VCard, Csv, Paradox };

// Larger files are refused before they are read: an address book is far smaller.
inline constexpr qint64 kMaxImportBytes = qint64(512) << 20;

// What the path is: a folder or a .DB file is Paradox, ".vcf"/".vcard" or a
// file starting with BEGIN:VCARD is vCard, anything else CSV.
SourceKind sourceKindOf(const QString& path);

// The whole file, or nullopt with a Czech reason (missing, unreadable, too large).
std::optional<QByteArray> readWholeFile(const QString& path, QString* error);

// A CSV file split into its header and rows, or nullopt with a Czech reason
// naming the line at fault.
std::optional<CsvDocument> readCsvDocument(const QString& path, QString* error);

// The addresses of a vCard file as the source of an import.
ImportSource vcardSource(const QByteArray& bytes, const std::function<bool(qint64, qint64)>& progress = {});

struct ReadSource {
    std::optional<ImportSource> source; // nullopt: `error` says why, or the reading was stopped
    QString error;
};

// Reads a vCard file, a Paradox folder, or a CSV file whose header names its
// columns (otherwise `error` asks for them: the windows let the user choose).
ReadSource readSource(const QString& path, const std::vector<std::string>& passwords,
                      const std::function<bool(qint64, qint64)>& progress = {});

} // namespace interchange
