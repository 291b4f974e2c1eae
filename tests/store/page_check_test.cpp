// The walk over every page of a table file that checks a backup's copies:
// sound files of every shape the engine writes pass, and the damage a
// failing disk leaves is named.
#include "store/Errors.h"
#include "store/TableCheck.h"

#include "DamagedPage.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>

namespace storetest {
namespace {

namespace fs = std::filesystem;

void run(sqlite3* db, const std::string& sql)
{
    char* error = nullptr;
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
}

class PageCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_file = fs::temp_directory_path() / ("pelmir-pages-" + std::to_string(::getpid()) + ".DB");
        build();
    }
    void TearDown() override { fs::remove(m_file); }

    // Small pages, so that a few thousand records make deep trees: a table
    // with row numbers and its index, a table keyed by text, records and
    // keys longer than a page (overflow pages) and free pages after deletes.
    void build()
    {
        fs::remove(m_file);
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(m_file.c_str(), &db), SQLITE_OK);
        run(db, "PRAGMA page_size = 1024");
        run(db, "CREATE TABLE t (a INTEGER PRIMARY KEY, b TEXT, c BLOB)");
        run(db, "CREATE INDEX ti ON t (b)");
        run(db, "CREATE TABLE w (k TEXT PRIMARY KEY, v) WITHOUT ROWID");
        run(db, "BEGIN");
        run(db, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                "INSERT INTO t SELECT i, 'jméno ' || i, randomblob(CASE WHEN i % 7 = 0 THEN 3000 ELSE 20 END) FROM n");
        run(db, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                "INSERT INTO w SELECT printf('%05d', i) || CASE WHEN i % 11 = 0 THEN hex(randomblob(400)) ELSE '' END, "
                "i FROM n");
        run(db, "COMMIT");
        run(db, "DELETE FROM t WHERE a % 3 = 0");
        sqlite3_close(db);
    }

    std::uint32_t headerNumber(std::streamoff at) const
    {
        std::ifstream in(m_file, std::ios::binary);
        in.seekg(at);
        unsigned char bytes[4] = {};
        in.read(reinterpret_cast<char*>(bytes), 4);
        return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) |
               bytes[3];
    }

    fs::path m_file;
};

TEST_F(PageCheckTest, SoundFilesPass)
{
    EXPECT_EQ(store::checkTablePages(m_file), "");
    EXPECT_EQ(store::checkTableFile(m_file), ""); // the engine agrees
    EXPECT_EQ(store::checkTablePages(m_file.parent_path() / "chybí.DB"), ""); // opening it says why
}

TEST_F(PageCheckTest, DamageIsNamedWithThePage)
{
    const auto garbage = [this](const std::string& pageSql) {
        return [this, pageSql] { testsupport::overwritePage(m_file, pageSql); };
    };
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"an index's root", garbage(testsupport::rootPageOf("ti"))},
        {"a leaf of the text-keyed table",
         garbage("SELECT pageno FROM dbstat WHERE name = 'w' AND pagetype = 'leaf' ORDER BY pageno DESC LIMIT 1")},
        {"an inner page", garbage("SELECT pageno FROM dbstat WHERE name = 't' AND pagetype = 'internal' LIMIT 1")},
        {"the first of several overflow pages",
         garbage("SELECT pageno FROM dbstat WHERE pagetype = 'overflow' AND path LIKE '%+000000' LIMIT 1")},
        {"the list of free pages", garbage("SELECT " + std::to_string(headerNumber(32)))},
        {"a free page count that is wrong",
         [this] {
             std::fstream out(m_file, std::ios::in | std::ios::out | std::ios::binary);
             out.seekp(36);
             out.write("\0\0\0\1", 4);
         }},
        {"the end cut off", [this] { fs::resize_file(m_file, fs::file_size(m_file) - 1024); }},
    };
    for (const auto& [what, damage] : cases) {
        SCOPED_TRACE(what);
        build();
        damage();
        const std::string text = store::checkTablePages(m_file);
        EXPECT_NE(text.find("Kontrola tabulky " + m_file.filename().string()), std::string::npos) << text;
        EXPECT_NE(text.find("ze zálohy"), std::string::npos) << text;
    }
}

} // namespace
} // namespace storetest
