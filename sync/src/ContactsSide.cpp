#include "sync/ContactsSide.h"

#include "sync/ContactCard.h"

#include "TableWrites.h"

#include "interchange/AddressParts.h"

#include "store/Cursor.h"
#include "store/Database.h"

#include <QRegularExpression>

namespace davsync {

namespace {

const char* const kFields[] = {"Příjmení", "Jméno", "Adresa", "Telefon", "Poznámka"};
constexpr int kFieldCount = 5;

} // namespace

ContactsSide::ContactsSide(store::Database& database) : m_cursor(std::make_unique<store::Cursor>(database, "Dat.DB"))
{
    m_cursor->open();
}

ContactsSide::~ContactsSide() = default;

QString ContactsSide::itemWord() const
{
    return QStringLiteral("kontakt");
}

std::map<QString, Fields> ContactsSide::records()
{
    std::map<QString, Fields> result;
    for (m_cursor->first(); !m_cursor->eof(); m_cursor->next()) {
        Fields fields(kFieldCount);
        for (int f = 0; f < kFieldCount; ++f)
            fields[static_cast<std::size_t>(f)] = QString::fromStdString(m_cursor->text(kFields[f]));
        QString key = fields[0];
        result.emplace(std::move(key), std::move(fields));
    }
    return result;
}

QString ContactsSide::keyOf(const Fields& fields) const
{
    return fields.at(interchange::Surname);
}

Fields ContactsSide::withKey(Fields fields, const QString& key) const
{
    fields.at(interchange::Surname) = key;
    return fields;
}

QString ContactsSide::foldKey(const QString& key) const
{
    return key.trimmed().toCaseFolded();
}

QString ContactsSide::freeKey(const QString& wanted, const std::set<QString>& taken) const
{
    if (!taken.contains(foldKey(wanted)))
        return wanted;
    // "Novák (2)": the number stays inside the field's width.
    const int width = interchange::addressFieldWidth(interchange::Surname);
    for (int n = 2;; ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        const QString key = fitted(wanted, width - static_cast<int>(suffix.size())) + suffix;
        if (!taken.contains(foldKey(key)))
            return key;
    }
}

bool ContactsSide::keyCameFrom(const QString& key, const QString& wanted) const
{
    if (foldKey(key) == foldKey(wanted))
        return true;
    static const QRegularExpression numbered(QStringLiteral("^(.*) \\((\\d+)\\)$"));
    const QRegularExpressionMatch match = numbered.match(key);
    if (!match.hasMatch())
        return false;
    const int width = interchange::addressFieldWidth(interchange::Surname);
    const QString stem = match.captured(1);
    return foldKey(stem) == foldKey(fitted(wanted, width - static_cast<int>(key.size() - stem.size())));
}

std::optional<MappedItem> ContactsSide::map(const QByteArray& body, QString* error) const
{
    std::optional<MappedCard> card = mapCard(body, error);
    if (!card)
        return std::nullopt;
    return MappedItem{card->uid, std::move(card->fields)};
}

QByteArray ContactsSide::write(const Fields& fields, const QString& uid, const QByteArray& base,
                               const QString& baseKey) const
{
    return writeCard(fields, uid, base, baseKey);
}

QString ContactsSide::describe(const Fields& fields) const
{
    QStringList parts;
    for (const QString& field : fields)
        if (!field.trimmed().isEmpty())
            parts.append(field.trimmed());
    return parts.join(QStringLiteral(", "));
}

void ContactsSide::apply(const std::vector<LocalWrite>& writes)
{
    applyWrites(*m_cursor, writes, [this](const Fields& fields) { return keyOf(fields); });
}

} // namespace davsync
