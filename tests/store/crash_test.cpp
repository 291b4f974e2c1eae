// Kills a process that is saving records with SIGKILL at random moments and
// checks that nothing it was told was saved is lost, nothing half-written
// appears and the file stays a sound SQLite database.
//
// The child is this program started again with PELMIR_CRASH_CHILD set; it
// writes to a side log an intent line before each store call and "ok" after
// the call returned, so the parent knows which operations were confirmed and
// which single one was in flight.
#include "store/Compaction.h"
#include "store/Cursor.h"
#include "store/Database.h"
#include "store/Errors.h"
#include "store/TableDef.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr const char* kTable = "Krach.DB";
constexpr const char* kKeyField = "Klíč";
constexpr const char* kValueField = "Hodnota";
constexpr const char* kVersionField = "Verze";
constexpr int kKeys = 60;

store::TableDef crashTableDef()
{
    store::TableDef def;
    def.fileName = kTable;
    def.fields = {{kKeyField, store::FieldKind::Text, 40, store::FieldDefault::None},
                  {kValueField, store::FieldKind::Memo, 0, store::FieldDefault::None},
                  {kVersionField, store::FieldKind::Integer, 0, store::FieldDefault::None}};
    def.primaryKey = kKeyField;
    def.catalogueFiles = {kTable};
    return def;
}

std::string keyName(int n)
{
    // Czech letters in the keys, so collation and upper-casing are on the path.
    static const char* const kStems[] = {"Čáp", "Řehoř", "Šťastný", "Žák", "Chalupa", "Novák"};
    return std::string(kStems[n % 6]) + "-" + std::to_string(n);
}

// A value long enough to span several database pages, derived from key and
// version, so a torn write cannot pass for a complete one.
std::string valueFor(const std::string& key, long version)
{
    std::string value = key + "#" + std::to_string(version) + "#";
    const std::size_t length = 50 + static_cast<std::size_t>(version % 7) * 1500;
    while (value.size() < length)
        value += "příliš žluťoučký kůň " + std::to_string(version) + " ";
    value += "#end";
    return value;
}

// ---- child ------------------------------------------------------------------

class SideLog {
public:
    explicit SideLog(const fs::path& path) : m_fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644)) {}
    ~SideLog() { ::close(m_fd); }
    void line(const std::string& text, bool sync)
    {
        const std::string data = text + "\n";
        if (::write(m_fd, data.data(), data.size()) != static_cast<ssize_t>(data.size()))
            std::_Exit(3);
        if (sync)
            ::fsync(m_fd);
    }

private:
    int m_fd;
};

[[noreturn]] void runChild(const fs::path& dir, long firstVersion, unsigned seed)
{
    SideLog log(dir / "side.log");
    log.line("\nstart", false); // ends a line the previous child may have left cut short
    store::Database database(dir);
    store::Cursor cursor(database, kTable);
    cursor.open();
    std::map<std::string, long> present;
    for (cursor.first(); !cursor.eof(); cursor.next())
        present[cursor.text(kKeyField)] = cursor.integer(kVersionField);

    std::mt19937 random(seed);
    long version = firstVersion;
    for (;;) {
        const std::string key = keyName(static_cast<int>(random() % kKeys));
        const bool exists = present.count(key) != 0;
        const unsigned pick = random() % 10;
        ++version;
        if (!exists) {
            log.line("S " + key + " " + std::to_string(version), false);
            if (pick < 5) {
                cursor.insert();
                cursor.setText(kKeyField, key);
                cursor.setText(kValueField, valueFor(key, version));
                cursor.setText(kVersionField, std::to_string(version));
                cursor.post();
            } else {
                cursor.insertRecord({key, valueFor(key, version), std::to_string(version)});
            }
            present[key] = version;
        } else if (pick < 6) {
            log.line("S " + key + " " + std::to_string(version), false);
            if (!cursor.findKey(key))
                std::_Exit(4);
            cursor.edit();
            cursor.setText(kValueField, valueFor(key, version));
            cursor.setText(kVersionField, std::to_string(version));
            cursor.post();
            present[key] = version;
        } else {
            log.line("D " + key, false);
            if (!cursor.findKey(key))
                std::_Exit(5);
            cursor.remove();
            present.erase(key);
        }
        log.line("ok", true);
    }
}

