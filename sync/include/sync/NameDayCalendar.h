#pragma once

// The name days and the family anniversaries as an iCalendar (RFC 5545) of
// yearly all-day events, for any calendar program or phone.

#include "sync/DayEvent.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTextStream>

namespace store {
class Database;
}

namespace davsync {

inline const QString kNameDayCalendarName = QStringLiteral("Jmeniny a výročí");

// An event for every day's names ("Svátek má Klaudie", a holiday under its
// own name) and one for every day's anniversary text, each with a UID of
// its day, so a changed text replaces its event. The days are those of a
// leap year, so 29 February recurs only in leap years, as RFC 5545 drops a
// yearly instance on a day a year lacks; its names are not moved to 28
// February, where the table already has a name of its own.
std::vector<YearlyEvent> nameDayEvents(store::Database& database);

// Those events as one VCALENDAR, the file any calendar program imports.
QByteArray nameDayCalendar(store::Database& database, const QDateTime& stamp);

// `pelmir --export jmeniny.ics`: the calendar written whole or not at all;
// 0, or 1 with a Czech message on `err`.
int exportNameDaysFromCommandLine(store::Database& database, const QString& path, const QDateTime& stamp,
                                  QTextStream& out, QTextStream& err);

} // namespace davsync
