#include "interchange/VCard.h"

#include "interchange/AddressParts.h"
#include "interchange/TextCodec.h"

#include "InterchangeTexts.h"

#include <QBuffer>
#include <QDate>
#include <QStringDecoder>
#include <QRegularExpression>

#include <algorithm>
#include <optional>
#include <string>

namespace interchange {

namespace {

struct Property {
    QByteArray name;            // upper case, without its group
    QList<QByteArray> params;   // as written: "TYPE=home", "QUOTED-PRINTABLE"
    QByteArray value;           // raw bytes after the colon
    int line = 0;
};

// A property's text could not be read: the message names its line.
struct ValueError {
    int line;
    QString message;
};

QString at(int line, const QString& message)
{
    return texts::kAt.arg(texts::kLineWord).arg(line).arg(message);
}

// Index of the first `separator` outside double quotes, -1 when none.
qsizetype indexOutsideQuotes(const QByteArray& text, char separator, qsizetype from = 0)
{
    bool quoted = false;
    for (qsizetype i = from; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '"')
            quoted = !quoted;
        else if (c == separator && !quoted)
            return i;
    }
    return -1;
}

QList<QByteArray> splitOutsideQuotes(const QByteArray& text, char separator)
{
    QList<QByteArray> parts;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = indexOutsideQuotes(text, separator, start);
        if (end < 0) {
            parts.append(text.mid(start));
            return parts;
        }
        parts.append(text.mid(start, end - start));
        start = end + 1;
    }
}

QByteArray paramName(const QByteArray& param)
{
    const qsizetype equals = param.indexOf('=');
    return (equals < 0 ? param : param.left(equals)).trimmed().toUpper();
}

QByteArray paramValue(const QByteArray& param)
{
    const qsizetype equals = param.indexOf('=');
    if (equals < 0)
        return param.trimmed(); // 2.1 writes bare values: "HOME", "QUOTED-PRINTABLE"
    QByteArray value = param.mid(equals + 1).trimmed();
    if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
        value = value.mid(1, value.size() - 2);
    return value;
}

bool hasParamValue(const Property& property, const QByteArray& name, const QByteArray& value)
{
    for (const QByteArray& param : property.params) {
        const QByteArray pName = paramName(param);
        const bool bare = !param.contains('=');
        if (bare ? pName == value : pName == name) {
            if (bare)
                return true;
            for (const QByteArray& item : paramValue(param).split(','))
                if (item.trimmed().toUpper() == value)
                    return true;
        }
    }
    return false;
}

std::optional<QByteArray> param(const Property& property, const QByteArray& name)
{
    for (const QByteArray& p : property.params)
        if (p.contains('=') && paramName(p) == name)
            return paramValue(p);
    return std::nullopt;
}

bool isQuotedPrintable(const Property& property)
{
    return hasParamValue(property, "ENCODING", "QUOTED-PRINTABLE");
}

bool isBinary(const Property& property)
{
    return hasParamValue(property, "ENCODING", "B") || hasParamValue(property, "ENCODING", "BASE64");
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::optional<QByteArray> decodeQuotedPrintable(const QByteArray& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c != '=') {
            bytes.append(c);
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int high = hexDigit(text.at(i + 1));
        const int low = hexDigit(text.at(i + 2));
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.append(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return bytes;
}

// Undoes the text escapes of 3.0 and 4.0 (2.1 uses the semicolon's only).
QString unescape(const QString& text)
{
    if (!text.contains(QLatin1Char('\\')))
        return text;
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\\') || i + 1 == text.size()) {
            result.append(c);
            continue;
        }
        const QChar next = text.at(++i);
        if (next == QLatin1Char('n') || next == QLatin1Char('N'))
            result.append(QLatin1Char('\n'));
        else if (next == QLatin1Char(',') || next == QLatin1Char(';') || next == QLatin1Char('\\') ||
                 next == QLatin1Char(':'))
            result.append(next);
        else
            result.append(c).append(next); // not an escape: the backslash stays
    }
    return result;
}

// Splits at separators that no backslash escapes.
QStringList splitEscaped(const QString& text, QChar separator)
{
    QStringList parts;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            current.append(c).append(text.at(++i));
        } else if (c == separator) {
            parts.append(current);
            current.clear();
        } else {
            current.append(c);
        }
    }
    parts.append(current);
    return parts;
}

