#include "Table.h"

#include "store/Cursor.h"
#include "store/CzechText.h"
#include "store/Errors.h"

#include "SavesRunning.h"
#include "StoreTexts.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

namespace store {

namespace {

namespace fs = std::filesystem;

// Version 2 keeps the records clustered in the reading order (a WITHOUT
// ROWID table keyed by the primary sort key), so a walk reads pages in turn.
constexpr const char* kFormat = "pelmir-table/2";
constexpr const char* kOldFormat = "pelmir-table/1";
constexpr int kReadAhead = 512;
// Rows of a big table read at open, before its key list: a screenful and more.
constexpr int kLoadingHead = 2048;
constexpr std::size_t kCacheLimit = 4096;

const char* kindName(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Text: return "text";
    case FieldKind::Date: return "date";
    case FieldKind::Time: return "time";
    case FieldKind::Integer: return "integer";
    case FieldKind::Memo: return "memo";
    case FieldKind::FormattedMemo: return "formatted_memo";
    }
    return "text";
}

std::optional<FieldKind> kindFromName(std::string_view name)
{
    for (FieldKind kind : {FieldKind::Text, FieldKind::Date, FieldKind::Time, FieldKind::Integer, FieldKind::Memo,
                           FieldKind::FormattedMemo}) {
        if (name == kindName(kind))
            return kind;
    }
    return std::nullopt;
}

const char* defaultName(FieldDefault value)
{
    switch (value) {
    case FieldDefault::None: return "none";
    case FieldDefault::Today: return "today";
    case FieldDefault::Now: return "now";
    }
    return "none";
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    if (text.empty())
        return parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    return parts;
}

// The password check value: a salted, iterated 64-bit hash. The password is
// three characters held by the program itself, so this keeps it out of the
// file rather than protecting it from a determined reader.
std::string passwordHash(const std::string& salt, const std::string& password)
{
    std::uint64_t h = 1469598103934665603ULL;
    for (int round = 0; round < 2000; ++round) {
        for (char c : salt + password + std::to_string(round)) {
            h ^= static_cast<unsigned char>(c);
            h *= 1099511628211ULL;
        }
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

std::string primaryColumn(bool keyed)
{
    return keyed ? "_k_primary" : "_pos";
}

const char* columnType(FieldKind kind)
{
    return kind == FieldKind::Integer ? "INTEGER" : "TEXT";
}

// The statements that make a table file. Opening compares the file's objects
// with them, so they are written once, here.
constexpr const char* kMetaTableSql = "CREATE TABLE _meta (key TEXT PRIMARY KEY, value TEXT)";
constexpr const char* kIdIndexSql = "CREATE UNIQUE INDEX _i_id ON records (_id)";
constexpr const char* kSecondaryIndexSql = "CREATE INDEX _i_secondary ON records (\"_k_secondary\", _id)";

std::string recordsTableSql(const TableDef& def)
{
    std::string columns;
    for (const FieldDef& field : def.fields)
        columns += quoteIdentifier(field.name) + " " + columnType(field.kind) + ", ";
    // The records are clustered on the primary sort key, so reading in
    // key order reads the file's pages in turn. `_id` names a record for
    // the cursors whatever its keys become. Keys compare as plain BINARY
    // blobs: any sqlite3 can check the file.
    columns += quoteIdentifier(primaryColumn(def.primaryKey.has_value())) + " BLOB NOT NULL PRIMARY KEY";
    if (def.secondaryIndex)
        columns += ", \"_k_secondary\" BLOB NOT NULL";
    columns += ", _id INTEGER NOT NULL";
    return "CREATE TABLE records (" + columns + ") WITHOUT ROWID";
}

// Two statements alike but for runs of blanks and the case of ASCII letters
// (SQLite keeps a statement's text as it was written).
bool sameStatement(std::string_view a, std::string_view b)
{
    const auto normal = [](std::string_view text) {
        std::string out;
        bool blank = false;
        for (char c : text) {
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
                blank = true;
                continue;
            }
            if (blank && !out.empty())
                out += ' ';
            blank = false;
            out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        }
        return out;
    };
    return normal(a) == normal(b);
}

} // namespace

void Table::fail(StoreError::Kind kind, const std::string& reason) const
{
    failTable(kind, Operation::Open, m_def.fileName, reason);
}

Table::Table(const fs::path& file, const std::set<std::string>& passwords, const TableDef* expected,
             int busyTimeoutMs, std::int64_t backgroundOrderPages)
    : m_file(file)
{
    m_def.fileName = file.filename().string();
    // A cheap check before SQLite sees the file: SQLite takes an empty file
    // for an empty database, and the program must never treat it as one.
    {
        std::ifstream in(file, std::ios::binary);
        if (!in)
            fail(errno == EACCES ? StoreError::Kind::ReadOnly : StoreError::Kind::Io, "soubor tabulky nelze číst");
        char header[100] = {};
        in.read(header, sizeof header);
        if (in.gcount() < static_cast<std::streamsize>(sizeof header)
            || std::string_view(header, 16) != std::string_view("SQLite format 3\0", 16))
            fail(StoreError::Kind::Damaged, "soubor není čitelnou tabulkou nebo je poškozený");
        // Bytes 18 and 19: the file is kept with a rollback journal, as the
        // program makes it; another mode would need files the backup does not copy.
        if (header[18] != 1 || header[19] != 1)
            fail(StoreError::Kind::Foreign, "soubor není tabulkou tohoto programu (jiný režim zápisu)");
    }
    const int rc = sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    try {
        if (rc != SQLITE_OK)
            throwSqlite(m_db, rc, "open");
        sqlite3_extended_result_codes(m_db, 1);
        sqlite3_busy_timeout(m_db, busyTimeoutMs);
        m_busyTimeoutMs = busyTimeoutMs;
        readDefinition();
        checkSchema();
        if (expected)
            checkDefinition(*expected);
        checkPassword(passwords);
        // Settings that only apply to this connection: nothing is written here.
        exec(m_db, "PRAGMA synchronous=FULL");
        exec(m_db, "PRAGMA cache_size=-8192");
        exec(m_db, "PRAGMA journal_mode=DELETE");
        prepare();
        try {
            rebuildKeysIfCollatorChanged();
        } catch (const StoreError& error) {
            // A file that cannot be written is still shown, in the order
            // its keys were stored in; the user is told it is not re-sorted.
            if (error.kind() != StoreError::Kind::ReadOnly)
                throw;
            const std::string what = error.what();
            m_notice = what.substr(0, what.find('\n'))
                       + " Záznamy jsou zatím v pořadí, v jakém byly uloženy, a hledání v nich může minout.";
        }
        startLoadingOrder(backgroundOrderPages);
    } catch (const StoreError& error) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        if (!error.table().empty())
            throw;
        throw tableError(error, Operation::Open, m_def.fileName);
    }
}

