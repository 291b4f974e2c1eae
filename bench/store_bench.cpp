// The store against plain SQLite on the same million-record address table.
// Every operation is measured both ways in one run, warm (the file in the
// system's page cache) and cold (the file evicted from it before every
// iteration with posix_fadvise(POSIX_FADV_DONTNEED)), and a table of the
// ratios store/raw is printed at the end. Both sides read the same fields and
// get the same 8 MB SQLite page cache; the raw side uses the SQL a direct
// approach would use.
//   store_bench [--benchmark_filter=...]   (PELMIR_BENCH_CACHE: folder of the
//   generated table, by default ./store-bench-cache)
#include "BenchSupport.h"
#include "SyncOff.h"

#include "store/Catalogue.h"
#include "store/Compaction.h"
#include "store/Cursor.h"
#include "store/CzechText.h"
#include "store/Database.h"
#include "store/Errors.h"
#include "store/TableDef.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kRecords = 1000000;
constexpr const char* kTable = "Dat.DB";

// ---- the generated table ----------------------------------------------------

const std::vector<std::string>& surnames()
{
    static const std::vector<std::string> names = {
        "Novák", "Svoboda", "Novotný", "Dvořák", "Černý", "Procházka", "Kučera", "Veselý", "Horák", "Němec",
        "Marek", "Pospíšil", "Pokorný", "Hájek", "Král", "Jelínek", "Růžička", "Beneš", "Fiala", "Sedláček",
        "Doležal", "Zeman", "Kolář", "Navrátil", "Čermák", "Vaněk", "Urban", "Blažek", "Kříž", "Kovář",
        "Kratochvíl", "Bartoš", "Vlček", "Polák", "Musil", "Kopecký", "Šimek", "Konečný", "Malý", "Holub",
        "Čech", "Štěpánek", "Staněk", "Kadlec", "Dostál", "Soukup", "Šťastný", "Mareš", "Moravec", "Sýkora",
        "Tichý", "Valenta", "Vávra", "Matoušek", "Říha", "Ševčík", "Bureš", "Hruška", "Mašek", "Pavlík",
        "Chalupa", "Chmelař", "Žák", "Žižka", "Adámek", "Ondráček", "Ďurica", "Ťoupalík", "Havlíček", "Skála"};
    return names;
}

const std::vector<std::string>& firstNames()
{
    static const std::vector<std::string> names = {"Jan", "Jiří", "Petr", "Josef", "Pavel", "Martin", "Tomáš",
                                                   "Jaroslav", "Miroslav", "Zdeněk", "Jana", "Marie", "Eva",
                                                   "Hana", "Anna", "Lenka", "Kateřina", "Věra", "Lucie", "Alena"};
    return names;
}

const std::vector<std::string>& streets()
{
    static const std::vector<std::string> names = {"Husova", "Masarykova", "Nádražní", "Školní", "Zahradní",
                                                   "Palackého", "Komenského", "Žižkova", "Čapkova", "Lidická"};
    return names;
}

const std::vector<std::string>& towns()
{
    static const std::vector<std::string> names = {"Praha", "Brno", "Ostrava", "Plzeň", "Liberec", "Olomouc",
                                                   "České Budějovice", "Hradec Králové", "Ústí nad Labem",
                                                   "Pardubice", "Zlín", "Jihlava", "Třebíč", "Kroměříž"};
    return names;
}

// The record with number n; the surname is made unique by the number.
std::vector<std::string> addressRecord(int n)
{
    std::mt19937 random(static_cast<unsigned>(n) * 2654435761u);
    const auto pick = [&](const std::vector<std::string>& list) { return list[random() % list.size()]; };
    return {pick(surnames()) + " " + std::to_string(n), pick(firstNames()),
            pick(streets()) + " " + std::to_string(1 + random() % 200) + ", " + pick(towns()),
            std::to_string(600000000 + random() % 99999999), n % 7 == 0 ? "přítel z vojny" : ""};
}


using bench::cacheDir;
using bench::residentKb;

fs::path g_workDir;
fs::path g_rebuiltDir; // the table rebuilt in key order
fs::path g_savedDir;   // that one after 100,000 more single saves

// ---- texts, rows and the page cache -----------------------------------------

