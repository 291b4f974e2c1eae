#pragma once

// The world clock's arithmetic: a city's time from the local time and the
// city's fixed difference, and the texts of both.

#include <QString>
#include <QTime>

#include <optional>

namespace calculators {

// The city's time of day: local time plus the difference when the direction
// is exactly "+", minus it otherwise; it wraps round midnight both ways.
QTime cityTime(const QTime& local, const QString& direction, const QTime& difference);

// A difference as the table's time field reads it ("4:00:00", "5:30"), or
// nothing when the text is no time of day.
std::optional<QTime> differenceFromText(const QString& text);

// The long time format of the clock labels: 9:05:07.
QString clockText(const QTime& time);

// A full minute sounds the high tone, every other second the simple beep.
inline bool isFullMinute(const QTime& time)
{
    return time.second() == 0;
}

} // namespace calculators
