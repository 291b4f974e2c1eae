// The check of table files in the background: damage that no read or save
// has met yet is named with the table and the way out (a backup), a sound or
// missing file gives nothing, and the check never makes a save fail.
#include "cursor_fixture.h"

#include "Table.h"

#include "store/TableCheck.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <fstream>

namespace storetest {
namespace {

// Overwrites the page of the table file that holds the root of `object`
// (an index the opening does not read), as a failing disk would.
void damageRootPage(const fs::path& file, const char* object)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* root = nullptr;
    sqlite3_prepare_v2(db, "SELECT rootpage FROM sqlite_master WHERE name = ?1", -1, &root, nullptr);
    sqlite3_bind_text(root, 1, object, -1, SQLITE_STATIC);
    ASSERT_EQ(sqlite3_step(root), SQLITE_ROW);
    const int page = sqlite3_column_int(root, 0);
    sqlite3_finalize(root);
    sqlite3_close(db);
    std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
    out.seekp(static_cast<std::streamoff>(page - 1) * 4096);
    const std::string garbage(4096, '\x5A');
    out.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
}

TEST_F(StoreTest, CheckNamesDamageNoOpeningMeets)
{
    filled("Dat.DB", {{"Novák"}, {"Dvořák"}, {"Černý"}})->close();
    filled("Datp.db", {{"1.1.2025", "Nový rok"}})->close();
    m_database.reset();
    damageRootPage(m_dir / "Datp.db", "_i_id");

    // The damaged table still opens: only the check finds it now.
    m_database = std::make_unique<store::Database>(m_dir);
    store::Cursor planner(*m_database, "Datp.db");
    ASSERT_NO_THROW(planner.open());

    EXPECT_EQ(store::checkTableFile(m_dir / "Dat.DB"), "");
    const std::string text = store::checkTableFile(m_dir / "Datp.db");
    EXPECT_NE(text.find("Kontrola tabulky Datp.db"), std::string::npos) << text;
    EXPECT_NE(text.find("poškozený"), std::string::npos) << text;
    EXPECT_NE(text.find("ze zálohy"), std::string::npos) << text;
    EXPECT_NE(text.find("\n(Page "), std::string::npos) << text; // the page found, for whoever mends it
    // Gone, or not a database at all: opening the table tells why, not the check.
    EXPECT_EQ(store::checkTableFile(m_dir / "Chybí.DB"), "");

    // In the background: every file checked, the damaged one reported once, then the end.
    std::vector<std::string> reported;
    std::atomic<bool> done{false};
    {
        store::BackgroundTableCheck check(
            m_database->openTableFiles(),
            [&](const std::string& table, const std::string& what) { reported.push_back(table + ": " + what); },
            [&] { done = true; });
        check.wait();
    }
    EXPECT_TRUE(done);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].rfind("Datp.db: ", 0), 0u) << reported[0];
}

// The check's list is every table of the catalogue found in the data
// directory, open or not (a window made on first use has not opened its
// table when the check starts), named as the file is, and any other open
// table once; a catalogue table without a file is left out.
TEST_F(StoreTest, TablesToCheckAreTheCatalogueFilesPresentAndTheOpenOnes)
{
    fs::rename(m_dir / "Psc.DB", m_dir / "PSC.db");
    store::TableDef missing = addressDef();
    missing.fileName = "Chybí.DB";
    m_database->setCatalogue({postalDef(), plannerDef(), missing});
    store::Cursor addresses(*m_database, "Dat.DB"); // open, not in the catalogue
    addresses.open();
    store::Cursor planner(*m_database, "Datp.db"); // open and in the catalogue
    planner.open();

    std::vector<fs::path> files = m_database->tableFilesToCheck();
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<fs::path>{m_dir / "Dat.DB", m_dir / "Datp.db", m_dir / "PSC.db"}));
}

// Saves go on while the check runs: its read lock would hold up their
// commits, so it gives way to them and starts again afterwards.
TEST_F(StoreTest, SavesDuringTheCheckSucceedAndTheCheckStillEnds)
{
    auto cursor = std::make_unique<store::Cursor>(*m_database, "Dat.DB");
    cursor->open();
    {
        // Enough records for a check that lasts a while, written fast.
        sqlite3* db = m_database->table("Dat.DB")->connection();
        store::exec(db, "PRAGMA synchronous = OFF");
        store::exec(db, "PRAGMA journal_mode = MEMORY");
        for (int i = 0; i < 20000; ++i)
            cursor->insertRecord({"Příjmení " + std::to_string(i), "Jméno", "777 123 456"});
        store::exec(db, "PRAGMA journal_mode = DELETE");
        store::exec(db, "PRAGMA synchronous = FULL");
    }
    std::atomic<bool> done{false};
    std::atomic<int> damaged{0};
    // The same file again and again, so that the check surely runs while the user saves.
    store::BackgroundTableCheck check(
        std::vector<fs::path>(100, m_dir / "Dat.DB"), [&](const std::string&, const std::string&) { ++damaged; },
        [&] { done = true; });
    for (int i = 0; i < 30; ++i) {
        cursor->first();
        cursor->edit();
        cursor->setText("Telefon", std::to_string(i));
        ASSERT_NO_THROW(cursor->post()) << "save " << i;
    }
    check.wait();
    EXPECT_TRUE(done);
    EXPECT_EQ(damaged, 0);
    EXPECT_EQ(cursor->text("Telefon"), "29");
}

// Ending the program while the check runs stops it without a report.
TEST_F(StoreTest, CheckStopsWhenItsOwnerGoes)
{
    filled("Dat.DB", {{"Novák"}})->close();
    std::atomic<int> calls{0};
    {
        store::BackgroundTableCheck check(
            std::vector<fs::path>(50, m_dir / "Dat.DB"), [&](const std::string&, const std::string&) { ++calls; },
            [&] { ++calls; });
    }
    EXPECT_LE(calls, 1); // at most the end, when all fifty were done before the stop
}

} // namespace
} // namespace storetest
