#include "store/Compaction.h"

#include "Sqlite.h"

#include "store/Errors.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace store {

namespace fs = std::filesystem;

namespace {

class Connection {
public:
    Connection(const fs::path& file, int flags)
    {
        const int rc = sqlite3_open_v2(file.c_str(), &m_db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc != SQLITE_OK) {
            const StoreError error = engineError(m_db, rc, "open " + file.filename().string());
            sqlite3_close_v2(m_db);
            throw error;
        }
        sqlite3_extended_result_codes(m_db, 1);
    }
    ~Connection() { close(); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    sqlite3* db() const { return m_db; }
    void close()
    {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }

private:
    sqlite3* m_db = nullptr;
};

[[noreturn]] void failIo(const std::string& what)
{
    throw StoreError(StoreError::Kind::Io, what + ": " + std::system_category().message(errno));
}

void syncPath(const fs::path& path, int flags)
{
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0)
        failIo("nelze otevřít " + path.filename().string());
    const int rc = ::fsync(fd);
    const int saved = errno;
    ::close(fd);
    errno = saved;
    if (rc != 0)
        failIo("nelze zapsat " + path.filename().string());
}

void tell(const CompactionPolicy& policy, CompactionStep step)
{
    if (policy.observer)
        policy.observer(step);
}

} // namespace

fs::path compactionFile(const fs::path& file)
{
    fs::path rebuilt = file;
    rebuilt += ".rebuild";
    return rebuilt;
}

PageOrder pageOrder(const fs::path& file)
{
    Connection connection(file, SQLITE_OPEN_READONLY);
    // dbstat lists a tree's pages as a walk from its root visits them, which
    // for the leaves is key order.
    Statement leaves(connection.db(), "SELECT pageno FROM dbstat WHERE name = 'records' AND pagetype = 'leaf'");
    PageOrder order;
    std::int64_t previous = -2;
    while (leaves.step()) {
        const std::int64_t page = leaves.integer(0);
        ++order.pages;
        if (page == previous + 1)
            ++order.following;
        previous = page;
    }
    return order;
}

bool compactIfScattered(const fs::path& file, const CompactionPolicy& policy)
{
    const fs::path rebuilt = compactionFile(file);
    std::error_code ignored;
    // Left by a rebuild that was cut short: the table's own file is whole.
    fs::remove(rebuilt, ignored);

    fs::path journal = file;
    journal += "-journal";
    if (fs::is_symlink(file) || !fs::is_regular_file(file) || fs::exists(journal))
        return false;
    // Far too small to have that many pages (of at least 512 bytes): not even opened.
    if (static_cast<std::int64_t>(fs::file_size(file)) < policy.minPages * 512)
        return false;
    const PageOrder order = pageOrder(file);
    if (order.pages < policy.minPages
        || static_cast<double>(order.following) >= policy.minFollowing * static_cast<double>(order.pages))
        return false;

    struct stat original {};
    if (::stat(file.c_str(), &original) != 0)
        failIo("nelze zjistit vlastnosti " + file.filename().string());
    try {
        {
            Connection source(file, SQLITE_OPEN_READONLY);
            Statement vacuum(source.db(), "VACUUM INTO ?1");
            vacuum.bind(1, std::string_view(rebuilt.native()));
            vacuum.step();
        }
        tell(policy, CompactionStep::Copied);
        // The same owner's rights as before; the content reaches the disk
        // before its name does.
        if (::chmod(rebuilt.c_str(), original.st_mode & 07777) != 0)
            failIo("nelze nastavit práva " + rebuilt.filename().string());
        syncPath(rebuilt, O_RDONLY);
        tell(policy, CompactionStep::Synced);
    } catch (...) {
        fs::remove(rebuilt, ignored);
        throw;
    }
    if (::rename(rebuilt.c_str(), file.c_str()) != 0) {
        const int saved = errno;
        fs::remove(rebuilt, ignored);
        errno = saved;
        failIo("nelze nahradit " + file.filename().string());
    }
    tell(policy, CompactionStep::Renamed);
    syncPath(file.parent_path().empty() ? fs::path(".") : file.parent_path(), O_RDONLY | O_DIRECTORY);
    tell(policy, CompactionStep::Done);
    return true;
}

} // namespace store
