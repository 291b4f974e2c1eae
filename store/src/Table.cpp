#include "Table.h"

#include "store/Cursor.h"
#include "store/CzechText.h"
#include "store/Errors.h"

#include <algorithm>
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

} // namespace

void Table::fail(StoreError::Kind kind, const std::string& what) const
{
    throw StoreError(kind, "Table " + m_file.filename().string() + ": " + what);
}

Table::Table(const fs::path& file, const std::set<std::string>& passwords) : m_file(file)
{
    m_def.fileName = file.filename().string();
    // A cheap check before SQLite sees the file: SQLite takes an empty file
    // for an empty database, and the program must never treat it as one.
    {
        std::ifstream in(file, std::ios::binary);
        if (!in)
            fail(StoreError::Kind::Io, "cannot be read");
        char header[16] = {};
        in.read(header, sizeof header);
        if (in.gcount() < static_cast<std::streamsize>(sizeof header)
            || std::string_view(header, sizeof header) != std::string_view("SQLite format 3\0", 16))
            fail(StoreError::Kind::Damaged, "is not a table file or is damaged");
    }
    const int rc = sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    try {
        if (rc != SQLITE_OK)
            throwSqlite(m_db, rc, "open");
        sqlite3_extended_result_codes(m_db, 1);
        sqlite3_busy_timeout(m_db, 2000);
        readDefinition();
        checkColumns();
        checkPassword(passwords);
        // Settings that only apply to this connection: nothing is written here.
        exec(m_db, "PRAGMA synchronous=FULL");
        exec(m_db, "PRAGMA cache_size=-8192");
        exec(m_db, "PRAGMA journal_mode=DELETE");
        prepare();
        rebuildKeysIfCollatorChanged();
        order(0); // reads the whole primary index: a damaged index shows here
    } catch (const StoreError& error) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        const std::string what = error.what();
        if (what.rfind("Table ", 0) == 0)
            throw;
        fail(error.kind(), what);
    }
}

Table::~Table()
{
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
            const std::string message = sqlite3_errmsg(m_db);
            sqlite3_finalize(raw);
            if (code == SQLITE_ERROR)
                fail(StoreError::Kind::Damaged, "is not a table of this program (" + message + ")");
            throwSqlite(m_db, rc, "reading the definition");
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
        fail(StoreError::Kind::Damaged,
             "is stored in the layout of an earlier version of the program, which this version does not read; "
             "build the data directory again");
    if (m_meta["format"] != kFormat)
        fail(StoreError::Kind::Damaged, "has no table definition of a known format");
    for (const std::string& line : split(m_meta["fields"], '\n')) {
        const std::vector<std::string> parts = split(line, '\t');
        if (parts.size() != 4)
            fail(StoreError::Kind::Damaged, "has a damaged field definition");
        FieldDef field;
        field.name = parts[0];
        const auto kind = kindFromName(parts[1]);
        if (!kind)
            fail(StoreError::Kind::Damaged, "has a field of unknown kind");
        field.kind = *kind;
        field.width = std::atoi(parts[2].c_str());
        field.defaultValue = parts[3] == "today" ? FieldDefault::Today
                             : parts[3] == "now" ? FieldDefault::Now
                                                 : FieldDefault::None;
        m_def.fields.push_back(field);
    }
    if (m_def.fields.empty())
        fail(StoreError::Kind::Damaged, "has no fields");
    if (!m_meta["primary_key"].empty())
        m_def.primaryKey = m_meta["primary_key"];
    if (!m_meta["secondary_index"].empty())
        m_def.secondaryIndex = m_meta["secondary_index"];
    m_def.isProtected = m_meta["protected"] == "1";
    m_def.catalogueFiles = split(m_meta["catalogue_files"], '\n');

    const int primaryField = m_def.primaryKey ? fieldIndex(*m_def.primaryKey) : -1;
    if (m_def.primaryKey && primaryField < 0)
        fail(StoreError::Kind::Damaged, "names a key field it does not have");
    m_orders.push_back({primaryField, primaryColumn(isKeyed()), nullptr});
    if (m_def.secondaryIndex) {
        const int field = fieldIndex(*m_def.secondaryIndex);
        if (field < 0)
            fail(StoreError::Kind::Damaged, "names an index field it does not have");
        m_orders.push_back({field, "_k_secondary", nullptr});
    }
}

void Table::checkColumns()
{
    std::vector<std::string> expected;
    for (const FieldDef& field : m_def.fields)
        expected.push_back(field.name);
    for (const OrderInfo& info : m_orders)
        expected.push_back(info.column);
    expected.emplace_back("_id");
    std::vector<std::string> found;
    Statement info(m_db, "PRAGMA table_info(records)");
    while (info.step())
        found.emplace_back(info.text(1));
    if (found != expected)
        fail(StoreError::Kind::Damaged, "has records that do not match its definition");
    Statement indexes(m_db, "SELECT count(*) FROM sqlite_master WHERE type='index' AND tbl_name='records' "
                            "AND name IN ('_i_id', '_i_secondary')");
    indexes.step();
    // The id index, and one for the secondary order when there is one.
    if (indexes.integer(0) != static_cast<std::int64_t>(m_orders.size()))
        fail(StoreError::Kind::Damaged, "has lost an index");
}