// A property's name as the messages show it: bytes from the file, so no
// control character reaches a terminal and no name runs on for a page.
QString shownName(const QByteArray& name)
{
    QString shown = QString::fromUtf8(name.left(40));
    for (QChar& c : shown)
        if (c.category() == QChar::Other_Control || c == QChar::ReplacementCharacter)
            c = QLatin1Char('?');
    return name.size() > 40 ? shown + QStringLiteral("…") : shown;
}

bool isControl(char16_t u)
{
    return (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || u == 0x7F || (u >= 0x80 && u <= 0x9F);
}

// How the file's bytes are taken: a file with UTF-8 in it is UTF-8 through
// and through, a bad byte there is damage to report; a plain ASCII file may
// carry an old phone's quoted-printable values in its own code page; a file
// of another code page says which one it is read in.
enum class FileText { Utf8, Ascii, EightBit };

// What one file may ask of the reader: a logical line (a photo's base64
// aside, a note is a few kB), a card's text and properties, and the problems
// listed before the file is taken for something other than vCards.
constexpr qsizetype kMaxLineBytes = qsizetype(8) << 20;
constexpr qsizetype kMaxCardBytes = qsizetype(16) << 20;
constexpr std::size_t kMaxProperties = 5000;
constexpr std::size_t kMaxProblems = 1000;

// Properties whose value is never read: only their name is kept.
bool valueUnused(const Property& property)
{
    const QByteArray& n = property.name;
    return n == "PHOTO" || n == "LOGO" || n == "SOUND" || n == "KEY" || isBinary(property);
}

class CardReader {
public:
    CardReader(const char* fileCharset, FileText fileText, std::vector<SourceProblem>& problems,
               std::vector<SourceRecord>& records)
        : m_fileCharset(fileCharset), m_fileText(fileText), m_problems(problems), m_records(records)
    {
    }

    // One logical line; `tooLong`: it was cut at kMaxLineBytes.
    void line(const QByteArray& logical, int lineNumber, bool tooLong);
    void stray(int lineNumber);
    void finish();
    // Too many problems: the file is not read any further.
    bool stopped() const { return m_stopped; }

private:
    void begin(int lineNumber);
    void endCard();
    void cardProblem(int lineNumber, const QString& message);
    void problem(int location, const QString& message);
    void outside(int lineNumber);
    void endOutside();
    QString text(const Property& property); // throws ValueError
    QString withoutControls(const QString& text, const Property& property);
    void map(const std::vector<Property>& properties);

    const char* m_fileCharset;
    FileText m_fileText;
    QStringList m_warnings; // of the card being mapped
    std::vector<SourceProblem>& m_problems;
    std::vector<SourceRecord>& m_records;
    bool m_inCard = false;
    int m_cardLine = 0;
    qsizetype m_cardBytes = 0;
    std::optional<QString> m_problem;
    std::vector<Property> m_properties;
    // A run of lines outside any card is one problem, not one a line.
    int m_outsideFirst = 0;
    int m_outsideLast = 0;
    int m_lastLine = 0;
    bool m_stopped = false;
};

void CardReader::cardProblem(int lineNumber, const QString& message)
{
    if (!m_problem)
        m_problem = at(lineNumber, message);
    m_properties.clear();
}

void CardReader::problem(int location, const QString& message)
{
    endOutside();
    if (m_stopped)
        return;
    if (m_problems.size() + 1 >= kMaxProblems) {
        m_problems.push_back({location, at(m_lastLine, texts::kTooManyProblems.arg(kMaxProblems))});
        m_stopped = true;
        return;
    }
    m_problems.push_back({location, message});
}

void CardReader::outside(int lineNumber)
{
    if (m_outsideFirst == 0)
        m_outsideFirst = lineNumber;
    m_outsideLast = lineNumber;
}

void CardReader::endOutside()
{
    if (m_outsideFirst == 0)
        return;
    const int first = m_outsideFirst, last = m_outsideLast;
    m_outsideFirst = m_outsideLast = 0;
    problem(first, first == last ? at(first, texts::kOutsideCard)
                                 : texts::kLinesOutsideCard.arg(first).arg(last).arg(texts::kOutsideCard));
}

void CardReader::begin(int lineNumber)
{
    m_inCard = true;
    m_cardLine = lineNumber;
    m_cardBytes = 0;
    m_problem.reset();
    m_properties.clear();
}

void CardReader::stray(int lineNumber)
{
    m_lastLine = lineNumber;
    if (m_stopped)
        return;
    if (m_inCard)
        cardProblem(lineNumber, texts::kStrayContinuation);
    else
        outside(lineNumber);
}

void CardReader::line(const QByteArray& logical, int lineNumber, bool tooLong)
{
    m_lastLine = lineNumber;
    if (m_stopped || logical.trimmed().isEmpty())
        return;
    const qsizetype colon = indexOutsideQuotes(logical, ':');
    if (colon < 0) {
        if (m_inCard)
            cardProblem(lineNumber, tooLong ? texts::kLineTooLong.arg(kMaxLineBytes >> 20) : texts::kNoColon);
        else
            outside(lineNumber);
        return;
    }
    Property property;
    QList<QByteArray> head = splitOutsideQuotes(logical.left(colon), ';');
    QByteArray name = head.takeFirst().trimmed().toUpper();
    if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0)
        name = name.mid(dot + 1); // "item1.TEL": Apple's groups
    property.name = name;
    property.params = head;
    property.line = lineNumber;

    if (name == "BEGIN" || name == "END") {
        const QByteArray word = logical.mid(colon + 1).trimmed().toUpper();
        if (name == "BEGIN" && word == "VCARD") {
            if (m_inCard)
                problem(m_cardLine, at(m_cardLine, texts::kNoEnd.arg(m_cardLine)));
            endOutside();
            begin(lineNumber);
            return;
        }
        if (name == "END" && word == "VCARD") {
            if (!m_inCard) {
                problem(lineNumber, at(lineNumber, texts::kEndWithoutBegin));
                return;
            }
            endCard();
            return;
        }
    }
    if (!m_inCard) {
        outside(lineNumber);
        return;
    }
    if (m_problem)
        return;
    if (m_properties.size() >= kMaxProperties) {
        cardProblem(lineNumber, texts::kTooManyProperties.arg(kMaxProperties));
    } else if (!valueUnused(property)) { // a photo of any size costs nothing but its name
        if (tooLong)
            cardProblem(lineNumber, texts::kLineTooLong.arg(kMaxLineBytes >> 20));
        else if ((m_cardBytes += logical.size()) > kMaxCardBytes)
            cardProblem(m_cardLine, texts::kCardTooLarge.arg(kMaxCardBytes >> 20));
        else
            property.value = logical.mid(colon + 1);
    }
    if (!m_problem)
        m_properties.push_back(std::move(property));
}