Table::~Table()
{
    // A reading thread left behind (its list read here instead) ends too.
    for (LoadingOrder* loading : {m_loading.get(), m_loaded.get()}) {
        if (!loading)
            continue;
        loading->stop = true;
        if (loading->result.valid())
            loading->result.wait();
    }
    endWriting();
    m_selectById = {};
    m_selectByKey = {};
    m_nextId = {};
    m_insert = {};
    m_update = {};
    m_delete = {};
    m_begin = {};
    m_commit = {};
    m_rollback = {};
    m_rangeForward.clear();
    m_rangeBackward.clear();
    sqlite3_close_v2(m_db);
}

void Table::readDefinition()
{
    {
        sqlite3_stmt* raw = nullptr;
        const int rc = sqlite3_prepare_v2(m_db, "SELECT key, value FROM _meta", -1, &raw, nullptr);
        if (rc != SQLITE_OK) {
            const int code = rc & 0xFF;
            const StoreError error = engineError(m_db, rc, "SELECT key, value FROM _meta");
            sqlite3_finalize(raw);
            // Any SQLite file without our definition: another program's database.
            if (code == SQLITE_ERROR)
                failTable(StoreError::Kind::Foreign, Operation::Open, m_def.fileName,
                          "soubor není tabulkou tohoto programu (nemá její definici)", error.detail());
            throw error;
        }
        struct Adopt {
            sqlite3_stmt* s;
            ~Adopt() { sqlite3_finalize(s); }
        } guard{raw};
        for (;;) {
            const int step = sqlite3_step(raw);
            if (step == SQLITE_DONE)
                break;
            if (step != SQLITE_ROW)
                throwSqlite(m_db, step, "reading the definition");
            const auto* k = reinterpret_cast<const char*>(sqlite3_column_text(raw, 0));
            const auto* v = reinterpret_cast<const char*>(sqlite3_column_text(raw, 1));
            m_meta[k ? k : ""] = v ? v : "";
        }
    }
    if (m_meta["format"] == kOldFormat)
        fail(StoreError::Kind::Foreign,
             "soubor má uspořádání starší verze programu, které tato verze nečte; sestavte datový adresář znovu");
    if (m_meta["format"] != kFormat)
        fail(StoreError::Kind::Foreign, "soubor není tabulkou tohoto programu (neznámý formát definice)");
    for (const std::string& line : split(m_meta["fields"], '\n')) {
        const std::vector<std::string> parts = split(line, '\t');
        if (parts.size() != 4)
            fail(StoreError::Kind::Damaged, "definice polí tabulky je poškozená");
        FieldDef field;
        field.name = parts[0];
        const auto kind = kindFromName(parts[1]);
        if (!kind)
            fail(StoreError::Kind::Damaged, "definice polí tabulky je poškozená (neznámý druh pole)");
        field.kind = *kind;
        field.width = std::atoi(parts[2].c_str());
        field.defaultValue = parts[3] == "today" ? FieldDefault::Today
                             : parts[3] == "now" ? FieldDefault::Now
                                                 : FieldDefault::None;
        m_def.fields.push_back(field);
    }
    if (m_def.fields.empty())
        fail(StoreError::Kind::Damaged, "definice tabulky nemá žádná pole");
    if (!m_meta["primary_key"].empty())
        m_def.primaryKey = m_meta["primary_key"];
    if (!m_meta["secondary_index"].empty())
        m_def.secondaryIndex = m_meta["secondary_index"];
    m_def.isProtected = m_meta["protected"] == "1";
    m_def.catalogueFiles = split(m_meta["catalogue_files"], '\n');

    // The file names the table it was made for: a copy of another table put
    // under this name must not be taken for this one. (Files made before the
    // name was kept give it as the first of their catalogue files.)
    std::string ownName = m_meta["table"];
    if (ownName.empty() && !m_def.catalogueFiles.empty())
        ownName = m_def.catalogueFiles.front();
    if (!ownName.empty() && !sameName(ownName, m_def.fileName))
        fail(StoreError::Kind::Foreign, "soubor není tabulkou tohoto programu (je to tabulka " + ownName + ")");

    const int primaryField = m_def.primaryKey ? fieldIndex(*m_def.primaryKey) : -1;
    if (m_def.primaryKey && primaryField < 0)
        fail(StoreError::Kind::Damaged, "definice tabulky uvádí klíčové pole, které tabulka nemá");
    m_orders.push_back({primaryField, primaryColumn(isKeyed()), nullptr});
    if (m_def.secondaryIndex) {
        const int field = fieldIndex(*m_def.secondaryIndex);
        if (field < 0)
            fail(StoreError::Kind::Damaged, "definice tabulky uvádí indexované pole, které tabulka nemá");
        m_orders.push_back({field, "_k_secondary", nullptr});
    }
}

void Table::checkSchema()
{
    // Every object of the file must be one the program made from this
    // definition, in the very form it made it: a trigger, a view, another
    // index or a column of another type would change what is saved.
    std::map<std::string, std::pair<std::string, std::string>> expected = {
        {"_meta", {"table", kMetaTableSql}},
        {"records", {"table", recordsTableSql(m_def)}},
        {"_i_id", {"index", kIdIndexSql}},
    };
    if (m_def.secondaryIndex)
        expected["_i_secondary"] = {"index", kSecondaryIndexSql};
    Statement objects(m_db, "SELECT type, name, coalesce(sql, '') FROM sqlite_master");
    while (objects.step()) {
        const std::string type(objects.text(0));
        const std::string name(objects.text(1));
        // Names beginning with sqlite_ are the engine's own (automatic
        // indexes, statistics); nobody else can create such a name.
        if (name.rfind("sqlite_", 0) == 0)
            continue;
        const auto it = expected.find(name);
        if (it == expected.end()) {
            const std::string what = type == "trigger" ? "spoušť" : type == "view" ? "pohled" : type == "index" ? "index" : "tabulku";
            fail(StoreError::Kind::Foreign, "soubor není tabulkou tohoto programu (obsahuje navíc " + what + " " + name + ")");
        }
        if (it->second.first != type || !sameStatement(objects.text(2), it->second.second)) {
            if (name == "records")
                describeColumnMismatch();
            fail(StoreError::Kind::Foreign,
                 "soubor není tabulkou tohoto programu (" + name + " má jinou podobu, než jakou program zakládá)");
        }
        expected.erase(it);
    }
    if (!expected.empty())
        fail(StoreError::Kind::Foreign,
             "soubor není tabulkou tohoto programu (chybí mu " + expected.begin()->first + ")");
}

