#include "interchange/Export.h"

#include "interchange/CsvReader.h"

#include "store/Cursor.h"
#include "store/Database.h"

#include "interchange/Source.h"
#include "interchange/TextCodec.h"
#include "interchange/VCard.h"

#include "InterchangeTexts.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <fcntl.h>

namespace interchange {

ExportFormat formatForFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("vcf") || suffix == QLatin1String("vcard") ? ExportFormat::VCard
                                                                                  : ExportFormat::Csv;
}

ExportResult exportAddresses(store::Database& database, const QString& path, const ExportOptions& options,
                             const std::function<bool(qint64, qint64)>& progress)
{
    ExportResult result;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = texts::kExportCannotWrite.arg(path, file.errorString());
        return result;
    }
    store::Cursor cursor(database, "Dat.DB");
    cursor.open();
    const int fieldCount = static_cast<int>(cursor.fields().size());
    const bool csv = options.format == ExportFormat::Csv;
    const bool windows = csv && options.windows1250;

    QByteArray buffer;
    constexpr qsizetype kChunk = 1 << 20;
    buffer.reserve(kChunk + 4096);
    qint64 handedOver = 0;
    // Each chunk goes to the disk while the next is made: the commit's flush
    // then waits for the last chunks only, not for the whole file (the
    // system would otherwise keep it all in memory until that flush).
    const auto startWriting = [&]() {
        if (!file.flush())
            return false;
        const qint64 end = file.pos();
#ifdef Q_OS_LINUX
        if (file.handle() >= 0)
            ::sync_file_range(file.handle(), handedOver, end - handedOver, SYNC_FILE_RANGE_WRITE);
#endif
        handedOver = end;
        return true;
    };
    const auto flush = [&]() {
        if (buffer.isEmpty())
            return true;
        bool written = false;
        if (windows) {
            qsizetype unmappable = 0;
            const QByteArray bytes = encode(QString::fromUtf8(buffer), "windows-1250", &unmappable);
            result.unmappable += unmappable;
            written = file.write(bytes) == bytes.size();
        } else {
            written = file.write(buffer) == buffer.size();
        }
        // Emptied, not freed: the next chunk fills the same memory.
        buffer.resize(0);
        return written && startWriting();
    };

    if (csv) {
        if (!windows)
            buffer.append("\xEF\xBB\xBF");
        QStringList header;
        for (const store::FieldDef& field : cursor.fields())
            header.append(QString::fromStdString(field.name));
        buffer.append(csvLine(header));
    }
    const qint64 rows = cursor.rowCount();
    std::vector<QString> fields(static_cast<std::size_t>(fieldCount));
    QStringList list;
    for (qint64 row = 0; row < rows; ++row) {
        for (int f = 0; f < fieldCount; ++f)
            fields[static_cast<std::size_t>(f)] = QString::fromStdString(cursor.rowText(static_cast<int>(row), f));
        if (csv) {
            list.clear();
            for (const QString& field : fields)
                list.append(spreadsheetText(field));
            buffer.append(csvLine(list));
        } else {
            appendVCard(buffer, fields);
        }
        ++result.records;
        if (buffer.size() >= kChunk) {
            if (!flush())
                break;
            if (progress && !progress(row + 1, rows)) {
                file.cancelWriting();
                result.error = texts::kExportStopped;
                return result;
            }
        }
    }
    if (!flush() || !file.commit()) {
        result.error = texts::kExportCannotWrite.arg(path, file.errorString());
        result.records = 0;
        return result;
    }
    if (progress)
        progress(rows, rows);
    result.written = true;
    return result;
}

} // namespace interchange
