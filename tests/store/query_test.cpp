// The read-only selections: the five statement texts the windows build,
// literals taken whole (quotes searched for, LIKE wildcards kept), Czech upper-casing.
#include "cursor_fixture.h"

#include "store/CzechText.h"
#include "store/Query.h"

namespace storetest {
namespace {

store::TableDef nameDayDef()
{
    store::TableDef def;
    def.fileName = "Svatek.db";
    def.fields = {{"Datum", store::FieldKind::Text, 20, store::FieldDefault::None},
                  {"Svátek", store::FieldKind::Text, 40, store::FieldDefault::None},
                  {"Výročí", store::FieldKind::Text, 60, store::FieldDefault::None}};
    def.isProtected = true;
    return def;
}

store::TableDef weightDef()
{
    store::TableDef def;
    def.fileName = "Data.DB";
    def.fields = {{"Jméno", store::FieldKind::Text, 30, store::FieldDefault::None},
                  {"Datum", store::FieldKind::Date, 0, store::FieldDefault::Today}};
    return def;
}

class QueryTest : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        store::Database::createTable(m_dir, nameDayDef(), kPassword);
        store::Database::createTable(m_dir, weightDef(), "");
        filled("Svatek.db", {{"1. leden", "Nový rok"},
                             {"2. leden", "Karina"},
                             {"3. leden", "Radmila"},
                             {"4. leden", "Diana"},
                             {"19. březen", "Josef", "Josefa O'Brien"},
                             {"5. leden", "Dalimil"},
                             {"6. leden", "Tři králové"},
                             {"12. září", "Marie"},
                             {"14. duben", "Čestmír"}})
            ->close();
        filled("Data.DB", {{"Jan Čermák", "1.1.2025"}, {"100% \"Pepa\"", "2.1.2025"}, {"jan_x", "3.1.2025"},
                           {"Eva", ""}, {"", "4.1.2025"}})
            ->close();
        filled("Psc.DB", {{"Praha 1", "110 00"}, {"Staré Město", "110 00"}, {"Brno", "602 00"}})->close();
    }

    std::vector<std::string> select(const std::string& sql, const std::string& field)
    {
        store::Query query(*m_database);
        query.setSql(sql);
        query.open();
        std::vector<std::string> rows;
        for (query.first(); !query.eof(); query.next())
            rows.push_back(query.text(field));
        EXPECT_EQ(static_cast<int>(rows.size()), query.recordCount());
        return rows;
    }
};

struct SelectCase {
    const char* name;
    std::string sql;
    std::string field;
    Names expected;
};

class SelectTest : public QueryTest, public ::testing::WithParamInterface<SelectCase> {};

