// City time from local time and the fixed difference.
#include "CalculatorsFixture.h"

#include "calculators/WorldClock.h"

#include <gtest/gtest.h>

namespace {

TEST(WorldClock, CityTimeWrapsRoundMidnight)
{
    struct Case {
        QTime local;
        const char* direction;
        QTime difference;
        const char* shown;
    };
    const Case cases[] = {
        {QTime(23, 30), "+", QTime(2, 0), "1:30:00"},
        {QTime(1, 0), "-", QTime(5, 0), "20:00:00"},
        {QTime(9, 5, 7), "+", QTime(0, 0), "9:05:07"},
        {QTime(12, 0), "+", QTime(5, 30), "17:30:00"},
        {QTime(12, 0), "", QTime(3, 0), "9:00:00"},    // anything but "+" subtracts
        {QTime(12, 0), " +", QTime(3, 0), "9:00:00"},
        {QTime(0, 0), "-", QTime(0, 0, 1), "23:59:59"},
        {QTime(23, 59, 59), "+", QTime(23, 59, 59), "23:59:58"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(calculators::clockText(calculators::cityTime(c.local, QString::fromLatin1(c.direction), c.difference)),
                  QString::fromLatin1(c.shown))
            << c.local.toString().toStdString() << c.direction;
}

TEST(WorldClock, DifferenceTextAndFullMinute)
{
    EXPECT_EQ(calculators::differenceFromText(QStringLiteral("4:00:00")), QTime(4, 0));
    EXPECT_EQ(calculators::differenceFromText(QStringLiteral("5:30")), QTime(5, 30));
    EXPECT_FALSE(calculators::differenceFromText(QString()));
    EXPECT_FALSE(calculators::differenceFromText(QStringLiteral("25:00")));
    EXPECT_TRUE(calculators::isFullMinute(QTime(12, 0, 0)));
    EXPECT_FALSE(calculators::isFullMinute(QTime(12, 0, 1)));
}

} // namespace
