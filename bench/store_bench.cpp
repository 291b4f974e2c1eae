// The store against plain SQLite on the same million-record address table.
// Every operation is measured both ways in one run and the ratio store/raw
// printed at the end; the raw side uses the SQL a direct approach would use.
#include "BenchSupport.h"
#include "SyncOff.h"

#include "store/Catalogue.h"
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

// Typed like the quick search: a few capitals of a surname.
std::vector<std::string> searchTexts(std::size_t count)
{
    std::mt19937 random(7);
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string surname = store::czechUpper(surnames()[random() % surnames().size()]);
        const std::string number = std::to_string(random() % kRecords);
        // Half stop inside the surname, half go on into its number.
        texts.push_back(i % 2 ? surname.substr(0, 3 + random() % 3) : surname + " " + number.substr(0, 1 + random() % 4));
    }
    return texts;
}

// ---- the ratio report -------------------------------------------------------

// Collects the time per iteration of every "Store/x" and "Raw/x" run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            const std::string name = run.benchmark_name();
            const auto underscore = name.find('_');
            if (underscore == std::string::npos)
                continue;
            const std::string side = name.substr(0, underscore);
            std::string operation = name.substr(underscore + 1);
            if (const auto more = operation.find('/'); more != std::string::npos)
                operation.resize(more);
            m_times[operation][side] = run.GetAdjustedRealTime() * unitSeconds(run.time_unit);
        }
    }

    void printRatios() const
    {
        std::printf("\n%-22s %14s %14s %8s\n", "operation", "store", "raw SQLite", "ratio");
        for (const auto& [operation, sides] : m_times) {
            const auto store = sides.find("Store");
            const auto raw = sides.find("Raw");
            if (store == sides.end() || raw == sides.end())
                continue;
            std::printf("%-22s %14s %14s %8.2f\n", operation.c_str(), human(store->second).c_str(),
                        human(raw->second).c_str(), store->second / raw->second);
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
        if (seconds >= 1.0)
            std::snprintf(text, sizeof text, "%.3f s", seconds);
        else if (seconds >= 1e-3)
            std::snprintf(text, sizeof text, "%.3f ms", seconds * 1e3);
        else
            std::snprintf(text, sizeof text, "%.3f us", seconds * 1e6);
        return text;
    }
    std::map<std::string, std::map<std::string, double>> m_times;
};

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

fs::path g_workDir;

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

} // namespace

namespace {

// ---- the store side ---------------------------------------------------------

// One open table kept for the per-record benchmarks, as a window keeps it.
struct StoreSession {
    store::Database database{g_workDir};
    store::Cursor cursor{database, kTable};
    StoreSession() { cursor.open(); }
};

StoreSession& storeSession()
{
    static StoreSession session;
    return session;
}

void Store_Open(benchmark::State& state)
{
    for (auto _ : state) {
        store::Database database(g_workDir);
        store::Cursor cursor(database, kTable);
        cursor.open();
        benchmark::DoNotOptimize(cursor.recordCount());
        state.PauseTiming(); // closing is not part of opening
        cursor.close();
        state.ResumeTiming();
    }
}

void Store_NearestKey(benchmark::State& state)
{
    store::Cursor& cursor = storeSession().cursor;
    const auto texts = searchTexts(4096);
    std::size_t i = 0;
    for (auto _ : state) {
        cursor.findNearest(texts[i++ % texts.size()]);
        benchmark::DoNotOptimize(cursor.text("Příjmení"));
    }
}

void Store_RowAt(benchmark::State& state)
{
    store::Cursor& cursor = storeSession().cursor;
    const int rows = cursor.rowCount();
    const int field = cursor.fieldIndex("Telefon");
    std::mt19937 random(3);
    for (auto _ : state)
        benchmark::DoNotOptimize(cursor.rowText(static_cast<int>(random() % static_cast<unsigned>(rows)), field));
}

void Store_NextPrior(benchmark::State& state)
{
    store::Cursor& cursor = storeSession().cursor;
    cursor.findNearest("NOVÁK");
    bool forward = true;
    long steps = 0;
    for (auto _ : state) {
        if (++steps % 1000 == 0)
            forward = !forward;
        forward ? cursor.next() : cursor.prior();
        benchmark::DoNotOptimize(cursor.text("Telefon"));
    }
}

void Store_InsertSave(benchmark::State& state)
{
    store::Cursor& cursor = storeSession().cursor;
    static int serial = 0;
    for (auto _ : state) {
        std::vector<std::string> record = addressRecord(++serial);
        record[0] = "Zkušební " + std::to_string(serial);
        cursor.insertRecord(record);
    }
    // Take the test records out again, untimed.
    cursor.findNearest("ZKUŠEBNÍ");
    while (cursor.recordCount() > 0 && store::czechUpper(cursor.text("Příjmení")).rfind("ZKUŠEBNÍ", 0) == 0)
        cursor.remove();
}

void Store_Walk(benchmark::State& state)
{
    store::Cursor& cursor = storeSession().cursor;
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (cursor.first(); !cursor.eof(); cursor.next())
            bytes += cursor.text("Telefon").size();
        benchmark::DoNotOptimize(bytes);
    }
}

} // namespace

namespace {

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
    std::string q(const std::string& name) const { return quoted(name); }
    std::string fieldList() const
    {
        std::string list;
        for (const std::string& f : layout.fieldColumns)
            list += (list.empty() ? "" : ", ") + quoted(f);
        return list;
    }
};

