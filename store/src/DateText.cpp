#include "store/DateText.h"

#include <cstdio>
#include <string_view>

namespace store {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Reads an unsigned number of minDigits..maxDigits digits from the front of
// text; nothing else (signs, blanks) is a number here.
bool takeNumber(std::string_view& text, std::size_t minDigits, std::size_t maxDigits, int& value)
{
    std::size_t n = 0;
    while (n < text.size() && isDigit(text[n]))
        ++n;
    if (n < minDigits || n > maxDigits)
        return false;
    value = 0;
    for (std::size_t i = 0; i < n; ++i)
        value = value * 10 + (text[i] - '0');
    text.remove_prefix(n);
    return true;
}

bool takeChar(std::string_view& text, char c)
{
    if (text.empty() || text.front() != c)
        return false;
    text.remove_prefix(1);
    return true;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

} // namespace

bool isValidDate(int year, int month, int day)
{
    static constexpr int kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    const int days = kDaysInMonth[month - 1] + (month == 2 && isLeapYear(year) ? 1 : 0);
    return day <= days;
}

std::string formatDate(const DateTime& date)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d.%d.%04d", date.day, date.month, date.year);
    return text;
}

std::string formatTime(const DateTime& time)
{
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d:%02d", time.hour, time.minute, time.second);
    return text;
}

std::optional<DateTime> parseDate(const std::string& text)
{
    std::string_view rest = trimmed(text);
    DateTime date;
    if (!takeNumber(rest, 1, 2, date.day) || !takeChar(rest, '.') || !takeNumber(rest, 1, 2, date.month)
        || !takeChar(rest, '.') || !takeNumber(rest, 4, 4, date.year) || !rest.empty())
        return std::nullopt;
    if (!isValidDate(date.year, date.month, date.day))
        return std::nullopt;
    return date;
}

std::optional<DateTime> parseTime(const std::string& text)
{
    std::string_view rest = trimmed(text);
    DateTime time;
    if (!takeNumber(rest, 1, 2, time.hour) || !takeChar(rest, ':') || !takeNumber(rest, 2, 2, time.minute))
        return std::nullopt;
    if (!rest.empty() && (!takeChar(rest, ':') || !takeNumber(rest, 2, 2, time.second) || !rest.empty()))
        return std::nullopt;
    if (time.hour > 23 || time.minute > 59 || time.second > 59)
        return std::nullopt;
    return time;
}

} // namespace store
