#pragma once

#include "store/DataSet.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace store {

class Database;
class Table;

// An opaque remembered position.
struct Bookmark {
    std::int64_t rowId = 0;
    int row = -1; // position when taken, used when the record has gone since
    bool operator==(const Bookmark&) const = default;
};

// A window's opened table: position, state, pending record, marks and
// notifications. Several cursors may share one table; each keeps its own
// pending record until it saves it, and sees the others' saves at once.
class Cursor : public DataSet {
public:
    Cursor(Database& database, std::string tableName);
    ~Cursor() override;
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    const std::string& tableName() const { return m_tableName; }

    // Opens the table and positions on the first record. Throws StoreError.
    void open();
    // Drops a pending record, then closes.
    void close();
    void setActive(bool active) { active ? open() : close(); }

    bool isActive() const override;
    CursorState state() const override;
    const std::vector<FieldDef>& fields() const override;
    int fieldIndex(std::string_view name) const override;
    bool canModify() const override { return true; }

    void first() override;
    void last() override;
    void next() override;
    void prior() override;
    int moveBy(int count) override;
    bool bof() const override;
    bool eof() const override;
    int recordCount() const override;

    int rowCount() const override;
    int rowCountSoFar() const override;
    bool countPending() const override;
    int currentRow() const override;
    std::string rowText(int row, int field) const override;
    void moveToRow(int row) override;

    std::string text(std::string_view field) const override;
    bool isNull(std::string_view field) const override;

    // Setting fields: only in Edit, Insert or SetKey, else StoreError NotEditing.
    // Date fields take "d.m.yyyy", time fields "h:mm[:ss]", integer fields digits;
    // anything else throws StoreError with a clear message. Empty text clears the field.
    void setText(std::string_view field, const std::string& value);
    void setDateTime(std::string_view field, const DateTime& value);
    void clearField(std::string_view field);
    // Whether a field of the pending record was set since edit/insert began.
    bool modified() const;

    // Starts a new record before the current one (a table without a primary
    // key keeps it there; a keyed one puts it in key order once saved).
    void insert();
    // Starts a new record after the last one (a grid moving down past its end).
    void append();
    // Starts changing the current record; inserts on an empty table; nothing while pending.
    void edit();
    // Saves the pending record; throws StoreError KeyViolation on a duplicate key
    // and keeps the record pending. Nothing pending: nothing happens.
    void post();
    void cancel();
    // Deletes the current record (while inserting: drops the new one).
    // Empty table: StoreError EmptyDataset.
    void remove();
    // Inserts a record whose first fields take these texts and saves it at once.
    void insertRecord(const std::vector<std::string>& values);

    // One record of a batch: the texts of its fields in field order (missing
    // ones empty), and the record it replaces (a mark taken on it), if any.
    struct RecordWrite {
        std::optional<Bookmark> replaces;
        std::vector<std::string> texts;
    };
    // Adds and replaces many records in one transaction: every one or none.
    // Ends a pending record first. Each record is written at most once.
    // Throws StoreError with nothing stored,
    // and `failedAt` (when given) then names the write at fault.
    void writeRecords(const std::vector<RecordWrite>& writes, std::size_t* failedAt = nullptr);
    // The batches of several cursors (each on another table) stored together:
    // every one or none. Each is checked and written in a transaction of its
    // table, and the transactions are committed once all are written; a table
    // without a key takes its new records after its last one. On failure
    // `failedBatch` and `failedAt` (when given) name the batch and the write at fault.
    struct TableWrites {
        Cursor* cursor;
        std::vector<RecordWrite> writes;
    };
    static void writeTogether(const std::vector<TableWrites>& batches, std::size_t* failedBatch = nullptr,
                              std::size_t* failedAt = nullptr);

    // The field ordering the cursor: the primary key or the secondary index field.
    void setIndexFieldNames(const std::string& field);
    std::string indexFieldNames() const;

    // A big table's key list is read in the background after its open; a
    // search or a save needs it whole. While it is still being read (and
    // has not failed), keyListPending() is true and readKeyListStep() reads
    // up to `rows` more of it on this thread, so that a window can read it
    // between its events and show how far it is (`done` keys of `total`,
    // -1 while not counted). It returns true once the list is whole.
    bool keyListPending() const;
    bool readKeyListStep(int rows, int* done = nullptr, int* total = nullptr);

    // Moves to the first record whose index value is >= text (case ignored).
    void findNearest(const std::string& text);
    // Exact key search in three steps (setKey, setText on the key field, gotoKey) or at once.
    void setKey();
    bool gotoKey();
    bool findKey(const std::string& text);

    Bookmark getBookmark() const;
    void gotoBookmark(const Bookmark& mark);
    void freeBookmark(const Bookmark& mark);

    // Called by the shared table when another cursor changed its rows.
    void tableChanged();

private:
    // Ends a pending record, then starts an empty one at the cursor or after the last.
    void startNewRecord(bool appending);
    struct Impl;
    Database& m_database;
    std::string m_tableName;
    std::unique_ptr<Impl> m_impl;
};

} // namespace store
