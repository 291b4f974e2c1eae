// The conversion arithmetic: every pair of the factor tables in both
// directions, the temperature formulas, and the number texts.
#include "CalculatorsFixture.h"

#include "calculators/UnitConversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using calculators::convertUnits;
using calculators::RealToStr;
using calculators::StrToReal;

enum Page { Length, Weight, Area, Energy, Dry, Volume, Temperature, Power, Pressure, Speed };

struct Pair {
    Page page;
    const char* from;
    const char* to;
    bool multiply;
    calculators::Real factor;
};

int unitIndex(Page page, const char* name)
{
    return static_cast<int>(calculators::unitPages()[page].items.indexOf(QString::fromUtf8(name)));
}

// The published tables, typed again here: a factor mistyped or a direction
// swapped in the code shows as a mismatch.
const Pair kPairs[] = {
    {Length, "Metr", "Míle", false, 1609.344L},
    {Length, "Metr", "Milimetr", true, 1000L},
    {Length, "Metr", "Námořní míle", false, 1852L},
    {Length, "Metr", "Palec", false, 0.0254L},
    {Length, "Metr", "Parsec", false, 3.085678186e16L},
    {Length, "Metr", "Stopa", false, 0.3048L},
    {Length, "Metr", "Světelný rok", false, 9.460528405e15L},
    {Length, "Metr", "Yard", false, 0.9144L},
    {Length, "Míle", "Milimetr", true, 1609344L},
    {Length, "Míle", "Námořní míle", false, 1.150779448L},
    {Length, "Míle", "Palec", true, 63360L},
    {Length, "Míle", "Parsec", false, 1.917351533e13L},
    {Length, "Míle", "Stopa", true, 5280L},
    {Length, "Míle", "Světelný rok", false, 5.87849981e12L},
    {Length, "Míle", "Yard", true, 1760L},
    {Length, "Milimetr", "Námořní míle", false, 1852000L},
    {Length, "Milimetr", "Palec", false, 25.4L},
    {Length, "Milimetr", "Parsec", false, 3.085678186e19L},
    {Length, "Milimetr", "Stopa", false, 304.8L},
    {Length, "Milimetr", "Světelný rok", false, 9.460528405e18L},
    {Length, "Milimetr", "Yard", false, 914.4L},
    {Length, "Námořní míle", "Palec", true, 72913.38583L},
    {Length, "Námořní míle", "Parsec", false, 1.66613293e13L},
    {Length, "Námořní míle", "Stopa", true, 6076.115486L},
    {Length, "Námořní míle", "Světelný rok", false, 5.108276676e12L},
    {Length, "Námořní míle", "Yard", true, 2025.371829L},
    {Length, "Palec", "Parsec", false, 1.214833931e18L},
    {Length, "Palec", "Stopa", false, 12L},
    {Length, "Palec", "Světelný rok", false, 3.724617482e17L},
    {Length, "Palec", "Yard", false, 36L},
    {Length, "Parsec", "Stopa", true, 1.01236161e17L},
    {Length, "Parsec", "Světelný rok", true, 3.26163408L},
    {Length, "Parsec", "Yard", true, 3.374538698e16L},
    {Length, "Stopa", "Světelný rok", false, 3.103847902e16L},
    {Length, "Stopa", "Yard", false, 3L},
    {Length, "Světelný rok", "Yard", true, 1.034615967e16L},
    {Weight, "Gram", "Karát", true, 5L},
    {Weight, "Gram", "Libra", false, 453.59237L},
    {Weight, "Gram", "Trojská unce", false, 31.103475L},
    {Weight, "Gram", "Tuna", false, 1000000L},
    {Weight, "Gram", "Unce", false, 28.34952312L},
    {Weight, "Karát", "Libra", false, 2267.96185L},
    {Weight, "Karát", "Trojská unce", false, 155.517375L},
    {Weight, "Karát", "Tuna", false, 5000000L},
    {Weight, "Karát", "Unce", false, 141.7476156L},
    {Weight, "Libra", "Trojská unce", true, 14.58333418L},
    {Weight, "Libra", "Tuna", false, 2204.622622L},
    {Weight, "Libra", "Unce", true, 16L},
    {Weight, "Trojská unce", "Tuna", false, 32150.74843L},
    {Weight, "Trojská unce", "Unce", true, 1.097142794L},
    {Weight, "Tuna", "Unce", true, 35273.96195L},
    {Area, "Akr", "Hektar", false, 2.47104393L},
    {Area, "Akr", "Kilometr čtvereční", false, 247.104393L},
    {Area, "Akr", "Metr čtvereční", true, 4046.825252L},
    {Area, "Hektar", "Kilometr čtvereční", false, 100L},
    {Area, "Hektar", "Metr čtvereční", true, 10000L},
    {Area, "Kilometr čtvereční", "Metr čtvereční", true, 1000000L},
    {Energy, "Joule", "Kalorie", false, 4.1868L},
    {Dry, "Barel", "Litr", true, 115.6271292L},
    {Dry, "Barel", "Pinta", true, 209.9980469L},
    {Dry, "Litr", "Pinta", true, 1.81616588L},
    {Volume, "Galon", "Litr", true, 3.785411784L},
    {Volume, "Galon", "Metr krychlový", false, 264.1720524L},
    {Volume, "Galon", "Unce", true, 128L},
    {Volume, "Litr", "Metr krychlový", false, 1000L},
    {Volume, "Litr", "Unce", true, 33.8140227L},
    {Volume, "Metr krychlový", "Unce", true, 33814.0227L},
    {Power, "Kilowatt", "Koňská síla", true, 1.34102209L},
    {Pressure, "Atmosféra", "Bar", true, 1.01325L},
    {Pressure, "Atmosféra", "Kilopascal", true, 101.325L},
    {Pressure, "Atmosféra", "Torr", true, 760L},
    {Pressure, "Bar", "Kilopascal", true, 100L},
    {Pressure, "Bar", "Torr", true, 750.0616827L},
    {Pressure, "Kilopascal", "Torr", true, 7.500616827L},
    {Speed, "Kilometr za hodinu", "Kilometr za sekundu", false, 3600L},
    {Speed, "Kilometr za hodinu", "Mach", false, 1193.256L},
    {Speed, "Kilometr za hodinu", "Metr za sekundu", false, 3.6L},
    {Speed, "Kilometr za hodinu", "Míle za hodinu", false, 1.609344L},
    {Speed, "Kilometr za hodinu", "Námořní uzel", false, 1.852L},
    {Speed, "Kilometr za sekundu", "Mach", true, 3.016955289L},
    {Speed, "Kilometr za sekundu", "Metr za sekundu", true, 1000L},
    {Speed, "Kilometr za sekundu", "Míle za hodinu", true, 2236.936292L},
    {Speed, "Kilometr za sekundu", "Námořní uzel", true, 1943.844492L},
    {Speed, "Mach", "Metr za sekundu", true, 331.46L},
    {Speed, "Mach", "Míle za hodinu", true, 741.4549033L},
    {Speed, "Mach", "Námořní uzel", true, 644.3066954L},
    {Speed, "Metr za sekundu", "Míle za hodinu", true, 2.236936292L},
    {Speed, "Metr za sekundu", "Námořní uzel", true, 1.943844492L},
    {Speed, "Míle za hodinu", "Námořní uzel", false, 1.150779448L},
};

