#include "interchange/AddressCsv.h"

#include "store/CzechText.h"
#include "interchange/AddressParts.h"

#include "InterchangeTexts.h"

#include <algorithm>

namespace interchange {

namespace {

CsvRole roleOf(const QString& header)
{
    const QString k = headerKey(header);
    const auto any = [&](std::initializer_list<const char*> names) {
        for (const char* name : names)
            if (k == QLatin1String(name))
                return true;
        return false;
    };
    if (any({"prijmeni", "prijmenifirma", "surname", "lastname", "familyname", "nachname"}))
        return CsvRole::Surname;
    if (any({"jmeno", "krestnijmeno", "firstname", "givenname", "vorname"}))
        return CsvRole::FirstName;
    if (any({"celejmeno", "jmenoaprijmeni", "fullname", "displayname", "name", "nazev"}))
        return CsvRole::FullName;
    if (any({"firma", "spolecnost", "organizace", "company", "organization", "organisation", "organization1name",
             "nazevfirmy"}))
        return CsvRole::Organization;
    if (any({"adresa", "address", "homeaddress", "address1formatted", "postaladdress"}))
        return CsvRole::Address;
    if (any({"ulice", "street", "homestreet", "businessstreet", "address1street", "ulicecp"}))
        return CsvRole::Street;
    if (any({"psc", "postalcode", "zip", "zipcode", "homepostalcode", "businesspostalcode", "address1postalcode"}))
        return CsvRole::PostalCode;
    if (any({"obec", "mesto", "misto", "city", "homecity", "businesscity", "address1city"}))
        return CsvRole::City;
    if (any({"stat", "zeme", "country", "homecountry", "address1country", "countryregion"}))
        return CsvRole::Country;
    if (any({"poznamka", "poznamky", "pozn", "note", "notes", "komentar", "comment"}))
        return CsvRole::Note;
    if (k.contains(QLatin1String("phone")) || k.contains(QLatin1String("telefon")) || k.startsWith(QLatin1String("tel")) ||
        k.contains(QLatin1String("mobil")) || k == QLatin1String("fax"))
        return k.endsWith(QLatin1String("type")) || k.endsWith(QLatin1String("label")) ? CsvRole::None : CsvRole::Phone;
    if (k.contains(QLatin1String("mail")))
        return k.endsWith(QLatin1String("type")) || k.endsWith(QLatin1String("label")) ? CsvRole::None : CsvRole::Email;
    return CsvRole::None;
}

} // namespace

QString roleLabel(CsvRole role)
{
    switch (role) {
    case CsvRole::None: return QStringLiteral("(do poznámky)");
    case CsvRole::Surname: return QStringLiteral("Příjmení - Firma");
    case CsvRole::FirstName: return QStringLiteral("Jméno");
    case CsvRole::FullName: return QStringLiteral("Celé jméno");
    case CsvRole::Organization: return QStringLiteral("Firma");
    case CsvRole::Address: return QStringLiteral("Adresa");
    case CsvRole::Street: return QStringLiteral("Ulice");
    case CsvRole::PostalCode: return QStringLiteral("PSČ");
    case CsvRole::City: return QStringLiteral("Obec");
    case CsvRole::Country: return QStringLiteral("Stát");
    case CsvRole::Phone: return QStringLiteral("Telefon");
    case CsvRole::Email: return QStringLiteral("E-mail");
    case CsvRole::Note: return QStringLiteral("Poznámka");
    }
    return {};
}

std::vector<CsvRole> guessRoles(const QStringList& header)
{
    std::vector<CsvRole> roles;
    for (const QString& name : header)
        roles.push_back(roleOf(name));
    return roles;
}

bool rolesGiveName(const std::vector<CsvRole>& roles)
{
    for (const CsvRole role : roles)
        if (role == CsvRole::Surname || role == CsvRole::FullName || role == CsvRole::Organization)
            return true;
    return false;
}

bool rolesNeedChoosing(const std::vector<CsvRole>& roles)
{
    return !rolesGiveName(roles) || std::find(roles.begin(), roles.end(), CsvRole::None) != roles.end();
}

TableSource csvAddressTable(const QStringList& header, const std::vector<CsvRow>& rows,
                            const std::vector<CsvRole>& roles)
{
    TableSource table;
    table.tableName = "Dat.DB";
    table.locationWord = texts::kLineWord;
    for (const CsvRow& row : rows) {
        if (row.fields.size() != header.size()) {
            table.problems.push_back(
                {row.line, texts::kAt.arg(texts::kLineWord).arg(row.line).arg(
                               texts::kColumnCount.arg(row.fields.size()).arg(header.size()))});
            continue;
        }
        QStringList surname, firstName, fullName, organization, address, street, code, city, country, phones,
            emails, notes, others;
        for (qsizetype c = 0; c < row.fields.size(); ++c) {
            const QString value = withoutSpreadsheetMark(row.fields[c].trimmed());
            if (value.isEmpty())
                continue;
            switch (c < static_cast<qsizetype>(roles.size()) ? roles[static_cast<std::size_t>(c)] : CsvRole::None) {
            case CsvRole::Surname: surname.append(value); break;
            case CsvRole::FirstName: firstName.append(value); break;
            case CsvRole::FullName: fullName.append(value); break;
            case CsvRole::Organization: organization.append(value); break;
            case CsvRole::Address: address.append(value); break;
            case CsvRole::Street: street.append(value); break;
            case CsvRole::PostalCode: code.append(value); break;
            case CsvRole::City: city.append(value); break;
            case CsvRole::Country: country.append(value); break;
            case CsvRole::Phone: phones.append(value); break;
            case CsvRole::Email: emails.append(texts::kEmail + value); break;
            case CsvRole::Note: notes.append(value); break;
            case CsvRole::None: others.append(texts::kNoteColumn.arg(header[c].trimmed(), value)); break;
            }
        }
        AddressParts parts;
        const QString org = joinNonEmpty(organization, texts::kListSeparator);
        if (!surname.isEmpty() || !firstName.isEmpty()) {
            parts.surname = surname.isEmpty() ? firstName.join(QLatin1Char(' ')) : surname.join(QLatin1Char(' '));
            parts.firstName = surname.isEmpty() ? QString() : firstName.join(QLatin1Char(' '));
            if (!org.isEmpty())
                notes.append(texts::kFirm + org);
        } else if (!org.isEmpty()) {
            parts.surname = org;
        } else {
            const QString full = fullName.join(QLatin1Char(' ')).simplified();
            const qsizetype blank = full.lastIndexOf(QLatin1Char(' '));
            parts.surname = blank < 0 ? full : full.mid(blank + 1);
            parts.firstName = blank < 0 ? QString() : full.left(blank);
        }
        QString line = joinNonEmpty(address, texts::kListSeparator);
        const QString composed = joinNonEmpty(
            {czechAddressLine(street.join(texts::kListSeparator), code.join(QLatin1Char(' ')), city.join(QLatin1Char(' '))),
             country.join(texts::kListSeparator)},
            texts::kListSeparator);
        if (line.isEmpty())
            line = composed;
        else if (!composed.isEmpty())
            notes.append(texts::kMoreAddress + composed);
        parts.address = line;
        parts.phones = phones;
        parts.noteParts = notes + emails + others;
        if (parts.surname.trimmed().isEmpty()) {
            table.problems.push_back(
                {row.line, texts::kAt.arg(texts::kLineWord).arg(row.line).arg(texts::kNoNameRow)});
            continue;
        }
        table.records.push_back(composeAddress(parts, row.line));
    }
    return table;
}

ImportSource csvSource(const CsvDocument& document, const std::vector<CsvRole>& roles)
{
    ImportSource source;
    const QString separator = document.separator == QLatin1Char('\t') ? QStringLiteral("tabulátor")
                                                                       : QString(document.separator);
    const auto rows = static_cast<long long>(document.rows.size());
    source.description = store::czechPlural(rows, texts::kCsvDescriptionOne, texts::kCsvDescriptionFew,
                                            texts::kCsvDescriptionMany)
                             .arg(encodingName(document.encoding), separator)
                             .arg(rows);
    source.tables.push_back(csvAddressTable(document.header, document.rows, roles));
    return source;
}

} // namespace interchange
