#include "sync/DayEvent.h"

#include "SyncTexts.h"

#include <QStringList>
#include <QTimeZone>

#include <libical/ical.h>

#include <memory>

namespace davsync {

namespace {

// libical aborts the process on its own errors unless told otherwise; a
// server's bad calendar must be a message, never the end of the program.
void quietLibical()
{
    static const bool once = [] {
        icalerror_set_errors_are_fatal(0);
        return true;
    }();
    static_cast<void>(once);
}

struct Free {
    void operator()(icalcomponent* component) const { icalcomponent_free(component); }
};
using Component = std::unique_ptr<icalcomponent, Free>;

Component parse(const QByteArray& ics)
{
    quietLibical();
    return Component(icalparser_parse_string(ics.constData()));
}

QByteArray icsText(const icalcomponent* component)
{
    char* out = icalcomponent_as_ical_string_r(const_cast<icalcomponent*>(component));
    QByteArray result(out);
    icalmemory_free_buffer(out);
    return result;
}

// The event that stands for the whole object: not an exception to a series.
icalcomponent* masterEvent(icalcomponent* root)
{
    if (!root)
        return nullptr;
    if (icalcomponent_isa(root) == ICAL_VEVENT_COMPONENT)
        return root;
    for (icalcomponent* event = icalcomponent_get_first_component(root, ICAL_VEVENT_COMPONENT); event;
         event = icalcomponent_get_next_component(root, ICAL_VEVENT_COMPONENT))
        if (!icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY))
            return event;
    return nullptr;
}

struct Moment {
    QDate day;
    std::optional<QTime> time; // in this machine's zone
};

// A DTSTART or DTEND as the user here sees it: a date stays that date; a
// time in UTC or in a named zone is moved to the local zone, a floating one
// is taken as it stands.
std::optional<Moment> momentOf(icalproperty* property)
{
    if (!property)
        return std::nullopt;
    const icaltimetype value = icalvalue_get_datetime(icalproperty_get_value(property));
    if (icaltime_is_null_time(value))
        return std::nullopt;
    const QDate date(value.year, value.month, value.day);
    if (!date.isValid())
        return std::nullopt;
    if (value.is_date)
        return Moment{date, std::nullopt};
    const QTime time(value.hour, value.minute, value.second);
    if (!time.isValid())
        return std::nullopt;
    QDateTime at;
    if (icaltime_is_utc(value)) {
        at = QDateTime(date, time, QTimeZone::utc());
    } else if (icalparameter* zone = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER)) {
        const QTimeZone named(QByteArray(icalparameter_get_tzid(zone)).trimmed());
        at = named.isValid() ? QDateTime(date, time, named) : QDateTime(date, time);
    } else {
        at = QDateTime(date, time);
    }
    const QDateTime local = at.toLocalTime();
    return Moment{local.date(), local.time()};
}

QString clock(const QTime& time)
{
    return time.toString(QStringLiteral("H:mm"));
}

// "9:30 " or "9:30–10:15 " before the text of a timed event.
QString timePrefix(const Moment& start, const std::optional<Moment>& end)
{
    if (!start.time)
        return {};
    QString prefix = clock(*start.time);
    if (end && end->time && end->day == start.day && *end->time != *start.time)
        prefix += QStringLiteral("–") + clock(*end->time);
    return prefix + QLatin1Char(' ');
}

QString firstLine(const QString& text)
{
    return text.section(QLatin1Char('\n'), 0, 0).trimmed();
}

QString joinedText(const char* summary, const char* description)
{
    const QString title = QString::fromUtf8(summary ? summary : "").trimmed();
    QString body = QString::fromUtf8(description ? description : "");
    body.remove(QLatin1Char('\r'));
    body = body.trimmed();
    if (body.isEmpty())
        return title;
    if (title.isEmpty() || firstLine(body) == title)
        return body;
    return title + QLatin1Char('\n') + body;
}

icaltimetype dateValue(const QDate& day)
{
    icaltimetype value = icaltime_null_date();
    value.year = day.year();
    value.month = day.month();
    value.day = day.day();
    value.is_date = 1;
    return value;
}

icaltimetype stampValue(const QDateTime& stamp)
{
    return icaltime_from_timet_with_zone(static_cast<time_t>(stamp.toSecsSinceEpoch()), 0,
                                         icaltimezone_get_utc_timezone());
}

void replaceProperty(icalcomponent* event, icalproperty_kind kind, icalproperty* fresh)
{
    while (icalproperty* old = icalcomponent_get_first_property(event, kind)) {
        icalcomponent_remove_property(event, old);
        icalproperty_free(old);
    }
    icalcomponent_add_property(event, fresh);
}

Component newCalendar(const char* productId)
{
    quietLibical();
    Component calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_prodid(productId));
    icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
    return calendar;
}

icalcomponent* newAllDayEvent(const QDate& day, const QString& uid, const QDateTime& stamp)
{
    icalcomponent* event = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_add_property(event, icalproperty_new_uid(uid.toUtf8().constData()));
    icalcomponent_add_property(event, icalproperty_new_dtstamp(stampValue(stamp)));
    icalcomponent_add_property(event, icalproperty_new_dtstart(dateValue(day)));
    icalcomponent_add_property(event, icalproperty_new_dtend(dateValue(day.addDays(1))));
    // A note for the day, not a meeting: the day stays free in busy-time views.
    icalcomponent_add_property(event, icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
    return event;
}

void shiftDays(icalcomponent* event, icalproperty_kind kind, int days)
{
    icalproperty* property = icalcomponent_get_first_property(event, kind);
    if (!property || days == 0)
        return;
    icaltimetype value = icalvalue_get_datetime(icalproperty_get_value(property));
    icaltime_adjust(&value, days, 0, 0, 0);
    icalvalue_set_datetime(icalproperty_get_value(property), value);
}

} // namespace