void Table::describeColumnMismatch()
{
    // Says which column differs, when one does; the caller reports the rest.
    std::vector<std::pair<std::string, std::string>> wanted;
    for (const FieldDef& field : m_def.fields)
        wanted.emplace_back(field.name, columnType(field.kind));
    for (const OrderInfo& info : m_orders)
        wanted.emplace_back(info.column, "BLOB");
    wanted.emplace_back("_id", "INTEGER");
    Statement info(m_db, "PRAGMA table_info(records)");
    std::size_t i = 0;
    for (; info.step(); ++i) {
        const std::string name(info.text(1));
        const std::string type(info.text(2));
        if (i >= wanted.size() || name != wanted[i].first)
            fail(StoreError::Kind::Foreign, "soubor není tabulkou tohoto programu (sloupec " + name
                                                + " neodpovídá definici tabulky)");
        if (!sameStatement(type, wanted[i].second))
            fail(StoreError::Kind::Foreign, "soubor není tabulkou tohoto programu (sloupec " + name + " má typ "
                                                + type + " místo " + wanted[i].second + ")");
    }
    if (i != wanted.size())
        fail(StoreError::Kind::Foreign, "soubor není tabulkou tohoto programu (některý sloupec chybí)");
}

void Table::checkDefinition(const TableDef& expected)
{
    // The program's own definition of this table: a file made for another
    // table shape (fields of other kinds, other keys) is not this table.
    const auto differs = [&](const std::string& what) {
        fail(StoreError::Kind::Foreign, "soubor není tabulkou tohoto programu (" + what + ")");
    };
    if (m_def.fields.size() != expected.fields.size())
        differs("má " + std::to_string(m_def.fields.size()) + " polí místo " + std::to_string(expected.fields.size()));
    for (std::size_t i = 0; i < m_def.fields.size(); ++i) {
        const FieldDef& has = m_def.fields[i];
        const FieldDef& want = expected.fields[i];
        // Widths may differ: a file keeps the width it was made with.
        if (!sameName(has.name, want.name) || has.kind != want.kind || has.defaultValue != want.defaultValue)
            differs("pole " + has.name + " neodpovídá poli " + want.name);
    }
    const auto sameKey = [](const std::optional<std::string>& a, const std::optional<std::string>& b) {
        return a.has_value() == b.has_value() && (!a || sameName(*a, *b));
    };
    if (!sameKey(m_def.primaryKey, expected.primaryKey) || !sameKey(m_def.secondaryIndex, expected.secondaryIndex))
        differs("má jiný klíč nebo index");
    if (m_def.isProtected != expected.isProtected)
        differs("má jinou ochranu heslem");
}

void Table::checkPassword(const std::set<std::string>& passwords)
{
    if (!m_def.isProtected)
        return;
    const std::vector<std::string> check = split(m_meta["password_check"], ':');
    if (check.size() != 2)
        fail(StoreError::Kind::Damaged, "kontrolní údaj hesla v souboru je poškozený");
    for (const std::string& password : passwords) {
        if (passwordHash(check[0], password) == check[1])
            return;
    }
    fail(StoreError::Kind::Password, {});
}

void Table::prepare()
{
    std::string names;
    std::string placeholders;
    std::string assignments;
    int n = 0;
    const auto add = [&](const std::string& column) {
        ++n;
        names += (names.empty() ? "" : ", ") + quoteIdentifier(column);
        placeholders += (placeholders.empty() ? "?" : ", ?") + std::to_string(n);
        assignments += (assignments.empty() ? "" : ", ") + quoteIdentifier(column) + " = ?" + std::to_string(n);
    };
    for (const FieldDef& field : m_def.fields)
        add(field.name);
    for (const OrderInfo& info : m_orders)
        add(info.column);
    const std::string primary = quoteIdentifier(m_orders[0].column);
    m_selectById = Statement(m_db, "SELECT " + selectColumns() + " FROM records WHERE _id = ?1");
    m_selectByKey = Statement(m_db, "SELECT " + selectColumns() + " FROM records WHERE " + primary + " = ?1");
    m_nextId = Statement(m_db, "SELECT coalesce(max(_id), 0) + 1 FROM records");
    // The record's id comes last, after the values and keys.
    m_insert = Statement(m_db, "INSERT INTO records (" + names + ", _id) VALUES (" + placeholders + ", ?"
                                   + std::to_string(n + 1) + ")");
    // Updates and deletes find the record by its primary key: the table is
    // clustered on it, so that is one lookup instead of two.
    m_update = Statement(m_db, "UPDATE records SET " + assignments + " WHERE " + primary + " = ?" + std::to_string(n + 1));
    m_delete = Statement(m_db, "DELETE FROM records WHERE " + primary + " = ?1");
    m_begin = Statement(m_db, "BEGIN IMMEDIATE");
    m_commit = Statement(m_db, "COMMIT");
    m_rollback = Statement(m_db, "ROLLBACK");
    // Read-ahead from a (key, id) entry on, in the order's own index order.
    // Primary keys are unique, so that order needs no id to break ties (and
    // naming it would make SQLite sort each batch).
    for (const OrderInfo& info : m_orders) {
        const std::string column = quoteIdentifier(info.column);
        const bool unique = &info == &m_orders.front();
        const std::string from = unique ? column : "(" + column + ", _id)";
        const std::string at = unique ? "?1" : "(?1, ?2)";
        const std::string by = unique ? column : column + ", _id";
        const std::string byDescending = unique ? column + " DESC" : column + " DESC, _id DESC";
        m_rangeForward.emplace_back(m_db, "SELECT " + selectColumns(false) + " FROM records WHERE " + from + " >= " + at
                                              + " ORDER BY " + by + " LIMIT ?3");
        m_rangeBackward.emplace_back(m_db, "SELECT " + selectColumns(false) + " FROM records WHERE " + from + " <= " + at
                                               + " ORDER BY " + byDescending + " LIMIT ?3");
    }
}