// The child's side of the test: does nothing unless started by the parent
// below, which runs this program again with only this test selected.
TEST(CrashChild, SavesUntilKilled)
{
    const char* dir = std::getenv("PELMIR_CRASH_CHILD");
    if (dir == nullptr)
        GTEST_SKIP() << "runs only as the crash test's child";
    try {
        runChild(dir, std::atol(std::getenv("PELMIR_CRASH_VERSION")),
                 static_cast<unsigned>(std::atol(std::getenv("PELMIR_CRASH_SEED"))));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "crash child: %s\n", error.what());
        std::_Exit(6);
    }
}

// ---- parent -----------------------------------------------------------------

struct Operation {
    bool remove = false;
    std::string key;
    long version = 0;
};

// Reads the side log from `offset` on: the confirmed operations and the one
// in flight (an intent without "ok"), if any.
void readLog(const fs::path& path, std::streamoff& offset, std::vector<Operation>& confirmed,
             std::optional<Operation>& inFlight)
{
    std::ifstream in(path, std::ios::binary);
    in.seekg(offset);
    std::string line;
    inFlight.reset();
    while (std::getline(in, line)) {
        if (in.eof())
            break; // a line cut short by the kill carries no "ok"
        offset = in.tellg();
        if (line == "ok") {
            if (inFlight)
                confirmed.push_back(*inFlight);
            inFlight.reset();
            continue;
        }
        std::istringstream fields(line);
        std::string kind;
        Operation op;
        fields >> kind >> op.key;
        if (kind != "S" && kind != "D") {
            inFlight.reset();
            continue;
        }
        if (kind == "S")
            fields >> op.version;
        op.remove = kind == "D";
        inFlight = op;
    }
}

std::string integrityCheck(const fs::path& file)
{
    sqlite3* db = nullptr;
    std::string result;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        result = sqlite3_errmsg(db);
    } else {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) == SQLITE_OK) {
            while (sqlite3_step(statement) == SQLITE_ROW)
                result += reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        } else {
            result = sqlite3_errmsg(db);
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return result;
}

int killCount()
{
    const char* text = std::getenv("PELMIR_CRASH_KILLS");
    const int count = text ? std::atoi(text) : 0;
    return count > 0 ? count : 200;
}