void CardReader::finish()
{
    if (m_inCard && !m_stopped)
        problem(m_cardLine, at(m_cardLine, texts::kNoEnd.arg(m_cardLine)));
    endOutside();
    m_inCard = false;
}

QString CardReader::text(const Property& property)
{
    QByteArray bytes = property.value;
    if (isQuotedPrintable(property)) {
        const std::optional<QByteArray> decoded = decodeQuotedPrintable(bytes);
        if (!decoded)
            throw ValueError{property.line, texts::kBadQuotedPrintable};
        bytes = *decoded;
    }
    if (const std::optional<QByteArray> charset = param(property, "CHARSET")) {
        if (!knownCharset(*charset))
            throw ValueError{property.line, texts::kUnknownCharset.arg(shownName(*charset))};
        if (std::optional<QString> decoded = decode(bytes, charset->constData()))
            return withoutControls(*decoded, property);
        throw ValueError{property.line, texts::kNotInCharset.arg(shownName(*charset))};
    }
    qsizetype bad = -1;
    if (std::optional<QString> decoded = decode(bytes, m_fileCharset, &bad))
        return withoutControls(*decoded, property);
    if (m_fileText == FileText::Ascii) {
        // Old phones wrote their own code page without saying so: read, and said.
        const char* guess = guessCzech8Bit(bytes);
        if (std::optional<QString> decoded = decode(bytes, guess)) {
            m_warnings.append(texts::kReadInCodePage.arg(shownName(property.name)).arg(property.line)
                                  .arg(charsetLabel(guess)));
            return withoutControls(*decoded, property);
        }
    }
    if (m_fileText == FileText::Utf8 && bad >= 0) {
        const QString byte = QString::number(static_cast<unsigned char>(bytes.at(bad)), 16).toUpper();
        throw ValueError{property.line, texts::kBadUtf8.arg(byte, shownName(property.name))};
    }
    throw ValueError{property.line, texts::kNotInCharset.arg(charsetLabel(m_fileCharset))};
}

// Control characters are no part of a name or a note: a NUL, ESC or BEL
// would be stored and shown as they are. They are left out, and said.
QString CardReader::withoutControls(const QString& text, const Property& property)
{
    if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return isControl(c.unicode()); }))
        return text;
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text)
        if (!isControl(c.unicode()))
            kept.append(c);
    m_warnings.append(texts::kControlsLeftOut.arg(shownName(property.name)).arg(property.line));
    return kept;
}

