// The body-mass index arithmetic: categories, limits with their rounding,
// and every way the computation stops.
#include "CalculatorsFixture.h"

#include "calculators/Bmi.h"

#include <gtest/gtest.h>

namespace {

using calculators::BmiError;
using calculators::BmiResult;
using calculators::computeBmi;

BmiResult computed(const char* height, const char* weight)
{
    const auto outcome = computeBmi(QString::fromUtf8(height), QString::fromUtf8(weight));
    if (const auto* error = std::get_if<BmiError>(&outcome)) {
        ADD_FAILURE() << height << "/" << weight << ": " << error->text.toStdString();
        return {};
    }
    return std::get<BmiResult>(outcome);
}

QString errorOf(const QString& height, const QString& weight)
{
    const auto outcome = computeBmi(height, weight);
    const auto* error = std::get_if<BmiError>(&outcome);
    return error ? error->text : QStringLiteral("(no error)");
}

TEST(Bmi, ExamplesGiveCategoryRiskPictureAndLimits)
{
    struct Case {
        const char* height;
        const char* weight;
        const char* category;
        const char* risk;
        int picture;
        std::array<int, 7> limits;
    };
    const Case cases[] = {
        {"180", "80", "NORMÁLNÍ VÁHA", "MINIMÁLNÍ", 1, {60, 81, 87, 97, 113, 130, 130}},
        // 18.5 rounds to the even 18.
        {"100", "45", "OBEZITA 3.STUPNĚ", "VELMI VYSOKÁ", 6, {18, 25, 27, 30, 35, 40, 40}},
        {"170", "50", "PODVÁHA", "CHOROBY Z PODVÝŽIVY", 5, {53, 72, 78, 87, 101, 116, 116}},
        // Exactly on a bound: 24.9 is still normal; the limits use 25, 27, 30, 35, 40.
        {"1000", "2490", "NORMÁLNÍ VÁHA", "MINIMÁLNÍ", 1, {1850, 2500, 2700, 3000, 3500, 4000, 4000}},
        {"1000", "2491", "LEHKÁ NADVÁHA", "LEHCE ZVÝŠENÁ", 2, {1850, 2500, 2700, 3000, 3500, 4000, 4000}},
        {"1000", "2690", "LEHKÁ NADVÁHA", "LEHCE ZVÝŠENÁ", 2, {1850, 2500, 2700, 3000, 3500, 4000, 4000}},
        {"1000", "2990", "ZVÝŠENÁ NADVÁHA", "ZVÝŠENÁ", 3, {1850, 2500, 2700, 3000, 3500, 4000, 4000}},
        {"1000", "3490", "OBEZITA 1.STUPNĚ", "STŘEDNĚ VYSOKÁ", 4, {1850, 2500, 2700, 3000, 3500, 4000, 4000}},
        {"1000", "3491", "OBEZITA 2.STUPNĚ", "VYSOKÁ", 5, {1850, 2500, 2700, 3000, 3500, 4000, 4000}},
        {"1000", "4000", "OBEZITA 3.STUPNĚ", "VELMI VYSOKÁ", 6, {1850, 2500, 2700, 3000, 3500, 4000, 4000}},
        {"1000", "1849", "PODVÁHA", "CHOROBY Z PODVÝŽIVY", 5, {1850, 2500, 2700, 3000, 3500, 4000, 4000}},
        // A negative weight gives a negative index: underweight.
        {"180", "-80", "PODVÁHA", "CHOROBY Z PODVÝŽIVY", 5, {60, 81, 87, 97, 113, 130, 130}},
        // Leading blanks and a sign are part of a whole number.
        {"  +180", " 80", "NORMÁLNÍ VÁHA", "MINIMÁLNÍ", 1, {60, 81, 87, 97, 113, 130, 130}},
        // The highest height whose products stay in 32 bits.
        {"7327", "1", "PODVÁHA", "CHOROBY Z PODVÝŽIVY", 5,
         {99317, 134212, 144949, 161055, 187897, 214740, 214740}},
    };
    for (const Case& c : cases) {
        const BmiResult r = computed(c.height, c.weight);
        EXPECT_EQ(r.category.category, QString::fromUtf8(c.category)) << c.height << "/" << c.weight;
        EXPECT_EQ(r.category.risk, QString::fromUtf8(c.risk)) << c.height << "/" << c.weight;
        EXPECT_EQ(r.category.picture, c.picture) << c.height << "/" << c.weight;
        EXPECT_EQ(r.limits, c.limits) << c.height << "/" << c.weight;
    }
    EXPECT_NEAR(computed("180", "80").bmi, 24.69, 0.005);
    EXPECT_EQ(calculators::picturePath(5), QStringLiteral("Obrazky/Tvar5.bmp"));
}

TEST(Bmi, BadInputStopsWithItsMessage)
{
    struct Case {
        QString height;
        QString weight;
        QString error;
    };
    const Case cases[] = {
        {"", "80", "'' is not a valid integer value"},
        {"180", "", "'' is not a valid integer value"},
        {"abc", "80", "'abc' is not a valid integer value"},
        {"180", "80.5", "'80.5' is not a valid integer value"},
        {"180", "80,5", "'80,5' is not a valid integer value"},
        {"180 ", "80", "'180 ' is not a valid integer value"},
        {"180", "8 0", "'8 0' is not a valid integer value"},
        {"2147483648", "80", "'2147483648' is not a valid integer value"},
        {"0", "80", "Floating point division by zero"},
        {"0", "0", "Invalid floating point operation"},
        {"-180", "80", QStringLiteral("Výška musí být kladné celé číslo centimetrů.")},
        {"7328", "80", QStringLiteral("Výšku nad 7327 cm nelze spočítat. Zadejte výšku v centimetrech.")},
        {"2147483647", "80", QStringLiteral("Výšku nad 7327 cm nelze spočítat. Zadejte výšku v centimetrech.")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(errorOf(c.height, c.weight), c.error) << c.height.toStdString() << "/" << c.weight.toStdString();
}

TEST(Bmi, WholeNumbersWithin32Bits)
{
    using calculators::parseWholeNumber;
    EXPECT_EQ(parseWholeNumber(QStringLiteral("-2147483648")), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(parseWholeNumber(QStringLiteral("2147483647")), std::numeric_limits<std::int32_t>::max());
    EXPECT_FALSE(parseWholeNumber(QStringLiteral("-2147483649")));
    EXPECT_FALSE(parseWholeNumber(QStringLiteral("99999999999999999999999")));
    EXPECT_FALSE(parseWholeNumber(QStringLiteral("+")));
    EXPECT_FALSE(parseWholeNumber(QStringLiteral("١٢")));
    EXPECT_EQ(parseWholeNumber(QStringLiteral("007")), 7);
}

} // namespace
