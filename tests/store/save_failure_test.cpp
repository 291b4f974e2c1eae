// Why a save failed: each failure carries its own kind (a key violation only
// for a real duplicate) and names the table, the user's text says what to do,
// and the engine's statement stays in the detail for the log. The record
// stays pending and the table as it was.
#include "cursor_fixture.h"

#include "Table.h"

#include "DamagedPage.h"

#include <sqlite3.h>

#include <functional>

namespace storetest {
namespace {

void run(sqlite3* db, const std::string& sql)
{
    char* error = nullptr;
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
}

struct FailureCase {
    const char* name;
    // Makes the next write of the open table fail; `other` is a second
    // connection to the file, as another program would hold it.
    std::function<void(store::Table& table, sqlite3* other, const fs::path& file)> arrange;
    store::StoreError::Kind kind;
    const char* says; // part of the user's text
};

class SaveFailureTest : public StoreTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SaveFailureTest, FailedSaveNamesTableAndKindAndKeepsRecordPending)
{
    // The planner: its memo takes a text long enough to need new pages.
    auto cursor = filled("Datp.db", {{"1.1.2025", "Nový rok"}, {"2.1.2025", "Práce"}});
    const std::shared_ptr<store::Table> table = m_database->table("Datp.db");
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((m_dir / "Datp.db").c_str(), &other), SQLITE_OK);
    GetParam().arrange(*table, other, m_dir / "Datp.db");

    cursor->insert();
    cursor->setText("Datum", "3.1.2025");
    cursor->setText("Činnost", std::string(20000, 'e'));
    try {
        cursor->post();
        ADD_FAILURE() << "the save was reported as done";
    } catch (const store::StoreError& error) {
        const std::string text = error.what();
        EXPECT_EQ(error.kind(), GetParam().kind) << text;
        EXPECT_EQ(error.table(), "Datp.db");
        EXPECT_NE(text.find("Datp.db"), std::string::npos) << text;
        EXPECT_NE(text.find(GetParam().says), std::string::npos) << text;
        // The statement goes to the log, never to the user.
        EXPECT_EQ(text.find("INSERT"), std::string::npos) << text;
        EXPECT_EQ(text.find("SELECT"), std::string::npos) << text;
        EXPECT_FALSE(error.detail().empty());
    }
    EXPECT_EQ(cursor->state(), store::CursorState::Insert);
    EXPECT_EQ(cursor->text("Datum"), "3.1.2025");
    sqlite3_close(other);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SaveFailureTest,
    ::testing::Values(
        // The program runs as whoever owns the files (root in the build), so a
        // read-only file is made read-only for the table's own connection.
        FailureCase{"ReadOnly",
                    [](store::Table& table, sqlite3*, const fs::path&) {
                        run(table.connection(), "PRAGMA query_only = ON");
                    },
                    store::StoreError::Kind::ReadOnly, "nelze zapisovat"},
        FailureCase{"LockedByAnotherProgram",
                    [](store::Table& table, sqlite3* other, const fs::path&) {
                        sqlite3_busy_timeout(table.connection(), 50);
                        run(other, "BEGIN EXCLUSIVE");
                    },
                    store::StoreError::Kind::Locked, "jiný program"},
        FailureCase{"DiskFull",
                    [](store::Table& table, sqlite3*, const fs::path&) {
                        // No page more than the file has: the engine's "full".
                        run(table.connection(), "PRAGMA max_page_count = 1");
                        static_cast<void>(table);
                    },
                    store::StoreError::Kind::DiskFull, "není volné místo"},
        // Another program (a file manager, a restore by hand) put another
        // file in the table's place: the program still holds the old one,
        // so only opening the table again helps, never write permissions.
        FailureCase{"FileReplacedUnderTheProgram",
                    [](store::Table&, sqlite3*, const fs::path& file) {
                        const fs::path other = file.parent_path() / "jiny.db";
                        fs::copy_file(file, other);
                        fs::rename(other, file);
                    },
                    store::StoreError::Kind::Replaced, "ukončete program a spusťte ho znovu"}),
    [](const auto& info) { return std::string(info.param.name); });

// A damaged page of the id index is not read when the table opens; the save
// that meets it says the table's file is damaged and a backup restores it.
TEST_F(StoreTest, DamageFoundAtASaveIsToldAsDamageOfTheTable)
{
    filled("Datp.db", {{"1.1.2025", "Nový rok"}, {"2.1.2025", "Práce"}})->close();
    m_database.reset();
    const fs::path file = m_dir / "Datp.db";
    testsupport::overwritePage(file, testsupport::rootPageOf("_i_id"));
    m_database = std::make_unique<store::Database>(m_dir);
    store::Cursor cursor(*m_database, "Datp.db");
    ASSERT_NO_THROW(cursor.open());
    cursor.insert();
    cursor.setText("Datum", "3.1.2025");
    try {
        cursor.post();
        FAIL() << "saved into a damaged index";
    } catch (const store::StoreError& error) {
        const std::string text = error.what();
        EXPECT_EQ(error.kind(), store::StoreError::Kind::Damaged) << text;
        EXPECT_EQ(error.table(), "Datp.db");
        EXPECT_NE(text.find("Datp.db"), std::string::npos) << text;
        EXPECT_NE(text.find("poškozený"), std::string::npos) << text;
        EXPECT_NE(text.find("ze zálohy"), std::string::npos) << text;
    }
    EXPECT_EQ(cursor.state(), store::CursorState::Insert);
}

// A real duplicate is the only failure told as a key violation, and keeps
// the engine's quoted text for the windows that replace it with their own.
TEST_F(StoreTest, DuplicateKeyKeepsItsQuotedTextAndNamesTheTable)
{
    auto cursor = filled("Dat.DB", {{"Novák"}});
    cursor->insert();
    cursor->setText("Příjmení", "Novák");
    try {
        cursor->post();
        FAIL() << "a duplicate was saved";
    } catch (const store::StoreError& error) {
        EXPECT_EQ(error.kind(), store::StoreError::Kind::KeyViolation);
        EXPECT_STREQ(error.what(), store::kKeyViolationMessage);
        EXPECT_EQ(error.table(), "Dat.DB");
    }
}

// Reading a row while another program holds the file is an error of the
// table, not a crash, and the next read after it lets go succeeds.
TEST_F(StoreTest, ReadingWhileAnotherProgramHoldsTheFileFailsAsLocked)
{
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 20; ++i)
        rows.push_back({"Příjmení " + std::to_string(10 + i)});
    filled("Dat.DB", rows)->close();
    // A fresh open: no record is held in memory yet.
    m_database = std::make_unique<store::Database>(m_dir);
    auto cursor = std::make_unique<store::Cursor>(*m_database, "Dat.DB");
    cursor->open();
    sqlite3_busy_timeout(m_database->table("Dat.DB")->connection(), 50);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((m_dir / "Dat.DB").c_str(), &other), SQLITE_OK);
    run(other, "BEGIN EXCLUSIVE");
    try {
        cursor->rowText(15, 0);
        ADD_FAILURE() << "read through an exclusive lock";
    } catch (const store::StoreError& error) {
        EXPECT_EQ(error.kind(), store::StoreError::Kind::Locked) << error.what();
        EXPECT_EQ(error.table(), "Dat.DB");
    }
    run(other, "ROLLBACK");
    sqlite3_close(other);
    EXPECT_EQ(cursor->rowText(15, 0), "Příjmení 25");
}

} // namespace
} // namespace storetest
