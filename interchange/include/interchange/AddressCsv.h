#pragma once

// CSV files of addresses as spreadsheets and other address books write
// them: each column's role is found from its header ("Příjmení", "Last Name",
// "Telefon", "E-mail Address", ...) or chosen by the user; columns of no
// role go to the note, so nothing is dropped.

#include "interchange/CsvReader.h"
#include "interchange/Source.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace interchange {

enum class CsvRole {
    None, Surname, FirstName, FullName, Organization, Address, Street, PostalCode, City, Country, Phone, Email, Note,
};
inline constexpr int kCsvRoleCount = static_cast<int>(CsvRole::Note) + 1;

// What the user reads for a role in the column mapping ("Příjmení - Firma", "Telefon", ...).
QString roleLabel(CsvRole role);

// Each column's role from its header; columns of no known name get None.
std::vector<CsvRole> guessRoles(const QStringList& header);
// Whether a record can be keyed: some column gives a surname, a full name or a firm.
bool rolesGiveName(const std::vector<CsvRole>& roles);

// Whether the user should see the columns before the import: some header
// was not recognised, or none gives the name.
bool rolesNeedChoosing(const std::vector<CsvRole>& roles);

// The rows as address records. A row with another number of columns than
// the header is a problem naming its line.
TableSource csvAddressTable(const QStringList& header, const std::vector<CsvRow>& rows,
                            const std::vector<CsvRole>& roles);

// The whole document as the source of an import, described for the preview.
ImportSource csvSource(const CsvDocument& document, const std::vector<CsvRole>& roles);

} // namespace interchange