TEST_P(SelectTest, ReturnsMatchingRecordsInReadingOrder)
{
    EXPECT_EQ(select(GetParam().sql, GetParam().field), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Query, SelectTest,
    ::testing::Values(
        SelectCase{"All", "select * from Svatek", "Datum",
                   {"1. leden", "2. leden", "3. leden", "4. leden", "19. březen", "5. leden", "6. leden", "12. září",
                    "14. duben"}},
        SelectCase{"DateKey", "select * from Svatek where Datum = '12. září'", "Svátek", {"Marie"}},
        SelectCase{"DateKeyMissing", "select * from Svatek where Datum = '31. únor'", "Svátek", {}},
        SelectCase{"NameContains", "select * from Svatek where (UPPER(Svatek.'Svátek') LIKE UPPER('%ra%'))",
                   "Svátek", {"Radmila"}}, // "Tři králové" has RÁ, not RA
        SelectCase{"CzechCapitals", "select * from Svatek where (UPPER(Svatek.'Svátek') LIKE UPPER('%čEST%'))",
                   "Svátek", {"Čestmír"}},
        SelectCase{"EmptyTextMatchesAllFilled", "select * from Svatek where (UPPER(Svatek.'Výročí') LIKE UPPER('%%'))",
                   "Svátek", {"Josef"}},
        SelectCase{"PostalCode", "select * from Psc where PSČ = \"110 00\"", "MÍSTO", {"Praha 1", "Staré Město"}},
        SelectCase{"WeightsOfAPerson", "select * from Data where (UPPER(Data.'Jméno') LIKE UPPER('%jan%'))", "Datum",
                   {"1.1.2025", "3.1.2025"}},
        SelectCase{"TableNameCase", "SELECT * FROM svatek where Datum = '1. leden'", "Svátek", {"Nový rok"}}),
    [](const auto& info) { return std::string(info.param.name); });

// The texts were built without escaping; a quote in the typed text must be
// searched for, not break the statement. "%" and "_" typed keep their LIKE
// meaning (any run of letters, one letter), as in the statement's own SQL.
TEST_F(QueryTest, TypedQuotesAreSearchedForAndWildcardsKeepTheirMeaning)
{
    EXPECT_EQ(select("select * from Svatek where (UPPER(Svatek.'Výročí') LIKE UPPER('%o'brien%'))", "Svátek"),
              Names{"Josef"});
    EXPECT_EQ(select("select * from Data where (UPPER(Data.'Jméno') LIKE UPPER('%0% \"pe%'))", "Jméno"),
              Names{"100% \"Pepa\""});
    EXPECT_EQ(select("select * from Data where (UPPER(Data.'Jméno') LIKE UPPER('%_%'))", "Jméno"),
              (Names{"Jan Čermák", "100% \"Pepa\"", "jan_x", "Eva"}));
    EXPECT_EQ(select("select * from Data where (UPPER(Data.'Jméno') LIKE UPPER('%j%n_x%'))", "Jméno"),
              Names{"jan_x"});
    EXPECT_EQ(select("select * from Data where (UPPER(Data.'Jméno') LIKE UPPER('%j_n č%'))", "Jméno"),
              Names{"Jan Čermák"}); // "_" is one letter, "č" matches "Č"
    EXPECT_EQ(select("select * from Data where (UPPER(Data.'Jméno') LIKE UPPER('%'; drop table records; --%'))",
                     "Jméno"),
              Names{});
    EXPECT_EQ(select("select * from Psc where PSČ = \"1\"0 00\"", "MÍSTO"), Names{});
}

// LIKE on whole characters: "_" takes one Czech letter (two bytes in UTF-8),
// "%" any run, and a mismatch after a "%" tries the next start.
TEST(LikeMatches, WildcardsOnWholeCharacters)
{
    struct Case {
        const char* text;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"NOVÁK", "%NOV%", true},      {"NOVÁK", "NOV_K", true},   {"NOVÁK", "NOV__K", false},
        {"NOVÁK", "%V%K", true},       {"NOVÁK", "%VAK%", false},  {"", "%%", true},
        {"AAB", "%AB", true},          {"ABAB", "%BA%B", true},    {"ABC", "A%C%D", false},
        {"ŘEŘICHA", "%Ř_CH%", true},   {"X", "", false},           {"", "_", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(store::likeMatches(c.text, c.pattern), c.matches) << c.text << " LIKE " << c.pattern;
}

TEST_F(QueryTest, ReadsLikeATableAndReplacingTheTextClosesIt)
{
    store::Query query(*m_database);
    query.setSql("select * from Svatek where (UPPER(Svatek.'Svátek') LIKE UPPER('%a%'))");
    query.open();
    EXPECT_FALSE(query.canModify());
    EXPECT_EQ(query.rowCount(), 5); // Karina, Radmila, Diana, Dalimil, Marie
    EXPECT_EQ(query.rowText(1, query.fieldIndex("svátek")), "Radmila");
    EXPECT_EQ(query.moveBy(15), 4);
    EXPECT_TRUE(query.eof());
    query.setSql("select * from Svatek");
    EXPECT_FALSE(query.isActive());
    EXPECT_EQ(query.rowCount(), 0);
    EXPECT_TRUE(query.eof());
}

TEST_F(QueryTest, UnknownFormsAndTablesFailClearly)
{
    store::Query query(*m_database);
    for (const std::string sql : {"delete from Svatek", "select Datum from Svatek", "select * from Svatek where x",
                                  "select * from Svatek where Datum = 'open"}) {
        query.setSql(sql);
        try {
            query.open();
            ADD_FAILURE() << sql;
        } catch (const store::StoreError& error) {
            EXPECT_EQ(error.kind(), store::StoreError::Kind::BadStatement) << sql;
        }
        EXPECT_FALSE(query.isActive());
    }
    query.setSql("select * from Nic");
    EXPECT_THROW(query.open(), store::StoreError);
    query.setSql("select * from Svatek where Nic = 'x'");
    EXPECT_THROW(query.open(), store::StoreError);
}

} // namespace
} // namespace storetest