// The one property that matters: whatever the store confirmed survives a
// crash exactly as saved, and a kill mid-save leaves old or new, never a mix.
TEST(CrashTest, SavedRecordsSurviveSigkillAtRandomMoments)
{
    const fs::path dir = fs::temp_directory_path() / ("pelmir-crash-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    store::Database::createTable(dir, crashTableDef(), "");

    const char* seedText = std::getenv("PELMIR_CRASH_SEED");
    const unsigned seed = seedText ? static_cast<unsigned>(std::atol(seedText))
                                   : static_cast<unsigned>(std::random_device{}());
    std::mt19937 random(seed);
    // Up to a quarter of a second: kills land in start-up, open, and every
    // phase of a save (each save waits for the disk).
    std::uniform_int_distribution<int> delayMicros(0, 250000);
    const int kills = killCount();
    std::map<std::string, long> expected;
    std::streamoff logOffset = 0;
    int killedWhileSaving = 0;
    long confirmedTotal = 0;

    for (int round = 0; round < kills; ++round) {
        SCOPED_TRACE("round " + std::to_string(round) + " of seed " + std::to_string(seed)
                     + " (rerun with PELMIR_CRASH_SEED)");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // The child's own test report would bury the parent's; its errors still show.
            if (FILE* quiet = std::freopen("/dev/null", "w", stdout); quiet == nullptr)
                std::_Exit(8);
            ::setenv("PELMIR_CRASH_CHILD", dir.c_str(), 1);
            ::setenv("PELMIR_CRASH_VERSION", std::to_string((round + 1) * 1000000L).c_str(), 1);
            ::setenv("PELMIR_CRASH_SEED", std::to_string(seed + static_cast<unsigned>(round)).c_str(), 1);
            ::execl("/proc/self/exe", "store_crash_test", "--gtest_filter=CrashChild.SavesUntilKilled",
                    static_cast<char*>(nullptr));
            std::_Exit(7);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicros(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the child ended by itself (status " << status << "): it failed before the kill";

        std::vector<Operation> confirmed;
        std::optional<Operation> inFlight;
        readLog(dir / "side.log", logOffset, confirmed, inFlight);
        confirmedTotal += static_cast<long>(confirmed.size());
        for (const Operation& op : confirmed) {
            if (op.remove)
                expected.erase(op.key);
            else
                expected[op.key] = op.version;
        }

        // Reopen through the store, as the program does after a crash.
        std::map<std::string, long> found;
        {
            store::Database database(dir);
            store::Cursor cursor(database, kTable);
            ASSERT_NO_THROW(cursor.open());
            int walked = 0;
            for (cursor.first(); !cursor.eof(); cursor.next()) {
                const std::string key = cursor.text(kKeyField);
                const long version = cursor.integer(kVersionField);
                ASSERT_EQ(cursor.text(kValueField), valueFor(key, version)) << "torn record " << key;
                found[key] = version;
                ++walked;
            }
            ASSERT_EQ(walked, cursor.recordCount());
        }

        // Only the key of the operation in flight may differ, and only by
        // having that operation applied in full.
        if (inFlight) {
            std::map<std::string, long> applied = expected;
            if (inFlight->remove)
                applied.erase(inFlight->key);
            else
                applied[inFlight->key] = inFlight->version;
            if (found == applied) {
                expected = applied;
                ++killedWhileSaving;
            } else {
                ASSERT_EQ(found, expected) << "neither before nor after the operation in flight";
            }
        } else {
            ASSERT_EQ(found, expected);
        }
        ASSERT_EQ(integrityCheck(dir / kTable), "ok");
    }
    std::printf("%d kills, %ld confirmed operations, %zu records at the end, %d kills landed after the write "
                "but before the log\n",
                kills, confirmedTotal, expected.size(), killedWhileSaving);
    // A child that never got to save would make every round pass trivially.
    EXPECT_GT(confirmedTotal, kills);
    fs::remove_all(dir);
}

// ---- a rebuild killed at any moment ----------------------------------------

std::map<std::string, long> readTable(const fs::path& dir)
{
    std::map<std::string, long> found;
    store::Database database(dir);
    store::Cursor cursor(database, kTable);
    cursor.open();
    for (cursor.first(); !cursor.eof(); cursor.next()) {
        const std::string key = cursor.text(kKeyField);
        const long version = cursor.integer(kVersionField);
        if (cursor.text(kValueField) != valueFor(key, version))
            throw std::runtime_error("torn record " + key);
        found[key] = version;
    }
    return found;
}

// The table is rebuilt into a new file that is renamed over the old one.
// Killed at each step of that, and at random moments, the table's name
// always holds a whole file with every record, and the next rebuild clears
// what the killed one left.
TEST(CrashTest, RebuildKilledAtAnyMomentLeavesTheOldOrTheNewFile)
{
    const fs::path dir = fs::temp_directory_path() / ("pelmir-rebuild-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    store::Database::createTable(dir, crashTableDef(), "");
    std::map<std::string, long> expected;
    {
        // Saved in a shuffled order, so that the pages are scattered.
        std::vector<int> numbers(400);
        for (int i = 0; i < 400; ++i)
            numbers[static_cast<std::size_t>(i)] = i;
        std::shuffle(numbers.begin(), numbers.end(), std::mt19937(3));
        store::Database database(dir);
        store::Cursor cursor(database, kTable);
        cursor.open();
        for (const int n : numbers) {
            const std::string key = keyName(n);
            cursor.insertRecord({key, valueFor(key, n), std::to_string(n)});
            expected[key] = n;
        }
    }
    const fs::path file = dir / kTable;
    store::CompactionPolicy always;
    always.minPages = 0;
    always.minFollowing = 2.0;

    // How long a whole rebuild takes, to spread the random kills over it.
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(store::compactIfScattered(file, always));
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);
    std::mt19937 random(17);
    std::uniform_int_distribution<long> delay(0, std::max<long>(1, 2 * took.count()));

    const std::vector<store::CompactionStep> steps{store::CompactionStep::Copied, store::CompactionStep::Synced,
                                                   store::CompactionStep::Renamed, store::CompactionStep::Done};
    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const bool atStep = round < static_cast<int>(steps.size());
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            store::CompactionPolicy policy = always;
            if (atStep) {
                const store::CompactionStep killAt = steps[static_cast<std::size_t>(round)];
                policy.observer = [killAt](store::CompactionStep step) {
                    if (step == killAt)
                        ::raise(SIGKILL);
                };
            }
            try {
                store::compactIfScattered(file, policy);
            } catch (...) {
                std::_Exit(6);
            }
            std::_Exit(0);
        }
        if (!atStep) {
            std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
            ::kill(child, SIGKILL);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) << status;
        ASSERT_EQ(integrityCheck(file), "ok");
        ASSERT_EQ(readTable(dir), expected);
    }
    // What a killed rebuild left beside the table goes with the next one.
    ASSERT_TRUE(store::compactIfScattered(file, always));
    EXPECT_FALSE(fs::exists(store::compactionFile(file)));
    EXPECT_EQ(readTable(dir), expected);
    fs::remove_all(dir);
}

} // namespace
