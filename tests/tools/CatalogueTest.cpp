#include "store/Catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

struct ExpectedTable {
    const char* fileName;
    std::optional<std::string> primaryKey;
    std::optional<std::string> secondaryIndex;
    bool isProtected;
    std::vector<std::string> files;
};

// Keys decide uniqueness and the two orderings of the directory windows; the
// files are the names a table had in the original catalogue.
const std::vector<ExpectedTable> kExpected = {
    {"Dat.DB", "Příjmení", std::nullopt, false, {"Dat.DB", "Dat.PX"}},
    {"Datz.DB", "Název", std::nullopt, false, {"Datz.DB", "Datz.MB", "Datz.PX"}},
    {"Datp.DB", "Datum", std::nullopt, false, {"Datp.DB", "Datp.PX"}},
    {"Svatek.DB", std::nullopt, std::nullopt, true, {"Svatek.DB", "Svatek.FAM", "Svatek.TV"}},
    {"Psc.DB", "MÍSTO", "PSČ", true, {"Psc.DB", "Psc.PX", "Psc.XG0", "Psc.YG0"}},
    {"Spzzem.DB", "ZEMĚ", "ZNAČKA", true, {"Spzzem.DB", "Spzzem.PX", "Spzzem.XG0", "Spzzem.YG0"}},
    {"TelefCR.DB", "Telefonní obvod", std::nullopt, true, {"TelefCR.DB", "TelefCR.PX"}},
    {"TelefSvt.DB", "Země", std::nullopt, true, {"TelefSvt.DB", "TelefSvt.PX"}},
    {"Vyrob.DB", "Výrobek", std::nullopt, false, {"Vyrob.DB", "Vyrob.MB", "Vyrob.PX"}},
    {"Data.DB", std::nullopt, std::nullopt, false, {"Data.DB", "Data.FAM", "Data.TV", "Data.VAL"}},
    {"Cas.DB", std::nullopt, std::nullopt, true, {"Cas.DB", "Cas.FAM", "Cas.TV"}},
    {"Zaloha.DB", std::nullopt, std::nullopt, false, {"Zaloha.DB", "Zaloha.VAL"}},
    {"Synchro.DB", "Položka", std::nullopt, false, {"Synchro.DB"}},
};

const store::FieldDef* findField(const store::TableDef& def, const std::string& name)
{
    for (const store::FieldDef& field : def.fields) {
        if (field.name == name)
            return &field;
    }
    return nullptr;
}

// A lost key or a wrong protection would allow duplicates or let a reference
// table open without its password.
TEST(Catalogue, tablesInOrderWithKeysFilesAndProtection)
{
    const auto& tables = store::catalogue();
    ASSERT_EQ(tables.size(), kExpected.size());
    for (std::size_t i = 0; i < tables.size(); ++i) {
        SCOPED_TRACE(kExpected[i].fileName);
        EXPECT_EQ(tables[i].fileName, kExpected[i].fileName);
        EXPECT_EQ(tables[i].primaryKey, kExpected[i].primaryKey);
        EXPECT_EQ(tables[i].secondaryIndex, kExpected[i].secondaryIndex);
        EXPECT_EQ(tables[i].isProtected, kExpected[i].isProtected);
        EXPECT_EQ(tables[i].catalogueFiles, kExpected[i].files);
        // A key or index naming no field would make the store fail at creation.
        for (const auto& keyField : {tables[i].primaryKey, tables[i].secondaryIndex}) {
            if (keyField) {
                EXPECT_NE(findField(tables[i], *keyField), nullptr) << *keyField;
            }
        }
        std::set<std::string> names;
        for (const store::FieldDef& field : tables[i].fields) {
            EXPECT_TRUE(names.insert(field.name).second) << "field twice: " << field.name;
            if (field.kind == store::FieldKind::Text) {
                EXPECT_GT(field.width, 0) << field.name;
            }
        }
    }
}