std::string Table::selectColumns(bool withKeys) const
{
    std::string columns = "_id";
    for (const FieldDef& field : m_def.fields)
        columns += ", " + quoteIdentifier(field.name);
    if (withKeys) {
        for (const OrderInfo& info : m_orders)
            columns += ", " + quoteIdentifier(info.column);
    }
    return columns;
}

void Table::readRecord(const Statement& statement, Record& record, bool withKeys) const
{
    record.id = statement.integer(0);
    record.values.resize(m_def.fields.size());
    record.keys.resize(withKeys ? m_orders.size() : 0);
    int column = 1;
    for (std::size_t i = 0; i < m_def.fields.size(); ++i, ++column) {
        std::optional<std::string>& value = record.values[i];
        // One call answers both "null?" and "what text?": SQLite gives no
        // pointer for a null and a pointer to "" for an empty text. Walks read
        // every field of every record, so the saved call shows.
        const std::optional<std::string_view> text = statement.textOrNull(column);
        if (!text)
            value.reset();
        else if (value)
            value->assign(*text);
        else
            value.emplace(*text);
    }
    for (std::size_t i = 0; withKeys && i < m_orders.size(); ++i, ++column)
        record.keys[i].assign(statement.blob(column));
}

int Table::fieldIndex(std::string_view name) const
{
    // Fields are named on every read, nearly always exactly as defined: that
    // costs a plain comparison, where case folding one name costs ICU.
    for (std::size_t i = 0; i < m_def.fields.size(); ++i) {
        if (m_def.fields[i].name == name)
            return static_cast<int>(i);
    }
    for (std::size_t i = 0; i < m_def.fields.size(); ++i) {
        if (sameName(m_def.fields[i].name, name))
            return static_cast<int>(i);
    }
    return -1;
}

int Table::orderOnField(int field) const
{
    for (std::size_t i = 0; i < m_orders.size(); ++i) {
        if (m_orders[i].field == field && field >= 0)
            return static_cast<int>(i);
    }
    return -1;
}

namespace {

// The (key, id) pairs of an order in its order; `column` is quoted.
std::string keyListSql(const std::string& column, bool secondary)
{
    return "SELECT " + column + ", _id FROM records ORDER BY " + column + (secondary ? ", _id" : "");
}

// Appends an order's (key, id) pairs to `keys`: all of them, or those after
// `after`. `column` is quoted; the order is unique (the reading order).
// At most `limit` of them (-1: no limit); returns how many were appended.
int appendKeys(sqlite3* db, const std::string& column, const std::string* after, Order& keys, int limit = -1)
{
    Statement scan(db, (after ? "SELECT " + column + ", _id FROM records WHERE " + column + " > ?1 ORDER BY " + column
                              : keyListSql(column, false))
                           + " LIMIT ?2");
    if (after)
        scan.bindBlob(1, *after);
    scan.bind(2, static_cast<std::int64_t>(limit));
    int appended = 0;
    for (; scan.step(); ++appended)
        keys.append(scan.blob(0), scan.integer(1));
    return appended;
}

// Counts the rows and then reads the reading order's key list on a
// connection of its own (the calling thread's), which gives way to every
// other thread of the machine. Setting `stop` ends the work where it is:
// the keys read so far are returned, and the count stays -1 when it was
// not done.
std::unique_ptr<Order> readInBackground(const fs::path& file, const std::string& column, int busyTimeoutMs,
                                        std::atomic<int>& count, const std::atomic<bool>& stop)
{
    // This thread only; the window thread keeps its own priority.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 19);
    auto keys = std::make_unique<Order>();
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    // Declared before the statements: they are finalized first.
    const std::unique_ptr<sqlite3, int (*)(sqlite3*)> closing(db, sqlite3_close_v2);
    if (rc != SQLITE_OK)
        throwSqlite(db, rc, "open");
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, busyTimeoutMs);
    sqlite3_progress_handler(
        db, 1000, [](void* flag) { return static_cast<const std::atomic<bool>*>(flag)->load() ? 1 : 0; },
        const_cast<std::atomic<bool>*>(&stop));
    try {
        if (count.load() < 0) {
            Statement counting(db, "SELECT count(*) FROM records");
            counting.step();
            int unknown = -1;
            count.compare_exchange_strong(unknown, static_cast<int>(counting.integer(0)));
        }
        appendKeys(db, column, nullptr, *keys);
    } catch (const StoreError&) {
        if (!stop.load())
            throw;
    }
    return keys;
}

std::int64_t pageCount(sqlite3* db)
{
    Statement pages(db, "PRAGMA page_count");
    return pages.step() ? pages.integer(0) : 0;
}

} // namespace

void Table::startLoadingOrder(std::int64_t backgroundOrderPages)
{
    // The first rows come from a few pages. The count reads the id index
    // and the key list of a big table every page of the table, which cold
    // takes a second and more when saves scattered them: both are read on a
    // thread of their own, after the window shows.
    if (backgroundOrderPages == kNever || pageCount(m_db) < backgroundOrderPages) {
        order(0); // reads the whole primary index: a damaged index shows here
        return;
    }
    auto loading = std::make_unique<LoadingOrder>();
    const std::string column = quoteIdentifier(m_orders[0].column);
    {
        Statement head(m_db, keyListSql(column, false) + " LIMIT " + std::to_string(kLoadingHead));
        while (head.step())
            loading->head.append(head.blob(0), head.integer(1));
    }
    if (loading->head.size() < kLoadingHead)
        loading->count = loading->head.size(); // the head is every row
    loading->result = std::async(std::launch::async, readInBackground, m_file, column, m_busyTimeoutMs,
                                 std::ref(loading->count), std::cref(loading->stop));
    m_loading = std::move(loading);
}

int Table::loadingCount()
{
    const int known = m_loading->count.load();
    if (known >= 0)
        return known;
    if (m_loading->failed)
        std::rethrow_exception(m_loading->failed);
    // Counted here rather than waiting for a thread that gives way to everything.
    try {
        Statement counting(m_db, "SELECT count(*) FROM records");
        counting.step();
        m_loading->count = static_cast<int>(counting.integer(0));
    } catch (...) {
        m_loading->failed = std::current_exception();
        throw;
    }
    return m_loading->count.load();
}

