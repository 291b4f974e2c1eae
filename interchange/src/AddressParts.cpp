#include "interchange/AddressParts.h"

#include "InterchangeTexts.h"

#include "store/Catalogue.h"

#include <QRegularExpression>

namespace interchange {

namespace {

int characters(const QString& text)
{
    return static_cast<int>(text.toUcs4().size());
}

// The fields hold one line: line breaks become blanks, blanks at the ends go,
// and blanks inside stay as typed.
QString oneLine(const QString& text)
{
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return line.trimmed();
}

} // namespace

int addressFieldWidth(AddressField field)
{
    const store::TableDef* def = store::findTableDef("Dat.DB");
    return def ? def->fields[static_cast<std::size_t>(field)].width : 0;
}

QString joinNonEmpty(const QStringList& parts, const QString& separator)
{
    QStringList kept;
    for (const QString& part : parts) {
        const QString trimmed = part.trimmed();
        if (!trimmed.isEmpty())
            kept.append(trimmed);
    }
    return kept.join(separator);
}

SourceRecord composeAddress(const AddressParts& parts, int location)
{
    SourceRecord record;
    record.location = location;
    record.fields.resize(AddressFieldCount);
    record.fields[Surname] = oneLine(parts.surname);
    record.fields[FirstName] = oneLine(parts.firstName);
    record.fields[Address] = oneLine(parts.address);

    // As many telephones as the field holds; the others go to the note rather than be lost.
    const int phoneWidth = addressFieldWidth(Phone);
    QStringList phones, overflow;
    for (const QString& phone : parts.phones) {
        const QString number = oneLine(phone);
        if (number.isEmpty())
            continue;
        const QString joined = phones.isEmpty() ? number : phones.join(texts::kListSeparator) + texts::kListSeparator + number;
        if (overflow.isEmpty() && (phoneWidth <= 0 || characters(joined) <= phoneWidth || phones.isEmpty()))
            phones.append(number);
        else
            overflow.append(number);
    }
    record.fields[Phone] = phones.join(texts::kListSeparator);
    QStringList noteParts = parts.noteParts;
    if (!overflow.isEmpty())
        noteParts.append(texts::kMorePhones + overflow.join(texts::kListSeparator));
    QStringList flat;
    for (const QString& part : noteParts)
        flat.append(oneLine(part));
    record.fields[Note] = joinNonEmpty(flat, texts::kNoteSeparator);
    return record;
}

QString czechAddressLine(const QString& street, const QString& postalCode, const QString& place)
{
    const QString town = joinNonEmpty({postalCode, place}, QStringLiteral(" "));
    return joinNonEmpty({street, town}, QStringLiteral(", "));
}

namespace {

// Whether QString::simplified() would leave the text as it is: no blanks at
// its ends and no blank but single spaces inside.
bool isSimplified(QStringView text)
{
    if (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()))
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isSpace() && (text[i] != QLatin1Char(' ') || text[i + 1].isSpace()))
            return false;
    }
    return true;
}

bool trimmedAlready(QStringView text)
{
    return text.isEmpty() || (!text.front().isSpace() && !text.back().isSpace());
}

} // namespace

bool splitCzechAddressLine(const QString& line, QString* street, QString* postalCode, QString* place)
{
    // "Dlouhá 5, 110 00 Praha 1" or "110 00 Praha 1": the last comma before a
    // five-digit code (written with or without the blank) and a place.
    static const QRegularExpression pattern(
        QStringLiteral("^(?:(.*\\S), )?(\\d{3} ?\\d{2}) (\\S.*)$"));
    if (!isSimplified(line))
        return false;
    const QRegularExpressionMatch match = pattern.match(line);
    if (!match.hasMatch())
        return false;
    // Only a split that composes back to the same line, so that nothing
    // changes on the way: the parts joined by czechAddressLine, which trims
    // them, give the line again exactly when no part has a blank at its ends
    // (the pattern's \S and the toolkit's blanks differ on a few characters).
    const QStringView streetPart = match.capturedView(1), placePart = match.capturedView(3);
    if (!trimmedAlready(streetPart) || !trimmedAlready(placePart))
        return false;
    *street = streetPart.toString();
    *postalCode = match.captured(2);
    *place = placePart.toString();
    return true;
}

bool looksLikeFirm(const QString& surname, const QString& firstName)
{
    if (!firstName.trimmed().isEmpty())
        return false;
    static const QRegularExpression legalForm(
        QStringLiteral("(^|[\\s,])(s\\.\\s?r\\.\\s?o\\.|spol\\.|a\\.\\s?s\\.|v\\.\\s?o\\.\\s?s\\.|k\\.\\s?s\\.|"
                       "o\\.\\s?p\\.\\s?s\\.|z\\.\\s?s\\.|družstvo|firma|GmbH|Ltd\\.?|Inc\\.?)($|[\\s,])"),
        QRegularExpression::CaseInsensitiveOption);
    return legalForm.match(surname).hasMatch();
}

} // namespace interchange
