#include "widgets/GridModel.h"

#include "store/Cursor.h"
#include "store/Errors.h"

#include <QColor>
#include <QString>
#include <QTimer>

namespace widgets {

namespace {

// The toolkit grid's indicator marks: the current row, a changed record
// being edited, and a new record.
const QString kBrowseMarker = QStringLiteral("\u25B6");
const QString kEditMarker = QStringLiteral("I");
const QString kInsertMarker = QStringLiteral("*");
const QString kUnreadable = QStringLiteral("‹záznam nelze přečíst›");

// Rows added at a time once a big table is counted, and how often the count
// is looked for meanwhile.
constexpr int kGrowShare = 131072;
constexpr int kCountWatchMs = 15;

} // namespace

GridModel::GridModel(QObject* parent)
    : QAbstractTableModel(parent), m_countWatch(new QTimer(this)), m_readFailure(new DeferredErrorReport(this))
{
    connect(m_countWatch, &QTimer::timeout, this, [this] { growTowardsCount(); });
}

template <typename F> void GridModel::restructure(F&& change)
{
    // Counted: a view reacting to one change may cause another.
    struct Depth {
        int& depth;
        explicit Depth(int& d) : depth(++d) {}
        ~Depth() { --depth; }
    } depth(m_restructuring);
    change();
}

GridModel::~GridModel()
{
    if (m_dataSet)
        m_dataSet->removeObserver(this);
}

QString GridModel::browseMarker()
{
    return kBrowseMarker;
}
QString GridModel::editMarker()
{
    return kEditMarker;
}
QString GridModel::insertMarker()
{
    return kInsertMarker;
}
QString GridModel::unreadableMarker()
{
    return kUnreadable;
}

void GridModel::setDataSet(store::DataSet* dataSet)
{
    if (dataSet == m_dataSet)
        return;
    restructure([&] {
        beginResetModel();
        m_unreadableRows.clear();
        m_readSuspended = false;
        if (m_dataSet)
            m_dataSet->removeObserver(this);
        m_dataSet = dataSet;
        if (m_dataSet)
            m_dataSet->addObserver(this);
        resolveFields();
        endResetModel();
    });
    watchCount();
    Q_EMIT cursorRowChanged();
}

store::Cursor* GridModel::cursor() const
{
    return dynamic_cast<store::Cursor*>(m_dataSet);
}

void GridModel::setColumns(const QList<GridColumn>& columns)
{
    restructure([&] {
        beginResetModel();
        m_columns = columns;
        resolveFields();
        endResetModel();
    });
    watchCount();
    Q_EMIT cursorRowChanged();
}

int GridModel::fieldIndexOf(int column) const
{
    return column >= 0 && column < m_fieldIndexes.size() ? m_fieldIndexes[column] : -1;
}

// Caches what the view may ask between notifications. Called only inside a
// reset, so the cached row count changes where the view expects it.
void GridModel::resolveFields()
{
    m_fieldIndexes.clear();
    const bool active = m_dataSet && m_dataSet->isActive();
    for (const GridColumn& column : m_columns) {
        int index = -1;
        if (active) {
            try {
                index = m_dataSet->fieldIndex(column.field.toStdString());
            } catch (const store::StoreError&) {
                index = -1; // a column naming no field stays empty
            }
        }
        m_fieldIndexes.append(index);
    }
    m_rowCount = active ? m_dataSet->rowCountSoFar() : 0;
    m_growTarget = -1;
    m_currentRow = active ? m_dataSet->currentRow() : -1;
    m_state = m_dataSet ? m_dataSet->state() : store::CursorState::Closed;
    m_insertRow = m_state == store::CursorState::Insert ? m_currentRow : -1;
}

int GridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (index.isValid() && role == Qt::TextAlignmentRole && index.column() < m_columns.size())
        return QVariant::fromValue(m_columns[index.column()].alignment);
    if (!index.isValid() || !m_dataSet || !m_dataSet->isActive())
        return {};
    const int row = sourceRow(index.row());
    if (role == Qt::ForegroundRole)
        return row >= 0 && unreadable(row) ? QVariant(QColor(Qt::gray)) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const int field = fieldIndexOf(index.column());
    if (field < 0)
        return {};
    // The cache can run ahead of the data set while its display is suspended.
    if (row < 0 || row >= m_dataSet->rowCountSoFar())
        return QString();
    return readCell(row, field, index.column());
}

