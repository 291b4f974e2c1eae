#pragma once

#include "FieldCodec.h"
#include "Order.h"
#include "Sqlite.h"

#include "store/TableDef.h"

#include <atomic>
#include <exception>
#include <cstdint>
#include <filesystem>
#include <future>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace store {

class Cursor;

// A stored record: its id, field values and its sort key in each order.
struct Record {
    std::int64_t id = 0;
    Values values;
    std::vector<std::string> keys;
};

// One open table file, shared by every cursor on it inside a Database. It owns
// the SQLite connection, the in-memory orders and a small record cache; every
// write is one committed transaction.
class Table {
public:
    // Opens and checks the file; throws StoreError (Damaged, Foreign, Password,
    // ReadOnly, Locked, Io) naming the table. `expected`, when given, is the
    // program's definition of the table, which the file's own must match.
    // A read or write waits up to `busyTimeoutMs` for another program to
    // let go of the file. A file of at least `backgroundOrderPages` pages
    // reads its reading order's key list on a thread of its own: the open
    // reads only the record count and the first rows, and whatever needs
    // more of the list waits for it.
    Table(const std::filesystem::path& file, const std::set<std::string>& passwords,
          const TableDef* expected = nullptr, int busyTimeoutMs = 2000, std::int64_t backgroundOrderPages = kNever);
    static constexpr std::int64_t kNever = INT64_MAX;
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    static void create(const std::filesystem::path& file, const TableDef& def, const std::string& password);

    const std::string& fileName() const { return m_def.fileName; }
    const std::filesystem::path& file() const { return m_file; }
    // What the user should know about the table although it opened (empty: nothing).
    const std::string& notice() const { return m_notice; }
    const TableDef& def() const { return m_def; }
    const std::vector<FieldDef>& fields() const { return m_def.fields; }
    int fieldIndex(std::string_view name) const; // -1 when there is none
    bool isKeyed() const { return m_def.primaryKey.has_value(); }

    // Order 0 is the reading order (primary key, or storage order of a table
    // without one); order 1 the secondary index when the table has one.
    int orderCount() const { return static_cast<int>(m_orders.size()); }
    int orderField(int order) const { return m_orders[static_cast<std::size_t>(order)].field; }
    // The order on that field, -1 when the field has no index.
    int orderOnField(int field) const;
    const Order& order(int order);
    // The size of an order and an entry of it, without waiting for a key
    // list still being read when that much is known already. While the
    // thread has not counted the rows yet, rowCount() counts them here.
    int rowCount(int order);
    Order::Entry entryAt(int order, int row);
    int recordCount() { return rowCount(0); }
    // What is known of an order's size without any reading: its size, or
    // while a big table's rows are still being counted, the rows read at open.
    // (Every order of a table has the same size.)
    int rowCountSoFar(int order);
    // True while rowCountSoFar() may still be short of the true size.
    bool countPending() const;
    // True while the reading order's key list is still being read (or
    // could not be read: then the count and first rows stay those of the open).
    bool loadingOrder() const { return m_loading != nullptr; }
    // True while the key list is still being read and has not failed.
    bool keyListPending() const;
    // Reads up to `rows` more of a key list still being read, on this
    // thread (the reading thread stops where it is): a step at a time, the
    // window stays responsive. True once the list is whole; a failure
    // throws as any read does.
    bool readKeyListStep(int rows);
    // Keys read so far on this thread, and the row count (-1 until counted).
    std::pair<int, int> keyListProgress() const;

    // Sort key of a value of the field ordering `order` (not for storage order).
    std::string keyOf(int order, const Values& values) const;

    const Record& record(std::int64_t rowId);
    const Record& recordAt(int order, int row);

    // Writes; each is one transaction committed before returning. A duplicate
    // primary key throws StoreError KeyViolation and changes nothing.
    std::int64_t insert(const Values& values, const std::string& position);
    void update(std::int64_t rowId, const Values& values);
    void remove(std::int64_t rowId);
    void removeAll();
    // Several adds and changes in one transaction: all are stored or none.
    // A write with row id 0 adds a record, any other replaces that record's
    // values. Only for a table with a primary key. On failure `failedAt`
    // (when given) names the write at fault.
    struct Write {
        std::int64_t rowId = 0;
        Values values;
    };
    void writeBatch(const std::vector<Write>& writes, std::size_t* failedAt);
    // The same in two steps, so that the batches of several tables are
    // stored together: stageBatch() checks and writes, leaving its
    // transaction open; commitStaged() ends it, abandonStaged() undoes it.
    // A table without a key takes the new records after its last one.
    void stageBatch(const std::vector<Write>& writes, std::size_t* failedAt);
    void commitStaged();
    void abandonStaged();

