// A damaged, foreign or locked-away table file must be reported at open with
// a clear error, never read as an empty table, and never be changed.
#include "store/Cursor.h"
#include "store/Database.h"
#include "store/Errors.h"
#include "store/TableDef.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr const char* kTable = "Poskoz.DB";
constexpr const char* kPassword = "xyz";

store::TableDef tableDef(bool isProtected)
{
    store::TableDef def;
    def.fileName = kTable;
    def.fields = {{"Příjmení", store::FieldKind::Text, 40, store::FieldDefault::None},
                  {"Poznámka", store::FieldKind::Text, 200, store::FieldDefault::None}};
    def.primaryKey = "Příjmení";
    def.isProtected = isProtected;
    def.catalogueFiles = {kTable};
    return def;
}

std::string readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeAll(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Every file of the folder with its bytes: the store must change nothing there.
std::map<std::string, std::string> snapshot(const fs::path& dir)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir))
        files[entry.path().filename().string()] = readAll(entry.path());
    return files;
}

// A valid table with enough records to span many pages.
void createFilledTable(const fs::path& dir, bool isProtected)
{
    store::Database::createTable(dir, tableDef(isProtected), isProtected ? kPassword : "");
    store::Database database(dir);
    if (isProtected)
        database.registerPassword(kPassword);
    store::Cursor cursor(database, kTable);
    cursor.open();
    for (int i = 0; i < 150; ++i)
        cursor.insertRecord({"Novák " + std::to_string(i), std::string(150, static_cast<char>('a' + i % 26))});
    cursor.close();
}

struct DamageCase {
    const char* name;
    // Prepares the data directory; the table file may be made bad or left out.
    std::function<void(const fs::path& dir)> prepare;
    const char* password; // registered before the open, nullptr for none
    store::StoreError::Kind kind;
    const char* says = nullptr; // a part of the error text the user must see
};

class DamagedTable : public ::testing::TestWithParam<DamageCase> {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("pelmir-damaged-" + std::to_string(::getpid()) + "-" + GetParam().name);
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    fs::path m_dir;
};

TEST_P(DamagedTable, IsReportedAtOpenAndLeftUntouched)
{
    GetParam().prepare(m_dir);
    const auto before = snapshot(m_dir);

    store::Database database(m_dir);
    if (GetParam().password)
        database.registerPassword(GetParam().password);
    store::Cursor cursor(database, kTable);
    try {
        cursor.open();
        // Reaching here means a damaged file was taken for a table; show what it read.
        FAIL() << "opened as a table with " << cursor.recordCount() << " records";
    } catch (const store::StoreError& error) {
        EXPECT_EQ(error.kind(), GetParam().kind) << error.what();
        // The user sees this text in the error box: it must say which table.
        EXPECT_NE(std::string(error.what()).find("Poskoz"), std::string::npos) << error.what();
        if (GetParam().says) {
            EXPECT_NE(std::string(error.what()).find(GetParam().says), std::string::npos) << error.what();
        }
    }
    EXPECT_FALSE(cursor.isActive());
    // Also the shared table itself must refuse, not hand out an empty one.
    EXPECT_THROW(database.table(kTable), store::StoreError);

    EXPECT_EQ(snapshot(m_dir), before) << "the store changed, created or removed a file";
}

const auto kCases = ::testing::Values(
    DamageCase{"Missing", [](const fs::path&) {}, nullptr, store::StoreError::Kind::NotFound},
    DamageCase{"ZeroLength", [](const fs::path& dir) { writeAll(dir / kTable, ""); }, nullptr,
               store::StoreError::Kind::Damaged},
    DamageCase{"RandomBytes",
               [](const fs::path& dir) {
                   std::mt19937 random(42);
                   std::string bytes(64 * 1024, '\0');
                   for (char& c : bytes)
                       c = static_cast<char>(random());
                   writeAll(dir / kTable, bytes);
               },
               nullptr, store::StoreError::Kind::Damaged},
    DamageCase{"Truncated",
               [](const fs::path& dir) {
                   createFilledTable(dir, false);
                   const std::string bytes = readAll(dir / kTable);
                   writeAll(dir / kTable, bytes.substr(0, bytes.size() / 2));
               },
               nullptr, store::StoreError::Kind::Damaged},
    DamageCase{"HeaderOnly",
               [](const fs::path& dir) {
                   createFilledTable(dir, false);
                   writeAll(dir / kTable, readAll(dir / kTable).substr(0, 100));
               },
               nullptr, store::StoreError::Kind::Damaged},
    DamageCase{"SqliteButNotATable",
               [](const fs::path& dir) {
                   sqlite3* db = nullptr;
                   sqlite3_open((dir / kTable).c_str(), &db);
                   sqlite3_exec(db, "CREATE TABLE t(a, b); INSERT INTO t VALUES (1, 'x');", nullptr, nullptr, nullptr);
                   sqlite3_close(db);
               },
               nullptr, store::StoreError::Kind::Damaged},
    // A sound file of the earlier layout, records in insertion order: refused
    // with a text that says why, rather than read slowly or rewritten.
    DamageCase{"EarlierLayout",
               [](const fs::path& dir) {
                   sqlite3* db = nullptr;
                   sqlite3_open((dir / kTable).c_str(), &db);
                   sqlite3_exec(db,
                                "CREATE TABLE _meta (key TEXT PRIMARY KEY, value TEXT);"
                                "INSERT INTO _meta VALUES ('format', 'pelmir-table/1'),"
                                " ('fields', 'Příjmení\ttext\t40\tnone\nPoznámka\ttext\t200\tnone'),"
                                " ('primary_key', 'Příjmení'), ('secondary_index', ''), ('protected', '0'),"
                                " ('catalogue_files', 'Poskoz.DB');"
                                "CREATE TABLE records (\"Příjmení\" TEXT, \"Poznámka\" TEXT, _k_primary BLOB NOT NULL);"
                                "CREATE UNIQUE INDEX _i_primary ON records (_k_primary);"
                                "INSERT INTO records VALUES ('Novák', 'x', X'4e');",
                                nullptr, nullptr, nullptr);
                   sqlite3_close(db);
               },
               nullptr, store::StoreError::Kind::Damaged, "earlier version"},
    DamageCase{"ProtectedWithoutPassword", [](const fs::path& dir) { createFilledTable(dir, true); }, nullptr,
               store::StoreError::Kind::Password},
    DamageCase{"ProtectedWithWrongPassword", [](const fs::path& dir) { createFilledTable(dir, true); }, "abc",
               store::StoreError::Kind::Password});

INSTANTIATE_TEST_SUITE_P(Cases, DamagedTable, kCases, [](const auto& info) { return std::string(info.param.name); });

// The counterpart: the same filled table opens with every record, so the
// cases above fail for the damage and not for the way the table was made.
TEST(DamagedTableControl, IntactTablesOpen)
{
    const fs::path dir = fs::temp_directory_path() / ("pelmir-damaged-" + std::to_string(::getpid()) + "-control");
    for (bool isProtected : {false, true}) {
        fs::remove_all(dir);
        fs::create_directories(dir);
        createFilledTable(dir, isProtected);
        store::Database database(dir);
        database.registerPassword("abc"); // a wrong one next to the right one does no harm
        if (isProtected)
            database.registerPassword(kPassword);
        store::Cursor cursor(database, kTable);
        ASSERT_NO_THROW(cursor.open());
        EXPECT_EQ(cursor.recordCount(), 150);
    }
    fs::remove_all(dir);
}

} // namespace