void Table::finishLoadingOrder()
{
    readKeyListHere(-1);
}

bool Table::readKeyListHere(int rows)
{
    if (!m_loading)
        return true;
    if (m_loading->failed)
        std::rethrow_exception(m_loading->failed);
    try {
        if (!m_loading->taken) {
            // The thread stops where it is and the rest is read here. What it
            // read is taken only when it has ended: it runs at the lowest
            // priority, and on a busy machine waiting for it to notice the
            // stop held the window up for most of a second. Then the list is
            // read here from its start.
            m_loading->stop = true;
            if (m_loading->result.wait_for(std::chrono::seconds(0)) == std::future_status::ready)
                m_loading->taken = m_loading->result.get();
            else
                m_loading->taken = std::make_unique<Order>();
        }
        Order& keys = *m_loading->taken;
        const std::string column = quoteIdentifier(m_orders[0].column);
        int appended = 0;
        if (keys.size() == 0) {
            appended = appendKeys(m_db, column, nullptr, keys, rows);
        } else {
            const std::string last(keys.at(keys.size() - 1).key);
            appended = appendKeys(m_db, column, &last, keys, rows);
        }
        if (rows >= 0 && appended == rows)
            return false; // there may be more
    } catch (...) {
        // The count and the first rows stay as the open read them, so that a
        // grid can still paint; whatever needs the rest fails the same way
        // each time, without reading the file again.
        m_loading->failed = std::current_exception();
        throw;
    }
    const int counted = m_loading->count.load();
    std::unique_ptr<Order> loaded = std::move(m_loading->taken);
    m_loaded = std::move(m_loading);
    // Nothing is written before the list is taken, so it holds what the
    // count and the first rows were read from, unless another program
    // changed the file meanwhile: then the rows counted so far are stale.
    if (counted >= 0 && loaded->size() != counted)
        ++m_version;
    m_orders[0].loaded = std::move(loaded);
    return true;
}

bool Table::readKeyListStep(int rows)
{
    return onTable(Operation::Read, m_def.fileName, [&] { return readKeyListHere(rows); });
}

bool Table::keyListPending() const
{
    return m_loading && !m_loading->failed;
}

std::pair<int, int> Table::keyListProgress() const
{
    if (!m_loading)
        return {0, 0};
    return {m_loading->taken ? m_loading->taken->size() : 0, m_loading->count.load()};
}

int Table::rowCount(int id)
{
    if (m_loading)
        return onTable(Operation::Read, m_def.fileName, [&] { return loadingCount(); });
    return order(id).size();
}

int Table::rowCountSoFar(int id)
{
    if (m_loading) {
        const int known = m_loading->count.load();
        return known >= 0 ? known : m_loading->head.size();
    }
    return rowCount(id);
}