void CardReader::endCard()
{
    m_inCard = false;
    m_warnings.clear();
    if (!m_problem) {
        try {
            map(m_properties);
        } catch (const ValueError& error) {
            cardProblem(error.line, error.message);
        }
    }
    if (m_problem)
        problem(m_cardLine, *m_problem);
    m_properties.clear();
}

// "19800102", "1980-01-02", "--0102", "1980-01-02T10:00:00Z" as Czech dates.
QString czechDate(const QString& value)
{
    static const QRegularExpression full(QStringLiteral("^(\\d{4})-?(\\d{2})-?(\\d{2})(T.*)?$"));
    static const QRegularExpression noYear(QStringLiteral("^--(\\d{2})-?(\\d{2})$"));
    if (const QRegularExpressionMatch m = full.match(value); m.hasMatch()) {
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (date.isValid())
            return QStringLiteral("%1.%2.%3").arg(date.day()).arg(date.month()).arg(date.year());
    }
    if (const QRegularExpressionMatch m = noYear.match(value); m.hasMatch())
        return QStringLiteral("%1.%2.").arg(m.captured(2).toInt()).arg(m.captured(1).toInt());
    return value;
}

// Properties about the card rather than the person: leaving them out loses nothing.
bool isBookkeeping(const QByteArray& name)
{
    static const char* const names[] = {"VERSION", "PRODID", "UID", "REV", "CLIENTPIDMAP", "SOURCE", "NAME",
                                        "PROFILE", "SORT-STRING", "X-ABUID", "X-ABLABEL", "X-ABSHOWAS"};
    for (const char* bookkeeping : names)
        if (name == bookkeeping)
            return true;
    return false;
}