// Each pair its own factor, the inverse the other way, and every pair of
// every page covered by exactly one row of the tables.
TEST(UnitConversion, EveryPairUsesItsOwnFactorBothWays)
{
    int pairs = 0;
    for (const Pair& p : kPairs) {
        const int from = unitIndex(p.page, p.from);
        const int to = unitIndex(p.page, p.to);
        ASSERT_GE(from, 0) << p.from;
        ASSERT_GE(to, 0) << p.to;
        const calculators::Real x = 7.25L;
        EXPECT_EQ(convertUnits(p.page, from, to, x), p.multiply ? x * p.factor : x / p.factor)
            << p.from << " -> " << p.to;
        EXPECT_EQ(convertUnits(p.page, to, from, x), p.multiply ? x / p.factor : x * p.factor)
            << p.to << " -> " << p.from;
        ++pairs;
    }
    int expectedPairs = 0;
    for (const auto& page : calculators::unitPages()) {
        if (!page.temperature)
            expectedPairs += static_cast<int>(page.items.size() * (page.items.size() - 1) / 2);
    }
    EXPECT_EQ(pairs, expectedPairs);
    EXPECT_EQ(convertUnits(Length, 3, 3, 12.5), 12.5);
}

// A conversion through a third unit need not agree with the direct factor.
TEST(UnitConversion, DirectFactorWinsOverARoundTrip)
{
    const int acre = 0, hectare = 1, squareMetre = 3;
    EXPECT_EQ(convertUnits(Area, acre, squareMetre, 1), 4046.825252L);
    EXPECT_NE(convertUnits(Area, hectare, squareMetre, convertUnits(Area, acre, hectare, 1)), 4046.825252L);
}

