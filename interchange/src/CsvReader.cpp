#include "interchange/CsvReader.h"

#include "interchange/TextCodec.h"

#include <algorithm>

namespace interchange {

namespace {

QString lineMessage(int line, const QString& message)
{
    return line > 0 ? QStringLiteral("Řádek %1: %2").arg(line).arg(message) : message;
}

// The line (from 1) of a byte offset.
int lineOf(const QByteArray& bytes, qsizetype offset)
{
    return 1 + static_cast<int>(std::count(bytes.cbegin(), bytes.cbegin() + std::clamp<qsizetype>(offset, 0, bytes.size()), '\n'));
}

TextEncoding eightBitEncoding(const QByteArray& bytes)
{
    return qstrcmp(guessCzech8Bit(bytes), "ISO-8859-2") == 0 ? TextEncoding::Iso8859_2 : TextEncoding::Windows1250;
}

QString decodeEightBit(const QByteArray& bytes, TextEncoding encoding)
{
    const char* name = encoding == TextEncoding::Iso8859_2 ? "ISO-8859-2" : "windows-1250";
    qsizetype at = -1;
    std::optional<QString> text = decode(bytes, name, &at);
    if (text)
        return *std::move(text);
    if (at < 0)
        throw CsvError(0, QStringLiteral("Kódování %1 není v tomto systému k dispozici.").arg(encodingName(encoding)));
    const int line = lineOf(bytes, at);
    const QString byte =
        QString::number(static_cast<unsigned char>(bytes[at]), 16).toUpper().rightJustified(2, QLatin1Char('0'));
    throw CsvError(line, lineMessage(line, QStringLiteral("bajt 0x%1 není znakem kódování %2.")
                                               .arg(byte, encodingName(encoding))));
}

// Control characters mean a damaged or binary file, not a table of text.
void checkControlCharacters(const QString& text)
{
    int line = 1;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\n') {
            ++line;
            continue;
        }
        if (u == u'\t' || u == u'\r')
            continue;
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u <= 0x9F)) {
            const QString code = QString::number(u, 16).toUpper().rightJustified(4, QLatin1Char('0'));
            throw CsvError(line, lineMessage(line, QStringLiteral("soubor obsahuje řídicí znak U+%1; "
                                                                  "nejde o čitelný textový soubor.")
                                                       .arg(code)));
        }
    }
}

} // namespace

CsvError::CsvError(int line, const QString& message) : std::runtime_error(message.toStdString()), m_line(line) {}

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Windows1250:
        return QStringLiteral("Windows-1250");
    case TextEncoding::Iso8859_2:
        return QStringLiteral("ISO 8859-2");
    }
    return {};
}

QString decodeText(const QByteArray& bytes, TextEncoding* encoding)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        throw CsvError(0, QStringLiteral("Soubor je v kódování UTF-16. Uložte jej jako UTF-8 nebo Windows-1250."));
    TextEncoding found = TextEncoding::Utf8;
    QString text;
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    const QByteArray body = bom ? bytes.mid(3) : bytes;
    const Utf8Scan scan = scanUtf8(body);
    if (scan.invalid == 0) {
        text = QString::fromUtf8(body);
    } else if (bom || scan.validMultiByte > scan.invalid) {
        const int line = lineOf(body, scan.firstInvalid);
        throw CsvError(line, lineMessage(line, QStringLiteral("poškozené znaky: text v kódování UTF-8 zde "
                                                              "obsahuje neplatné bajty.")));
    } else {
        found = eightBitEncoding(body);
        text = decodeEightBit(body, found);
    }
    checkControlCharacters(text);
    if (encoding)
        *encoding = found;
    return text;
}

QChar detectSeparator(const QString& headerLine)
{
    int semicolons = 0, commas = 0, tabs = 0;
    bool quoted = false;
    for (const QChar c : headerLine) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == QLatin1Char(';'))
            ++semicolons;
        else if (c == QLatin1Char(','))
            ++commas;
        else if (c == QLatin1Char('\t'))
            ++tabs;
    }
    if (tabs > semicolons && tabs > commas)
        return QLatin1Char('\t');
    if (commas > semicolons)
        return QLatin1Char(',');
    return QLatin1Char(';');
}