std::optional<DayEvent> readDayEvent(const QByteArray& ics, QString* error)
{
    const Component root = parse(ics);
    icalcomponent* event = masterEvent(root.get());
    const std::optional<Moment> start =
        event ? momentOf(icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY)) : std::nullopt;
    if (!start) {
        if (error)
            *error = texts::kNoEvent;
        return std::nullopt;
    }
    const std::optional<Moment> end = momentOf(icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY));
    DayEvent result;
    const char* uid = icalcomponent_get_uid(event);
    result.uid = QString::fromUtf8(uid ? uid : "");
    result.day = start->day;
    result.timed = start->time.has_value();
    result.recurring = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY) ||
                       icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY);
    result.text = timePrefix(*start, end) +
                  joinedText(icalcomponent_get_summary(event), icalcomponent_get_description(event));
    return result;
}

QByteArray writeDayEvent(const QDate& day, const QString& text, const QString& uid, const QByteArray& base,
                         const QDateTime& stamp)
{
    Component calendar;
    icalcomponent* event = nullptr;
    QString body = text;
    if (!base.isEmpty()) {
        calendar = parse(base);
        event = masterEvent(calendar.get());
        if (event && calendar.get() == event)
            event = nullptr; // a bare VEVENT: written anew
    }
    if (event) {
        const std::optional<Moment> start = momentOf(icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY));
        const std::optional<Moment> end = momentOf(icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY));
        if (!start) {
            event = nullptr;
        } else {
            // The time is the event's own; the text does not repeat it.
            const QString prefix = timePrefix(*start, end);
            if (!prefix.isEmpty() && body.startsWith(prefix))
                body = body.mid(prefix.size());
            const int days = static_cast<int>(start->day.daysTo(day));
            shiftDays(event, ICAL_DTSTART_PROPERTY, days);
            shiftDays(event, ICAL_DTEND_PROPERTY, days);
            replaceProperty(event, ICAL_DTSTAMP_PROPERTY, icalproperty_new_dtstamp(stampValue(stamp)));
            if (icalcomponent_get_first_property(event, ICAL_LASTMODIFIED_PROPERTY))
                replaceProperty(event, ICAL_LASTMODIFIED_PROPERTY, icalproperty_new_lastmodified(stampValue(stamp)));
        }
    }
    if (!event) {
        calendar = newCalendar("-//Pelmir a telefony//Planovac//CS");
        event = newAllDayEvent(day, uid, stamp);
        icalcomponent_add_component(calendar.get(), event);
    }
    body.remove(QLatin1Char('\r'));
    replaceProperty(event, ICAL_SUMMARY_PROPERTY, icalproperty_new_summary(firstLine(body).toUtf8().constData()));
    replaceProperty(event, ICAL_DESCRIPTION_PROPERTY, icalproperty_new_description(body.toUtf8().constData()));
    return icsText(calendar.get());
}

QByteArray writeYearlyEvents(const std::vector<YearlyEvent>& events, const QDateTime& stamp, const QString& name)
{
    Component calendar = newCalendar("-//Pelmir a telefony//Jmeniny a vyroci//CS");
    if (!name.isEmpty()) {
        icalproperty* title = icalproperty_new_x(name.toUtf8().constData());
        icalproperty_set_x_name(title, "X-WR-CALNAME");
        icalcomponent_add_property(calendar.get(), title);
    }
    for (const YearlyEvent& yearly : events) {
        icalcomponent* event = newAllDayEvent(yearly.firstDay, yearly.uid, stamp);
        icalrecurrencetype rule;
        icalrecurrencetype_clear(&rule);
        rule.freq = ICAL_YEARLY_RECURRENCE;
        icalcomponent_add_property(event, icalproperty_new_rrule(rule));
        icalcomponent_add_property(event, icalproperty_new_summary(yearly.summary.toUtf8().constData()));
        icalcomponent_add_component(calendar.get(), event);
    }
    return icsText(calendar.get());
}

bool checkCalendar(const QByteArray& ics, QString* problem)
{
    const Component root = parse(ics);
    if (!root || icalcomponent_isa(root.get()) != ICAL_VCALENDAR_COMPONENT) {
        *problem = QStringLiteral("no VCALENDAR");
        return false;
    }
    icalrestriction_check(root.get());
    QStringList errors;
    const auto collect = [&](icalcomponent* component) {
        for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY); p;
             p = icalcomponent_get_next_property(component, ICAL_XLICERROR_PROPERTY))
            errors.append(QString::fromUtf8(icalproperty_get_xlicerror(p)));
    };
    collect(root.get());
    for (icalcomponent* c = icalcomponent_get_first_component(root.get(), ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(root.get(), ICAL_ANY_COMPONENT))
        collect(c);
    *problem = errors.join(QLatin1Char('\n'));
    return errors.isEmpty();
}

} // namespace davsync