// The surname of every record, typed in capitals, in a shuffled order: each
// search lands on a record no earlier search of that side landed on, so
// neither side answers from a cache of records.
class NewSearchTexts {
public:
    NewSearchTexts()
    {
        m_numbers.resize(kRecords);
        for (int i = 0; i < kRecords; ++i)
            m_numbers[static_cast<std::size_t>(i)] = i;
        std::shuffle(m_numbers.begin(), m_numbers.end(), std::mt19937(11));
    }
    std::string next()
    {
        const int n = m_numbers[m_next++ % m_numbers.size()];
        return store::czechUpper(addressRecord(n)[0]);
    }

private:
    std::vector<int> m_numbers;
    std::size_t m_next = 0;
};

// A few dozen texts typed again and again, as in a quick search that goes
// back and forth over the same names: answered from the store's record cache.
std::vector<std::string> repeatedSearchTexts()
{
    std::mt19937 random(7);
    std::vector<std::string> texts;
    for (int i = 0; i < 64; ++i) {
        const std::string surname = store::czechUpper(surnames()[random() % surnames().size()]);
        texts.push_back(i % 2 ? surname.substr(0, 3 + random() % 3) : surname + " " + std::to_string(random() % 10));
    }
    return texts;
}

// Drops the table file from the system's page cache, so that what follows
// reads it from the disk.
void evictTable(const fs::path& dir = g_workDir)
{
    const int fd = ::open((dir / kTable).c_str(), O_RDONLY);
    if (fd < 0)
        throw std::runtime_error("cannot open the table to evict it");
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

enum class Temperature { Warm, Cold };

const char* name(Temperature t)
{
    return t == Temperature::Warm ? "warm" : "cold";
}

// Runs `op` once per iteration; cold, the file is evicted first, untimed.
template <class Op> void measure(benchmark::State& state, Temperature temperature, Op&& op)
{
    for (auto _ : state) {
        if (temperature == Temperature::Cold) {
            state.PauseTiming();
            evictTable();
            state.ResumeTiming();
        }
        op();
    }
}

const std::vector<const char*>& allFields()
{
    static const std::vector<const char*> names = {"Příjmení", "Jméno", "Adresa", "Telefon", "Poznámka"};
    return names;
}

} // namespace