    // Changes with every write, so cursors know when their cached row is stale.
    std::uint64_t version() const { return m_version; }
    void attach(Cursor* cursor);
    void detach(Cursor* cursor);
    bool hasCursors() const { return !m_cursors.empty(); }
    // Tells every other cursor that rows changed.
    void notifyOthers(Cursor* source);
    sqlite3* connection() const { return m_db; }

    // Statement text: the id, the field columns and the order key columns.
    std::string selectColumns(bool withKeys = true) const;
    // Fills `record` from a row read with selectColumns(withKeys), reusing its
    // strings; without keys, record.keys is left empty.
    void readRecord(const Statement& statement, Record& record, bool withKeys = true) const;

private:
    struct OrderInfo {
        int field; // -1: storage order
        std::string column;
        std::unique_ptr<Order> loaded;
    };

    // What the open knows of the reading order while its thread counts the
    // rows and reads their key list.
    struct LoadingOrder {
        Order head; // the first rows
        std::atomic<int> count{-1}; // -1 until counted
        // Set to end the read: the table closes, or this thread wants the
        // list now and reads the rest itself (the reading thread runs at a
        // low priority, and a busy machine may hardly run it at all).
        std::atomic<bool> stop{false};
        std::future<std::unique_ptr<Order>> result; // the keys read, perhaps not all
        std::unique_ptr<Order> taken; // those keys once taken, read on here
        std::exception_ptr failed; // what reading the list threw
    };

    void startLoadingOrder(std::int64_t backgroundOrderPages);
    // Takes the key list read on the thread and reads what it left; throws
    // what the read threw.
    void finishLoadingOrder();
    // Reads up to `rows` (-1: all) more of the key list here.
    bool readKeyListHere(int rows);
    int loadingCount();
    void readDefinition();
    void checkSchema();
    void describeColumnMismatch();
    void checkDefinition(const TableDef& expected);
    void checkPassword(const std::set<std::string>& passwords);
    void rebuildKeysIfCollatorChanged();
    void prepare();
    void begin();
    void commit();
    void rollback();
    void endWriting();
    // Throws KeyViolation when another record has this record's primary key.
    void checkKeyFree(const Record& record, const Record* old);
    Record makeRecord(const Values& values, const std::string& position) const;
    void bindValues(Statement& statement, const Record& record);
    void fillWindow(int order, int row, bool forward);
    const Record* windowRecord(int order, int row, std::int64_t rowId);
    void dropWindow();
    const Record& readPoint(Statement& statement);
    void cacheRecord(std::int64_t rowId, Record record);
    // A failure found while opening, with the user's reason (Czech, no full stop).
    [[noreturn]] void fail(StoreError::Kind kind, const std::string& reason) const;

    std::filesystem::path m_file;
    sqlite3* m_db = nullptr;
    TableDef m_def;
    std::unordered_map<std::string, std::string> m_meta;
    std::string m_notice;
    std::vector<OrderInfo> m_orders;
    std::unique_ptr<LoadingOrder> m_loading;
    // The rows of the last LoadingOrder, kept: entries handed out point into it.
    std::unique_ptr<LoadingOrder> m_loaded;
    std::vector<Cursor*> m_cursors;
    std::uint64_t m_version = 0;
    int m_busyTimeoutMs = 2000;
    // Between begin() and its commit() or rollback().
    bool m_writing = false;

    Statement m_selectById;
    Statement m_selectByKey;
    Statement m_nextId;
    Statement m_insert;
    Statement m_update;
    Statement m_delete;
    Statement m_begin;
    Statement m_commit;
    Statement m_rollback;
    std::vector<Statement> m_rangeForward;
    std::vector<Statement> m_rangeBackward;

    // Records read one by one (a grid jumping about, the current record).
    std::unordered_map<std::int64_t, Record> m_cache;
    // A batch written and not yet committed.
    struct Staged {
        std::vector<Record> written;
        std::vector<std::vector<std::string>> oldKeys;
        std::vector<bool> replaces;
    };
    std::unique_ptr<Staged> m_staged;
    // Rows read ahead by a walk: `count` records of `order` from row `first`
    // on. Their records are reused batch after batch so that a walk allocates
    // nothing per record. Two batches, so that going back and forth over a
    // stretch of rows (paging in a grid) does not read it again.
    struct Window {
        std::vector<Record> records;
        int order = -1;
        int first = 0;
        int count = 0;
    };
    Window m_windows[2];
    int m_lastWindow = 0; // the one read or filled last; the other is refilled
    int m_lastOrder = -1;
    int m_lastRow = -1;
};

} // namespace store