void CardReader::map(const std::vector<Property>& properties)
{
    QString version;
    for (const Property& property : properties)
        if (property.name == "VERSION")
            version = QString::fromLatin1(property.value.trimmed());
    if (!version.isEmpty() && version != QLatin1String("2.1") && version != QLatin1String("3.0") &&
        version != QLatin1String("4.0")) {
        for (const Property& property : properties)
            if (property.name == "VERSION")
                throw ValueError{property.line, texts::kBadVersion.arg(version)};
    }

    QStringList name;
    QString fullName, org, kind;
    QStringList addresses, phones, preferredPhones, notes, extras;
    QStringList warnings;
    for (const Property& property : properties) {
        const QByteArray& n = property.name;
        if (n == "PHOTO") {
            if (!warnings.contains(texts::kPhotoLeftOut))
                warnings.append(texts::kPhotoLeftOut);
            continue;
        }
        if (isBinary(property) || n == "LOGO" || n == "SOUND" || n == "KEY") {
            warnings.append(texts::kBinaryLeftOut.arg(shownName(n)));
            continue;
        }
        if (n == "N") {
            name = splitEscaped(text(property), QLatin1Char(';'));
        } else if (n == "FN") {
            fullName = unescape(text(property));
        } else if (n == "ORG") {
            QStringList units;
            for (const QString& unit : splitEscaped(text(property), QLatin1Char(';')))
                units.append(unescape(unit));
            org = joinNonEmpty(units, texts::kListSeparator);
        } else if (n == "KIND" || n == "X-ADDRESSBOOKSERVER-KIND") {
            kind = text(property).trimmed().toLower();
        } else if (n == "ADR") {
            QStringList parts;
            for (const QString& part : splitEscaped(text(property), QLatin1Char(';'))) {
                QStringList items;
                for (const QString& item : splitEscaped(part, QLatin1Char(',')))
                    items.append(unescape(item));
                parts.append(joinNonEmpty(items, texts::kListSeparator));
            }
            while (parts.size() < 7)
                parts.append(QString());
            const QString street = joinNonEmpty({parts[0], parts[1], parts[2]}, texts::kListSeparator);
            const QString line = joinNonEmpty(
                {czechAddressLine(street, parts[5], parts[3]), parts[4], parts[6]}, texts::kListSeparator);
            if (!line.isEmpty()) {
                if (hasParamValue(property, "TYPE", "PREF") || param(property, "PREF"))
                    addresses.prepend(line);
                else
                    addresses.append(line);
            }
        } else if (n == "TEL") {
            QString number = unescape(text(property)).trimmed();
            if (number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
                number = number.mid(4);
            if (hasParamValue(property, "TYPE", "PREF") || param(property, "PREF"))
                preferredPhones.append(number);
            else
                phones.append(number);
        } else if (n == "NOTE") {
            notes.append(unescape(text(property)));
        } else if (n == "EMAIL") {
            extras.append(texts::kEmail + unescape(text(property)).trimmed());
        } else if (n == "BDAY") {
            extras.append(texts::kBirthday + czechDate(unescape(text(property)).trimmed()));
        } else if (n == "ANNIVERSARY" || n == "X-ANNIVERSARY") {
            extras.append(texts::kAnniversary + czechDate(unescape(text(property)).trimmed()));
        } else if (n == "URL") {
            extras.append(texts::kWeb + unescape(text(property)).trimmed());
        } else if (n == "NICKNAME") {
            extras.append(texts::kNickname + unescape(text(property)).trimmed());
        } else if (n == "TITLE") {
            extras.append(texts::kJobTitle + unescape(text(property)).trimmed());
        } else if (n == "ROLE") {
            extras.append(texts::kRole + unescape(text(property)).trimmed());
        } else if (n == "IMPP") {
            extras.append(texts::kChat + unescape(text(property)).trimmed());
        } else if (n == "CATEGORIES") {
            extras.append(texts::kGroups + unescape(text(property)).trimmed());
        } else if (!isBookkeeping(n)) {
            // The user's data that has no place here: said, not dropped silently.
            QString value;
            try {
                value = unescape(text(property)).simplified();
            } catch (const ValueError&) {
                warnings.append(texts::kBinaryLeftOut.arg(shownName(n)));
                continue;
            }
            if (!value.isEmpty())
                warnings.append(texts::kPropertyLeftOut.arg(shownName(n), value));
        }
    }

    AddressParts parts;
    for (QString& component : name) {
        QStringList items;
        for (const QString& item : splitEscaped(component, QLatin1Char(',')))
            items.append(unescape(item));
        component = joinNonEmpty(items, QStringLiteral(" "));
    }
    while (name.size() < 5)
        name.append(QString());
    const QString family = name[0].trimmed();
    QString given = joinNonEmpty({name[3], name[1], name[2]}, QStringLiteral(" "));
    given = joinNonEmpty({given, name[4]}, texts::kListSeparator);

    const bool firm = kind == QLatin1String("org") || (family.isEmpty() && given.isEmpty() && !org.isEmpty());
    if (firm) {
        parts.surname = org.isEmpty() ? fullName : org;
    } else if (!family.isEmpty()) {
        parts.surname = family;
        parts.firstName = given;
    } else if (!given.isEmpty()) {
        parts.surname = given; // a phone's "Maminka": the only name there is
    } else {
        const QString full = fullName.simplified();
        const qsizetype blank = full.lastIndexOf(QLatin1Char(' '));
        parts.surname = blank < 0 ? full : full.mid(blank + 1);
        parts.firstName = blank < 0 ? QString() : full.left(blank);
    }
    if (parts.surname.trimmed().isEmpty())
        throw ValueError{m_cardLine, texts::kNoName};
    if (!firm && !org.isEmpty())
        extras.prepend(texts::kFirm + org);

    parts.phones = preferredPhones + phones;
    if (!addresses.isEmpty())
        parts.address = addresses.takeFirst();
    for (const QString& more : addresses)
        extras.append(texts::kMoreAddress + more);
    parts.noteParts = notes + extras;

    SourceRecord record = composeAddress(parts, m_cardLine);
    record.warnings = warnings + m_warnings;
    m_records.push_back(std::move(record));
}

bool headIsQuotedPrintable(const QByteArray& logical)
{
    const qsizetype colon = indexOutsideQuotes(logical, ':');
    const QByteArray head = colon < 0 ? logical : logical.left(colon);
    return head.toUpper().contains("QUOTED-PRINTABLE");
}

// Writes content lines folded at 75 bytes straight into the output: a line
// is broken before the byte that would pass the limit, never inside a UTF-8
// sequence, and goes on after a blank. Texts are encoded, escaped (version
// 4.0) and folded in one pass, without a string per value: an export writes
// a million cards.
class CardLineWriter {
public:
    // Bytes gather in `card` (emptied here, its memory kept) byte by byte;
    // the caller appends it whole.
    explicit CardLineWriter(std::string& card) : m_out(card) { m_out.clear(); }

    void ascii(const char* text)
    {
        for (; *text; ++text)
            put(text, 1);
    }
    // `compound` also escapes semicolons (the parts of N, ORG and ADR).
    void text(QStringView text, bool compound)
    {
        const qsizetype size = text.size();
        for (qsizetype i = 0; i < size; ++i) {
            const char16_t unit = text[i].unicode();
            if (plain(unit, compound)) {
                // Most of a card is letters and digits of ASCII: copied run by run.
                qsizetype run = 1;
                while (i + run < size && plain(text[i + run].unicode(), compound))
                    ++run;
                putAscii(text.utf16() + i, run);
                i += run - 1;
                continue;
            }
            if (unit < 0x80) {
                const char c = static_cast<char>(unit);
                switch (c) {
                case '\\':
                case ',':
                    put("\\", 1);
                    put(&c, 1);
                    break;
                case ';':
                    if (compound)
                        put("\\", 1);
                    put(&c, 1);
                    break;
                case '\n':
                    put("\\n", 2);
                    break;
                case '\r':
                    break;
                default:
                    put(&c, 1);
                }
                continue;
            }
            char bytes[4];
            int length = 0;
            if (unit < 0x800) {
                bytes[0] = static_cast<char>(0xC0 | (unit >> 6));
                bytes[1] = static_cast<char>(0x80 | (unit & 0x3F));
                length = 2;
            } else if (QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(text[i + 1].unicode())) {
                const char32_t code = QChar::surrogateToUcs4(unit, text[++i].unicode());
                bytes[0] = static_cast<char>(0xF0 | (code >> 18));
                bytes[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
                bytes[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                bytes[3] = static_cast<char>(0x80 | (code & 0x3F));
                length = 4;
            } else if (QChar::isSurrogate(unit)) {
                // Half a pair is no character: written as '?', as QString::toUtf8 does.
                bytes[0] = '?';
                length = 1;
            } else {
                bytes[0] = static_cast<char>(0xE0 | (unit >> 12));
                bytes[1] = static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
                bytes[2] = static_cast<char>(0x80 | (unit & 0x3F));
                length = 3;
            }
            put(bytes, length);
        }
    }
    void literal(const char* text) { m_out.append(text); }
    void endLine()
    {
        m_out.append("\r\n", 2);
        m_used = 0;
        m_limit = kFirstLimit;
    }

private:
    // The first part of a line holds 75 bytes; each further part a blank and 74.
    static constexpr int kFirstLimit = 75;
    static constexpr int kFurtherLimit = 74;

    // ASCII that is written as it is.
    static bool plain(char16_t unit, bool compound)
    {
        return unit < 0x80 && unit != u'\\' && unit != u',' && unit != u'\n' && unit != u'\r' &&
               (unit != u';' || !compound);
    }

    void putAscii(const char16_t* units, qsizetype count)
    {
        while (count > 0) {
            if (m_used >= m_limit) {
                m_out.append("\r\n ", 3);
                m_used = 0;
                m_limit = kFurtherLimit;
            }
            const int take = static_cast<int>(std::min<qsizetype>(count, m_limit - m_used));
            const std::size_t at = m_out.size();
            m_out.resize(at + static_cast<std::size_t>(take));
            for (int k = 0; k < take; ++k)
                m_out[at + static_cast<std::size_t>(k)] = static_cast<char>(units[k]);
            units += take;
            count -= take;
            m_used += take;
        }
    }

    void put(const char* bytes, int length)
    {
        if (m_used + length > m_limit) {
            m_out.append("\r\n ", 3);
            m_used = 0;
            m_limit = kFurtherLimit;
        }
        if (length == 1)
            m_out.push_back(*bytes);
        else
            m_out.append(bytes, static_cast<std::size_t>(length));
        m_used += length;
    }

    std::string& m_out;
    int m_used = 0;
    int m_limit = kFirstLimit;
};

// Whether a telephone field is a plain list ("777 123 456, 212 345 678"):
// each number neither empty nor with blanks at its ends, so that reading the
// cards' TEL lines joins them back to the very same text.
bool isPlainList(QStringView phone, QStringView separator)
{
    for (const QStringView number : phone.tokenize(separator)) {
        if (number.isEmpty() || number.trimmed().size() != number.size())
            return false;
    }
    return true;
}

qsizetype characterCount(QStringView text)
{
    qsizetype pairs = 0;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i].isHighSurrogate() && text[i + 1].isLowSurrogate()) {
            ++pairs;
            ++i;
        }
    }
    return text.size() - pairs;
}