namespace {

// ---- generating the table once ----------------------------------------------

void generateTable(const fs::path& dir)
{
    const store::TableDef* def = store::findTableDef(kTable);
    if (def == nullptr)
        throw std::runtime_error("the catalogue has no address table");
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::printf("Generating %d address records in %s (once)...\n", kRecords, dir.string().c_str());
    bench::SyncOff syncOff;
    store::Database::createTable(dir, *def, "");
    store::Database database(dir);
    store::Cursor cursor(database, kTable);
    cursor.open();
    // Inserted in a shuffled order, as a user would, not presorted.
    std::vector<int> numbers(kRecords);
    for (int i = 0; i < kRecords; ++i)
        numbers[static_cast<std::size_t>(i)] = i;
    std::shuffle(numbers.begin(), numbers.end(), std::mt19937(1));
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRecords; ++i) {
        cursor.insertRecord(addressRecord(numbers[static_cast<std::size_t>(i)]));
        if ((i + 1) % 100000 == 0)
            std::printf("  %d records, %.0f s\n", i + 1,
                        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    cursor.close();
    std::ofstream(dir / "complete") << kRecords << "\n";
}

// The benchmarks work on a fresh copy, so the cached table stays as generated.
fs::path prepareWorkCopy()
{
    const fs::path cache = cacheDir() / "table";
    if (!fs::exists(cache / "complete"))
        generateTable(cache);
    const fs::path work = cacheDir() / "work";
    fs::remove_all(work);
    fs::create_directories(work);
    fs::copy_file(cache / kTable, work / kTable);
    return work;
}


void describeOrder(const char* what, const fs::path& dir)
{
    const store::PageOrder order = store::pageOrder(dir / kTable);
    std::printf("%-36s %7lld leaf pages, %5.1f %% follow the one before%s\n", what,
                static_cast<long long>(order.pages),
                order.pages ? 100.0 * static_cast<double>(order.following) / static_cast<double>(order.pages) : 0.0,
                order.following < store::CompactionPolicy{}.minFollowing * static_cast<double>(order.pages)
                    ? " (the program rebuilds it at its end)"
                    : "");
}

// The generated table rebuilt in key order (timed: the program makes this
// rebuild at its end), and that one after 100,000 random single saves (new
// records, changed and deleted ones), as long use leaves it. Kept in the
// cache folder like the table itself.
void prepareRebuiltCopies()
{
    const fs::path table = cacheDir() / "table";
    const fs::path rebuilt = cacheDir() / "rebuilt";
    if (!fs::exists(rebuilt / "complete")) {
        fs::remove_all(rebuilt);
        fs::create_directories(rebuilt);
        fs::copy_file(table / kTable, rebuilt / kTable);
        const auto start = std::chrono::steady_clock::now();
        if (!store::compactIfScattered(rebuilt / kTable))
            throw std::runtime_error("the generated table was not found scattered");
        std::printf("rebuilding the generated table took %.2f s\n",
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        std::ofstream(rebuilt / "complete") << "1\n";
    }
    const fs::path saved = cacheDir() / "rebuilt-saved";
    if (!fs::exists(saved / "complete")) {
        fs::remove_all(saved);
        fs::create_directories(saved);
        fs::copy_file(rebuilt / kTable, saved / kTable);
        bench::SyncOff syncOff;
        store::Database database(saved);
        store::Cursor cursor(database, kTable);
        cursor.open();
        std::mt19937 random(29);
        int added = 0;
        for (int i = 0; i < 100000; ++i) {
            const unsigned pick = random() % 10;
            if (pick < 6) {
                cursor.insertRecord(addressRecord(kRecords + added++));
                continue;
            }
            cursor.moveToRow(static_cast<int>(random() % static_cast<unsigned>(cursor.rowCount())));
            if (pick < 9) {
                cursor.edit();
                cursor.setText("Telefon", std::to_string(700000000 + random() % 99999999));
                cursor.post();
            } else {
                cursor.remove();
            }
        }
        cursor.close();
        std::ofstream(saved / "complete") << "1\n";
    }
    g_rebuiltDir = cacheDir() / "rebuilt-work";
    g_savedDir = cacheDir() / "rebuilt-saved-work";
    for (const auto& [from, to] : {std::pair{rebuilt, g_rebuiltDir}, std::pair{saved, g_savedDir}}) {
        fs::remove_all(to);
        fs::create_directories(to);
        fs::copy_file(from / kTable, to / kTable);
    }
    describeOrder("generated (single saves, random order)", g_workDir);
    describeOrder("rebuilt", g_rebuiltDir);
    describeOrder("rebuilt, then 100,000 single saves", g_savedDir);
}

// ---- the store side ---------------------------------------------------------

// One open table kept for the per-record benchmarks, as a window keeps it.
struct StoreSession {
    store::Database database{g_workDir};
    store::Cursor cursor{database, kTable};
    NewSearchTexts newTexts;
    // Waits for the key list read after the open: the per-record figures
    // are those of a table that has been open for a while.
    StoreSession()
    {
        cursor.open();
        cursor.last();
        cursor.first();
    }
};

StoreSession& storeSession()
{
    static StoreSession session;
    return session;
}

// Opening as the program does at start: the record count and the first
// rows, while the primary order's key list is read on a thread of its own.
// With `wholeList` the open also waits for that list (going to the last
// record needs it), as the first search or save does.
void openTable(benchmark::State& state, Temperature t, const fs::path& dir, bool wholeList = false)
{
    for (auto _ : state) {
        if (t == Temperature::Cold) {
            state.PauseTiming();
            evictTable(dir);
            state.ResumeTiming();
        }
        store::Database database(dir);
        store::Cursor cursor(database, kTable);
        cursor.open();
        benchmark::DoNotOptimize(cursor.recordCount());
        benchmark::DoNotOptimize(cursor.text("Telefon"));
        if (wholeList)
            cursor.last();
        state.PauseTiming(); // closing is not part of opening
        cursor.close();
        state.ResumeTiming();
    }
}

// As generated: a million single saves in random order, its pages scattered.
void Store_Open(benchmark::State& state, Temperature t)
{
    openTable(state, t, g_workDir);
}

// The same table after the rebuild the program makes at its end.
void Store_OpenRebuilt(benchmark::State& state, Temperature t)
{
    openTable(state, t, g_rebuiltDir);
}

// The rebuilt table after 100,000 more single saves.
void Store_OpenRebuiltSaved(benchmark::State& state, Temperature t)
{
    openTable(state, t, g_savedDir);
}

void Store_OpenWholeList(benchmark::State& state, Temperature t)
{
    openTable(state, t, g_workDir, true);
}

void Store_OpenRebuiltWholeList(benchmark::State& state, Temperature t)
{
    openTable(state, t, g_rebuiltDir, true);
}

void Store_OpenRebuiltSavedWholeList(benchmark::State& state, Temperature t)
{
    openTable(state, t, g_savedDir, true);
}

void Store_NearestKeyNew(benchmark::State& state, Temperature t)
{
    StoreSession& s = storeSession();
    measure(state, t, [&] {
        s.cursor.findNearest(s.newTexts.next());
        benchmark::DoNotOptimize(s.cursor.text("Telefon"));
    });
}

void Store_NearestKeyRepeated(benchmark::State& state, Temperature t)
{
    store::Cursor& cursor = storeSession().cursor;
    const auto texts = repeatedSearchTexts();
    std::size_t i = 0;
    measure(state, t, [&] {
        cursor.findNearest(texts[i++ % texts.size()]);
        benchmark::DoNotOptimize(cursor.text("Telefon"));
    });
}

void Store_RowAt(benchmark::State& state, Temperature t)
{
    store::Cursor& cursor = storeSession().cursor;
    const int rows = cursor.rowCount();
    const int field = cursor.fieldIndex("Telefon");
    std::mt19937 random(3);
    measure(state, t, [&] {
        benchmark::DoNotOptimize(cursor.rowText(static_cast<int>(random() % static_cast<unsigned>(rows)), field));
    });
}

void Store_NextPrior(benchmark::State& state, Temperature t)
{
    store::Cursor& cursor = storeSession().cursor;
    cursor.findNearest("NOVÁK");
    bool forward = true;
    long steps = 0;
    measure(state, t, [&] {
        if (++steps % 1000 == 0)
            forward = !forward;
        forward ? cursor.next() : cursor.prior();
        benchmark::DoNotOptimize(cursor.text("Telefon"));
    });
}

void Store_InsertSave(benchmark::State& state, Temperature t)
{
    store::Cursor& cursor = storeSession().cursor;
    static int serial = 0;
    measure(state, t, [&] {
        std::vector<std::string> record = addressRecord(++serial);
        record[0] = "Zkušební " + std::to_string(serial);
        cursor.insertRecord(record);
    });
    // Take the test records out again, untimed.
    cursor.findNearest("ZKUŠEBNÍ");
    while (cursor.recordCount() > 0 && store::czechUpper(cursor.text("Příjmení")).rfind("ZKUŠEBNÍ", 0) == 0)
        cursor.remove();
}

// Every field of every record, in key order.
void Store_Walk(benchmark::State& state, Temperature t)
{
    store::Cursor& cursor = storeSession().cursor;
    measure(state, t, [&] {
        std::size_t bytes = 0;
        for (cursor.first(); !cursor.eof(); cursor.next()) {
            for (const char* field : allFields())
                bytes += cursor.text(field).size();
        }
        benchmark::DoNotOptimize(bytes);
    });
}

} // namespace

namespace {

// ---- the raw SQLite side ----------------------------------------------------

// The table's layout in the file, read from the file itself: the records
// table, its field columns and the column holding the primary key's sort key.
struct RawLayout {
    std::string table;
    std::vector<std::string> fieldColumns;
    std::string keyColumn;
};

std::string quoted(const std::string& name)
{
    std::string out = "\"";
    for (char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

class RawDb {
public:
    explicit RawDb(const fs::path& file)
    {
        if (sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("raw open: ") + sqlite3_errmsg(m_db));
        exec("PRAGMA journal_mode=DELETE");
        exec("PRAGMA synchronous=FULL");
        // The store's page cache, so that neither side reads less from the file.
        exec("PRAGMA cache_size=-8192");
    }
    ~RawDb() { sqlite3_close_v2(m_db); }
    RawDb(const RawDb&) = delete;
    RawDb& operator=(const RawDb&) = delete;
    sqlite3* get() const { return m_db; }
    void exec(const std::string& sql)
    {
        char* error = nullptr;
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string message = error ? error : "?";
            sqlite3_free(error);
            throw std::runtime_error("raw SQL failed: " + sql + ": " + message);
        }
    }

private:
    sqlite3* m_db = nullptr;
};

class RawStatement {
public:
    RawStatement(sqlite3* db, const std::string& sql)
    {
        if (sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error("raw prepare failed: " + sql + ": " + sqlite3_errmsg(db));
    }
    ~RawStatement() { sqlite3_finalize(m_stmt); }
    RawStatement(const RawStatement&) = delete;
    RawStatement& operator=(const RawStatement&) = delete;
    sqlite3_stmt* get() const { return m_stmt; }
    bool step()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            throw std::runtime_error(std::string("raw step failed: ") + sqlite3_errstr(rc));
        return rc == SQLITE_ROW;
    }
    void reset()
    {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
    std::string text(int column) const
    {
        const auto* p = sqlite3_column_blob(m_stmt, column);
        return p ? std::string(static_cast<const char*>(p), static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, column)))
                 : std::string();
    }

private:
    sqlite3_stmt* m_stmt = nullptr;
};


RawLayout readLayout(sqlite3* db)
{
    RawLayout layout;
    layout.table = "records";
    // The records are clustered on the primary key column; the store's own
    // columns (sort keys, record id) start with an underscore.
    RawStatement columns(db, "PRAGMA table_info(records)");
    while (columns.step()) {
        const std::string name = columns.text(1);
        if (sqlite3_column_int(columns.get(), 5) == 1)
            layout.keyColumn = name;
        if (name.rfind('_', 0) != 0)
            layout.fieldColumns.push_back(name);
    }
    if (layout.keyColumn.empty())
        throw std::runtime_error("the file has no primary key");
    return layout;
}

// The direct approach's key of a typed text: ICU's Czech sort key, the same
// collator the store's file is ordered by.
std::string rawSortKey(const std::string& text)
{
    static const std::unique_ptr<icu::Collator> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Collator> c(icu::Collator::createInstance(icu::Locale("cs"), status));
        c->setStrength(icu::Collator::TERTIARY);
        c->setAttribute(UCOL_NORMALIZATION_MODE, UCOL_ON, status);
        return c;
    }();
    const icu::UnicodeString u = icu::UnicodeString::fromUTF8(text);
    std::string key(static_cast<std::size_t>(collator->getSortKey(u, nullptr, 0)), '\0');
    collator->getSortKey(u, reinterpret_cast<uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
    key.pop_back();
    return key;
}


struct RawSession {
    RawDb db{g_workDir / kTable};
    RawLayout layout = readLayout(db.get());
    NewSearchTexts newTexts;
    std::string q(const std::string& name) const { return quoted(name); }
    std::string fieldList() const
    {
        std::string list;
        for (const std::string& f : layout.fieldColumns)
            list += (list.empty() ? "" : ", ") + quoted(f);
        return list;
    }
    std::string nearestSql() const
    {
        const std::string key = q(layout.keyColumn);
        return "SELECT _id, " + fieldList() + " FROM records WHERE " + key + " >= ?1 ORDER BY " + key + " LIMIT 1";
    }
    // SQLite cannot go to the n-th row of an index but by walking n rows; a
    // direct approach keeps the keys in memory, in order, as the store does.
    const std::vector<std::string>& keys()
    {
        if (m_keys.empty()) {
            const std::string key = q(layout.keyColumn);
            RawStatement all(db.get(), "SELECT " + key + " FROM records ORDER BY " + key);
            while (all.step())
                m_keys.push_back(all.text(0));
        }
        return m_keys;
    }

private:
    std::vector<std::string> m_keys;
};

RawSession& rawSession()
{
    static RawSession session;
    return session;
}

void Raw_Open(benchmark::State& state, Temperature t)
{
    measure(state, t, [&] {
        RawDb db(g_workDir / kTable);
        // A grid needs the number of rows before it shows any.
        RawStatement count(db.get(), "SELECT count(*) FROM records");
        count.step();
        benchmark::DoNotOptimize(sqlite3_column_int64(count.get(), 0));
    });
}

void rawNearest(RawStatement& find, const std::string& text)
{
    const std::string sortKey = rawSortKey(text);
    find.reset();
    sqlite3_bind_blob(find.get(), 1, sortKey.data(), static_cast<int>(sortKey.size()), SQLITE_TRANSIENT);
    if (find.step())
        benchmark::DoNotOptimize(find.text(4));
}

void Raw_NearestKeyNew(benchmark::State& state, Temperature t)
{
    RawSession& raw = rawSession();
    RawStatement find(raw.db.get(), raw.nearestSql());
    measure(state, t, [&] { rawNearest(find, raw.newTexts.next()); });
}

void Raw_NearestKeyRepeated(benchmark::State& state, Temperature t)
{
    RawSession& raw = rawSession();
    RawStatement find(raw.db.get(), raw.nearestSql());
    const auto texts = repeatedSearchTexts();
    std::size_t i = 0;
    measure(state, t, [&] { rawNearest(find, texts[i++ % texts.size()]); });
}

void Raw_RowAt(benchmark::State& state, Temperature t)
{
    RawSession& raw = rawSession();
    const std::vector<std::string>& keys = raw.keys();
    RawStatement at(raw.db.get(), "SELECT \"Telefon\" FROM records WHERE " + raw.q(raw.layout.keyColumn) + " = ?1");
    std::mt19937 random(3);
    measure(state, t, [&] {
        const std::string& key = keys[random() % keys.size()];
        at.reset();
        sqlite3_bind_blob(at.get(), 1, key.data(), static_cast<int>(key.size()), SQLITE_STATIC);
        if (at.step())
            benchmark::DoNotOptimize(at.text(0));
    });
}

// The only way in SQL alone, for comparison: it walks the rows before the one wanted.
void RawOnly_RowAtOffset(benchmark::State& state, Temperature t)
{
    RawSession& raw = rawSession();
    const std::string key = raw.q(raw.layout.keyColumn);
    RawStatement at(raw.db.get(), "SELECT \"Telefon\" FROM records ORDER BY " + key + " LIMIT 1 OFFSET ?1");
    std::mt19937 random(3);
    measure(state, t, [&] {
        at.reset();
        sqlite3_bind_int64(at.get(), 1, static_cast<sqlite3_int64>(random() % kRecords));
        if (at.step())
            benchmark::DoNotOptimize(at.text(0));
    });
}

void Raw_NextPrior(benchmark::State& state, Temperature t)
{
    RawSession& raw = rawSession();
    const std::string key = raw.q(raw.layout.keyColumn);
    RawStatement next(raw.db.get(), "SELECT " + key + ", \"Telefon\" FROM records WHERE " + key + " > ?1 ORDER BY "
                                        + key + " LIMIT 1");
    RawStatement prior(raw.db.get(), "SELECT " + key + ", \"Telefon\" FROM records WHERE " + key + " < ?1 ORDER BY "
                                         + key + " DESC LIMIT 1");
    std::string current = rawSortKey("NOVÁK");
    bool forward = true;
    long steps = 0;
    measure(state, t, [&] {
        if (++steps % 1000 == 0)
            forward = !forward;
        RawStatement& s = forward ? next : prior;
        s.reset();
        sqlite3_bind_blob(s.get(), 1, current.data(), static_cast<int>(current.size()), SQLITE_TRANSIENT);
        if (s.step()) {
            current = s.text(0);
            benchmark::DoNotOptimize(s.text(1));
        }
    });
}

void Raw_InsertSave(benchmark::State& state, Temperature t)
{
    RawSession& raw = rawSession();
    std::string columns = raw.fieldList() + ", " + raw.q(raw.layout.keyColumn);
    std::string placeholders;
    for (std::size_t i = 0; i <= raw.layout.fieldColumns.size(); ++i)
        placeholders += (i ? ", ?" : "?") + std::to_string(i + 1);
    // A record needs an id too: the next one, found in the same statement.
    RawStatement insert(raw.db.get(), "INSERT INTO records (" + columns + ", _id) VALUES (" + placeholders
                                          + ", (SELECT coalesce(max(_id), 0) + 1 FROM records))");
    RawStatement begin(raw.db.get(), "BEGIN IMMEDIATE");
    RawStatement commit(raw.db.get(), "COMMIT");
    static int serial = 0;
    measure(state, t, [&] {
        std::vector<std::string> record = addressRecord(++serial);
        record[0] = "Zkušební " + std::to_string(serial);
        const std::string sortKey = rawSortKey(record[0]);
        begin.reset();
        begin.step();
        insert.reset();
        for (std::size_t i = 0; i < record.size() && i < raw.layout.fieldColumns.size(); ++i) {
            if (record[i].empty())
                sqlite3_bind_null(insert.get(), static_cast<int>(i + 1));
            else
                sqlite3_bind_text(insert.get(), static_cast<int>(i + 1), record[i].data(),
                                  static_cast<int>(record[i].size()), SQLITE_TRANSIENT);
        }
        sqlite3_bind_blob(insert.get(), static_cast<int>(raw.layout.fieldColumns.size() + 1), sortKey.data(),
                          static_cast<int>(sortKey.size()), SQLITE_TRANSIENT);
        insert.step();
        commit.reset();
        commit.step();
    });
    raw.db.exec("DELETE FROM records WHERE \"Příjmení\" LIKE 'Zkušební %'");
}

// Every field of every record, in key order, each as a string as the store gives it.
void Raw_Walk(benchmark::State& state, Temperature t)
{
    RawSession& raw = rawSession();
    const std::string key = raw.q(raw.layout.keyColumn);
    RawStatement walk(raw.db.get(), "SELECT " + raw.fieldList() + " FROM records ORDER BY " + key);
    const int columns = static_cast<int>(raw.layout.fieldColumns.size());
    measure(state, t, [&] {
        std::size_t bytes = 0;
        walk.reset();
        while (walk.step()) {
            for (int c = 0; c < columns; ++c)
                bytes += walk.text(c).size();
        }
        benchmark::DoNotOptimize(bytes);
    });
}

// ---- the report -------------------------------------------------------------

// Collects the time per iteration of every "side/operation/temperature" run
// and prints the ratios store/raw, warm and cold.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            std::string name = run.benchmark_name();
            const auto first = name.find('/');
            const auto second = name.find('/', first + 1);
            if (first == std::string::npos || second == std::string::npos)
                continue;
            const std::string side = name.substr(0, first);
            const std::string operation = name.substr(first + 1, second - first - 1);
            const std::string temperature = name.substr(second + 1, 4);
            m_times[operation][temperature + side] = run.GetAdjustedRealTime() * unitSeconds(run.time_unit);
        }
    }