bool Table::countPending() const
{
    // A thread that ended without a count (a damaged index) leaves the
    // rows read at open until something needs the count and says why not.
    if (!m_loading || m_loading->failed || m_loading->count.load() >= 0)
        return false;
    if (m_loading->taken)
        return true; // counted when the read here ends
    return m_loading->result.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

Order::Entry Table::entryAt(int id, int row)
{
    if (id == 0 && m_loading && row < m_loading->head.size())
        return m_loading->head.at(row);
    return order(id).at(row);
}

const Order& Table::order(int id)
{
    return onTable(Operation::Read, m_def.fileName, [&]() -> const Order& {
        if (id == 0)
            finishLoadingOrder();
        OrderInfo& info = m_orders[static_cast<std::size_t>(id)];
        if (!info.loaded) {
            auto loaded = std::make_unique<Order>();
            const std::string column = quoteIdentifier(info.column);
            // The primary order walks the clustered table itself; the secondary
            // one is a covering scan of its index, which holds (key, id).
            Statement scan(m_db, keyListSql(column, id != 0));
            while (scan.step())
                loaded->append(scan.blob(0), scan.integer(1));
            info.loaded = std::move(loaded);
        }
        return *info.loaded;
    });
}

std::string Table::keyOf(int order, const Values& values) const
{
    const int field = m_orders[static_cast<std::size_t>(order)].field;
    return sortKey(m_def.fields[static_cast<std::size_t>(field)].kind, values[static_cast<std::size_t>(field)]);
}

void Table::cacheRecord(std::int64_t rowId, Record record)
{
    if (m_cache.size() >= kCacheLimit)
        m_cache.clear();
    m_cache.insert_or_assign(rowId, std::move(record));
}

const Record& Table::readPoint(Statement& statement)
{
    if (!statement.step()) {
        statement.reset();
        failTable(StoreError::Kind::Io, Operation::Read, m_def.fileName,
                  "záznam, který program zná, už v souboru není (soubor změnil jiný program?)");
    }
    Record record;
    readRecord(statement, record);
    statement.reset();
    const std::int64_t id = record.id;
    cacheRecord(id, std::move(record));
    return m_cache.find(id)->second;
}

const Record& Table::record(std::int64_t rowId)
{
    return onTable(Operation::Read, m_def.fileName, [&]() -> const Record& {
        if (const auto it = m_cache.find(rowId); it != m_cache.end())
            return it->second;
        m_selectById.reset();
        m_selectById.bind(1, rowId);
        return readPoint(m_selectById);
    });
}

const Record* Table::windowRecord(int orderId, int row, std::int64_t rowId)
{
    for (int i : {m_lastWindow, 1 - m_lastWindow}) {
        const Window& window = m_windows[i];
        if (orderId != window.order || row < window.first || row >= window.first + window.count)
            continue;
        const Record& record = window.records[static_cast<std::size_t>(row - window.first)];
        if (record.id != rowId)
            return nullptr;
        m_lastWindow = i;
        return &record;
    }
    return nullptr;
}

void Table::dropWindow()
{
    for (Window& window : m_windows) {
        window.order = -1;
        window.count = 0;
    }
}

const Record& Table::recordAt(int orderId, int row)
{
    return onTable(Operation::Read, m_def.fileName, [&]() -> const Record& {
        const Order::Entry entry = entryAt(orderId, row);
        const bool sequential = orderId == m_lastOrder && (row == m_lastRow + 1 || row == m_lastRow - 1);
        const bool forward = row == m_lastRow + 1;
        m_lastOrder = orderId;
        m_lastRow = row;
        if (const Record* record = windowRecord(orderId, row, entry.rowId))
            return *record;
        if (const auto it = m_cache.find(entry.rowId); it != m_cache.end())
            return it->second;
        // A walk reads ahead in index order in one statement; a grid jumping to
        // any row reads just that record.
        if (sequential) {
            fillWindow(orderId, row, forward);
            if (const Record* record = windowRecord(orderId, row, entry.rowId))
                return *record;
        }
        if (orderId == 0) {
            m_selectByKey.reset();
            m_selectByKey.bindBlob(1, entry.key);
            return readPoint(m_selectByKey);
        }
        return record(entry.rowId);
    });
}

void Table::fillWindow(int orderId, int row, bool forward)
{
    const Order::Entry entry = entryAt(orderId, row);
    Statement& statement = forward ? m_rangeForward[static_cast<std::size_t>(orderId)]
                                   : m_rangeBackward[static_cast<std::size_t>(orderId)];
    // While the key list is read, only the rows read at open are known.
    const int known = orderId == 0 && m_loading ? m_loading->head.size() : rowCount(orderId);
    const int count = forward ? std::min(kReadAhead, known - row) : std::min(kReadAhead, row + 1);
    m_lastWindow = 1 - m_lastWindow;
    Window& window = m_windows[m_lastWindow];
    if (window.records.size() < static_cast<std::size_t>(count))
        window.records.resize(static_cast<std::size_t>(count));
    window.order = -1;
    window.count = 0;
    statement.reset();
    statement.bindBlob(1, entry.key);
    statement.bind(2, entry.rowId);
    statement.bind(3, static_cast<std::int64_t>(count));
    int read = 0;
    try {
        // Backwards the rows come last first; they are put in row order below.
        while (read < count && statement.step()) {
            Record& record = window.records[static_cast<std::size_t>(read)];
            // The keys of these rows are in the in-memory order already.
            readRecord(statement, record, false);
            const int recordRow = forward ? row + read : row - read;
            // The file and the order agree; should they not, keep what does.
            if (entryAt(orderId, recordRow).rowId != record.id)
                break;
            ++read;
        }
    } catch (...) {
        statement.reset();
        throw;
    }
    statement.reset();
    if (!forward)
        std::reverse(window.records.begin(), window.records.begin() + read);
    window.order = orderId;
    window.first = forward ? row : row - read + 1;
    window.count = read;
}

void Table::checkKeyFree(const Record& record, const Record* old)
{
    if (!isKeyed())
        return;
    const FieldKind kind = m_def.fields[static_cast<std::size_t>(m_orders[0].field)].kind;
    // Other keys (dates) are equal only when their stored keys are, which
    // the file's unique key checks on its own.
    if (kind != FieldKind::Text && kind != FieldKind::Memo && kind != FieldKind::FormattedMemo)
        return;
    // A text key is the same key whatever its case ("Novák" is "NOVÁK"),
    // while the stored key keeps the case to order by it last. A record
    // whose key stays the same at that level is not checked: a file from
    // before holding "Novák" and "NOVÁK" still lets both be edited.
    const std::string& key = record.keys[0];
    if (old && compareSecondary(old->keys[0], key) == 0)
        return;
    const Order& o = order(0);
    const int row = o.partitionPoint([&](std::string_view k, std::int64_t) { return compareSecondary(k, key) < 0; });
    if (row < o.size() && compareSecondary(o.at(row).key, key) == 0)
        throw StoreError(StoreError::Kind::KeyViolation, kKeyViolationMessage, m_def.fileName,
                         "the key equals that of record " + std::to_string(o.at(row).rowId) + " but for case");
}

Record Table::makeRecord(const Values& values, const std::string& position) const
{
    Record record;
    record.values = values;
    for (std::size_t i = 0; i < m_orders.size(); ++i)
        record.keys.push_back(m_orders[i].field < 0 ? position : keyOf(static_cast<int>(i), values));
    return record;
}

void Table::bindValues(Statement& statement, const Record& record)
{
    int n = 0;
    for (std::size_t i = 0; i < m_def.fields.size(); ++i) {
        ++n;
        const auto& value = record.values[i];
        if (value && m_def.fields[i].kind == FieldKind::Integer)
            statement.bind(n, static_cast<std::int64_t>(std::stoll(*value)));
        else
            statement.bind(n, value);
    }
    for (const std::string& key : record.keys)
        statement.bindBlob(++n, key);
}

void Table::begin()
{
    // Counted from before the lock is asked for: a check in the background
    // gives way at once. Every begin ends in commit() or rollback().
    // A save changes the table under the key list being read.
    if (m_loading)
        order(0);
    // A reading thread told to stop may still hold its read lock, which
    // would make the commit wait and fail.
    if (m_loaded && m_loaded->result.valid())
        m_loaded->result.wait();
    if (!m_writing) {
        m_writing = true;
        ++savesRunning();
    }
    m_begin.reset();
    m_begin.step();
}

void Table::commit()
{
    m_commit.reset();
    m_commit.step();
    endWriting();
}

void Table::rollback()
{
    if (!sqlite3_get_autocommit(m_db)) {
        m_rollback.reset();
        try {
            m_rollback.step();
        } catch (const StoreError&) {
        }
    }
    endWriting();
}

void Table::endWriting()
{
    if (m_writing) {
        m_writing = false;
        --savesRunning();
    }
}

std::int64_t Table::insert(const Values& values, const std::string& position)
{
    return onTable(Operation::Save, m_def.fileName, [&]() -> std::int64_t {
        Record record = makeRecord(values, position);
        checkKeyFree(record, nullptr);
        std::int64_t rowId = 0;
        try {
            begin();
            m_nextId.reset();
            m_nextId.step();
            rowId = m_nextId.integer(0);
            m_nextId.reset();
            m_insert.reset();
            bindValues(m_insert, record);
            m_insert.bind(static_cast<int>(m_def.fields.size() + m_orders.size() + 1), rowId);
            m_insert.step();
            m_insert.reset();
            commit();
        } catch (...) {
            m_insert.reset();
            rollback();
            throw;
        }
        record.id = rowId;
        dropWindow();
        for (std::size_t i = 0; i < m_orders.size(); ++i) {
            if (m_orders[i].loaded)
                m_orders[i].loaded->insert(record.keys[i], rowId);
        }
        cacheRecord(rowId, std::move(record));
        ++m_version;
        return rowId;
    });
}

void Table::update(std::int64_t rowId, const Values& values)
{
    onTable(Operation::Save, m_def.fileName, [&] {
        const Record old = record(rowId);
        Record updated = makeRecord(values, old.keys[0]);
        updated.id = rowId;
        checkKeyFree(updated, &old);
        dropWindow();
        try {
            begin();
            m_update.reset();
            bindValues(m_update, updated);
            m_update.bindBlob(static_cast<int>(m_def.fields.size() + m_orders.size() + 1), old.keys[0]);
            m_update.step();
            m_update.reset();
            if (sqlite3_changes(m_db) != 1)
                failTable(StoreError::Kind::Io, Operation::Save, m_def.fileName,
                          "záznam, který program zná, už v souboru není (soubor změnil jiný program?)");
            commit();
        } catch (...) {
            m_update.reset();
            rollback();
            throw;
        }
        for (std::size_t i = 0; i < m_orders.size(); ++i) {
            if (m_orders[i].loaded && old.keys[i] != updated.keys[i]) {
                m_orders[i].loaded->erase(old.keys[i], rowId);
                m_orders[i].loaded->insert(updated.keys[i], rowId);
            }
        }
        cacheRecord(rowId, std::move(updated));
        ++m_version;
    });
}

void Table::remove(std::int64_t rowId)
{
    onTable(Operation::Delete, m_def.fileName, [&] {
        const Record old = record(rowId);
        dropWindow();
        try {
            begin();
            m_delete.reset();
            m_delete.bindBlob(1, old.keys[0]);
            m_delete.step();
            m_delete.reset();
            commit();
        } catch (...) {
            m_delete.reset();
            rollback();
            throw;
        }
        for (std::size_t i = 0; i < m_orders.size(); ++i) {
            if (m_orders[i].loaded)
                m_orders[i].loaded->erase(old.keys[i], rowId);
        }
        m_cache.erase(rowId);
        ++m_version;
    });
}

void Table::writeBatch(const std::vector<Write>& writes, std::size_t* failedAt)
{
    stageBatch(writes, failedAt);
    try {
        commitStaged();
    } catch (...) {
        abandonStaged();
        throw;
    }
}

void Table::stageBatch(const std::vector<Write>& writes, std::size_t* failedAt)
{
    std::size_t at = 0;
    try {
    onTable(Operation::Save, m_def.fileName, [&] {
        Staged staged;
        staged.written.resize(writes.size());
        staged.oldKeys.resize(writes.size());
        staged.replaces.resize(writes.size());
        // A table without a key takes its new records after the last one, in the order given.
        std::string position;
        if (!isKeyed()) {
            const Order& storage = order(0);
            if (storage.size() > 0)
                position = std::string(storage.at(storage.size() - 1).key);
        }
        // Every key must be free among the stored records and among the batch
        // itself, whatever its case, before anything is written.
        std::vector<std::size_t> newKeys;
        for (at = 0; at < writes.size(); ++at) {
            staged.replaces[at] = writes[at].rowId != 0;
            if (writes[at].rowId != 0) {
                const Record& old = record(writes[at].rowId);
                staged.oldKeys[at] = old.keys;
                staged.written[at] = makeRecord(writes[at].values, old.keys[0]);
                staged.written[at].id = writes[at].rowId;
                checkKeyFree(staged.written[at], &old);
                if (isKeyed() && compareSecondary(old.keys[0], staged.written[at].keys[0]) != 0)
                    newKeys.push_back(at);
            } else {
                if (!isKeyed())
                    position = positionAfter(position);
                staged.written[at] = makeRecord(writes[at].values, isKeyed() ? std::string() : position);
                checkKeyFree(staged.written[at], nullptr);
                if (isKeyed())
                    newKeys.push_back(at);
            }
        }
        std::stable_sort(newKeys.begin(), newKeys.end(), [&](std::size_t a, std::size_t b) {
            return compareSecondary(staged.written[a].keys[0], staged.written[b].keys[0]) < 0;
        });
        for (std::size_t k = 1; k < newKeys.size(); ++k) {
            if (compareSecondary(staged.written[newKeys[k - 1]].keys[0], staged.written[newKeys[k]].keys[0]) == 0) {
                at = std::max(newKeys[k - 1], newKeys[k]);
                throw StoreError(StoreError::Kind::KeyViolation, kKeyViolationMessage, m_def.fileName,
                                 "two records of the batch have the same key");
            }
        }
        dropWindow();
        try {
            begin();
            m_nextId.reset();
            m_nextId.step();
            std::int64_t nextId = m_nextId.integer(0);
            m_nextId.reset();
            for (at = 0; at < writes.size(); ++at) {
                Record& written = staged.written[at];
                if (!staged.replaces[at]) {
                    written.id = nextId++;
                    m_insert.reset();
                    bindValues(m_insert, written);
                    m_insert.bind(static_cast<int>(m_def.fields.size() + m_orders.size() + 1), written.id);
                    m_insert.step();
                    m_insert.reset();
                } else {
                    m_update.reset();
                    bindValues(m_update, written);
                    m_update.bindBlob(static_cast<int>(m_def.fields.size() + m_orders.size() + 1),
                                      staged.oldKeys[at][0]);
                    m_update.step();
                    m_update.reset();
                    if (sqlite3_changes(m_db) != 1)
                        failTable(StoreError::Kind::Io, Operation::Save, m_def.fileName,
                                  "záznam, který program zná, už v souboru není (soubor změnil jiný program?)");
                }
            }
        } catch (...) {
            m_insert.reset();
            m_update.reset();
            m_nextId.reset();
            rollback();
            throw;
        }
        m_staged = std::make_unique<Staged>(std::move(staged));
    });
    } catch (...) {
        if (failedAt)
            *failedAt = at;
        throw;
    }
}

void Table::commitStaged()
{
    if (!m_staged)
        return;
    onTable(Operation::Save, m_def.fileName, [&] { commit(); });
    const std::unique_ptr<Staged> staged = std::move(m_staged);
    // A large batch reloads the orders from the file when they are next
    // needed; a small one mends them in place.
    constexpr std::size_t kMendLimit = 512;
    for (std::size_t i = 0; i < m_orders.size(); ++i) {
        std::unique_ptr<Order>& loaded = m_orders[i].loaded;
        if (!loaded)
            continue;
        if (staged->written.size() > kMendLimit) {
            loaded.reset();
            continue;
        }
        for (std::size_t w = 0; w < staged->written.size(); ++w) {
            if (staged->replaces[w])
                loaded->erase(staged->oldKeys[w][i], staged->written[w].id);
            loaded->insert(staged->written[w].keys[i], staged->written[w].id);
        }
    }
    m_cache.clear();
    ++m_version;
}

void Table::abandonStaged()
{
    if (!m_staged)
        return;
    m_staged.reset();
    rollback();
}

void Table::removeAll()
{
    onTable(Operation::Empty, m_def.fileName, [&] {
        try {
            begin();
            exec(m_db, "DELETE FROM records");
            commit();
        } catch (...) {
            rollback();
            throw;
        }
        for (OrderInfo& info : m_orders) {
            if (info.loaded)
                info.loaded->clear();
        }
        m_cache.clear();
        dropWindow();
        ++m_version;
    });
}

void Table::rebuildKeysIfCollatorChanged()
{
    onTable(Operation::Sort, m_def.fileName, [&] {
        const std::string current = sortKeyCollatorVersion();
        if (m_meta["collator"] == current)
            return;
        if (sqlite3_db_readonly(m_db, "main") == 1)
            failTable(StoreError::Kind::ReadOnly, Operation::Sort, m_def.fileName,
                      "řazení textu se od jejího uložení změnilo a soubor je jen pro čtení");
        // Text keys sort by the collator's rules; a new ICU may order them
        // differently, so every text key is computed again.
        try {
            begin();
            for (std::size_t i = 0; i < m_orders.size(); ++i) {
                const int field = m_orders[i].field;
                if (field < 0)
                    continue;
                const FieldDef& def = m_def.fields[static_cast<std::size_t>(field)];
                const std::string column = quoteIdentifier(m_orders[i].column);
                // The keys are read first: rewriting the primary key moves the
                // record inside the clustered table, under a running scan.
                std::vector<std::pair<std::int64_t, std::optional<std::string>>> values;
                {
                    Statement read(m_db, "SELECT _id, " + quoteIdentifier(def.name) + " FROM records");
                    while (read.step()) {
                        std::optional<std::string> value;
                        if (!read.isNull(1))
                            value = std::string(read.text(1));
                        values.emplace_back(read.integer(0), std::move(value));
                    }
                }
                // A new key may equal another record's old one, so the unique
                // keys first step aside to values no sort key takes (a zero byte
                // leads none of them).
                if (i == 0)
                    exec(m_db, ("UPDATE records SET " + column + " = CAST(X'00' || _id AS BLOB)").c_str());
                Statement write(m_db, "UPDATE records SET " + column + " = ?1 WHERE _id = ?2");
                for (const auto& [id, value] : values) {
                    write.reset();
                    write.bindBlob(1, sortKey(def.kind, value));
                    write.bind(2, id);
                    write.step();
                }
            }
            Statement meta(m_db, "INSERT OR REPLACE INTO _meta (key, value) VALUES ('collator', ?1)");
            meta.bind(1, std::string_view(current));
            meta.step();
            commit();
        } catch (...) {
            rollback();
            throw;
        }
        m_meta["collator"] = current;
    });
}

void Table::attach(Cursor* cursor)
{
    m_cursors.push_back(cursor);
}

void Table::detach(Cursor* cursor)
{
    std::erase(m_cursors, cursor);
}

void Table::notifyOthers(Cursor* source)
{
    const std::vector<Cursor*> cursors = m_cursors;
    for (Cursor* cursor : cursors) {
        if (cursor != source)
            cursor->tableChanged();
    }
}

void Table::create(const fs::path& file, const TableDef& def, const std::string& password)
{
    std::error_code error;
    if (fs::exists(file, error))
        throw StoreError(StoreError::Kind::Io, "Table " + file.filename().string() + " already exists");
    if (def.fields.empty())
        throw StoreError(StoreError::Kind::Io, "Table " + def.fileName + " has no fields");
    const auto hasField = [&](const std::string& name) {
        return std::any_of(def.fields.begin(), def.fields.end(),
                           [&](const FieldDef& f) { return sameName(f.name, name); });
    };
    if ((def.primaryKey && !hasField(*def.primaryKey)) || (def.secondaryIndex && !hasField(*def.secondaryIndex)))
        throw StoreError(StoreError::Kind::Io, "Table " + def.fileName + ": key field is not a field");

    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    try {
        if (rc != SQLITE_OK)
            throwSqlite(db, rc, "creating " + file.string());
        exec(db, "PRAGMA journal_mode=DELETE");
        exec(db, "PRAGMA synchronous=FULL");
        exec(db, "BEGIN");
        exec(db, kMetaTableSql);
        std::string fieldLines;
        for (const FieldDef& field : def.fields)
            fieldLines += field.name + "\t" + kindName(field.kind) + "\t" + std::to_string(field.width) + "\t"
                          + defaultName(field.defaultValue) + "\n";
        exec(db, recordsTableSql(def).c_str());
        exec(db, kIdIndexSql);
        if (def.secondaryIndex)
            exec(db, kSecondaryIndexSql);

        std::string files;
        for (const std::string& name : def.catalogueFiles)
            files += (files.empty() ? "" : "\n") + name;
        std::vector<std::pair<std::string, std::string>> meta = {
            {"format", kFormat},
            {"table", file.filename().string()},
            {"fields", fieldLines.substr(0, fieldLines.size() - 1)},
            {"primary_key", def.primaryKey.value_or("")},
            {"secondary_index", def.secondaryIndex.value_or("")},
            {"protected", def.isProtected ? "1" : "0"},
            {"catalogue_files", files},
            {"collator", sortKeyCollatorVersion()},
        };
        if (def.isProtected) {
            std::random_device random;
            char salt[17];
            std::snprintf(salt, sizeof salt, "%08x%08x", random(), random());
            meta.emplace_back("password_check", std::string(salt) + ":" + passwordHash(salt, password));
        }
        Statement insert(db, "INSERT INTO _meta (key, value) VALUES (?1, ?2)");
        for (const auto& [key, value] : meta) {
            insert.reset();
            insert.bind(1, std::string_view(key));
            insert.bind(2, std::string_view(value));
            insert.step();
        }
        insert = {};
        exec(db, "COMMIT");
    } catch (...) {
        sqlite3_close_v2(db);
        fs::remove(file, error);
        throw;
    }
    sqlite3_close_v2(db);
}

} // namespace store
