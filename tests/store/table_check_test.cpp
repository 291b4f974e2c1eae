// The check of table files in the background: damage that no read or save
// has met yet is named with the table and the way out (a backup), a sound or
// missing file gives nothing, and the check never makes a save fail.
#include "cursor_fixture.h"

#include "Table.h"

#include "store/TableCheck.h"

#include "DamagedPage.h"

#include <algorithm>
#include <atomic>

namespace storetest {
namespace {

TEST_F(StoreTest, CheckNamesDamageNoOpeningMeets)
{
    filled("Dat.DB", {{"Novák"}, {"Dvořák"}, {"Černý"}})->close();
    filled("Datp.db", {{"1.1.2025", "Nový rok"}})->close();
    m_database.reset();
    testsupport::overwritePage(m_dir / "Datp.db", testsupport::rootPageOf("_i_id"));

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
