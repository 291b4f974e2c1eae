#pragma once

// Czech names of months and weekdays and the date texts built from them.
// The name-day key and the titles use the nominative month names ("květen"),
// never the genitive that QDate::toString("d. MMMM") gives ("května"): the
// stored keys and every lookup must agree letter for letter.

#include <QDate>
#include <QString>

namespace organiser {

// "leden" .. "prosinec" for 1..12; empty outside.
QString monthName(int month);
// "pondělí" .. "neděle" for 1 (Monday) .. 7 (Sunday); empty outside.
QString weekdayName(int dayOfWeek);
// "po" .. "ne", the heading of the month grid.
QString shortWeekdayName(int dayOfWeek);

// The name-day date key "D. MMMM": 1 May is "1. květen", 29 February "29. únor".
QString nameDayKey(const QDate& date);
// The same upper-cased by the Czech rules: "1. KVĚTEN".
QString nameDayKeyUpper(const QDate& date);
// "MMMM YYYY": "květen 1999".
QString monthTitle(const QDate& date);
// "dddd d.mmmm yyyy": "středa 5.květen 1999" (no blank after the stop).
QString longDateText(const QDate& date);
// "d.m.yyyy" without leading zeros: "5.3.2026", the text form of a date field.
QString shortDateText(const QDate& date);

// The same day number in the month `months` away, or that month's last day
// when it is shorter: 31 January + 1 is 29 February in a leap year.
QDate shiftMonth(const QDate& date, int months);

} // namespace organiser
