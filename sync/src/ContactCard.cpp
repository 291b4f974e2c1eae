#include "sync/ContactCard.h"

#include "interchange/AddressParts.h"
#include "interchange/VCard.h"

#include <QCryptographicHash>

#include <array>

namespace davsync {

namespace {

using interchange::AddressField;

enum Group { NameGroup, AddressGroup, PhoneGroup, NoteGroup, Unmapped };

QByteArray propertyName(const QByteArray& logical)
{
    qsizetype end = 0;
    while (end < logical.size() && logical.at(end) != ';' && logical.at(end) != ':')
        ++end;
    QByteArray name = logical.left(end).trimmed().toUpper();
    if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0)
        name = name.mid(dot + 1);
    return name;
}

QByteArray unfolded(const QByteArray& raw)
{
    QByteArray line = raw;
    line.replace("\r\n ", "").replace("\r\n\t", "").replace("\n ", "").replace("\n\t", "");
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return line;
}

QByteArray valueOf(const QByteArray& logical)
{
    // The first colon outside a quoted parameter.
    bool quoted = false;
    for (qsizetype i = 0; i < logical.size(); ++i) {
        if (logical.at(i) == '"')
            quoted = !quoted;
        else if (logical.at(i) == ':' && !quoted)
            return logical.mid(i + 1);
    }
    return {};
}

bool isPreferred(const QByteArray& logical)
{
    const QByteArray head = logical.left(logical.size() - valueOf(logical).size()).toUpper();
    return head.contains("PREF");
}

// The characters a telephone takes in the field, as the reader will give it.
int phoneLength(const QByteArray& logical)
{
    QString value = QString::fromUtf8(valueOf(logical)).trimmed();
    if (value.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
        value = value.mid(4);
    value.remove(QLatin1Char('\\'));
    return static_cast<int>(value.toUcs4().size());
}

// Which lines the address fields come from, and so which lines a changed
// field replaces: the name, the preferred (else first) address, telephones
// while they fit the field, the first note.
std::vector<Group> groupsOf(const std::vector<CardLine>& lines, bool firm)
{
    std::vector<Group> groups(lines.size(), Unmapped);
    qsizetype address = -1;
    int phoneRoom = interchange::addressFieldWidth(interchange::Phone);
    bool phonesFull = false, noteSeen = false;
    std::vector<std::size_t> phones;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const QByteArray& name = lines[i].name;
        const QByteArray logical = unfolded(lines[i].raw);
        if (name == "N" || name == "FN" || name == "KIND" || name == "X-ADDRESSBOOKSERVER-KIND" ||
            (name == "ORG" && firm)) {
            groups[i] = NameGroup;
        } else if (name == "ADR") {
            if (address < 0 || (isPreferred(logical) && !isPreferred(unfolded(lines[static_cast<std::size_t>(address)].raw))))
                address = static_cast<qsizetype>(i);
        } else if (name == "TEL") {
            if (isPreferred(logical))
                phones.insert(phones.begin(), i);
            else
                phones.push_back(i);
        } else if (name == "NOTE" && !noteSeen) {
            groups[i] = NoteGroup;
            noteSeen = true;
        }
    }
    if (address >= 0)
        groups[static_cast<std::size_t>(address)] = AddressGroup;
    const int separator = 2; // ", "
    bool first = true;
    for (std::size_t i : phones) {
        const int length = phoneLength(unfolded(lines[i].raw)) + (first ? 0 : separator);
        // The first one always: the reader keeps it whole.
        if (phonesFull || (!first && phoneRoom > 0 && length > phoneRoom)) {
            phonesFull = true;
            continue;
        }
        groups[i] = PhoneGroup;
        phoneRoom -= length;
        first = false;
    }
    return groups;
}

// The card of only the mapped lines, read by the vCard reader.
std::optional<std::vector<QString>> readMapped(const std::vector<CardLine>& lines, const std::vector<Group>& groups,
                                               const QByteArray& version, QString* error)
{
    QByteArray card = "BEGIN:VCARD\r\n";
    if (!version.isEmpty())
        card += "VERSION:" + version + "\r\n";
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (groups[i] != Unmapped) {
            card += lines[i].raw;
            if (!card.endsWith('\n'))
                card += "\r\n";
        }
    card += "END:VCARD\r\n";
    const interchange::VCardRead read = interchange::readVCards(card);
    if (read.records.empty()) {
        if (error)
            *error = read.problems.empty() ? QString() : read.problems.front().message;
        return std::nullopt;
    }
    return read.records.front().fields;
}

bool declaresFirm(const std::vector<CardLine>& lines)
{
    for (const CardLine& line : lines)
        if (line.name == "KIND" || line.name == "X-ADDRESSBOOKSERVER-KIND")
            if (valueOf(unfolded(line.raw)).trimmed().toLower() == "org")
                return true;
    return false;
}

struct Mapping {
    std::vector<Group> groups;
    std::vector<QString> fields;
    QString uid;
    QByteArray version;
};

std::optional<Mapping> mapLines(const std::vector<CardLine>& lines, QString* error)
{
    Mapping mapping;
    for (const CardLine& line : lines) {
        if (line.name == "UID")
            mapping.uid = QString::fromUtf8(valueOf(unfolded(line.raw))).trimmed();
        else if (line.name == "VERSION")
            mapping.version = valueOf(unfolded(line.raw)).trimmed();
    }
    // A person's ORG is the firm they work for and stays on the card; a
    // firm's ORG is its name. A card naming nobody but a firm is a firm's.
    bool firm = declaresFirm(lines);
    mapping.groups = groupsOf(lines, firm);
    std::optional<std::vector<QString>> fields = readMapped(lines, mapping.groups, mapping.version, error);
    if (!fields && !firm) {
        firm = true;
        mapping.groups = groupsOf(lines, firm);
        fields = readMapped(lines, mapping.groups, mapping.version, error);
    }
    if (!fields)
        return std::nullopt;
    mapping.fields = std::move(*fields);
    mapping.fields.resize(interchange::AddressFieldCount);
    for (int f = 0; f < interchange::AddressFieldCount; ++f)
        mapping.fields[static_cast<std::size_t>(f)] =
            fitted(mapping.fields[static_cast<std::size_t>(f)], interchange::addressFieldWidth(static_cast<AddressField>(f)));
    return mapping;
}

std::array<bool, 4> changedGroups(const std::vector<QString>& now, const std::vector<QString>& before)
{
    const auto differs = [&](AddressField f) {
        return now.at(static_cast<std::size_t>(f)) != before.at(static_cast<std::size_t>(f));
    };
    return {differs(interchange::Surname) || differs(interchange::FirstName), differs(interchange::Address),
            differs(interchange::Phone), differs(interchange::Note)};
}

Group groupOfWritten(const QByteArray& name)
{
    if (name == "N" || name == "FN" || name == "KIND" || name == "ORG")
        return NameGroup;
    if (name == "ADR")
        return AddressGroup;
    if (name == "TEL")
        return PhoneGroup;
    if (name == "NOTE")
        return NoteGroup;
    return Unmapped;
}

QByteArray uidLine(const QString& uid)
{
    return "UID:" + uid.toUtf8() + "\r\n";
}

} // namespace

