// A table whose text keys were made by another collator version is sorted
// again when it opens; one whose file cannot be written is still shown, in
// its stored order, and the user is told it could not be re-sorted.
#include "cursor_fixture.h"

#include <sqlite3.h>

#include <cstdio>
#include <sys/stat.h>
#include <sys/wait.h>

namespace storetest {
namespace {

std::string metaValue(const fs::path& file, const std::string& key)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, "SELECT value FROM _meta WHERE key = ?1", -1, &select, nullptr);
    sqlite3_bind_text(select, 1, key.c_str(), -1, SQLITE_TRANSIENT);
    std::string value;
    if (sqlite3_step(select) == SQLITE_ROW)
        value = reinterpret_cast<const char*>(sqlite3_column_text(select, 0));
    sqlite3_finalize(select);
    sqlite3_close(db);
    return value;
}

void setCollator(const fs::path& file, const std::string& version)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    const std::string sql = "UPDATE _meta SET value = '" + version + "' WHERE key = 'collator'";
    ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

// Opens the table and walks it; what it saw, as text: the notice, then the surnames.
std::string openAndWalk(const fs::path& dir)
{
    store::Database database(dir);
    std::string notice;
    database.setNoticeHandler([&](const std::string& text) { notice += text; });
    store::Cursor cursor(database, "Dat.DB");
    try {
        cursor.open();
    } catch (const store::StoreError& error) {
        return std::string("error: ") + error.what();
    }
    std::string seen = notice + "|";
    for (cursor.first(); !cursor.eof(); cursor.next())
        seen += cursor.text("Příjmení") + ",";
    return seen;
}

TEST_F(StoreTest, AnotherCollatorVersionSortsTheKeysAgain)
{
    filled("Dat.DB", {{"Čech"}, {"Adámek"}, {"Beneš"}})->close();
    m_database.reset();
    setCollator(m_dir / "Dat.DB", "0.0");
    EXPECT_EQ(openAndWalk(m_dir), "|Adámek,Beneš,Čech,");
    EXPECT_NE(metaValue(m_dir / "Dat.DB", "collator"), "0.0");
}

TEST_F(StoreTest, ReadOnlyTableOfAnotherCollatorIsShownAndTheUserTold)
{
    filled("Dat.DB", {{"Čech"}, {"Adámek"}, {"Beneš"}})->close();
    m_database.reset();
    const fs::path file = m_dir / "Dat.DB";
    setCollator(file, "0.0");
    ::chmod(file.c_str(), 0444);
    ::chmod(m_dir.c_str(), 0555);

    std::string seen;
    if (::geteuid() != 0) {
        seen = openAndWalk(m_dir);
    } else {
        // The owner of everything may write anyway: the user who cannot is
        // played by a child running as nobody, reporting through a pipe.
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(pipeEnds[0]);
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(2);
            const std::string result = openAndWalk(m_dir);
            const ssize_t written = ::write(pipeEnds[1], result.data(), result.size());
            ::_exit(written == static_cast<ssize_t>(result.size()) ? 0 : 3);
        }
        ::close(pipeEnds[1]);
        char buffer[4096];
        ssize_t n = 0;
        while ((n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0)
            seen.append(buffer, static_cast<std::size_t>(n));
        ::close(pipeEnds[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    }
    ::chmod(m_dir.c_str(), 0755);
    ::chmod(file.c_str(), 0644);

    const std::size_t split = seen.find('|');
    ASSERT_NE(split, std::string::npos) << seen;
    EXPECT_EQ(seen.substr(split + 1), "Adámek,Beneš,Čech,");
    const std::string notice = seen.substr(0, split);
    EXPECT_NE(notice.find("Dat.DB"), std::string::npos) << notice;
    EXPECT_NE(notice.find("nelze znovu seřadit"), std::string::npos) << notice;
    EXPECT_EQ(metaValue(file, "collator"), "0.0") << "the read-only file was changed";
}

} // namespace
} // namespace storetest
