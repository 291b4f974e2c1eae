#pragma once

// A calendar object (RFC 5545) read as one day of the planner, and written
// as one all-day event. Parsing and writing go through libical, so folding,
// escaping, time zones and recurrence are read as every calendar writes them.

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace davsync {

struct DayEvent {
    QString uid;
    QDate day;          // the first day, in this machine's time zone for a timed event
    QString text;       // summary and description as one text; a timed event's time leads it
    bool timed = false; // a start with a time of day
    bool recurring = false; // RRULE or RDATE: shown on its first day only
};

// The master event of a calendar object (the one without RECURRENCE-ID).
// nullopt and a Czech reason when it holds no event with a start.
std::optional<DayEvent> readDayEvent(const QByteArray& ics, QString* error);

// The calendar object of one day: SUMMARY the text's first line,
// DESCRIPTION the text, DTSTART;VALUE=DATE the day. With a `base` (the
// server's object as last synced) everything else in it is kept: alarms,
// categories, a timed event's time (the time leading the text is not
// repeated in the summary), the phone's own properties.
QByteArray writeDayEvent(const QDate& day, const QString& text, const QString& uid, const QByteArray& base,
                         const QDateTime& stamp);

// A yearly all-day event (the name days, the anniversaries).
struct YearlyEvent {
    QString uid;
    QDate firstDay;
    QString summary;
};

// One calendar holding these events; `name` (X-WR-CALNAME) when given.
QByteArray writeYearlyEvents(const std::vector<YearlyEvent>& events, const QDateTime& stamp,
                             const QString& name = {});

// Whether libical reads the object without complaint; the complaint otherwise.
bool checkCalendar(const QByteArray& ics, QString* problem);

} // namespace davsync