// Physical lines as the pieces of the file arrive, joined into logical
// lines (folding, 2.1's quoted-printable soft breaks) for the card reader.
// Nothing longer than kMaxLineBytes is kept: the rest of such a line is
// counted, not stored.
class LineStream {
public:
    explicit LineStream(CardReader& reader) : m_reader(reader) {}

    void feed(QByteArrayView piece)
    {
        while (!piece.isEmpty()) {
            const qsizetype end = piece.indexOf('\n');
            if (end < 0) {
                keep(m_partial, m_partialLong, piece);
                return;
            }
            if (m_partial.isEmpty() && !m_partialLong) {
                physical(piece.first(end), false);
            } else {
                keep(m_partial, m_partialLong, piece.first(end));
                physical(m_partial, m_partialLong);
                m_partial.clear();
                m_partialLong = false;
            }
            piece = piece.sliced(end + 1);
        }
    }

    void finish()
    {
        if (!m_partial.isEmpty() || m_partialLong)
            physical(m_partial, m_partialLong);
        m_partial.clear();
        endLogical();
    }

private:
    static void keep(QByteArray& to, bool& tooLong, QByteArrayView bytes)
    {
        const qsizetype room = kMaxLineBytes - to.size();
        if (bytes.size() > room) {
            tooLong = true;
            bytes = bytes.first(std::max<qsizetype>(room, 0));
        }
        to.append(bytes);
    }