RawSession& rawSession()
{
    static RawSession session;
    return session;
}

void Raw_Open(benchmark::State& state)
{
    for (auto _ : state) {
        RawDb db(g_workDir / kTable);
        // A grid needs the number of rows before it shows any.
        RawStatement count(db.get(), "SELECT count(*) FROM records");
        count.step();
        benchmark::DoNotOptimize(sqlite3_column_int64(count.get(), 0));
    }
}

void Raw_NearestKey(benchmark::State& state)
{
    RawSession& raw = rawSession();
    const std::string key = raw.q(raw.layout.keyColumn);
    RawStatement find(raw.db.get(), "SELECT _id, " + raw.fieldList() + " FROM records WHERE " + key
                                        + " >= ?1 ORDER BY " + key + " LIMIT 1");
    const auto texts = searchTexts(4096);
    std::size_t i = 0;
    for (auto _ : state) {
        const std::string sortKey = rawSortKey(texts[i++ % texts.size()]);
        find.reset();
        sqlite3_bind_blob(find.get(), 1, sortKey.data(), static_cast<int>(sortKey.size()), SQLITE_TRANSIENT);
        if (find.step())
            benchmark::DoNotOptimize(find.text(1));
    }
}

void Raw_RowAt(benchmark::State& state)
{
    RawSession& raw = rawSession();
    const std::string key = raw.q(raw.layout.keyColumn);
    RawStatement at(raw.db.get(), "SELECT \"Telefon\" FROM records ORDER BY " + key + " LIMIT 1 OFFSET ?1");
    std::mt19937 random(3);
    for (auto _ : state) {
        at.reset();
        sqlite3_bind_int64(at.get(), 1, static_cast<sqlite3_int64>(random() % kRecords));
        if (at.step())
            benchmark::DoNotOptimize(at.text(0));
    }
}

void Raw_NextPrior(benchmark::State& state)
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
    for (auto _ : state) {
        if (++steps % 1000 == 0)
            forward = !forward;
        RawStatement& s = forward ? next : prior;
        s.reset();
        sqlite3_bind_blob(s.get(), 1, current.data(), static_cast<int>(current.size()), SQLITE_TRANSIENT);
        if (s.step()) {
            current = s.text(0);
            benchmark::DoNotOptimize(s.text(1));
        }
    }
}

void Raw_InsertSave(benchmark::State& state)
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
    for (auto _ : state) {
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
    }
    raw.db.exec("DELETE FROM records WHERE \"Příjmení\" LIKE 'Zkušební %'");
}

void Raw_Walk(benchmark::State& state)
{
    RawSession& raw = rawSession();
    const std::string key = raw.q(raw.layout.keyColumn);
    RawStatement walk(raw.db.get(), "SELECT \"Telefon\" FROM records ORDER BY " + key);
    for (auto _ : state) {
        std::size_t bytes = 0;
        walk.reset();
        while (walk.step())
            bytes += walk.text(0).size();
        benchmark::DoNotOptimize(bytes);
    }
}

// A quick-search keystroke must feel instant every time, not on average.
void reportSearchPercentiles()
{
    const auto texts = searchTexts(20000);
    const auto measure = [&](const char* side, auto&& search) {
        std::vector<double> micros;
        micros.reserve(texts.size());
        for (const std::string& text : texts) {
            const auto start = std::chrono::steady_clock::now();
            search(text);
            micros.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        }
        std::sort(micros.begin(), micros.end());
        std::printf("nearest key search, %-10s median %.2f us, 99th percentile %.2f us, worst %.2f us\n", side,
                    micros[micros.size() / 2], micros[micros.size() * 99 / 100], micros.back());
    };
    store::Cursor& cursor = storeSession().cursor;
    measure("store:", [&](const std::string& text) {
        cursor.findNearest(text);
        benchmark::DoNotOptimize(cursor.text("Příjmení"));
    });
    RawSession& raw = rawSession();
    const std::string key = raw.q(raw.layout.keyColumn);
    RawStatement find(raw.db.get(), "SELECT _id, " + raw.fieldList() + " FROM records WHERE " + key
                                        + " >= ?1 ORDER BY " + key + " LIMIT 1");
    measure("raw:", [&](const std::string& text) {
        const std::string sortKey = rawSortKey(text);
        find.reset();
        sqlite3_bind_blob(find.get(), 1, sortKey.data(), static_cast<int>(sortKey.size()), SQLITE_TRANSIENT);
        if (find.step())
            benchmark::DoNotOptimize(find.text(1));
    });
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

} // namespace

BENCHMARK(Store_Open)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(Raw_Open)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(Store_NearestKey)->Unit(benchmark::kMicrosecond);
BENCHMARK(Raw_NearestKey)->Unit(benchmark::kMicrosecond);
BENCHMARK(Store_RowAt)->Unit(benchmark::kMicrosecond);
BENCHMARK(Raw_RowAt)->Unit(benchmark::kMicrosecond)->Iterations(200);
BENCHMARK(Store_NextPrior)->Unit(benchmark::kMicrosecond);
BENCHMARK(Raw_NextPrior)->Unit(benchmark::kMicrosecond);
BENCHMARK(Store_InsertSave)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(Raw_InsertSave)->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(Store_Walk)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Raw_Walk)->Unit(benchmark::kMillisecond)->Iterations(3);

namespace {

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
        // Memory first, while nothing else of the store is loaded.
        reportMemory();
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
