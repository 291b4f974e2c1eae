#pragma once

// Damaging a table file as a failing disk would, for the tests of what the
// program does with damage: one page overwritten with garbage.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace testsupport {

// The page holding the root of a table or index of the file.
inline std::string rootPageOf(const std::string& object)
{
    return "SELECT rootpage FROM sqlite_master WHERE name = '" + object + "'";
}

// The last leaf page of the records in key order: the open of a big table
// reads the first rows, never this one.
inline constexpr const char* kLastRecordsLeaf =
    "SELECT pageno FROM dbstat WHERE name = 'records' AND pagetype = 'leaf' ORDER BY path DESC LIMIT 1";

// Overwrites the page (numbered from 1) that `pageSql` selects from the file.
inline void overwritePage(const std::filesystem::path& file, const std::string& pageSql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, pageSql.c_str(), -1, &statement, nullptr);
    const bool found = sqlite3_step(statement) == SQLITE_ROW;
    const sqlite3_int64 page = found ? sqlite3_column_int64(statement, 0) : 0;
    sqlite3_finalize(statement);
    sqlite3_prepare_v2(db, "PRAGMA page_size", -1, &statement, nullptr);
    sqlite3_step(statement);
    const sqlite3_int64 pageSize = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    ASSERT_TRUE(found) << pageSql;
    std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
    out.seekp(static_cast<std::streamoff>((page - 1) * pageSize));
    const std::string garbage(static_cast<std::size_t>(pageSize), '\x5A');
    out.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    ASSERT_TRUE(out.good()) << file;
}

} // namespace testsupport