// The windows read and write these fields by name and kind; a wrong kind breaks
// the date text, the integer reads or the memo editors.
TEST(Catalogue, fieldsTheWindowsRelyOn)
{
    struct Case {
        const char* table;
        std::vector<std::pair<std::string, store::FieldKind>> fields;
    };
    using K = store::FieldKind;
    const std::vector<Case> cases = {
        {"Dat.DB",
         {{"Příjmení", K::Text},
          {"Jméno", K::Text},
          {"Adresa", K::Text},
          {"Telefon", K::Text},
          {"Poznámka", K::Text}}},
        {"Datz.db", {{"Název", K::Text}, {"Text", K::FormattedMemo}}},
        {"Datp.db", {{"Datum", K::Date}, {"Činnost", K::Text}}},
        {"Svatek.db",
         {{"Datum", K::Text}, {"Svátek", K::Text}, {"Výročí", K::Text}, {"Číslo", K::Integer}}},
        {"Psc.DB", {{"MÍSTO", K::Text}, {"PSČ", K::Text}, {"TYP", K::Text}}},
        {"Spzzem.db", {{"ZEMĚ", K::Text}, {"ZNAČKA", K::Text}}},
        {"TelefCR.DB", {{"Telefonní obvod", K::Text}, {"Předvolba", K::Text}}},
        {"TelefSvt.DB", {{"Země", K::Text}, {"Předvolba", K::Text}}},
        {"Vyrob.db",
         {{"Výrobek", K::Text},
          {"Výrobce", K::Text},
          {"Číslo výrobku", K::Text},
          {"Datum koupě", K::Date},
          {"Záruka do", K::Date},
          {"Cena", K::Text},
          {"Koupeno kde", K::Text},
          {"Umístění", K::Text},
          {"Adresy opraven", K::Text},
          {"Poznámka", K::Text},
          {"Oprava od", K::Date},
          {"Oprava do", K::Date},
          {"Záruční", K::Text},
          {"Záruční opravy", K::Memo}}},
        {"Data.DB",
         {{"Jméno", K::Text},
          {"Datum", K::Date},
          {"Výška", K::Integer},
          {"Váha", K::Integer},
          {"Kategorie", K::Text}}},
        {"Cas.db", {{"Země", K::Text}, {"Město", K::Text}, {"Směr", K::Text}, {"Posun", K::Time}}},
        {"Zaloha.db", {{"Datum", K::Date}, {"Čas", K::Time}, {"ČasDisk", K::Time}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        const store::TableDef* def = store::findTableDef(c.table);
        ASSERT_NE(def, nullptr);
        ASSERT_EQ(def->fields.size(), c.fields.size());
        for (std::size_t i = 0; i < c.fields.size(); ++i) {
            EXPECT_EQ(def->fields[i].name, c.fields[i].first);
            EXPECT_EQ(def->fields[i].kind, c.fields[i].second) << c.fields[i].first;
        }
    }
}

// Only the two dates the validity rules fill in get a default; any other default
// would write values the windows never asked for.
TEST(Catalogue, onlyTheValidityDatesHaveDefaults)
{
    for (const store::TableDef& def : store::catalogue()) {
        for (const store::FieldDef& field : def.fields) {
            const bool validityDate =
                (def.fileName == "Data.DB" || def.fileName == "Zaloha.DB") && field.name == "Datum";
            EXPECT_EQ(field.defaultValue,
                      validityDate ? store::FieldDefault::Today : store::FieldDefault::None)
                << def.fileName << " " << field.name;
        }
    }
}

// The text editor opens "DAT.DB", selections name "Svatek" without extension;
// a near miss must not find a table.
TEST(Catalogue, findsTablesWithoutRegardToCase)
{
    const std::vector<std::pair<std::string, const char*>> cases = {
        {"Dat.DB", "Dat.DB"},       {"DAT.DB", "Dat.DB"},    {"dat.db", "Dat.DB"},
        {"Svatek.db", "Svatek.DB"}, {"Svatek", "Svatek.DB"}, {"PSC.db", "Psc.DB"},
        {"Data", "Data.DB"},        {"Datz.db", "Datz.DB"},  {"zaloha.db", "Zaloha.DB"},
        {"Dat", "Dat.DB"},          {"Dat.PX", nullptr},     {"Da", nullptr},
        {"Svatek.DBX", nullptr},    {"", nullptr},           {"Adresy.db", nullptr},
    };
    for (const auto& [name, expected] : cases) {
        const store::TableDef* def = store::findTableDef(name);
        if (expected == nullptr)
            EXPECT_EQ(def, nullptr) << name;
        else
            EXPECT_TRUE(def != nullptr && def->fileName == expected) << name;
    }
}

TEST(Catalogue, passwordHasThreeCharacters)
{
    EXPECT_EQ(store::dataTablesPassword().size(), 3u);
}

} // namespace
