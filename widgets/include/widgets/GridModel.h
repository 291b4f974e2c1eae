#pragma once

#include "widgets/DeferredErrorReport.h"
#include "widgets/GridColumn.h"

#include "store/DataSet.h"

#include <QAbstractTableModel>
#include <QList>
#include <QSet>
#include <QVector>

class QTimer;

namespace store {
class Cursor;
}

namespace widgets {

// A table model that reads a cursor or a selection row by row: it asks the
// data set only for the rows a view paints, so a million-row table costs
// nothing up front. The row count is cached and changed only between the
// begin/end calls a view expects. While a big table is still being counted
// the model has the rows known so far; the rest are added once counted, a
// share at a time (a view keeps a size for every row, and a million of them
// at once would hold up a key typed meanwhile).
class GridModel : public QAbstractTableModel, public store::DisplayObserver {
    Q_OBJECT
public:
    explicit GridModel(QObject* parent = nullptr);
    ~GridModel() override;

    void setDataSet(store::DataSet* dataSet);
    store::DataSet* dataSet() const { return m_dataSet; }
    // The cursor behind the data set, nullptr for a selection.
    store::Cursor* cursor() const;

    void setColumns(const QList<GridColumn>& columns);
    const QList<GridColumn>& columns() const { return m_columns; }
    // Index of a column's field in the data set, -1 when it has none.
    int fieldIndexOf(int column) const;
    // A read-only model offers no cell for editing, whatever its columns say.
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    bool isReadOnly() const { return m_readOnly; }

    // Row indicator texts of the vertical header.
    static QString browseMarker();
    // What a row the store could not read shows in its first column.
    static QString unreadableMarker();
    static QString editMarker();
    static QString insertMarker();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Only on the cursor's current row: starts the edit (AfterEdit) and sets the field.
    // A store error propagates to the caller.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    void displayChanged(store::DisplayChange change) override;

    // Has every row of the data set, counting a big table now if need be:
    // before the view moves by itself (Ctrl+End, Page Down), which goes only
    // as far as the rows the model has.
    void completeRows();

    // True while rows are being added, removed or reset. A view's current
    // index moves by itself then (the toolkit moves it off a removed row);
    // such a move is no user's choice and must not move the cursor.
    bool restructuring() const { return m_restructuring > 0; }

signals:
    // The data set's current row or state changed; views move their current index.
    void cursorRowChanged();

private:
    void resolveFields();
    void refreshAll();
    // A row's text from the data set; a failure marks the row (or, while
    // another program holds the file, every row) unreadable and is reported
    // once from the event loop, never from inside the paint that asked.
    QVariant readCell(int row, int field, int column) const;
    bool unreadable(int row) const { return m_readSuspended || m_unreadableRows.contains(row); }
    // The data set's row for a row of the model; -1 for a row already gone.
    int sourceRow(int row) const;
    // Runs a begin/end pair of the toolkit's structure calls with restructuring() set.
    template <typename F> void restructure(F&& change);
    // Starts or stops watching for the count of a big table.
    void watchCount();
    // Adds the next share of the counted rows.
    void growTowardsCount();
    // Adds the rows still to come at once.
    void finishGrowing();

    // The store reports a row added or removed after the fact; between the
    // begin and end calls the model still answers with the old rows.
    enum class Transition { None, Inserting, Removing };

    store::DataSet* m_dataSet = nullptr;
    QList<GridColumn> m_columns;
    QVector<int> m_fieldIndexes;
    int m_rowCount = 0;
    int m_currentRow = -1;
    store::CursorState m_state = store::CursorState::Closed;
    int m_insertRow = -1;
    Transition m_transition = Transition::None;
    int m_transitionRow = -1;
    int m_restructuring = 0;
    bool m_readOnly = false;
    // The data set's row count while rows are being added towards it, else -1.
    int m_growTarget = -1;
    QTimer* m_countWatch = nullptr;

    // Reads are const calls of the view; what they learn about failures is
    // kept here. Rows that failed are not asked again until the rows change;
    // a locked file stops all reads until the cursor changes (each read of
    // a locked file waits for it), so a paint never hangs row after row.
    mutable QSet<int> m_unreadableRows;
    mutable bool m_readSuspended = false;
    mutable bool m_lockedEpisode = false;
    DeferredErrorReport* m_readFailure = nullptr;
};

} // namespace widgets