    void physical(QByteArrayView line, bool tooLong)
    {
        if (line.endsWith('\r'))
            line.chop(1);
        ++m_lineNumber;
        if (!line.isEmpty() && (line.front() == ' ' || line.front() == '\t')) {
            if (m_logical.isEmpty() && !m_logicalLong) {
                if (!line.trimmed().isEmpty())
                    m_reader.stray(m_lineNumber);
                return;
            }
            keep(m_logical, m_logicalLong, line.sliced(1));
            m_logicalLong = m_logicalLong || tooLong;
            return;
        }
        // 2.1's quoted-printable soft line break: "=" at the end joins the next line.
        if (m_logicalIsQp && m_logical.endsWith('=')) {
            m_logical.chop(1);
            keep(m_logical, m_logicalLong, line);
            m_logicalLong = m_logicalLong || tooLong;
            return;
        }
        endLogical();
        m_logical = line.toByteArray();
        m_logicalLong = tooLong;
        m_logicalLine = m_lineNumber;
        m_logicalIsQp = headIsQuotedPrintable(m_logical);
    }

    void endLogical()
    {
        if (!m_logical.isEmpty() || m_logicalLong)
            m_reader.line(m_logical, m_logicalLine, m_logicalLong);
        m_logical.clear();
        m_logicalLong = false;
    }

    CardReader& m_reader;
    QByteArray m_partial; // a physical line the last piece ended inside
    bool m_partialLong = false;
    QByteArray m_logical;
    bool m_logicalLong = false;
    int m_logicalLine = 0;
    bool m_logicalIsQp = false;
    int m_lineNumber = 0;
};

constexpr qint64 kPieceBytes = qint64(1) << 20;

} // namespace

VCardRead readVCards(QIODevice& device, const std::function<bool(qint64, qint64)>& progress)
{
    if (device.isSequential()) {
        // The encoding is known only after a first pass over the bytes.
        QBuffer buffer;
        buffer.setData(device.readAll());
        buffer.open(QIODevice::ReadOnly);
        return readVCards(buffer, progress);
    }
    VCardRead result;
    const qint64 total = device.size();
    const qint64 start = device.pos();
    // A single card (as sync reads them) needs no megabyte.
    const qint64 pieceBytes = std::clamp<qint64>(total - start, 1, kPieceBytes);
    QByteArray piece(pieceBytes, Qt::Uninitialized);
    const auto readPiece = [&]() -> qint64 {
        const qint64 got = device.read(piece.data(), pieceBytes);
        if (got < 0)
            result.error = device.errorString();
        return got;
    };

    const char* fileCharset = "UTF-8";
    FileText fileText = FileText::Utf8;
    const DetectedEncoding mark = detectEncoding(device.peek(3));
    const bool utf16 = qstrncmp(mark.charset, "UTF-16", 6) == 0;
    if (mark.bomLength == 0) {
        Utf8Scanner scanner;
        for (qint64 got; (got = readPiece()) > 0;)
            scanner.feed(QByteArrayView(piece.constData(), got));
        if (!result.error.isEmpty() || !device.seek(start))
            return VCardRead{{}, {}, {}, result.error.isEmpty() ? device.errorString() : result.error};
        const Utf8Scan scan = scanner.finish();
        if (scan.invalid == 0 && scan.validMultiByte == 0) {
            fileText = FileText::Ascii;
        } else if (scan.invalid > 0 && scan.validMultiByte <= scan.invalid) {
            // Not UTF-8 with a few bad bytes (those are reported card by card) but another code page.
            fileCharset = scanner.czech8Bit();
            fileText = FileText::EightBit;
            result.notes.append(texts::kFileInCodePage.arg(charsetLabel(fileCharset)));
        }
    } else {
        device.skip(mark.bomLength);
    }

    CardReader reader(fileCharset, fileText, result.problems, result.records);
    LineStream lines(reader);
    QStringDecoder fromUtf16(qstrcmp(mark.charset, "UTF-16BE") == 0 ? QStringDecoder::Utf16BE
                                                                    : QStringDecoder::Utf16LE);
    qint64 done = start + mark.bomLength;
    for (qint64 got; !reader.stopped() && (got = readPiece()) > 0;) {
        done += got;
        if (utf16) {
            const QString text = fromUtf16(QByteArrayView(piece.constData(), got));
            if (fromUtf16.hasError())
                return VCardRead{{}, {{1, at(1, texts::kNotUtf16)}}, {}, {}};
            lines.feed(text.toUtf8());
        } else {
            lines.feed(QByteArrayView(piece.constData(), got));
        }
        if (progress && !progress(done, total))
            return {};
    }
    if (!result.error.isEmpty())
        return VCardRead{{}, {}, {}, result.error};
    // A unit the file ends inside.
    if (utf16 && (done - start - mark.bomLength) % 2 != 0)
        return VCardRead{{}, {{1, at(1, texts::kNotUtf16)}}, {}, {}};
    lines.finish();
    reader.finish();
    if (progress)
        progress(total, total);
    return result;
}