void Table::checkPassword(const std::set<std::string>& passwords)
{
    if (!m_def.isProtected)
        return;
    const std::vector<std::string> check = split(m_meta["password_check"], ':');
    if (check.size() != 2)
        fail(StoreError::Kind::Damaged, "has a damaged password check");
    for (const std::string& password : passwords) {
        if (passwordHash(check[0], password) == check[1])
            return;
    }
    fail(StoreError::Kind::Password, "is protected and the password was not given");
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

const Order& Table::order(int id)
{
    OrderInfo& info = m_orders[static_cast<std::size_t>(id)];
    if (!info.loaded) {
        auto loaded = std::make_unique<Order>();
        const std::string column = quoteIdentifier(info.column);
        // The primary order walks the clustered table itself; the secondary
        // one is a covering scan of its index, which holds (key, id).
        Statement scan(m_db, "SELECT " + column + ", _id FROM records ORDER BY " + column
                                 + (id == 0 ? "" : ", _id"));
        while (scan.step())
            loaded->append(scan.blob(0), scan.integer(1));
        info.loaded = std::move(loaded);
    }
    return *info.loaded;
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
        fail(StoreError::Kind::Io, "a record has gone from the file");
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
    if (const auto it = m_cache.find(rowId); it != m_cache.end())
        return it->second;
    m_selectById.reset();
    m_selectById.bind(1, rowId);
    return readPoint(m_selectById);
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
    const Order::Entry entry = order(orderId).at(row);
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
}

void Table::fillWindow(int orderId, int row, bool forward)
{
    const Order& o = order(orderId);
    const Order::Entry entry = o.at(row);
    Statement& statement = forward ? m_rangeForward[static_cast<std::size_t>(orderId)]
                                   : m_rangeBackward[static_cast<std::size_t>(orderId)];
    const int count = forward ? std::min(kReadAhead, o.size() - row) : std::min(kReadAhead, row + 1);
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
            if (o.at(recordRow).rowId != record.id)
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
    m_begin.reset();
    m_begin.step();
}

void Table::commit()
{
    m_commit.reset();
    m_commit.step();
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
}

std::int64_t Table::insert(const Values& values, const std::string& position)
{
    Record record = makeRecord(values, position);
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
}

void Table::update(std::int64_t rowId, const Values& values)
{
    const Record old = record(rowId);
    Record updated = makeRecord(values, old.keys[0]);
    updated.id = rowId;
    dropWindow();
    try {
        begin();
        m_update.reset();
        bindValues(m_update, updated);
        m_update.bindBlob(static_cast<int>(m_def.fields.size() + m_orders.size() + 1), old.keys[0]);
        m_update.step();
        m_update.reset();
        if (sqlite3_changes(m_db) != 1)
            fail(StoreError::Kind::Io, "the record was deleted meanwhile");
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
}

void Table::remove(std::int64_t rowId)
{
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
}

void Table::removeAll()
{
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
}

void Table::rebuildKeysIfCollatorChanged()
{
    const std::string current = sortKeyCollatorVersion();
    if (m_meta["collator"] == current)
        return;
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
        exec(db, "CREATE TABLE _meta (key TEXT PRIMARY KEY, value TEXT)");
        std::string columns;
        std::string fieldLines;
        for (const FieldDef& field : def.fields) {
            const char* type = field.kind == FieldKind::Integer ? "INTEGER" : "TEXT";
            columns += quoteIdentifier(field.name) + " " + type + ", ";
            fieldLines += field.name + "\t" + kindName(field.kind) + "\t" + std::to_string(field.width) + "\t"
                          + defaultName(field.defaultValue) + "\n";
        }
        // The records are clustered on the primary sort key, so reading in
        // key order reads the file's pages in turn. `_id` names a record for
        // the cursors whatever its keys become. Keys compare as plain BINARY
        // blobs: any sqlite3 can check the file.
        columns += quoteIdentifier(primaryColumn(def.primaryKey.has_value())) + " BLOB NOT NULL PRIMARY KEY";
        if (def.secondaryIndex)
            columns += ", \"_k_secondary\" BLOB NOT NULL";
        columns += ", _id INTEGER NOT NULL";
        exec(db, ("CREATE TABLE records (" + columns + ") WITHOUT ROWID").c_str());
        exec(db, "CREATE UNIQUE INDEX _i_id ON records (_id)");
        if (def.secondaryIndex)
            exec(db, "CREATE INDEX _i_secondary ON records (\"_k_secondary\", _id)");

        std::string files;
        for (const std::string& name : def.catalogueFiles)
            files += (files.empty() ? "" : "\n") + name;
        std::vector<std::pair<std::string, std::string>> meta = {
            {"format", kFormat},
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