TEST(UnitConversion, TemperatureFormulasAndAbsoluteZero)
{
    struct Case {
        int from, to;
        calculators::Real x, result;
    };
    const int C = 0, F = 1, K = 2;
    const Case cases[] = {
        {C, F, 100, 212},        {C, K, -300, -26.85L}, {F, C, 212, 100},
        {F, K, 32, 273.15L},     {K, C, 0, -273.15L},   {K, F, 273.15L, 32},
        {C, C, -5, -5},          {F, C, -40, -40},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(static_cast<double>(convertUnits(Temperature, c.from, c.to, c.x)), static_cast<double>(c.result),
                    1e-12)
            << c.from << "->" << c.to;

    using calculators::absoluteZeroWarning;
    EXPECT_EQ(absoluteZeroWarning(K, -26.85L).value_or(QString()),
              QStringLiteral("Výsledek nemá smysl, teplota 0°K je absolutní nula"));
    EXPECT_EQ(absoluteZeroWarning(C, -273.16L).value_or(QString()),
              QStringLiteral("Výsledek nemá smysl, teplota -273.15°C je absolutní nula"));
    EXPECT_EQ(absoluteZeroWarning(F, -459.68L).value_or(QString()),
              QStringLiteral("Výsledek nemá smysl, teplota -459.67°F je absolutní nula"));
    // Strictly below: absolute zero itself, typed in any unit, is possible.
    const auto typed = [](const char* text) { return StrToReal(QString::fromLatin1(text)); };
    EXPECT_FALSE(absoluteZeroWarning(K, convertUnits(Temperature, C, K, typed("-273.15"))));
    EXPECT_FALSE(absoluteZeroWarning(C, typed("-273.15")));
    EXPECT_FALSE(absoluteZeroWarning(F, typed("-459.67")));
    EXPECT_FALSE(absoluteZeroWarning(C, convertUnits(Temperature, K, C, typed("0"))));
}

TEST(UnitConversion, LabelsAndTheirTwoLongNames)
{
    using calculators::fromUnitLabel;
    using calculators::toUnitLabel;
    const int metre = 0, mile = 1, millimetre = 2;
    EXPECT_EQ(toUnitLabel(Length, metre, millimetre), QStringLiteral("milimetr"));
    EXPECT_EQ(toUnitLabel(Length, mile, millimetre), QStringLiteral("mm"));
    EXPECT_EQ(fromUnitLabel(Length, millimetre), QStringLiteral("mm"));
    const int gallon = 0, litre = 1, cubicMetre = 2;
    EXPECT_EQ(toUnitLabel(Volume, litre, cubicMetre), QStringLiteral("metr krychlový"));
    EXPECT_EQ(toUnitLabel(Volume, gallon, cubicMetre), QStringLiteral("m krychlový"));
    EXPECT_EQ(toUnitLabel(Temperature, 0, 2), QStringLiteral("°K"));
    EXPECT_EQ(fromUnitLabel(Speed, 4), QStringLiteral("míle/h"));
}

TEST(UnitConversion, StrToRealReadsOnlyWholeNumbers)
{
    struct Case {
        const char* text;
        calculators::Real value;
    };
    const Case cases[] = {
        {"1", 1},        {"  2", 2},       {"2 ", 0},        {"1,5", 0},     {"1.5", 1.5},
        {"-1.25", -1.25}, {"+3", 3},       {"1e3", 1000},    {"1E-2", 0.01L}, {"2.5e+1", 25},
        {"", 0},         {" ", 0},         {"abc", 0},       {"1e", 0},      {"e5", 0},
        {"1 000", 0},    {"5.", 5},        {".5", 0.5},      {".", 0},       {"-", 0},
        {"1e-99999", 0},   {"\t1", 0},       {"1.2.3", 0},     {"--1", 0},     {"١", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StrToReal(QString::fromUtf8(c.text)), c.value) << '"' << c.text << '"';
    // Beyond the range of the numbers: an infinity, which the window refuses.
    EXPECT_EQ(StrToReal(QStringLiteral("1e99999")), std::numeric_limits<calculators::Real>::infinity());
    EXPECT_EQ(StrToReal(QStringLiteral("-0.001e99999999999999999999")), -std::numeric_limits<calculators::Real>::infinity());
    EXPECT_EQ(StrToReal(QStringLiteral("0.1")), 0.1L);
    EXPECT_EQ(StrToReal(QStringLiteral("0.000e400")), 0);
}

TEST(UnitConversion, RealToStrFixedTenDecimalsEighteenDigits)
{
    struct Case {
        calculators::Real value;
        const char* text;
    };
    const Case cases[] = {
        {0, "0.0000000000"},
        {1, "1.0000000000"},
        {-26.850000000000023, "-26.8500000000"},
        {1 / 1609.344L, "0.0006213712"},
        {3.085678186e19L, "30856781860000000000.0000000000"},
        {3.085678186e19, "30856781859999998000.0000000000"}, // a double's 18 digits are not all real
        {5000000, "5000000.0000000000"},
        {1 / 3.0, "0.3333333333"},
        {2 / 3.0, "0.6666666667"},
        {9.99999999996, "10.0000000000"},
        {123456789.123456789, "123456789.1234567910"}, // 18 significant digits, then zeros
        {6e-11, "0.0000000001"},
        {4e-11, "0.0000000000"},
        {-4e-11, "0.0000000000"}, // no sign on a value that shows as zero
        {1e-300, "0.0000000000"},
        {9.99e35, "998999999999999954000000000000000000.0000000000"},
        {3.1e40, " 3.1E+0040"},
        {-3.14e40, "-3.1E+0040"},
        {1e36, " 1.0E+0036"},
        {9.96e40, " 1.0E+0041"},
        {1.7976931348623157e308, " 1.8E+0308"},
        {1e400L, " 1.0E+0400"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RealToStr(c.value), QString::fromLatin1(c.text)) << static_cast<double>(c.value);
    // No text for what cannot be a result.
    EXPECT_EQ(RealToStr(std::numeric_limits<calculators::Real>::infinity()), QString());
    EXPECT_EQ(RealToStr(std::nanl("")), QString());
}

// The examples of the window: straight through parsing, converting, formatting.
TEST(UnitConversion, ExamplesEndToEnd)
{
    struct Case {
        Page page;
        const char* from;
        const char* to;
        const char* input;
        const char* shown;
    };
    const Case cases[] = {
        {Length, "Metr", "Míle", "1", "0.0006213712"},
        {Length, "Metr", "Míle", "1,5", "0.0000000000"},
        {Length, "Parsec", "Milimetr", "1", "30856781860000000000.0000000000"},
        {Weight, "Tuna", "Karát", "1", "5000000.0000000000"},
        {Weight, "Karát", "Tuna", "5000000", "1.0000000000"},
        {Temperature, "Celsius", "Kelvin", "-300", "-26.8500000000"},
        {Temperature, "Celsius", "Kelvin", "-273.15", "0.0000000000"},
        {Length, "Metr", "Milimetr", " 2", "2000.0000000000"},
        {Length, "Metr", "Milimetr", "2 ", "0.0000000000"},
        {Length, "Metr", "Milimetr", "1e3", "1000000.0000000000"},
    };
    for (const Case& c : cases) {
        const calculators::Real x = StrToReal(QString::fromUtf8(c.input));
        EXPECT_EQ(RealToStr(convertUnits(c.page, unitIndex(c.page, c.from), unitIndex(c.page, c.to), x)),
                  QString::fromLatin1(c.shown))
            << c.from << " -> " << c.to << " of " << c.input;
    }
}

} // namespace
