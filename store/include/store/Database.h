#pragma once

#include "store/DateText.h"
#include "store/TableDef.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace store {

class Table;

// The data directory opened under the alias. One Database per process and
// working directory; it shares one Table object per file among all cursors.
class Database {
public:
    explicit Database(std::filesystem::path dataDir);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const std::filesystem::path& dataDir() const { return m_dataDir; }

    // Adds the password to the list used for all later openings; repeating it changes nothing.
    void registerPassword(const std::string& password);
    bool hasPassword(const std::string& password) const;

    // The program's definitions of its tables: a file of a table named there
    // must carry that definition (fields and their kinds, keys, protection),
    // or it is refused as not being that table. Without it, every file is
    // checked only against its own definition.
    void setCatalogue(const std::vector<TableDef>& tables) { m_catalogue = tables; }

    // Receives what the user should know about a table that opened all the
    // same (it could not be re-sorted, ...). Without a handler the text goes
    // to the standard error output.
    void setNoticeHandler(std::function<void(const std::string&)> handler) { m_notice = std::move(handler); }

    // How long a read or a save waits for another program holding a table's
    // file before it fails as Locked (tables opened from now on).
    void setBusyTimeout(int milliseconds) { m_busyTimeoutMs = milliseconds; }

    // A table file of at least this many pages opens without reading its
    // whole key list first: that is read on a thread of its own while the
    // first rows show (tables opened from now on; 0: every table).
    void setBackgroundOrderPages(std::int64_t pages) { m_backgroundOrderPages = pages; }

    // The shared, open table of that name (matched without regard to case);
    // throws StoreError (NotFound, Damaged, Foreign, Password, ReadOnly,
    // Locked, Io) naming the table when it cannot be opened.
    std::shared_ptr<Table> table(const std::string& tableName);

    // Deletes every record of a table that no cursor holds open.
    void emptyTable(const std::string& tableName);

    // The files of the tables open now, for a check of them in the background.
    std::vector<std::filesystem::path> openTableFiles();
    // The files of every table of the catalogue found in the data directory,
    // and of any other table open now: the check in the background reads the
    // tables of windows not made yet too.
    std::vector<std::filesystem::path> tableFilesToCheck();

    // Creates a new table file from its definition (the data-directory tool only).
    // Fails when the file exists: the program never overwrites a table.
    static void createTable(const std::filesystem::path& dataDir, const TableDef& def,
                            const std::string& password);

    // The clock behind the date and time defaults of new records (the store
    // knows no Qt): the program hands it the platform clock, tests a fixed one.
    // Without one the system's local time is used.
    void setClock(std::function<DateTime()> now) { m_clock = std::move(now); }
    DateTime now() const;

private:
    std::filesystem::path m_dataDir;
    std::set<std::string> m_passwords;
    std::vector<std::weak_ptr<Table>> m_tables;
    std::function<DateTime()> m_clock;
    std::vector<TableDef> m_catalogue;
    std::function<void(const std::string&)> m_notice;
    int m_busyTimeoutMs = 2000;
    // 8 MB: about 80,000 addresses, whose list takes some 20 ms to read warm.
    std::int64_t m_backgroundOrderPages = 2048;
};

} // namespace store