VCardRead readVCards(const QByteArray& bytes, const std::function<bool(qint64, qint64)>& progress)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readVCards(buffer, progress);
}

void appendVCard(QByteArray& out, const std::vector<QString>& fields)
{
    const auto field = [&](AddressField f) -> QStringView {
        return static_cast<std::size_t>(f) < fields.size() ? QStringView(fields[static_cast<std::size_t>(f)])
                                                            : QStringView();
    };
    const QStringView surname = field(Surname), firstName = field(FirstName), address = field(Address),
                      phone = field(Phone), note = field(Note);
    thread_local std::string card;
    CardLineWriter line(card);
    line.literal("BEGIN:VCARD\r\nVERSION:4.0\r\n");
    if (firstName.trimmed().isEmpty() && looksLikeFirm(surname.toString(), QString())) {
        line.literal("KIND:org\r\n");
        line.ascii("FN:");
        line.text(surname, false);
        line.endLine();
        line.ascii("ORG:");
        line.text(surname, true);
        line.endLine();
    } else {
        // The name as it is called: the given name and the surname, each trimmed, the empty left out.
        const QStringView given = firstName.trimmed(), family = surname.trimmed();
        line.ascii("FN:");
        line.text(given, false);
        if (!given.isEmpty() && !family.isEmpty())
            line.ascii(" ");
        line.text(family, false);
        line.endLine();
        line.ascii("N:");
        line.text(surname, true);
        line.ascii(";");
        line.text(firstName, true);
        line.ascii(";;;");
        line.endLine();
    }
    if (!address.isEmpty()) {
        QString street, code, place;
        line.ascii("ADR:;;");
        if (splitCzechAddressLine(address.toString(), &street, &code, &place)) {
            line.text(street, true);
            line.ascii(";");
            line.text(place, true);
            line.ascii(";;");
            line.text(code, true);
            line.ascii(";");
        } else {
            line.text(address, true);
            line.ascii(";;;;");
        }
        line.endLine();
    }
    if (!phone.isEmpty()) {
        // One TEL per number where the field is a plain list, so that reading
        // the card joins them back to the very same text.
        // A text longer than the field (never one the table gave) stays whole:
        // read back, its later numbers would go to the note.
        static const int width = addressFieldWidth(Phone);
        const QStringView separator(texts::kListSeparator);
        if (isPlainList(phone, separator) && (width <= 0 || characterCount(phone) <= width)) {
            for (const QStringView number : phone.tokenize(separator)) {
                line.ascii("TEL;VALUE=text:");
                line.text(number, false);
                line.endLine();
            }
        } else {
            line.ascii("TEL;VALUE=text:");
            line.text(phone, false);
            line.endLine();
        }
    }
    if (!note.isEmpty()) {
        line.ascii("NOTE:");
        line.text(note, false);
        line.endLine();
    }
    line.literal("END:VCARD\r\n");
    out.append(card.data(), static_cast<qsizetype>(card.size()));
}

QByteArray writeVCard(const std::vector<QString>& fields)
{
    QByteArray out;
    out.reserve(256);
    appendVCard(out, fields);
    return out;
}

} // namespace interchange