    void printRatios() const
    {
        std::printf("\n%-26s %11s %11s %6s   %11s %11s %6s\n", "operation", "store warm", "raw warm", "ratio",
                    "store cold", "raw cold", "ratio");
        for (const auto& [operation, times] : m_times) {
            std::printf("%-26s", operation.c_str());
            for (const char* temperature : {"warm", "cold"}) {
                const auto store = times.find(std::string(temperature) + "Store");
                const auto raw = times.find(std::string(temperature) + "Raw");
                const auto rawOnly = times.find(std::string(temperature) + "RawOnly");
                const double s = store == times.end() ? 0 : store->second;
                const double r = raw != times.end() ? raw->second : rawOnly == times.end() ? 0 : rawOnly->second;
                std::printf(" %11s %11s", human(s).c_str(), human(r).c_str());
                if (s > 0 && r > 0)
                    std::printf(" %6.2f  ", s / r);
                else
                    std::printf(" %6s  ", "-");
            }
            std::printf("\n");
        }
    }

private:
    static double unitSeconds(benchmark::TimeUnit unit)
    {
        switch (unit) {
        case benchmark::kNanosecond: return 1e-9;
        case benchmark::kMicrosecond: return 1e-6;
        case benchmark::kMillisecond: return 1e-3;
        case benchmark::kSecond: return 1.0;
        }
        return 1.0;
    }
    static std::string human(double seconds)
    {
        char text[32];
        if (seconds <= 0)
            std::snprintf(text, sizeof text, "-");
        else if (seconds >= 1.0)
            std::snprintf(text, sizeof text, "%.3f s", seconds);
        else if (seconds >= 1e-3)
            std::snprintf(text, sizeof text, "%.2f ms", seconds * 1e3);
        else
            std::snprintf(text, sizeof text, "%.2f us", seconds * 1e6);
        return text;
    }
    std::map<std::string, std::map<std::string, double>> m_times;
};