QVariant GridModel::readCell(int row, int field, int column) const
{
    const auto marker = [&] { return column == 0 ? kUnreadable : QString(); };
    if (unreadable(row))
        return marker();
    // No error may leave a model call: the view asks it while painting.
    try {
        QString text = QString::fromStdString(m_dataSet->rowText(row, field));
        if (m_lockedEpisode) {
            m_lockedEpisode = false; // the other program has let go
            m_readFailure->recovered();
        }
        return text;
    } catch (const std::exception& error) {
        const auto* storeError = dynamic_cast<const store::StoreError*>(&error);
        if (storeError && storeError->kind() == store::StoreError::Kind::Locked) {
            m_readSuspended = true;
            m_lockedEpisode = true;
        } else {
            m_unreadableRows.insert(row);
        }
        m_readFailure->failed(error);
    }
    return marker();
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= m_columns.size())
            return {};
        const GridColumn& column = m_columns[section];
        return column.title.isEmpty() ? column.field : column.title;
    }
    if (section != m_currentRow)
        return QString();
    switch (m_state) {
    case store::CursorState::Edit:
        return kEditMarker;
    case store::CursorState::Insert:
        return kInsertMarker;
    default:
        return kBrowseMarker;
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (m_dataSet && m_dataSet->canModify() && !m_readOnly && fieldIndexOf(index.column()) >= 0 &&
        !m_columns[index.column()].readOnly)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    store::Cursor* target = cursor();
    if (!target || role != Qt::EditRole || !index.isValid() || !target->isActive())
        return false;
    // Only the current record can be pending; an editor left open on another
    // row must not write into whatever record is current now.
    if (index.row() != target->currentRow())
        return false;
    const int field = fieldIndexOf(index.column());
    if (field < 0 || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const std::string name = target->fields()[static_cast<std::size_t>(field)].name;
    const std::string text = value.toString().toStdString();
    // An editor closed on a value it did not change writes nothing: the
    // record stays unedited (a new one untouched) and a stored value is
    // never rewritten on its way through an editor.
    if (target->text(name) == text)
        return true;
    if (target->state() == store::CursorState::Browse)
        target->edit();
    target->setText(name, text);
    return true;
}

int GridModel::sourceRow(int row) const
{
    switch (m_transition) {
    case Transition::Inserting:
        return row >= m_transitionRow ? row + 1 : row;
    case Transition::Removing:
        if (row == m_transitionRow)
            return -1;
        return row > m_transitionRow ? row - 1 : row;
    case Transition::None:
        break;
    }
    return row;
}

void GridModel::refreshAll()
{
    if (m_rowCount > 0 && !m_columns.isEmpty())
        Q_EMIT dataChanged(index(0, 0),
                           index(m_rowCount - 1, static_cast<int>(m_columns.size()) - 1));
    if (m_rowCount > 0)
        Q_EMIT headerDataChanged(Qt::Vertical, 0, m_rowCount - 1);
}

void GridModel::watchCount()
{
    if (m_dataSet && m_dataSet->isActive() && m_dataSet->countPending()) {
        if (!m_countWatch->isActive())
            m_countWatch->start(kCountWatchMs);
    } else if (m_growTarget < 0) {
        m_countWatch->stop();
    }
}

void GridModel::growTowardsCount()
{
    if (!m_dataSet || !m_dataSet->isActive()) {
        m_countWatch->stop();
        m_growTarget = -1;
        return;
    }
    if (m_dataSet->countPending())
        return;
    const int target = m_dataSet->rowCountSoFar();
    if (target < m_rowCount) {
        // Fewer rows than the open read (another program changed the file).
        m_countWatch->stop();
        m_growTarget = -1;
        restructure([&] {
            beginResetModel();
            resolveFields();
            endResetModel();
        });
        Q_EMIT cursorRowChanged();
        return;
    }
    const int next = std::min(target, m_rowCount + kGrowShare);
    if (next > m_rowCount) {
        restructure([&] {
            beginInsertRows(QModelIndex(), m_rowCount, next - 1);
            m_rowCount = next;
            endInsertRows();
        });
    }
    if (next < target) {
        m_growTarget = target;
        m_countWatch->start(0); // the next share once the events waiting are handled
    } else {
        m_growTarget = -1;
        m_countWatch->stop();
    }
}

void GridModel::finishGrowing()
{
    if (m_growTarget <= m_rowCount) {
        m_growTarget = -1;
        return;
    }
    const int target = m_growTarget;
    m_growTarget = -1;
    m_countWatch->stop();
    restructure([&] {
        beginInsertRows(QModelIndex(), m_rowCount, target - 1);
        m_rowCount = target;
        endInsertRows();
    });
}

void GridModel::completeRows()
{
    if (!m_dataSet || !m_dataSet->isActive() || (m_growTarget < 0 && !m_dataSet->countPending()))
        return;
    // A failure to count is the store's to report; the rows known stay.
    try {
        m_growTarget = m_dataSet->rowCount();
    } catch (const std::exception& error) {
        m_growTarget = -1;
        m_readFailure->failed(error);
        return;
    }
    finishGrowing();
}

void GridModel::displayChanged(store::DisplayChange change)
{
    if (!m_dataSet)
        return;
    // Rows still being added: a move among those there already lets the rest
    // come share by share; anything else needs them all first.
    if (m_growTarget >= 0) {
        const bool moveAmongShown = m_dataSet->isActive() && m_dataSet->rowCountSoFar() == m_growTarget &&
                                    m_dataSet->currentRow() < m_rowCount &&
                                    (change == store::DisplayChange::Current || change == store::DisplayChange::Fields);
        if (!moveAmongShown)
            finishGrowing();
    }
    // Whatever the user did next (not a keystroke into the pending record) is
    // the moment to try a locked file again; rows that failed are tried again
    // once the rows may have changed.
    if (change != store::DisplayChange::Fields)
        m_readSuspended = false;
    if (change == store::DisplayChange::Everything)
        m_unreadableRows.clear();
    const bool active = m_dataSet->isActive();
    int newCount = active ? m_dataSet->rowCountSoFar() : 0;
    if (m_growTarget >= 0 && newCount == m_growTarget)
        newCount = m_rowCount;
    const int newCurrent = active ? m_dataSet->currentRow() : -1;
    const store::CursorState newState = m_dataSet->state();

    if (change == store::DisplayChange::Fields && newCount == m_rowCount) {
        if (m_currentRow >= 0 && m_currentRow < m_rowCount && !m_columns.isEmpty())
            Q_EMIT dataChanged(index(m_currentRow, 0),
                               index(m_currentRow, static_cast<int>(m_columns.size()) - 1));
        // Dropping a change returns the record to browsing with its old
        // values: the row's mark must say so too.
        if (newState != m_state) {
            m_state = newState;
            if (m_currentRow >= 0 && m_currentRow < m_rowCount)
                Q_EMIT headerDataChanged(Qt::Vertical, m_currentRow, m_currentRow);
        }
        return;
    }

    if (change == store::DisplayChange::Current && newCount == m_rowCount) {
        const int oldCurrent = m_currentRow;
        const bool stateChanged = newState != m_state;
        m_currentRow = newCurrent;
        m_state = newState;
        if (stateChanged) {
            // The move ended a pending record: its saved values may sit elsewhere now.
            refreshAll();
        } else {
            if (oldCurrent >= 0 && oldCurrent < m_rowCount)
                Q_EMIT headerDataChanged(Qt::Vertical, oldCurrent, oldCurrent);
            if (newCurrent >= 0 && newCurrent < m_rowCount)
                Q_EMIT headerDataChanged(Qt::Vertical, newCurrent, newCurrent);
        }
        Q_EMIT cursorRowChanged();
        return;
    }

    // Opening or reopening may have changed the fields: start over.
    const bool reopened = (m_state == store::CursorState::Closed) != !active;
    if (reopened) {
        restructure([&] {
            beginResetModel();
            resolveFields();
            endResetModel();
        });
        watchCount();
        Q_EMIT cursorRowChanged();
        return;
    }

    const store::CursorState oldState = m_state;
    restructure([&] {
        if (newCount == m_rowCount + 1 && newState == store::CursorState::Insert &&
            oldState != store::CursorState::Insert && newCurrent >= 0) {
            // A new record opened its own row at the cursor.
            m_transition = Transition::Inserting;
            m_transitionRow = newCurrent;
            beginInsertRows(QModelIndex(), newCurrent, newCurrent);
            m_rowCount = newCount;
            m_transition = Transition::None;
            endInsertRows();
            m_insertRow = newCurrent;
        } else if (newCount == m_rowCount - 1) {
            // A new record was dropped, or the current record deleted.
            const int gone =
                oldState == store::CursorState::Insert && m_insertRow >= 0 ? m_insertRow : m_currentRow;
            if (gone >= 0 && gone < m_rowCount) {
                m_transition = Transition::Removing;
                m_transitionRow = gone;
                beginRemoveRows(QModelIndex(), gone, gone);
                m_rowCount = newCount;
                m_transition = Transition::None;
                endRemoveRows();
            } else {
                beginResetModel();
                m_rowCount = newCount;
                endResetModel();
            }
        } else if (newCount != m_rowCount) {
            beginResetModel();
            m_rowCount = newCount;
            endResetModel();
        }
    });
    if (newState != store::CursorState::Insert)
        m_insertRow = -1;
    m_currentRow = newCurrent;
    m_state = newState;
    // Records may have moved in key order after a save: repaint every row.
    refreshAll();
    watchCount();
    Q_EMIT cursorRowChanged();
}

} // namespace widgets
