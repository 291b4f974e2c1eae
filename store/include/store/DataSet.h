#pragma once

#include "store/DateText.h"
#include "store/Signal.h"
#include "store/TableDef.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace store {

enum class CursorState { Closed, Browse, Edit, Insert, SetKey };

// What bound controls must repaint. Not sent while the display is suspended;
// resuming sends Everything once.
enum class DisplayChange {
    Current,    // another record became current (same rows)
    Fields,     // a field of the current (pending) record changed
    State,      // browse/edit/insert changed
    Everything, // rows were added, removed or reordered, or the set was reopened
};

class DisplayObserver {
public:
    virtual ~DisplayObserver() = default;
    virtual void displayChanged(DisplayChange change) = 0;
};

// What grids and data-aware controls bind to: a cursor on a table or a
// read-only selection. Rows are numbered 0..rowCount()-1 in the order of the
// current index; a record being inserted occupies its own row at the cursor.
class DataSet {
public:
    virtual ~DataSet() = default;

    virtual bool isActive() const = 0;
    virtual CursorState state() const = 0;
    virtual const std::vector<FieldDef>& fields() const = 0;
    // Index of a field, matched without regard to case; throws StoreError NotFound.
    virtual int fieldIndex(std::string_view name) const = 0;
    virtual bool canModify() const = 0;

    virtual void first() = 0;
    virtual void last() = 0;
    virtual void next() = 0;
    virtual void prior() = 0;
    // Moves up to `count` records on (positive) or back; returns the signed number moved.
    virtual int moveBy(int count) = 0;
    virtual bool bof() const = 0;
    virtual bool eof() const = 0;
    virtual int recordCount() const = 0;

    // Grid access: rows shown, the current row (-1 when empty), any row's field
    // without moving, and moving to a row (which ends a pending record first).
    virtual int rowCount() const = 0;
    // The rows known without reading anything: rowCount(), or while a big
    // table is still being counted in the background, the rows read at its
    // open (never 0 unless the set is empty). Grids and controls ask this
    // while painting; countPending() says it may still grow.
    virtual int rowCountSoFar() const { return rowCount(); }
    virtual bool countPending() const { return false; }
    virtual int currentRow() const = 0;
    virtual std::string rowText(int row, int field) const = 0;
    virtual void moveToRow(int row) = 0;

    // Current record (pending values while editing or inserting).
    virtual std::string text(std::string_view field) const = 0;
    virtual bool isNull(std::string_view field) const = 0;
    long long integer(std::string_view field) const;                  // 0 when empty
    std::optional<DateTime> dateTime(std::string_view field) const;   // nullopt when empty
    std::string displayText(std::string_view field) const { return text(field); }

    // Suspend / resume the display; nested calls count. Notifications still fire.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disableCount > 0; }

    void addObserver(DisplayObserver* observer);
    void removeObserver(DisplayObserver* observer);

    // The four notifications of a cursor (a selection fires only afterScroll).
    Signal afterEdit;
    Signal afterPost;
    Signal afterDelete;
    Signal afterScroll;

protected:
    void notifyDisplay(DisplayChange change);

private:
    std::vector<DisplayObserver*> m_observers;
    int m_disableCount = 0;
};

} // namespace store
