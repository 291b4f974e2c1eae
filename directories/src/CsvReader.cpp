#include "directories/CsvReader.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <memory>

namespace directories {

namespace {

QString lineMessage(int line, const QString& message)
{
    return line > 0 ? QStringLiteral("Řádek %1: %2").arg(line).arg(message) : message;
}

// The line (from 1) of a byte offset.
int lineOf(const QByteArray& bytes, qsizetype offset)
{
    return 1 + static_cast<int>(std::count(bytes.cbegin(), bytes.cbegin() + std::min(offset, bytes.size()), '\n'));
}

struct Utf8Scan {
    int validMultiByte = 0;
    int invalid = 0;
    qsizetype firstInvalid = -1;
};

// Length of a valid UTF-8 sequence at `at` (strict: no overlong forms, no
// surrogates, nothing past U+10FFFF), 0 when the bytes there are not one.
int utf8SequenceLength(const QByteArray& bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    int length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    if (byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (int i = 2; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
    }
    return length;
}

Utf8Scan scanUtf8(const QByteArray& bytes)
{
    Utf8Scan scan;
    for (qsizetype at = 0; at < bytes.size();) {
        const int length = utf8SequenceLength(bytes, at);
        if (length == 0) {
            if (scan.firstInvalid < 0)
                scan.firstInvalid = at;
            ++scan.invalid;
            ++at;
            continue;
        }
        if (length > 1)
            ++scan.validMultiByte;
        at += length;
    }
    return scan;
}

// Czech letters that only ISO 8859-2 puts in 0xA0..0xBF (Š Ť Ž š ť ž);
// Windows-1250 has them in 0x80..0x9F, where ISO 8859-2 has no text at all.
TextEncoding eightBitEncoding(const QByteArray& bytes)
{
    bool isoLetters = false;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte <= 0x9F)
            return TextEncoding::Windows1250;
        if (byte == 0xA9 || byte == 0xAB || byte == 0xAE || byte == 0xB9 || byte == 0xBB || byte == 0xBE)
            isoLetters = true;
    }
    return isoLetters ? TextEncoding::Iso8859_2 : TextEncoding::Windows1250;
}

QString decodeEightBit(const QByteArray& bytes, TextEncoding encoding)
{
    const char* name = encoding == TextEncoding::Iso8859_2 ? "ISO-8859-2" : "windows-1250";
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UConverter, void (*)(UConverter*)> converter(ucnv_open(name, &status), ucnv_close);
    if (U_FAILURE(status))
        throw CsvError(0, QStringLiteral("Kódování %1 není v tomto systému k dispozici.").arg(encodingName(encoding)));
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    // One byte gives at most one UTF-16 unit in these code pages.
    std::u16string text(static_cast<std::size_t>(bytes.size()) + 1, u'\0');
    UChar* target = reinterpret_cast<UChar*>(text.data());
    UChar* const targetBegin = target;
    const char* source = bytes.constData();
    ucnv_toUnicode(converter.get(), &target, target + text.size(), &source, bytes.constData() + bytes.size(),
                   nullptr, true, &status);
    if (U_FAILURE(status)) {
        const qsizetype at = std::max<qsizetype>(0, source - bytes.constData() - 1);
        const int line = lineOf(bytes, at);
        const QString byte =
            QString::number(static_cast<unsigned char>(bytes[at]), 16).toUpper().rightJustified(2, QLatin1Char('0'));
        throw CsvError(line, lineMessage(line, QStringLiteral("bajt 0x%1 není znakem kódování %2.")
                                                   .arg(byte, encodingName(encoding))));
    }
    return QString(reinterpret_cast<const QChar*>(targetBegin), target - targetBegin);
}

// Control characters mean a damaged or binary file, not a list of places.
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
        if (!text.mid(headerStart, end - headerStart).trimmed().isEmpty())
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
    bool quoted = false;    // inside a quoted part of the field
    bool rowHasText = false;
    int quoteLine = 0;
    const auto endRow = [&] {
        row.fields.append(field);
        field.clear();
        if (rowHasText) {
            if (document.header.isEmpty() && row.line == headerLine) {
                for (QString& name : row.fields)
                    document.header.append(name.trimmed());
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
    if (!document.header.isEmpty() && document.header.front().startsWith(QChar(0xFEFF)))
        document.header.front().remove(0, 1);
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

} // namespace directories