std::vector<CardLine> cardLines(const QByteArray& card)
{
    std::vector<CardLine> lines;
    bool inside = false;
    qsizetype start = 0;
    CardLine current;
    const auto flush = [&] {
        if (current.raw.isEmpty())
            return;
        const QByteArray logical = unfolded(current.raw);
        const QByteArray name = propertyName(logical);
        const QByteArray value = valueOf(logical).trimmed().toUpper();
        if (name == "BEGIN" && value == "VCARD") {
            inside = true;
        } else if (name == "END" && value == "VCARD") {
            inside = false;
        } else if (inside && !logical.trimmed().isEmpty()) {
            current.name = name;
            if (!current.raw.endsWith('\n'))
                current.raw += "\r\n";
            lines.push_back(current);
        }
        current = CardLine();
    };
    while (start < card.size()) {
        qsizetype end = card.indexOf('\n', start);
        end = end < 0 ? card.size() : end + 1;
        const QByteArray physical = card.mid(start, end - start);
        start = end;
        if (!physical.isEmpty() && (physical.front() == ' ' || physical.front() == '\t') && !current.raw.isEmpty()) {
            current.raw += physical;
            continue;
        }
        const bool wasInside = inside;
        flush();
        if (!wasInside && inside && !lines.empty())
            break; // a second card: only the first counts
        current.raw = physical;
    }
    flush();
    return lines;
}