CsvDocument readCsv(const QByteArray& bytes)
{
    CsvDocument document;
    const QString text = decodeText(bytes, &document.encoding);

    // The header is the first line with anything on it.
    qsizetype headerStart = 0;
    int headerLine = 1;
    while (headerStart < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), headerStart);
        if (end < 0)
            end = text.size();
        if (!QStringView(text).mid(headerStart, end - headerStart).trimmed().isEmpty())
            break;
        headerStart = end + 1;
        ++headerLine;
    }
    if (headerStart >= text.size())
        throw CsvError(0, QStringLiteral("Soubor je prázdný."));
    const qsizetype headerEnd = text.indexOf(QLatin1Char('\n'), headerStart);
    document.separator = detectSeparator(text.mid(headerStart, headerEnd < 0 ? -1 : headerEnd - headerStart));

    const QChar separator = document.separator;
    const QChar quote = QLatin1Char('"');
    int line = headerLine;
    CsvRow row{line, {}};
    QString field;
    bool quoted = false; // inside a quoted part of the field
    bool rowHasText = false;
    bool headerDone = false;
    int quoteLine = 0;
    const auto endRow = [&] {
        row.fields.append(field);
        field.clear();
        if (rowHasText) {
            if (!headerDone) {
                // A byte-order mark (or a stray one after empty lines) is no part of a name.
                for (QString& name : row.fields)
                    document.header.append(name.remove(QChar(0xFEFF)).trimmed());
                headerDone = true;
            } else {
                document.rows.push_back(std::move(row));
            }
        }
        row = CsvRow{line, {}};
        rowHasText = false;
    };
    for (qsizetype i = headerStart; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == quote) {
                if (i + 1 < text.size() && text[i + 1] == quote) {
                    field.append(quote);
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++line;
                field.append(c);
            }
            continue;
        }
        if (c == quote) {
            quoted = true;
            quoteLine = line;
            rowHasText = true;
        } else if (c == separator) {
            row.fields.append(field);
            field.clear();
            rowHasText = true;
        } else if (c == QLatin1Char('\n')) {
            ++line;
            endRow();
        } else if (c == QLatin1Char('\r')) {
            // Line ends of the other systems: "\r\n" and a lone "\r".
            if (i + 1 >= text.size() || text[i + 1] != QLatin1Char('\n')) {
                ++line;
                endRow();
            }
        } else {
            field.append(c);
            if (!c.isSpace())
                rowHasText = true;
        }
    }
    if (quoted)
        throw CsvError(quoteLine, lineMessage(quoteLine, QStringLiteral("uvozovky otevřené na tomto řádku "
                                                                        "nejsou nikde uzavřeny.")));
    endRow();
    document.headerLine = headerLine;
    return document;
}

QString headerKey(const QString& name)
{
    const QString decomposed = name.normalized(QString::NormalizationForm_D).toLower();
    QString key;
    for (const QChar c : decomposed) {
        if (c.isLetterOrNumber())
            key.append(c);
    }
    return key;
}

std::vector<int> matchColumns(const QStringList& header, const std::vector<QStringList>& roleKeys)
{
    QStringList keys;
    for (const QString& name : header)
        keys.append(headerKey(name));
    std::vector<int> columns(roleKeys.size(), -1);
    std::vector<bool> taken(static_cast<std::size_t>(keys.size()), false);
    for (std::size_t role = 0; role < roleKeys.size(); ++role) {
        for (const QString& wanted : roleKeys[role]) {
            for (qsizetype column = 0; column < keys.size(); ++column) {
                if (!taken[static_cast<std::size_t>(column)] && keys[column] == wanted) {
                    columns[role] = static_cast<int>(column);
                    taken[static_cast<std::size_t>(column)] = true;
                    break;
                }
            }
            if (columns[role] >= 0)
                break;
        }
    }
    return columns;
}

namespace {

bool looksLikeFormula(QStringView text)
{
    if (text.isEmpty())
        return false;
    const QChar first = text.front();
    if (first == QLatin1Char('=') || first == QLatin1Char('@'))
        return true;
    if (first == QLatin1Char('+') || first == QLatin1Char('-'))
        return text.size() > 1 && !text[1].isDigit() && !text[1].isSpace();
    return false;
}

} // namespace

QString spreadsheetText(const QString& field)
{
    return looksLikeFormula(field) ? QLatin1Char('\'') + field : field;
}

QString withoutSpreadsheetMark(const QString& field)
{
    return field.startsWith(QLatin1Char('\'')) && looksLikeFormula(QStringView(field).mid(1)) ? field.mid(1) : field;
}

QByteArray csvLine(const QStringList& fields)
{
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line.append(QLatin1Char(';'));
        const QString& field = fields[i];
        const bool quote = field.contains(QLatin1Char(';')) || field.contains(QLatin1Char('"')) ||
                           field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r')) ||
                           field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('\t')) ||
                           (!field.isEmpty() && (field.front().isSpace() || field.back().isSpace()));
        if (quote) {
            QString escaped = field;
            escaped.replace(QLatin1Char('"'), QLatin1String("\"\""));
            line.append(QLatin1Char('"')).append(escaped).append(QLatin1Char('"'));
        } else {
            line.append(field);
        }
    }
    // A line of one empty field would be an empty line, which readers skip.
    if (fields.size() == 1 && fields.front().isEmpty())
        line = QStringLiteral("\"\"");
    line.append(QLatin1String("\r\n"));
    return line.toUtf8();
}

} // namespace interchange
