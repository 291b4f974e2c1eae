#include "store/TableFiles.h"

#include "Sqlite.h"

#include "store/Errors.h"

namespace store {

std::vector<std::string> tableFiles(const TableDef& def)
{
    return {def.fileName};
}

FileSnapshot::FileSnapshot(const std::filesystem::path& file)
{
    // Read-write, so that SQLite may roll back a hot journal; never created.
    const int rc = sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    try {
        if (rc != SQLITE_OK)
            throwSqlite(m_db, rc, "open " + file.filename().string());
        sqlite3_extended_result_codes(m_db, 1);
        sqlite3_busy_timeout(m_db, 2000);
        exec(m_db, "BEGIN");
        // The first read takes the shared lock the transaction then keeps.
        Statement probe(m_db, "SELECT count(*) FROM sqlite_master");
        probe.step();
    } catch (...) {
        sqlite3_close_v2(m_db);
        throw;
    }
}

FileSnapshot::~FileSnapshot()
{
    // Closing ends the read transaction and drops the shared lock.
    sqlite3_close_v2(m_db);
}

} // namespace store
