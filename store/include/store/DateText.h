#pragma once

#include <optional>
#include <string>

namespace store {

// A calendar date and time of day without a time zone; the store's only
// date type, so the store stays free of Qt.
struct DateTime {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
    bool operator==(const DateTime&) const = default;
    auto operator<=>(const DateTime&) const = default;
};

// "8.12.2025": day.month.four-digit-year without leading zeros.
std::string formatDate(const DateTime& date);
// "8:05:00" style time text used for time fields: h:mm:ss.
std::string formatTime(const DateTime& time);
// Accepts "d.m.yyyy" (leading zeros allowed); nullopt for anything else or an impossible date.
std::optional<DateTime> parseDate(const std::string& text);
// Accepts "h:mm" or "h:mm:ss".
std::optional<DateTime> parseTime(const std::string& text);
bool isValidDate(int year, int month, int day);

} // namespace store
