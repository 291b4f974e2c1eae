// What makes two text keys the same key (case and surrounding blanks do not,
// accents do), the exact key search at that level, and field widths counted
// in characters: a longer text is refused whole, a stored one never cut.
#include "cursor_fixture.h"

#include "FieldCodec.h"

#include <sqlite3.h>

namespace storetest {
namespace {

// Saves a new address with this surname; the error kind when it fails.
std::optional<store::StoreError::Kind> insertSurname(store::Cursor& cursor, const std::string& surname)
{
    cursor.insert();
    cursor.setText("Příjmení", surname);
    try {
        cursor.post();
        return std::nullopt;
    } catch (const store::StoreError& error) {
        EXPECT_EQ(error.table(), "Dat.DB") << error.what();
        cursor.cancel();
        return error.kind();
    }
}

struct KeyCase {
    const char* name;
    std::string surname; // saved while "Novák" is there
    bool sameKey;
};

class SameKeyTest : public StoreTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(SameKeyTest, SecondSaveIsAKeyViolationOnlyForTheSameKey)
{
    auto cursor = filled("Dat.DB", {{"Novák"}, {"Svoboda"}});
    const auto failure = insertSurname(*cursor, GetParam().surname);
    if (GetParam().sameKey) {
        EXPECT_EQ(failure, store::StoreError::Kind::KeyViolation);
        EXPECT_EQ(cursor->recordCount(), 2);
    } else {
        EXPECT_EQ(failure, std::nullopt);
        EXPECT_EQ(cursor->recordCount(), 3);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SameKeyTest,
    ::testing::Values(KeyCase{"Exact", "Novák", true}, KeyCase{"Capitals", "NOVÁK", true},
                      KeyCase{"Small", "novák", true}, KeyCase{"Decomposed", "Nova\u0301k", true},
                      KeyCase{"TrailingBlank", "Novák ", true}, KeyCase{"LeadingBlanks", "  Novák", true},
                      KeyCase{"NoBreakSpaces", "\u00A0Novák\u202F", true}, KeyCase{"Tab", "Novák\t", true},
                      KeyCase{"WithoutAccent", "Novak", false}, KeyCase{"CapitalsWithoutAccent", "NOVAK", false},
                      KeyCase{"Longer", "Nováková", false}, KeyCase{"InnerBlank", "No vák", false}),
    [](const auto& info) { return std::string(info.param.name); });

// The blanks around a key are not stored; inside it they stay.
TEST_F(StoreTest, BlanksAroundAKeyAreNotStoredButOtherFieldsKeepThem)
{
    auto cursor = filled("Dat.DB", {});
    cursor->insert();
    cursor->setText("Příjmení", "\u00A0 Dvořák Novotný \t");
    cursor->setText("Jméno", " Jan ");
    cursor->post();
    EXPECT_EQ(cursor->text("Příjmení"), "Dvořák Novotný");
    EXPECT_EQ(cursor->text("Jméno"), " Jan ");
}

// Renaming one record to another's key in other case is refused; changing
// only the case of a record's own key, or another field, is not.
TEST_F(StoreTest, EditingKeepsKeysUniqueWithoutRegardToCase)
{
    auto cursor = filled("Dat.DB", {{"Novák"}, {"Svoboda"}});
    ASSERT_TRUE(cursor->findKey("Svoboda"));
    cursor->edit();
    cursor->setText("Příjmení", "NOVÁK");
    EXPECT_THROW(cursor->post(), store::StoreError);
    EXPECT_EQ(cursor->state(), store::CursorState::Edit);
    cursor->cancel();

    ASSERT_TRUE(cursor->findKey("Novák"));
    cursor->edit();
    cursor->setText("Příjmení", "NOVÁK");
    cursor->setText("Telefon", "777");
    EXPECT_NO_THROW(cursor->post());
    EXPECT_EQ(walk(*cursor, "Příjmení"), (Names{"NOVÁK", "Svoboda"}));
}

struct FindCase {
    const char* name;
    std::string typed;
    std::string lands; // "" when not found
};

class ExactSearchTest : public StoreTest, public ::testing::WithParamInterface<FindCase> {};

// The exact key search compares as the key is unique: without case and blanks.
TEST_P(ExactSearchTest, FindsTheKeyWithoutRegardToCase)
{
    auto cursor = filled("Dat.DB", {{"Adámek"}, {"Novák"}, {"Novotný"}});
    cursor->first();
    const bool found = cursor->findKey(GetParam().typed);
    EXPECT_EQ(found, !GetParam().lands.empty());
    EXPECT_EQ(cursor->text("Příjmení"), found ? GetParam().lands : "Adámek");
}

INSTANTIATE_TEST_SUITE_P(Keys, ExactSearchTest,
                         ::testing::Values(FindCase{"Exact", "Novák", "Novák"}, FindCase{"Small", "novák", "Novák"},
                                           FindCase{"Capitals", "NOVOTNÝ", "Novotný"},
                                           FindCase{"Blanks", " novák\u00A0", "Novák"},
                                           FindCase{"AccentCounts", "Novak", ""}, FindCase{"Prefix", "Nov", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

// A non-unique index orders keys equal but for case by case, last.
TEST_F(StoreTest, CaseIsTheLastTieBreakOfANonUniqueIndex)
{
    auto cursor = filled("Psc.DB", {{"Praha", "AB 1"}, {"Brno", "ab 1"}, {"Cheb", "ab 2"}, {"Aš", "Ab 1"}});
    cursor->setIndexFieldNames("PSČ");
    EXPECT_EQ(walk(*cursor, "MÍSTO"), (Names{"Brno", "Aš", "Praha", "Cheb"}));
}

// A file written before keys ignored case may hold "Novák" and "NOVÁK": it
// opens with both, each can still be edited, and exact searches prefer the
// spelling typed.
TEST_F(StoreTest, AnOlderFileWithKeysDifferingInCaseOpensAndLosesNothing)
{
    filled("Dat.DB", {{"Novák", "Jan"}, {"Svoboda", "Petr"}})->close();
    m_database.reset();
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((m_dir / "Dat.DB").c_str(), &db), SQLITE_OK);
        sqlite3_stmt* insert = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db, "INSERT INTO records VALUES ('NOVÁK', 'Eva', NULL, ?1, 3)", -1, &insert,
                                     nullptr),
                  SQLITE_OK);
        const std::string key = store::sortKey(store::FieldKind::Text, std::string("NOVÁK"));
        sqlite3_bind_blob(insert, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
        ASSERT_EQ(sqlite3_step(insert), SQLITE_DONE);
        sqlite3_finalize(insert);
        sqlite3_close(db);
    }
    m_database = std::make_unique<store::Database>(m_dir);
    store::Cursor cursor(*m_database, "Dat.DB");
    cursor.open();
    EXPECT_EQ(walk(cursor, "Jméno"), (Names{"Jan", "Eva", "Petr"}));

    ASSERT_TRUE(cursor.findKey("NOVÁK"));
    EXPECT_EQ(cursor.text("Jméno"), "Eva");
    ASSERT_TRUE(cursor.findKey("Novák"));
    EXPECT_EQ(cursor.text("Jméno"), "Jan");
    for (const std::string surname : {"Novák", "NOVÁK"}) {
        ASSERT_TRUE(cursor.findKey(surname));
        cursor.edit();
        cursor.setText("Telefon", "123");
        EXPECT_NO_THROW(cursor.post()) << surname;
    }
    EXPECT_EQ(walk(cursor, "Telefon"), (Names{"123", "123", ""}));
}

// Widths count characters (code points): a character of four bytes is one,
// and a text one character over the width is refused whole.
TEST_F(StoreTest, TextLongerThanItsFieldIsRefusedNeverCut)
{
    auto cursor = filled("Dat.DB", {{"Novák"}});
    const auto repeat = [](const std::string& piece, int times) {
        std::string text;
        for (int i = 0; i < times; ++i)
            text += piece;
        return text;
    };
    cursor->edit();
    // The address table's surname holds 30 characters here.
    EXPECT_NO_THROW(cursor->setText("Příjmení", repeat("\U0001F600", 30)));
    EXPECT_NO_THROW(cursor->setText("Příjmení", repeat("ř", 30)));
    try {
        cursor->setText("Příjmení", repeat("ř", 29) + "\U0001F600" + "x");
        FAIL() << "a text of 31 characters was taken into a field of 30";
    } catch (const store::StoreError& error) {
        EXPECT_EQ(error.kind(), store::StoreError::Kind::BadValue);
        EXPECT_EQ(error.table(), "Dat.DB");
        EXPECT_NE(std::string(error.what()).find("30"), std::string::npos) << error.what();
    }
    // The accepted value stays pending as it was, not a cut copy of the refused one.
    EXPECT_EQ(cursor->text("Příjmení"), repeat("ř", 30));
    // Blanks around a key do not count: they are not part of it.
    EXPECT_NO_THROW(cursor->setText("Příjmení", "  " + repeat("a", 30) + "  "));
    cursor->cancel();
}

// A value longer than its field that is already stored (a file from an
// older version) is kept as it is when another field of the record is saved.
TEST_F(StoreTest, StoredValueLongerThanItsFieldIsNeverShortened)
{
    filled("Dat.DB", {{"Novák"}})->close();
    m_database.reset();
    const std::string longName(45, 'x');
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((m_dir / "Dat.DB").c_str(), &db), SQLITE_OK);
        const std::string sql = "UPDATE records SET \"Jméno\" = '" + longName + "'";
        ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    m_database = std::make_unique<store::Database>(m_dir);
    store::Cursor cursor(*m_database, "Dat.DB");
    cursor.open();
    cursor.edit();
    cursor.setText("Telefon", "777");
    cursor.post();
    EXPECT_EQ(cursor.text("Jméno"), longName);
}

} // namespace
} // namespace storetest
