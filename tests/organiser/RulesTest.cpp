// The plain rules behind the organiser's windows: Czech date texts, month
// stepping, the month grid's cells and the zodiac table.

#include "organiser/CzechCalendar.h"
#include "organiser/MonthGrid.h"
#include "organiser/NameDayRules.h"
#include "organiser/Zodiac.h"

#include <gtest/gtest.h>

namespace organiser_test {
namespace {

// The key must use the nominative month; Qt's "d. MMMM" gives the genitive,
// which would never match a stored key.
TEST(CzechCalendar, NameDayKeysAndTitles)
{
    struct Case {
        QDate date;
        const char* key;
        const char* upper;
        const char* title;
    };
    const Case cases[] = {
        {QDate(2024, 1, 1), "1. leden", "1. LEDEN", "leden 2024"},
        {QDate(1999, 5, 1), "1. květen", "1. KVĚTEN", "květen 1999"},
        {QDate(2024, 2, 29), "29. únor", "29. ÚNOR", "únor 2024"},
        {QDate(2023, 6, 15), "15. červen", "15. ČERVEN", "červen 2023"},
        {QDate(2023, 7, 4), "4. červenec", "4. ČERVENEC", "červenec 2023"},
        {QDate(2023, 9, 9), "9. září", "9. ZÁŘÍ", "září 2023"},
        {QDate(2023, 10, 28), "28. říjen", "28. ŘÍJEN", "říjen 2023"},
        {QDate(2025, 12, 31), "31. prosinec", "31. PROSINEC", "prosinec 2025"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(organiser::nameDayKey(c.date), QString::fromUtf8(c.key));
        EXPECT_EQ(organiser::nameDayKeyUpper(c.date), QString::fromUtf8(c.upper));
        EXPECT_EQ(organiser::monthTitle(c.date), QString::fromUtf8(c.title));
    }
    EXPECT_NE(organiser::nameDayKey(QDate(1999, 5, 1)), QLocale(QLocale::Czech).toString(QDate(1999, 5, 1), "d. MMMM"));
}

TEST(CzechCalendar, DateTexts)
{
    EXPECT_EQ(organiser::shortDateText(QDate(2026, 3, 5)), "5.3.2026");
    EXPECT_EQ(organiser::shortDateText(QDate(2003, 12, 25)), "25.12.2003");
    EXPECT_EQ(organiser::longDateText(QDate(1999, 5, 5)), QStringLiteral("středa 5.květen 1999"));
    EXPECT_EQ(organiser::longDateText(QDate(2024, 12, 1)), QStringLiteral("neděle 1.prosinec 2024"));
    EXPECT_EQ(organiser::shortWeekdayName(1), QStringLiteral("po"));
    EXPECT_EQ(organiser::shortWeekdayName(7), QStringLiteral("ne"));
}

// Same day number in the other month, or its last day; across year ends.
TEST(CzechCalendar, MonthSteps)
{
    struct Case {
        QDate from;
        int months;
        QDate to;
    };
    const Case cases[] = {
        {QDate(2024, 1, 31), 1, QDate(2024, 2, 29)},  {QDate(2023, 1, 31), 1, QDate(2023, 2, 28)},
        {QDate(2024, 3, 15), -1, QDate(2024, 2, 15)}, {QDate(2024, 3, 15), 1, QDate(2024, 4, 15)},
        {QDate(2024, 1, 1), -1, QDate(2023, 12, 1)},  {QDate(2023, 12, 31), 1, QDate(2024, 1, 31)},
        {QDate(2024, 3, 31), -1, QDate(2024, 2, 29)}, {QDate(2024, 5, 31), 1, QDate(2024, 6, 30)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(organiser::shiftMonth(c.from, c.months), c.to) << c.from.toString().toStdString();
}

// The weeks start on Monday; cells before the 1st and after the last day are empty.
TEST(MonthGridCells, MondayFirstAndEmptyCellsOutsideTheMonth)
{
    const QDate may2024(2024, 5, 17); // 1 May 2024 is a Wednesday
    EXPECT_EQ(organiser::firstCellOfMonth(may2024), 2);
    EXPECT_FALSE(organiser::dayInCell(may2024, 1).isValid());
    EXPECT_EQ(organiser::dayInCell(may2024, 2), QDate(2024, 5, 1));
    EXPECT_EQ(organiser::dayInCell(may2024, 32), QDate(2024, 5, 31));
    EXPECT_FALSE(organiser::dayInCell(may2024, 33).isValid());
    EXPECT_FALSE(organiser::dayInCell(may2024, 42).isValid());
    // September 2024 starts on a Sunday: its 30th day needs the sixth week.
    const QDate september(2024, 9, 1);
    EXPECT_EQ(organiser::firstCellOfMonth(september), 6);
    EXPECT_EQ(organiser::dayInCell(september, 35), QDate(2024, 9, 30));
    EXPECT_EQ(organiser::firstCellOfMonth(QDate(2024, 7, 20)), 0); // a Monday
}

// The ranges are inclusive day numbers of a leap year; Kozoroh wraps the year's end.
TEST(ZodiacTable, BoundariesAndOutsideNumbers)
{
    struct Case {
        int day;
        const char* sign;
    };
    const Case cases[] = {
        {1, "Kozoroh"},    {19, "Kozoroh"}, {20, "Vodnář"},           {49, "Vodnář"},
        {50, "Ryby"},      {80, "Ryby"},    {81, "Skopec (Beran)"},   {111, "Skopec (Beran)"},
        {112, "Býk"},      {172, "Blíženci"}, {173, "Rak"},           {204, "Rak"},
        {205, "Lev"},      {266, "Panna"},  {267, "Váhy"},            {326, "Štír"},
        {327, "Střelec"},  {356, "Střelec"}, {357, "Kozoroh"},        {366, "Kozoroh"},
    };
    for (const Case& c : cases) {
        const organiser::ZodiacSign* sign = organiser::zodiacSignForDay(c.day);
        ASSERT_NE(sign, nullptr) << c.day;
        EXPECT_EQ(sign->caption, QString::fromUtf8(c.sign)) << c.day;
    }
    for (int outside : {0, -5, 367, 1000})
        EXPECT_EQ(organiser::zodiacSignForDay(outside), nullptr) << outside;
    // Every day of a leap year has exactly one sign.
    for (int day = 1; day <= 366; ++day) {
        int signs = 0;
        for (const organiser::ZodiacSign& sign : organiser::zodiacSigns())
            signs += sign.contains(day) ? 1 : 0;
        EXPECT_EQ(signs, 1) << day;
    }
    EXPECT_EQ(organiser::zodiacSignForDay(90)->gap, 6);
    EXPECT_EQ(organiser::zodiacSignForDay(90)->listName, QStringLiteral("Skopec"));
    EXPECT_EQ(organiser::zodiacSignForDay(200)->gap, 30);
}

TEST(NameDayStatements, TheFixedFormsAroundTheText)
{
    EXPECT_EQ(organiser::nameDayStatement(QStringLiteral("1. květen")),
              "select * from Svatek where Datum = '1. květen'");
    EXPECT_EQ(organiser::nameSearchStatement(QStringLiteral("mar")),
              "select * from Svatek where (UPPER(Svatek.'Svátek') LIKE UPPER('%mar%'))");
}

} // namespace
} // namespace organiser_test