QString fitted(const QString& text, int width)
{
    if (width <= 0 || text.size() <= width)
        return text;
    const QList<uint> ucs4 = text.toUcs4();
    if (ucs4.size() <= width)
        return text;
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(ucs4.constData()), width).trimmed();
}

std::optional<MappedCard> mapCard(const QByteArray& card, QString* error)
{
    std::optional<Mapping> mapping = mapLines(cardLines(card), error);
    if (!mapping)
        return std::nullopt;
    return MappedCard{mapping->uid, std::move(mapping->fields)};
}

QByteArray writeCard(const std::vector<QString>& fields, const QString& uid, const QByteArray& base,
                     const QString& baseKey)
{
    const std::vector<CardLine> written = cardLines(interchange::writeVCard(fields));
    const std::vector<CardLine> lines = cardLines(base);
    std::optional<Mapping> mapping = base.isEmpty() ? std::nullopt : mapLines(lines, nullptr);
    if (!mapping) {
        QByteArray out = "BEGIN:VCARD\r\n";
        for (const CardLine& line : written) {
            out += line.raw;
            if (line.name == "VERSION")
                out += uidLine(uid);
        }
        return out + "END:VCARD\r\n";
    }

    // The surname here may carry a number ("Novák (2)") the card does not.
    std::vector<QString> before = mapping->fields;
    if (!baseKey.isEmpty())
        before[interchange::Surname] = baseKey;
    const std::array<bool, 4> changed = changedGroups(fields, before);
    const bool oldVersion = mapping->version.startsWith("3") || mapping->version.startsWith("2");
    const auto newLines = [&](Group group) {
        QByteArray out;
        for (const CardLine& line : written) {
            if (groupOfWritten(line.name) != group)
                continue;
            QByteArray raw = line.raw;
            // Version 3.0 knows no value type on a telephone and no KIND.
            if (oldVersion && line.name == "TEL")
                raw.replace("TEL;VALUE=text:", "TEL:");
            if (oldVersion && line.name == "KIND")
                raw = "X-ADDRESSBOOKSERVER-KIND:org\r\n";
            out += raw;
        }
        return out;
    };
    // A firm's name written anew brings its own ORG: the old one goes.
    const bool newOrg = changed[NameGroup] && newLines(NameGroup).contains("\nORG");

    QByteArray out = "BEGIN:VCARD\r\n";
    std::array<bool, 4> placed{};
    bool hasUid = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Group group = mapping->groups[i];
        hasUid = hasUid || lines[i].name == "UID";
        if (group == Unmapped && !(newOrg && lines[i].name == "ORG")) {
            out += lines[i].raw;
            continue;
        }
        if (group == Unmapped || !changed[group]) {
            if (group != Unmapped)
                out += lines[i].raw;
            continue;
        }
        if (!placed[group]) {
            out += newLines(group);
            placed[group] = true;
        }
    }
    for (int group = NameGroup; group <= NoteGroup; ++group)
        if (changed[static_cast<std::size_t>(group)] && !placed[static_cast<std::size_t>(group)])
            out += newLines(static_cast<Group>(group));
    if (!hasUid)
        out += uidLine(uid);
    return out + "END:VCARD\r\n";
}

QString fieldsHash(const std::vector<QString>& fields)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QString& field : fields) {
        hash.addData(field.toUtf8());
        hash.addData(QByteArrayView("\x1f", 1));
    }
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace davsync
