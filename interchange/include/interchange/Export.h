#pragma once

// The address book written out for other programs: vCard 4.0, or CSV with a
// header, in UTF-8 with a byte-order mark (what spreadsheets open correctly)
// or in Windows-1250.

#include <QByteArray>
#include <QString>

#include <functional>

namespace store {
class Database;
}

namespace interchange {

enum class ExportFormat { VCard, Csv };

struct ExportOptions {
    ExportFormat format = ExportFormat::VCard;
    bool windows1250 = false; // CSV only; vCard is always UTF-8
};

struct ExportResult {
    bool written = false;
    qint64 records = 0;
    qint64 unmappable = 0; // characters Windows-1250 has not, written as '?'
    QString error;          // why nothing was written (Czech)
};

// vCard for ".vcf" and ".vcard", else CSV.
ExportFormat formatForFile(const QString& path);

// Writes every address in key order to `path`. The file is replaced only
// when complete; stopping through `progress` (records done of all) or a
// failure leaves what was there before.
ExportResult exportAddresses(store::Database& database, const QString& path, const ExportOptions& options,
                             const std::function<bool(qint64 done, qint64 total)>& progress = {});

} // namespace interchange