// A quick-search keystroke must feel instant every time, not on average:
// new texts, warm.
void reportSearchPercentiles()
{
    const auto percentiles = [&](const char* side, auto&& search) {
        std::vector<double> micros;
        for (int i = 0; i < 20000; ++i) {
            const auto start = std::chrono::steady_clock::now();
            search();
            micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        }
        std::sort(micros.begin(), micros.end());
        std::printf("nearest key search, new texts, %-6s median %.2f us, 99th percentile %.2f us, worst %.2f us\n",
                    side, micros[micros.size() / 2], micros[micros.size() * 99 / 100], micros.back());
    };
    StoreSession& s = storeSession();
    percentiles("store:", [&] {
        s.cursor.findNearest(s.newTexts.next());
        benchmark::DoNotOptimize(s.cursor.text("Telefon"));
    });
    RawSession& raw = rawSession();
    RawStatement find(raw.db.get(), raw.nearestSql());
    percentiles("raw:", [&] { rawNearest(find, raw.newTexts.next()); });
}

// Resident memory an open table adds: the store keeps its orders in memory.
// Measured in a fresh process, where no earlier allocation can be reused.
void measureMemory()
{
    const long before = residentKb();
    {
        store::Database database(g_workDir);
        store::Cursor cursor(database, kTable);
        cursor.open();
        cursor.last(); // the key list, read on its own thread, is complete
        std::printf("open table through the store: +%.1f MB resident (%d records)\n",
                    static_cast<double>(residentKb() - before) / 1024.0, cursor.recordCount());
    }
    const long rawBefore = residentKb();
    {
        RawDb db(g_workDir / kTable);
        RawStatement count(db.get(), "SELECT count(*) FROM records");
        count.step();
        std::printf("open table through raw SQLite: +%.1f MB resident\n",
                    static_cast<double>(residentKb() - rawBefore) / 1024.0);
    }
}

