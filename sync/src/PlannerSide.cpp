#include "sync/PlannerSide.h"

#include "sync/ContactCard.h"
#include "sync/DayEvent.h"

#include "SyncTexts.h"
#include "TableWrites.h"

#include "store/Cursor.h"
#include "store/Database.h"
#include "store/DateText.h"

namespace davsync {

namespace {

const char* const kDate = "Datum";
const char* const kText = "Činnost";
// The width of `Činnost`.
constexpr int kTextWidth = 120;
const QString kBlankLine = QStringLiteral("\n\n");

std::optional<QDate> dayOf(const QString& key)
{
    const std::optional<store::DateTime> date = store::parseDate(key.trimmed().toStdString());
    if (!date)
        return std::nullopt;
    return QDate(date->year, date->month, date->day);
}

QString keyOfDay(const QDate& day)
{
    return QString::fromStdString(store::formatDate({day.year(), day.month(), day.day(), 0, 0, 0}));
}

} // namespace

PlannerSide::PlannerSide(store::Database& database, QDateTime stamp)
    : m_cursor(std::make_unique<store::Cursor>(database, "Datp.DB")), m_stamp(std::move(stamp))
{
    m_cursor->open();
}

PlannerSide::~PlannerSide() = default;

QString PlannerSide::itemWord() const
{
    return QStringLiteral("den");
}

std::map<QString, Fields> PlannerSide::records()
{
    std::map<QString, Fields> result;
    for (m_cursor->first(); !m_cursor->eof(); m_cursor->next()) {
        Fields fields{QString::fromStdString(m_cursor->text(kDate)), QString::fromStdString(m_cursor->text(kText))};
        QString key = fields[0];
        result.emplace(std::move(key), std::move(fields));
    }
    return result;
}

QString PlannerSide::keyOf(const Fields& fields) const
{
    return fields.at(0);
}

Fields PlannerSide::withKey(Fields fields, const QString& key) const
{
    fields.at(0) = key;
    return fields;
}

QString PlannerSide::foldKey(const QString& key) const
{
    const std::optional<QDate> day = dayOf(key);
    return day ? day->toString(Qt::ISODate) : key.trimmed();
}

QString PlannerSide::freeKey(const QString& wanted, const std::set<QString>& taken) const
{
    // No second entry for a day: the caller joins the texts.
    return taken.contains(foldKey(wanted)) ? QString() : wanted;
}

bool PlannerSide::keyCameFrom(const QString& key, const QString& wanted) const
{
    return foldKey(key) == foldKey(wanted);
}

std::optional<MappedItem> PlannerSide::map(const QByteArray& body, QString* error) const
{
    std::optional<DayEvent> event = readDayEvent(body, error);
    if (!event)
        return std::nullopt;
    // The table's dates have four-digit years.
    if (event->day.year() < 1000 || event->day.year() > 9999) {
        if (error)
            *error = texts::kDayOutOfRange.arg(event->day.year());
        return std::nullopt;
    }
    return MappedItem{event->uid, {keyOfDay(event->day), fitted(event->text.trimmed(), kTextWidth)}};
}

QByteArray PlannerSide::write(const Fields& fields, const QString& uid, const QByteArray& base, const QString&) const
{
    const std::optional<QDate> day = dayOf(keyOf(fields));
    QString text = fields.at(1);
    // A text cut to the field's width here stays whole on the server while
    // it is not edited here.
    if (!base.isEmpty()) {
        if (const std::optional<DayEvent> before = readDayEvent(base, nullptr);
            before && fitted(before->text.trimmed(), kTextWidth) == text)
            text = before->text.trimmed();
    }
    return writeDayEvent(day.value_or(QDate()), text, uid, base, m_stamp);
}

QString PlannerSide::describe(const Fields& fields) const
{
    return fields.at(0) + QStringLiteral(": ") + fields.at(1);
}

Fields PlannerSide::joined(const Fields& here, const Fields& arriving) const
{
    const QString added = arriving.at(1).trimmed();
    if (added.isEmpty() || here.at(1).contains(added))
        return here;
    const QString text = here.at(1).trimmed();
    return {here.at(0), fitted(text.isEmpty() ? added : text + kBlankLine + added, kTextWidth)};
}

bool PlannerSide::holds(const Fields& into, const Fields& arriving) const
{
    return into.at(1).contains(arriving.at(1).trimmed());
}

bool PlannerSide::readOnly(const QByteArray& body) const
{
    const std::optional<DayEvent> event = readDayEvent(body, nullptr);
    return event && event->recurring;
}

bool PlannerSide::staysWhenJoined(const QByteArray& body) const
{
    const std::optional<DayEvent> event = readDayEvent(body, nullptr);
    return !event || event->recurring || event->timed;
}

void PlannerSide::apply(const std::vector<LocalWrite>& writes)
{
    applyWrites(*m_cursor, writes, [this](const Fields& fields) { return keyOf(fields); });
}

} // namespace davsync
