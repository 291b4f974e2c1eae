// The files of a table and the snapshot a backup copies them under.
#include "cursor_fixture.h"

#include "store/Catalogue.h"
#include "store/TableFiles.h"

#include <sqlite3.h>

#include <fstream>

namespace storetest {
namespace {

using FileSnapshotTest = StoreTest;

// This engine keeps a table in one file: listing the catalogue's other names
// would make a backup fail on files that never exist.
TEST(TableFiles, EveryTableIsItsMainFileAlone)
{
    for (const store::TableDef& def : store::catalogue())
        EXPECT_EQ(store::tableFiles(def), std::vector<std::string>{def.fileName}) << def.fileName;
}

// While a snapshot lives no save can commit, so the bytes a backup copies are
// one consistent state of the table; afterwards saves go on as before.
TEST_F(FileSnapshotTest, HoldsOffEverySaveUntilItEnds)
{
    filled("Dat.DB", {{"Novák"}});
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open((m_dir / "Dat.DB").c_str(), &writer), SQLITE_OK);
    const auto run = [writer](const char* sql) { return sqlite3_exec(writer, sql, nullptr, nullptr, nullptr); };
    {
        store::FileSnapshot snapshot(m_dir / "Dat.DB");
        ASSERT_EQ(run("BEGIN IMMEDIATE"), SQLITE_OK);
        ASSERT_EQ(run("UPDATE _meta SET value = value WHERE key = 'format'"), SQLITE_OK);
        EXPECT_EQ(run("COMMIT"), SQLITE_BUSY);
    }
    EXPECT_EQ(run("COMMIT"), SQLITE_OK);
    sqlite3_close(writer);
}

// A file that is no database cannot be held still: the backup must hear so.
TEST_F(FileSnapshotTest, RefusesAFileThatIsNoTable)
{
    std::ofstream(m_dir / "Cizi.DB", std::ios::binary) << std::string(4096, 'x');
    EXPECT_THROW(store::FileSnapshot(m_dir / "Cizi.DB"), store::StoreError);
    EXPECT_THROW(store::FileSnapshot(m_dir / "Chybi.DB"), store::StoreError);
}

} // namespace
} // namespace storetest