void reportMemory()
{
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
        ::execl("/proc/self/exe", "store_bench", "--measure-memory", g_workDir.c_str(), static_cast<char*>(nullptr));
        std::_Exit(1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
}

using BenchFunction = void (*)(benchmark::State&, Temperature);

// Registers an operation on one side, warm then cold; `iterations` 0 lets
// the library choose for the warm run, a cold run always has a fixed count.
void add(const char* side, const char* operation, BenchFunction function, benchmark::TimeUnit unit,
         int warmIterations, int coldIterations)
{
    for (const Temperature t : {Temperature::Warm, Temperature::Cold}) {
        const std::string fullName = std::string(side) + "/" + operation + "/" + name(t);
        auto* b = benchmark::RegisterBenchmark(fullName.c_str(), [function, t](benchmark::State& state) {
            function(state, t);
        });
        b->Unit(unit);
        const int iterations = t == Temperature::Warm ? warmIterations : coldIterations;
        if (iterations > 0)
            b->Iterations(iterations);
    }
}

void registerBenchmarks()
{
    using benchmark::kMicrosecond;
    using benchmark::kMillisecond;
    add("Store", "Open", Store_Open, kMillisecond, 5, 5);
    add("Raw", "Open", Raw_Open, kMillisecond, 5, 5);
    add("Store", "OpenRebuilt", Store_OpenRebuilt, kMillisecond, 5, 5);
    add("Store", "OpenRebuiltSaved", Store_OpenRebuiltSaved, kMillisecond, 5, 5);
    add("Store", "OpenWholeList", Store_OpenWholeList, kMillisecond, 5, 5);
    add("Store", "OpenRebuiltWholeList", Store_OpenRebuiltWholeList, kMillisecond, 5, 5);
    add("Store", "OpenRebuiltSavedWholeList", Store_OpenRebuiltSavedWholeList, kMillisecond, 5, 5);
    add("Store", "NearestKeyNew", Store_NearestKeyNew, kMicrosecond, 0, 300);
    add("Raw", "NearestKeyNew", Raw_NearestKeyNew, kMicrosecond, 0, 300);
    add("Store", "NearestKeyRepeated", Store_NearestKeyRepeated, kMicrosecond, 0, 300);
    add("Raw", "NearestKeyRepeated", Raw_NearestKeyRepeated, kMicrosecond, 0, 300);
    add("Store", "RowAt", Store_RowAt, kMicrosecond, 0, 300);
    add("Raw", "RowAt", Raw_RowAt, kMicrosecond, 0, 300);
    add("RawOnly", "RowAtOffset", RawOnly_RowAtOffset, kMillisecond, 20, 5);
    add("Store", "NextPrior", Store_NextPrior, kMicrosecond, 0, 300);
    add("Raw", "NextPrior", Raw_NextPrior, kMicrosecond, 0, 300);
    add("Store", "InsertSave", Store_InsertSave, kMillisecond, 200, 50);
    add("Raw", "InsertSave", Raw_InsertSave, kMillisecond, 200, 50);
    add("Store", "Walk", Store_Walk, kMillisecond, 3, 3);
    add("Raw", "Walk", Raw_Walk, kMillisecond, 3, 3);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--measure-memory") {
        g_workDir = argv[2];
        measureMemory();
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    try {
        g_workDir = prepareWorkCopy();
        prepareRebuiltCopies();
        // Memory first, while nothing else of the store is loaded.
        reportMemory();
        registerBenchmarks();
        RatioReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        reporter.printRatios();
        reportSearchPercentiles();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "store_bench: %s\n", error.what());
        return 1;
    }
    benchmark::Shutdown();
    return 0;
}
