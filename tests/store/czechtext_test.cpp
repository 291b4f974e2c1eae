#include "store/CzechText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

int sign(int value)
{
    return (value > 0) - (value < 0);
}

struct CompareCase {
    const char* a;
    const char* b;
    int tertiary;   // key order
    int secondary;  // nearest key search, case ignored
};

class CzechCompare : public ::testing::TestWithParam<CompareCase> {};

// Catches a collator that is not Czech (ch before h, č filed under c), one
// that lets case decide the search order, or one that treats accents as letters.
TEST_P(CzechCompare, OrdersLikeACzechDictionary)
{
    const CompareCase& c = GetParam();
    EXPECT_EQ(sign(store::compareCzech(c.a, c.b)), c.tertiary) << c.a << " vs " << c.b;
    EXPECT_EQ(sign(store::compareCzech(c.b, c.a)), -c.tertiary) << "not antisymmetric";
    EXPECT_EQ(sign(store::compareCzechIgnoreCase(c.a, c.b)), c.secondary) << c.a << " vs " << c.b;
}

INSTANTIATE_TEST_SUITE_P(Cases, CzechCompare,
    ::testing::Values(
        CompareCase{"hrad", "chata", -1, -1},     // ch is a letter after h
        CompareCase{"chata", "ihned", -1, -1},    // ... and before i
        CompareCase{"cukr", "čaj", -1, -1},       // č is a letter after c
        CompareCase{"rys", "řeka", -1, -1},       // ř after r
        CompareCase{"sůl", "šatna", -1, -1},      // š after s
        CompareCase{"zub", "žába", -1, -1},       // ž after z
        CompareCase{"Novák", "Novotný", -1, -1},
        CompareCase{"Novak", "Novák", -1, -1},    // accent: second level, still ordered
        CompareCase{"Novák", "Novakova", -1, -1}, // ... but only after all the letters
        CompareCase{"Dvořák", "Dvorak", 1, 1},    // ř is a letter, not an accent
        CompareCase{"NOVÁK", "Novák", 1, 0},      // case: third level only
        CompareCase{"novák", "Novák", -1, 0},
        CompareCase{"Ťopka", "Topka", 1, 1},
        CompareCase{"Ďáblice", "Dablice", 1, 1},
        CompareCase{"NOV", "Novák", -1, -1},      // a typed prefix sorts before the name
        CompareCase{"NOX", "Novotný", 1, 1},
        CompareCase{"", "A", -1, -1},
        CompareCase{"Adámek", "Adámek", 0, 0},
        // The same letter precomposed and decomposed is the same key.
        CompareCase{"\xC4\x8D" "ern\xC3\xBD", "c\xCC\x8C" "ern\xC3\xBD", 0, 0}));

// Catches a sort that uses byte order anywhere on the way.
TEST(CzechText, SortsAListOfSurnames)
{
    std::vector<std::string> names = {"Žák", "Chalupa", "Čermák", "Hájek", "Cibulka", "Šťastný", "Svoboda",
                                      "Řehoř", "Rys", "Ibl", "Adámek", "adam"};
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return store::compareCzech(a, b) < 0; });
    const std::vector<std::string> expected = {"adam", "Adámek", "Cibulka", "Čermák", "Hájek", "Chalupa",
                                               "Ibl", "Rys", "Řehoř", "Svoboda", "Šťastný", "Žák"};
    EXPECT_EQ(names, expected);
}

struct CaseMapping {
    const char* lower;
    const char* upper;
};

class CzechCaseMapping : public ::testing::TestWithParam<CaseMapping> {};

// Catches an ASCII-only toupper that leaves the Czech letters small.
TEST_P(CzechCaseMapping, MapsEveryCzechLetter)
{
    EXPECT_EQ(store::czechUpper(GetParam().lower), GetParam().upper);
    EXPECT_EQ(store::czechLower(GetParam().upper), GetParam().lower);
}

INSTANTIATE_TEST_SUITE_P(Cases, CzechCaseMapping,
    ::testing::Values(CaseMapping{"příliš žluťoučký kůň úpěl ďábelské ódy",
                                  "PŘÍLIŠ ŽLUŤOUČKÝ KŮŇ ÚPĚL ĎÁBELSKÉ ÓDY"},
                      CaseMapping{"čřšžýáíéěúůťďň", "ČŘŠŽÝÁÍÉĚÚŮŤĎŇ"},
                      CaseMapping{"dat.db 12 + (x)", "DAT.DB 12 + (X)"},
                      CaseMapping{"", ""}));

struct NameCase {
    const char* a;
    const char* b;
    bool same;
};

class SameName : public ::testing::TestWithParam<NameCase> {};

// Catches a name match that is case-sensitive for Czech letters, or one so
// loose that it drops accents and confuses two different fields.
TEST_P(SameName, IgnoresCaseOnly)
{
    EXPECT_EQ(store::sameName(GetParam().a, GetParam().b), GetParam().same) << GetParam().a << " / " << GetParam().b;
    EXPECT_EQ(store::sameName(GetParam().b, GetParam().a), GetParam().same);
}

INSTANTIATE_TEST_SUITE_P(Cases, SameName,
    ::testing::Values(NameCase{"Místo", "MÍSTO", true}, NameCase{"Dat.DB", "DAT.DB", true},
                      NameCase{"Svatek.db", "SVATEK.DB", true}, NameCase{"PSČ", "psč", true},
                      NameCase{"Příjmení", "PŘÍJMENÍ", true}, NameCase{"Země", "ZEMĚ", true},
                      NameCase{"Misto", "Místo", false}, NameCase{"Dat.DB", "Datz.db", false},
                      NameCase{"Zeme", "ZEMĚ", false}, NameCase{"", "", true}));

// The version is stored in every table file; an empty or unstable value would
// make every open rebuild the key order, or never rebuild it.
TEST(CzechText, CollatorVersionIsStable)
{
    const std::string version = store::collatorVersion();
    EXPECT_FALSE(version.empty());
    EXPECT_EQ(version, store::collatorVersion());
}

// "4 řádků" and "1 adres" were shown before counts took their Czech form.
TEST(CzechText, PluralFollowsTheWholeNumber)
{
    const std::string one = "řádek", few = "řádky", many = "řádků";
    const std::pair<long long, const std::string*> cases[] = {
        {0, &many}, {1, &one}, {2, &few}, {4, &few}, {5, &many}, {11, &many},
        {12, &many}, {21, &many}, {22, &many}, {1000000, &many}, {-1, &one}, {-3, &few}};
    for (const auto& [count, expected] : cases)
        EXPECT_EQ(store::czechPlural(count, one, few, many), *expected) << count;
}

} // namespace
