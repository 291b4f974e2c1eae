#pragma once

// What the fuzz targets check on every input, shared with the test that
// replays their corpora: the input reads (or is refused with its reason)
// and what was read, written again and read back, is the same. Each returns
// what was written when that fails, nullopt when all is well.

#include "interchange/AddressCsv.h"
#include "interchange/CsvReader.h"
#include "interchange/Paradox.h"
#include "interchange/VCard.h"

#include "store/Catalogue.h"

#include <QByteArray>

#include <optional>

namespace interchange::fuzz {

inline std::optional<QByteArray> vcardFailure(const QByteArray& input)
{
    const VCardRead read = readVCards(input);
    for (const SourceRecord& record : read.records) {
        const QByteArray written = writeVCard(record.fields);
        const VCardRead again = readVCards(written);
        if (again.records.size() != 1 || again.records[0].fields != record.fields)
            return written;
    }
    return std::nullopt;
}

inline std::optional<QByteArray> csvFailure(const QByteArray& input)
{
    CsvDocument document;
    try {
        document = readCsv(input);
    } catch (const CsvError&) {
        return std::nullopt;
    }
    csvAddressTable(document.header, document.rows, guessRoles(document.header));
    QByteArray written = csvLine(document.header);
    for (const CsvRow& row : document.rows)
        written += csvLine(row.fields);
    try {
        const CsvDocument again = readCsv(written);
        bool same = again.header == document.header && again.rows.size() == document.rows.size();
        for (std::size_t i = 0; same && i < document.rows.size(); ++i)
            same = again.rows[i].fields == document.rows[i].fields;
        if (same)
            return std::nullopt;
    } catch (const CsvError&) {
    }
    return written;
}

// A Paradox input: the first byte picks the catalogue table, the rest is the
// table file. Reading it must end (read, skipped or with problems); a
// crash or a sanitizer report is the failure.
inline TableSource readParadoxInput(const QByteArray& input)
{
    if (input.isEmpty())
        return {};
    const std::vector<store::TableDef>& tables = store::catalogue();
    const store::TableDef& def = tables[static_cast<unsigned char>(input.front()) % tables.size()];
    return readParadoxBytes(input.mid(1), def, {"Kv7"});
}

} // namespace interchange::fuzz
