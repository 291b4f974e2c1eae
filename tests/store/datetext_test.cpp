#include "store/DateText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using store::DateTime;

DateTime date(int year, int month, int day)
{
    DateTime d;
    d.year = year;
    d.month = month;
    d.day = day;
    return d;
}

DateTime time(int hour, int minute, int second)
{
    DateTime t;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    return t;
}

// Today's reminders compare this text with the stored one: a leading zero
// anywhere would make them never match.
TEST(DateText, FormatsWithoutLeadingZeros)
{
    EXPECT_EQ(store::formatDate(date(2025, 12, 8)), "8.12.2025");
    EXPECT_EQ(store::formatDate(date(2024, 1, 1)), "1.1.2024");
    EXPECT_EQ(store::formatDate(date(1999, 10, 31)), "31.10.1999");
    EXPECT_EQ(store::formatDate(date(987, 3, 4)), "4.3.0987"); // the year always has four digits
    EXPECT_EQ(store::formatTime(time(8, 5, 0)), "8:05:00");
    EXPECT_EQ(store::formatTime(time(23, 59, 59)), "23:59:59");
    EXPECT_EQ(store::formatTime(time(0, 0, 7)), "0:00:07");
}

struct DateCase {
    const char* text;
    std::optional<DateTime> expected;
};

class ParseDate : public ::testing::TestWithParam<DateCase> {};

// Catches dates that would be stored wrong (30 February rolled into March),
// garbage taken as a date, or a valid typed date refused.
TEST_P(ParseDate, AcceptsOnlyRealDates)
{
    EXPECT_EQ(store::parseDate(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseDate,
    ::testing::Values(DateCase{"8.12.2025", date(2025, 12, 8)}, DateCase{"08.12.2025", date(2025, 12, 8)},
                      DateCase{"1.01.2000", date(2000, 1, 1)}, DateCase{"31.12.9999", date(9999, 12, 31)},
                      DateCase{" 8.12.2025 ", date(2025, 12, 8)},
                      DateCase{"29.2.2024", date(2024, 2, 29)}, DateCase{"29.2.2000", date(2000, 2, 29)},
                      DateCase{"29.2.2025", std::nullopt}, DateCase{"29.2.1900", std::nullopt},
                      DateCase{"30.2.2025", std::nullopt}, DateCase{"31.4.2025", std::nullopt},
                      DateCase{"0.1.2025", std::nullopt}, DateCase{"1.13.2025", std::nullopt},
                      DateCase{"1.0.2025", std::nullopt}, DateCase{"1.1.0000", std::nullopt},
                      DateCase{"8.12.25", std::nullopt}, DateCase{"8.12.20250", std::nullopt},
                      DateCase{"8.12.2025x", std::nullopt}, DateCase{"8. 12. 2025", std::nullopt},
                      DateCase{"-8.12.2025", std::nullopt}, DateCase{"+8.12.2025", std::nullopt},
                      DateCase{"8/12/2025", std::nullopt}, DateCase{"2025-12-08", std::nullopt},
                      DateCase{"123.1.2025", std::nullopt}, DateCase{"99999999999.1.2025", std::nullopt},
                      DateCase{"", std::nullopt}, DateCase{"..", std::nullopt}));

struct TimeCase {
    const char* text;
    std::optional<DateTime> expected;
};

class ParseTime : public ::testing::TestWithParam<TimeCase> {};

TEST_P(ParseTime, AcceptsHoursMinutesAndOptionalSeconds)
{
    EXPECT_EQ(store::parseTime(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Cases, ParseTime,
    ::testing::Values(TimeCase{"8:05", time(8, 5, 0)}, TimeCase{"08:05:09", time(8, 5, 9)},
                      TimeCase{"23:59:59", time(23, 59, 59)}, TimeCase{"0:00", time(0, 0, 0)},
                      TimeCase{"24:00", std::nullopt}, TimeCase{"8:60", std::nullopt},
                      TimeCase{"8:05:60", std::nullopt}, TimeCase{"8:5", std::nullopt},
                      TimeCase{"8:05:", std::nullopt}, TimeCase{"8", std::nullopt},
                      TimeCase{"8:05:09:01", std::nullopt}, TimeCase{"a:bc", std::nullopt},
                      TimeCase{"", std::nullopt}));

// What is written must read back: a date field set from its own text.
TEST(DateText, RoundTripsEveryDayOfALeapYear)
{
    for (int month = 1; month <= 12; ++month)
        for (int day = 1; day <= 31; ++day) {
            if (!store::isValidDate(2024, month, day))
                continue;
            const DateTime d = date(2024, month, day);
            EXPECT_EQ(store::parseDate(store::formatDate(d)), d);
        }
}

} // namespace
