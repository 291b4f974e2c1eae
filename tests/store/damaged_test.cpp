// A damaged, foreign or locked-away table file must be reported at open with
// a clear error naming the table, never read as an empty table, and never be
// changed: a file another program made or altered is not taken for a table.
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

// Runs statements on the table file as another program would.
void alter(const fs::path& dir, const char* sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((dir / kTable).c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

// A filled table, then changed by another program.
std::function<void(const fs::path&)> filledThen(const char* sql)
{
    return [sql](const fs::path& dir) {
        createFilledTable(dir, false);
        alter(dir, sql);
    };
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
               nullptr, store::StoreError::Kind::Foreign, "není tabulkou tohoto programu"},
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
               nullptr, store::StoreError::Kind::Foreign, "starší verze"},
    // Another table of the program saved under this one's name (the notebook
    // as the address book): typing into it would vanish.
    DamageCase{"OtherTableUnderThisName",
               [](const fs::path& dir) {
                   store::TableDef other = tableDef(false);
                   other.fileName = "Jiná.DB";
                   other.catalogueFiles = {"Jiná.DB"};
                   store::Database::createTable(dir, other, "");
                   fs::rename(dir / "Jiná.DB", dir / kTable);
               },
               nullptr, store::StoreError::Kind::Foreign, "je to tabulka Jiná.DB"},
    // A text column made INTEGER would store "00420777123456" as 420777123456.
    DamageCase{"ColumnOfAnotherType",
               filledThen("PRAGMA writable_schema=ON;"
                          "UPDATE sqlite_master SET sql = replace(sql, '\"Poznámka\" TEXT', '\"Poznámka\" INTEGER')"
                          " WHERE name = 'records';"),
               nullptr, store::StoreError::Kind::Foreign, "sloupec Poznámka má typ INTEGER místo TEXT"},
    DamageCase{"KeyColumnWithAnotherCollation",
               filledThen("PRAGMA writable_schema=ON;"
                          "UPDATE sqlite_master SET sql = replace(sql, 'BLOB NOT NULL PRIMARY KEY',"
                          " 'BLOB NOT NULL COLLATE NOCASE PRIMARY KEY') WHERE name = 'records';"),
               nullptr, store::StoreError::Kind::Foreign, "records má jinou podobu"},
    // One insert would delete every record.
    DamageCase{"Trigger",
               filledThen("CREATE TRIGGER wipe AFTER INSERT ON records BEGIN DELETE FROM records; END;"), nullptr,
               store::StoreError::Kind::Foreign, "spoušť wipe"},
    DamageCase{"View", filledThen("CREATE VIEW everything AS SELECT * FROM records;"), nullptr,
               store::StoreError::Kind::Foreign, "pohled everything"},
    DamageCase{"ExtraIndex", filledThen("CREATE INDEX by_note ON records (\"Poznámka\");"), nullptr,
               store::StoreError::Kind::Foreign, "index by_note"},
    DamageCase{"ExtraTable", filledThen("CREATE TABLE notes (x);"), nullptr, store::StoreError::Kind::Foreign,
               "tabulku notes"},
    DamageCase{"LostIndex", filledThen("DROP INDEX _i_id;"), nullptr, store::StoreError::Kind::Foreign,
               "chybí mu _i_id"},
    DamageCase{"WriteAheadLog", filledThen("PRAGMA journal_mode=WAL;"), nullptr, store::StoreError::Kind::Foreign,
               "jiný režim zápisu"},
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

// With the program's catalogue set, a table file must carry the catalogue's
// definition of that table; only the widths may differ (a file keeps those
// it was made with).
TEST(DamagedTableControl, CatalogueDefinitionDecides)
{
    const fs::path dir = fs::temp_directory_path() / ("pelmir-damaged-" + std::to_string(::getpid()) + "-catalogue");
    fs::remove_all(dir);
    fs::create_directories(dir);
    createFilledTable(dir, false);
    const auto before = snapshot(dir);

    struct Variant {
        const char* name;
        std::function<void(store::TableDef&)> change;
        bool opens;
    };
    const std::vector<Variant> variants = {
        {"same", [](store::TableDef&) {}, true},
        {"other widths", [](store::TableDef& def) { def.fields[1].width = 80; }, true},
        {"field names in capitals", [](store::TableDef& def) { def.fields[0].name = "PŘÍJMENÍ"; }, true},
        {"other kind", [](store::TableDef& def) { def.fields[1].kind = store::FieldKind::Integer; }, false},
        {"other field", [](store::TableDef& def) { def.fields[1].name = "Telefon"; }, false},
        {"more fields", [](store::TableDef& def) { def.fields.push_back({"Telefon", store::FieldKind::Text, 30, {}}); }, false},
        {"no key", [](store::TableDef& def) { def.primaryKey.reset(); }, false},
        {"protected", [](store::TableDef& def) { def.isProtected = true; }, false},
    };
    for (const Variant& variant : variants) {
        store::TableDef expected = tableDef(false);
        variant.change(expected);
        store::Database database(dir);
        database.setCatalogue({expected});
        store::Cursor cursor(database, kTable);
        if (variant.opens) {
            EXPECT_NO_THROW(cursor.open()) << variant.name;
            continue;
        }
        try {
            cursor.open();
            ADD_FAILURE() << variant.name << ": opened";
        } catch (const store::StoreError& error) {
            EXPECT_EQ(error.kind(), store::StoreError::Kind::Foreign) << variant.name << ": " << error.what();
            EXPECT_EQ(error.table(), kTable);
        }
    }
    EXPECT_EQ(snapshot(dir), before);
    fs::remove_all(dir);
}

} // namespace
