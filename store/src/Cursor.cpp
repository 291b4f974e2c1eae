#include "store/Cursor.h"

#include "FieldCodec.h"
#include "Table.h"

#include "store/CzechText.h"
#include "store/Database.h"
#include "store/Errors.h"

#include <algorithm>

namespace store {

namespace {


} // namespace

struct Cursor::Impl {
    std::shared_ptr<Table> table;
    CursorState state = CursorState::Closed;
    int order = 0;
    std::string indexName;

    // The current record, remembered by its key and row id so that the row
    // number can be found again after any change of the table.
    bool hasCurrent = false;
    std::int64_t rowId = 0;
    std::string key;
    int row = -1;
    std::uint64_t rowVersion = ~0ULL;

    bool bof = false;
    bool eof = false;

    Values pending;
    bool modified = false;
    bool appending = false;
    Values keyBuffer;
};

Cursor::Cursor(Database& database, std::string tableName)
    : m_database(database), m_tableName(std::move(tableName)), m_impl(std::make_unique<Impl>())
{
}

Cursor::~Cursor()
{
    if (m_impl->table)
        m_impl->table->detach(this);
}

// ---- helpers ----------------------------------------------------------------

namespace {

[[noreturn]] void throwClosed(const std::string& table)
{
    throw StoreError(StoreError::Kind::Closed, "Tabulka " + table + " není otevřená.", table);
}

bool isTextKind(FieldKind kind)
{
    return kind == FieldKind::Text || kind == FieldKind::Memo || kind == FieldKind::FormattedMemo;
}

} // namespace

// Row of the current record in the current order. When another cursor
// deleted it, the record now at its place becomes current.
static int currentRecordRow(auto& d)
{
    if (!d.hasCurrent)
        return -1;
    if (d.rowVersion == d.table->version())
        return d.row;
    const Order& order = d.table->order(d.order);
    int row = order.lowerBound(d.key, d.rowId);
    if (row >= order.size() || order.at(row).rowId != d.rowId) {
        if (order.size() == 0) {
            d.hasCurrent = false;
            return -1;
        }
        row = std::min(row, order.size() - 1);
        const Order::Entry entry = order.at(row);
        d.rowId = entry.rowId;
        d.key.assign(entry.key);
    }
    d.row = row;
    d.rowVersion = d.table->version();
    return row;
}

// The rows there are, as far as `row` needs to know: a big table still
// being counted is counted only when `row` lies past the rows known so far.
static int rowsUpTo(auto& d, int row)
{
    const int known = d.table->rowCountSoFar(d.order);
    return row < known ? known : d.table->rowCount(d.order);
}

static void setCurrentRow(auto& d, int row)
{
    const int rows = rowsUpTo(d, row);
    if (rows == 0) {
        d.hasCurrent = false;
        return;
    }
    row = std::clamp(row, 0, rows - 1);
    const Order::Entry entry = d.table->entryAt(d.order, row);
    d.hasCurrent = true;
    d.rowId = entry.rowId;
    d.key.assign(entry.key);
    d.row = row;
    d.rowVersion = d.table->version();
}

static void setCurrentRecord(auto& d, std::int64_t rowId)
{
    d.hasCurrent = true;
    d.rowId = rowId;
    d.key = d.table->record(rowId).keys[static_cast<std::size_t>(d.order)];
    d.rowVersion = ~0ULL;
}

static int recordRows(auto& d)
{
    return d.table->rowCount(d.order);
}

static bool isPending(CursorState state)
{
    return state == CursorState::Edit || state == CursorState::Insert;
}

static int insertRow(auto& d)
{
    if (d.appending || !d.hasCurrent)
        return recordRows(d);
    return currentRecordRow(d);
}

// ---- open / close -------------------------------------------------------------

void Cursor::open()
{
    Impl& d = *m_impl;
    if (d.table)
        return;
    std::shared_ptr<Table> table = m_database.table(m_tableName);
    int order = 0;
    if (!d.indexName.empty()) {
        const int field = table->fieldIndex(d.indexName);
        order = field < 0 ? -1 : table->orderOnField(field);
        if (order < 0)
            throw StoreError(StoreError::Kind::NotFound,
                             "Tabulka " + m_tableName + " nemá index podle pole " + d.indexName + ".", m_tableName);
    }
    d.table = std::move(table);
    d.table->attach(this);
    d.order = order;
    d.state = CursorState::Browse;
    d.pending.clear();
    d.modified = false;
    setCurrentRow(d, 0);
    d.bof = true;
    d.eof = !d.hasCurrent;
    notifyDisplay(DisplayChange::Everything);
    afterScroll.emit();
}

void Cursor::close()
{
    Impl& d = *m_impl;
    if (!d.table)
        return;
    d.table->detach(this);
    d.table.reset();
    d.state = CursorState::Closed;
    d.hasCurrent = false;
    d.pending.clear();
    d.keyBuffer.clear();
    d.modified = false;
    d.appending = false;
    d.bof = d.eof = false;
    notifyDisplay(DisplayChange::Everything);
}

bool Cursor::isActive() const
{
    return m_impl->table != nullptr;
}

CursorState Cursor::state() const
{
    return m_impl->state;
}

const std::vector<FieldDef>& Cursor::fields() const
{
    static const std::vector<FieldDef> none;
    return m_impl->table ? m_impl->table->fields() : none;
}

int Cursor::fieldIndex(std::string_view name) const
{
    if (!m_impl->table)
        throwClosed(m_tableName);
    const int index = m_impl->table->fieldIndex(name);
    if (index < 0)
        throw StoreError(StoreError::Kind::NotFound, "Tabulka " + m_tableName + " nemá pole " + std::string(name) + ".",
                         m_tableName);
    return index;
}

// ---- ending a pending record ----------------------------------------------------

// Before every move: a changed pending record is saved (a failed save throws
// and the move does not happen), an unchanged one is dropped.
static void endPending(Cursor& cursor, auto& d)
{
    if (d.state == CursorState::SetKey) {
        d.state = CursorState::Browse;
        d.keyBuffer.clear();
        return;
    }
    if (!isPending(d.state))
        return;
    if (d.modified)
        cursor.post();
    else
        cursor.cancel();
}

// ---- moves -----------------------------------------------------------------------

void Cursor::first()
{
    Impl& d = *m_impl;
    if (!d.table)
        throwClosed(m_tableName);
    endPending(*this, d);
    setCurrentRow(d, 0);
    d.bof = true;
    d.eof = !d.hasCurrent;
    notifyDisplay(DisplayChange::Current);
    afterScroll.emit();
}

void Cursor::last()
{
    Impl& d = *m_impl;
    if (!d.table)
        throwClosed(m_tableName);
    endPending(*this, d);
    setCurrentRow(d, recordRows(d) - 1);
    d.bof = !d.hasCurrent;
    d.eof = !d.hasCurrent;
    notifyDisplay(DisplayChange::Current);
    afterScroll.emit();
}

void Cursor::next()
{
    moveBy(1);
}

void Cursor::prior()
{
    moveBy(-1);
}

int Cursor::moveBy(int count)
{
    Impl& d = *m_impl;
    if (!d.table)
        throwClosed(m_tableName);
    if (count == 0)
        return 0;
    endPending(*this, d);
    if (!d.hasCurrent || d.table->rowCountSoFar(d.order) == 0) {
        d.bof = d.eof = true;
        return 0;
    }
    const int from = currentRecordRow(d);
    const int rows = rowsUpTo(d, from + count);
    const int to = std::clamp(from + count, 0, rows - 1);
    const int moved = to - from;
    d.bof = count < 0 && moved != count;
    d.eof = count > 0 && moved != count;
    if (moved != 0) {
        setCurrentRow(d, to);
        notifyDisplay(DisplayChange::Current);
        afterScroll.emit();
    }
    return moved;
}

bool Cursor::bof() const
{
    return m_impl->table ? m_impl->bof : true;
}

bool Cursor::eof() const
{
    return m_impl->table ? m_impl->eof : true;
}

int Cursor::recordCount() const
{
    if (!m_impl->table)
        throwClosed(m_tableName);
    return m_impl->table->recordCount();
}

// ---- grid access -------------------------------------------------------------------

int Cursor::rowCount() const
{
    Impl& d = *m_impl;
    if (!d.table)
        return 0;
    return recordRows(d) + (d.state == CursorState::Insert ? 1 : 0);
}

int Cursor::rowCountSoFar() const
{
    Impl& d = *m_impl;
    if (!d.table)
        return 0;
    return d.table->rowCountSoFar(d.order) + (d.state == CursorState::Insert ? 1 : 0);
}

bool Cursor::countPending() const
{
    return m_impl->table && m_impl->table->countPending();
}

int Cursor::currentRow() const
{
    Impl& d = *m_impl;
    if (!d.table)
        return -1;
    if (d.state == CursorState::Insert)
        return insertRow(d);
    return currentRecordRow(d);
}

std::string Cursor::rowText(int row, int field) const
{
    Impl& d = *m_impl;
    if (!d.table || field < 0 || field >= static_cast<int>(d.table->fields().size()))
        return {};
    const FieldKind kind = d.table->fields()[static_cast<std::size_t>(field)].kind;
    int recordRow = row;
    if (d.state == CursorState::Insert) {
        const int pendingRow = insertRow(d);
        if (row == pendingRow)
            return textFromStored(kind, d.pending[static_cast<std::size_t>(field)]);
        if (row > pendingRow)
            --recordRow;
    } else if (d.state == CursorState::Edit && row == currentRecordRow(d)) {
        return textFromStored(kind, d.pending[static_cast<std::size_t>(field)]);
    }
    if (recordRow < 0 || recordRow >= rowsUpTo(d, recordRow))
        return {};
    return textFromStored(kind, d.table->recordAt(d.order, recordRow).values[static_cast<std::size_t>(field)]);
}

void Cursor::moveToRow(int row)
{
    Impl& d = *m_impl;
    if (!d.table)
        throwClosed(m_tableName);
    if (row == currentRow())
        return;
    int recordRow = row;
    if (d.state == CursorState::Insert && row > insertRow(d))
        --recordRow;
    if (d.table->rowCountSoFar(d.order) == 0)
        return;
    // Remember the target before the pending record ends: saving or dropping
    // it shifts the rows below it.
    recordRow = std::clamp(recordRow, 0, rowsUpTo(d, recordRow) - 1);
    if (isPending(d.state)) {
        const Order::Entry target = d.table->entryAt(d.order, recordRow);
        const std::string targetKey(target.key);
        const std::int64_t targetId = target.rowId;
        endPending(*this, d);
        setCurrentRow(d, d.table->order(d.order).lowerBound(targetKey, targetId));
    } else {
        endPending(*this, d); // a key being typed is dropped; the rows stay
        setCurrentRow(d, recordRow);
    }
    d.bof = d.eof = false;
    notifyDisplay(DisplayChange::Current);
    afterScroll.emit();
}

// ---- reading and setting fields -----------------------------------------------------

static const std::optional<std::string>& fieldValue(const auto& d, int index)
{
    static const std::optional<std::string> empty;
    const auto i = static_cast<std::size_t>(index);
    if (isPending(d.state))
        return d.pending[i];
    if (d.state == CursorState::SetKey)
        return d.keyBuffer[i];
    if (!d.hasCurrent)
        return empty;
    // By row, so that a walk is seen as one and read ahead in index order.
    if (d.rowVersion == d.table->version() && d.row >= 0)
        return d.table->recordAt(d.order, d.row).values[i];
    return d.table->record(d.rowId).values[i];
}

std::string Cursor::text(std::string_view field) const
{
    const int index = fieldIndex(field);
    currentRecordRow(*m_impl); // follows a record another cursor deleted
    return textFromStored(fields()[static_cast<std::size_t>(index)].kind, fieldValue(*m_impl, index));
}

bool Cursor::isNull(std::string_view field) const
{
    const int index = fieldIndex(field);
    currentRecordRow(*m_impl);
    return !fieldValue(*m_impl, index).has_value();
}

// A field's text as the table stores it: blanks around a key are no part of
// it ("Novák " is "Novák"), the kind's form is checked, and a text longer
// than its field is refused whole, never cut: cutting would lose what the
// user typed without a word.
static std::optional<std::string> storedValue(const Table& table, int index, const std::string& value,
                                              const std::string& tableName, bool checkWidth)
{
    const FieldDef& def = table.fields()[static_cast<std::size_t>(index)];
    const bool isKey = isTextKind(def.kind) && table.orderOnField(index) >= 0;
    const std::string text = isKey ? trimBlanks(value) : value;
    std::optional<std::string> stored;
    try {
        stored = storedFromText(def, text);
    } catch (const StoreError& error) {
        throw StoreError(error.kind(), std::string(error.what()) + " (tabulka " + tableName + ")", tableName);
    }
    if (checkWidth && def.width > 0 && isTextKind(def.kind)) {
        const int length = characterCount(text);
        if (length > def.width)
            throw StoreError(StoreError::Kind::BadValue,
                             "Pole " + def.name + " tabulky " + tableName + " pojme nejvýš "
                                 + std::to_string(def.width) + " znaků, zadaný text jich má " + std::to_string(length)
                                 + ". Text zkraťte; uložen nebyl.",
                             tableName);
    }
    return stored;
}

void Cursor::setText(std::string_view field, const std::string& value)
{
    Impl& d = *m_impl;
    const int index = fieldIndex(field);
    if (!isPending(d.state) && d.state != CursorState::SetKey)
        throw StoreError(StoreError::Kind::NotEditing,
                         "Tabulka " + m_tableName + ": záznam se právě neupravuje ani nevkládá.", m_tableName);
    const bool keyEntry = d.state == CursorState::SetKey;
    std::optional<std::string> stored = storedValue(*d.table, index, value, m_tableName, !keyEntry);
    if (keyEntry) {
        d.keyBuffer[static_cast<std::size_t>(index)] = std::move(stored);
        return;
    }
    d.pending[static_cast<std::size_t>(index)] = std::move(stored);
    d.modified = true;
    notifyDisplay(DisplayChange::Fields);
}

void Cursor::setDateTime(std::string_view field, const DateTime& value)
{
    const int index = fieldIndex(field);
    switch (fields()[static_cast<std::size_t>(index)].kind) {
    case FieldKind::Time:
        setText(field, formatTime(value));
        break;
    case FieldKind::Date:
        setText(field, formatDate(value));
        break;
    default:
        setText(field, formatDate(value) + " " + formatTime(value));
        break;
    }
}

void Cursor::clearField(std::string_view field)
{
    setText(field, std::string());
}

bool Cursor::modified() const
{
    return m_impl->modified;
}

// ---- editing ----------------------------------------------------------------------------

static void beginInsert(auto& d, Database& database, bool appending)
{
    d.pending.assign(d.table->fields().size(), std::nullopt);
    const DateTime now = database.now();
    for (std::size_t i = 0; i < d.table->fields().size(); ++i) {
        const FieldDef& field = d.table->fields()[i];
        if (field.defaultValue == FieldDefault::None)
            continue;
        if (field.kind == FieldKind::Time)
            d.pending[i] = storedFromText(field, formatTime(now));
        else if (field.kind == FieldKind::Date)
            d.pending[i] = storedFromText(field, formatDate(now));
        else
            d.pending[i] = formatDate(now) + (field.defaultValue == FieldDefault::Now ? " " + formatTime(now) : "");
    }
    d.modified = false;
    d.appending = appending;
    d.state = CursorState::Insert;
    d.bof = d.eof = false;
}

void Cursor::insert()
{
    startNewRecord(false);
}

void Cursor::append()
{
    startNewRecord(true);
}

void Cursor::startNewRecord(bool appending)
{
    Impl& d = *m_impl;
    if (!d.table)
        throwClosed(m_tableName);
    endPending(*this, d);
    beginInsert(d, m_database, appending);
    notifyDisplay(DisplayChange::Everything);
    afterScroll.emit();
}

void Cursor::edit()
{
    Impl& d = *m_impl;
    if (!d.table)
        throwClosed(m_tableName);
    if (isPending(d.state))
        return;
    if (d.state == CursorState::SetKey)
        endPending(*this, d);
    currentRecordRow(d);
    if (!d.hasCurrent) {
        insert();
        return;
    }
    d.pending = d.table->record(d.rowId).values;
    d.modified = false;
    d.state = CursorState::Edit;
    notifyDisplay(DisplayChange::State);
    afterEdit.emit();
}

void Cursor::post()
{
    Impl& d = *m_impl;
    if (!d.table)
        throwClosed(m_tableName);
    if (d.state == CursorState::SetKey) {
        endPending(*this, d);
        return;
    }
    if (!isPending(d.state))
        return;
    if (d.state == CursorState::Insert) {
        std::string position;
        if (!d.table->isKeyed()) {
            // Storage order: the new record stays where it was inserted.
            const Order& storage = d.table->order(0);
            const int at = d.order == 0 ? insertRow(d) : storage.size();
            const std::string before = at > 0 ? std::string(storage.at(at - 1).key) : std::string();
            position = at < storage.size() ? positionBetween(before, storage.at(at).key) : positionAfter(before);
        }
        // Throws KeyViolation with the record still pending as typed.
        const std::int64_t rowId = d.table->insert(d.pending, position);
        setCurrentRecord(d, rowId);
    } else if (d.modified) {
        d.table->update(d.rowId, d.pending);
        setCurrentRecord(d, d.rowId);
    }
    const bool changed = d.state == CursorState::Insert || d.modified;
    d.state = CursorState::Browse;
    d.pending.clear();
    d.modified = false;
    d.appending = false;
    if (changed)
        d.table->notifyOthers(this);
    notifyDisplay(DisplayChange::Everything);
    afterPost.emit();
}

void Cursor::cancel()
{
    Impl& d = *m_impl;
    if (!d.table)
        return;
    const CursorState was = d.state;
    if (was == CursorState::SetKey) {
        endPending(*this, d);
        notifyDisplay(DisplayChange::State);
        return;
    }
    if (!isPending(was))
        return;
    d.state = CursorState::Browse;
    d.pending.clear();
    d.modified = false;
    d.appending = false;
    if (was == CursorState::Insert) {
        notifyDisplay(DisplayChange::Everything);
        afterScroll.emit();
    } else {
        notifyDisplay(DisplayChange::Fields);
    }
}

void Cursor::remove()
{
    Impl& d = *m_impl;
    if (!d.table)
        throwClosed(m_tableName);
    if (d.state == CursorState::Insert) {
        cancel();
        return;
    }
    if (d.state == CursorState::SetKey)
        endPending(*this, d);
    const int row = currentRecordRow(d);
    if (!d.hasCurrent)
        throw StoreError(StoreError::Kind::EmptyDataset, kEmptyDatasetMessage, m_tableName);
    d.table->remove(d.rowId);
    d.state = CursorState::Browse;
    d.pending.clear();
    d.modified = false;
    // The record after becomes current, the one before when it was the last.
    setCurrentRow(d, row);
    d.bof = d.eof = !d.hasCurrent;
    d.table->notifyOthers(this);
    notifyDisplay(DisplayChange::Everything);
    afterDelete.emit();
    afterScroll.emit();
}

void Cursor::insertRecord(const std::vector<std::string>& values)
{
    Impl& d = *m_impl;
    insert();
    try {
        const std::size_t count = std::min(values.size(), d.table->fields().size());
        for (std::size_t i = 0; i < count; ++i)
            setText(d.table->fields()[i].name, values[i]);
        post();
    } catch (...) {
        // One step: stored, or the table and the cursor as they were.
        cancel();
        throw;
    }
}

void Cursor::writeRecords(const std::vector<RecordWrite>& writes, std::size_t* failedAt)
{
    writeTogether({{this, writes}}, nullptr, failedAt);
}

void Cursor::writeTogether(const std::vector<TableWrites>& batches, std::size_t* failedBatch, std::size_t* failedAt)
{
    std::vector<Table*> staged;
    const auto abandon = [&] {
        for (auto it = staged.rbegin(); it != staged.rend(); ++it)
            (*it)->abandonStaged();
    };
    std::size_t b = 0;
    try {
        for (b = 0; b < batches.size(); ++b) {
            Cursor& cursor = *batches[b].cursor;
            Impl& d = *cursor.m_impl;
            if (!d.table)
                throwClosed(cursor.m_tableName);
            endPending(cursor, d);
            const std::vector<RecordWrite>& writes = batches[b].writes;
            const std::vector<FieldDef>& fields = d.table->fields();
            std::vector<Table::Write> batch(writes.size());
            for (std::size_t w = 0; w < writes.size(); ++w) {
                try {
                    batch[w].rowId = writes[w].replaces ? writes[w].replaces->rowId : 0;
                    if (writes[w].replaces && batch[w].rowId == 0)
                        throw StoreError(StoreError::Kind::Io,
                                         "Tabulka " + cursor.m_tableName + ": záznam, který se má nahradit, program nezná.",
                                         cursor.m_tableName);
                    batch[w].values.resize(fields.size());
                    for (std::size_t i = 0; i < fields.size() && i < writes[w].texts.size(); ++i)
                        batch[w].values[i] =
                            storedValue(*d.table, static_cast<int>(i), writes[w].texts[i], cursor.m_tableName, true);
                } catch (...) {
                    if (failedAt)
                        *failedAt = w;
                    throw;
                }
            }
            d.table->stageBatch(batch, failedAt);
            staged.push_back(d.table.get());
        }
        b = 0;
        for (Table* table : staged) {
            table->commitStaged();
            ++b;
        }
    } catch (...) {
        if (failedBatch)
            *failedBatch = b;
        abandon();
        throw;
    }
    for (const TableWrites& batch : batches) {
        Impl& d = *batch.cursor->m_impl;
        d.table->notifyOthers(batch.cursor);
        if (!d.hasCurrent && recordRows(d) > 0) {
            setCurrentRow(d, 0);
            d.bof = d.eof = false;
        }
        batch.cursor->notifyDisplay(DisplayChange::Everything);
    }
}

// ---- index and key searches -------------------------------------------------------------

void Cursor::setIndexFieldNames(const std::string& field)
{
    Impl& d = *m_impl;
    if (!d.table) {
        d.indexName = field;
        return;
    }
    int order = 0;
    if (!field.empty()) {
        const int index = d.table->fieldIndex(field);
        order = index < 0 ? -1 : d.table->orderOnField(index);
        if (order < 0)
            throw StoreError(StoreError::Kind::NotFound,
                             "Tabulka " + m_tableName + " nemá index podle pole " + field + ".", m_tableName);
    }
    endPending(*this, d);
    d.indexName = field;
    if (order == d.order)
        return;
    currentRecordRow(d);
    d.order = order;
    if (d.hasCurrent)
        setCurrentRecord(d, d.rowId);
    notifyDisplay(DisplayChange::Everything);
}

std::string Cursor::indexFieldNames() const
{
    return m_impl->indexName;
}

static const FieldDef& orderFieldDef(auto& d, const std::string& tableName)
{
    const int field = d.table->orderField(d.order);
    if (field < 0)
        throw StoreError(StoreError::Kind::NotFound,
                         "Tabulka " + tableName + " nemá index, podle kterého by se dalo hledat.", tableName);
    return d.table->fields()[static_cast<std::size_t>(field)];
}

bool Cursor::keyListPending() const
{
    return m_impl->table && m_impl->table->keyListPending();
}

bool Cursor::readKeyListStep(int rows, int* done, int* total)
{
    Impl& d = *m_impl;
    if (!d.table)
        throwClosed(m_tableName);
    const bool whole = d.table->readKeyListStep(rows);
    const auto [read, count] = d.table->keyListProgress();
    if (done)
        *done = whole ? d.table->rowCount(d.order) : read;
    if (total)
        *total = whole ? d.table->rowCount(d.order) : count;
    return whole;
}

void Cursor::findNearest(const std::string& text)
{
    Impl& d = *m_impl;
    if (!d.table)
        throwClosed(m_tableName);
    const FieldDef& field = orderFieldDef(d, m_tableName);
    endPending(*this, d);
    const Order& order = d.table->order(d.order);
    if (order.size() == 0) {
        d.bof = d.eof = true;
        return;
    }
    int row = 0;
    const std::string searched = isTextKind(field.kind) ? trimBlanks(text) : text;
    if (!searched.empty()) {
        std::optional<std::string> stored;
        try {
            stored = storedFromText(field, searched);
        } catch (const StoreError&) {
            return; // a partly typed date or number: nothing to land on yet
        }
        const std::string searchKey = sortKey(field.kind, stored);
        if (isTextKind(field.kind)) {
            row = order.partitionPoint(
                [&](std::string_view key, std::int64_t) { return compareSecondary(key, searchKey) < 0; });
        } else {
            row = order.partitionPoint([&](std::string_view key, std::int64_t) { return key < searchKey; });
        }
    }
    setCurrentRow(d, std::min(row, order.size() - 1));
    d.bof = d.eof = false;
    notifyDisplay(DisplayChange::Current);
    afterScroll.emit();
}

void Cursor::setKey()
{
    Impl& d = *m_impl;
    if (!d.table)
        throwClosed(m_tableName);
    endPending(*this, d);
    d.keyBuffer.assign(d.table->fields().size(), std::nullopt);
    d.state = CursorState::SetKey;
    notifyDisplay(DisplayChange::State);
}

bool Cursor::gotoKey()
{
    Impl& d = *m_impl;
    if (!d.table)
        throwClosed(m_tableName);
    const Values buffer = d.state == CursorState::SetKey ? d.keyBuffer : Values(d.table->fields().size());
    d.state = CursorState::Browse;
    d.keyBuffer.clear();
    const FieldDef& field = orderFieldDef(d, m_tableName);
    const int fieldIndex = d.table->orderField(d.order);
    const std::string key = sortKey(field.kind, buffer[static_cast<std::size_t>(fieldIndex)]);
    const Order& order = d.table->order(d.order);
    int row = 0;
    bool found = false;
    if (isTextKind(field.kind)) {
        // A text key matches without regard to case ("novák" finds "Novák");
        // of several such (a file from before keys ignored case) the one
        // written exactly so is preferred.
        row = order.partitionPoint([&](std::string_view k, std::int64_t) { return compareSecondary(k, key) < 0; });
        found = row < order.size() && compareSecondary(order.at(row).key, key) == 0;
        for (int r = row; found && r < order.size() && compareSecondary(order.at(r).key, key) == 0; ++r) {
            if (order.at(r).key == key) {
                row = r;
                break;
            }
        }
    } else {
        row = order.partitionPoint([&](std::string_view k, std::int64_t) { return k < key; });
        found = row < order.size() && order.at(row).key == key;
    }
    notifyDisplay(DisplayChange::State);
    if (found) {
        setCurrentRow(d, row);
        d.bof = d.eof = false;
        notifyDisplay(DisplayChange::Current);
        afterScroll.emit();
    }
    return found;
}

bool Cursor::findKey(const std::string& text)
{
    Impl& d = *m_impl;
    setKey();
    try {
        setText(orderFieldDef(d, m_tableName).name, text);
    } catch (...) {
        d.state = CursorState::Browse;
        d.keyBuffer.clear();
        throw;
    }
    return gotoKey();
}

// ---- marks ----------------------------------------------------------------------------------

Bookmark Cursor::getBookmark() const
{
    Impl& d = *m_impl;
    const int row = currentRow();
    if (!d.hasCurrent)
        return {0, row};
    return {d.rowId, row};
}

void Cursor::gotoBookmark(const Bookmark& mark)
{
    Impl& d = *m_impl;
    if (!d.table)
        throwClosed(m_tableName);
    endPending(*this, d);
    const Order& order = d.table->order(d.order);
    if (order.size() == 0)
        return;
    int row = -1;
    if (mark.rowId != 0) {
        try {
            row = order.find(d.table->record(mark.rowId).keys[static_cast<std::size_t>(d.order)], mark.rowId);
        } catch (const StoreError&) {
            row = -1; // the marked record has gone since
        }
    }
    if (row < 0)
        row = std::max(mark.row, 0);
    setCurrentRow(d, row);
    d.bof = d.eof = false;
    notifyDisplay(DisplayChange::Current);
    afterScroll.emit();
}

void Cursor::freeBookmark(const Bookmark&) {}

void Cursor::tableChanged()
{
    currentRecordRow(*m_impl);
    notifyDisplay(DisplayChange::Everything);
}

} // namespace store
