#include "CursorFollower.h"

#include "widgets/ErrorReport.h"
#include "widgets/GridModel.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>

namespace widgets {

CursorFollower::CursorFollower(QAbstractItemView& view, GridModel& model)
    : m_view(view), m_model(model)
{
}

void CursorFollower::setCurrent(const QModelIndex& target)
{
    QItemSelectionModel* selection = m_view.selectionModel();
    // A grid that selects whole rows highlights the cursor's whole row.
    const QItemSelectionModel::SelectionFlags flags =
        m_view.selectionBehavior() == QAbstractItemView::SelectRows
            ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows
            : QItemSelectionModel::ClearAndSelect;
    m_syncing = true;
    if (selection->currentIndex() != target)
        selection->setCurrentIndex(target, flags);
    else
        selection->select(target, flags);
    m_syncing = false;
}

void CursorFollower::followCursor(bool scroll)
{
    store::DataSet* data = m_model.dataSet();
    QItemSelectionModel* selection = m_view.selectionModel();
    if (!data || !selection || m_syncing || m_model.restructuring() || data->controlsDisabled())
        return;
    const int row = data->isActive() ? data->currentRow() : -1;
    if (row < 0 || row >= m_model.rowCount()) {
        if (selection->hasSelection())
            selection->clearSelection();
        return;
    }
    const QModelIndex current = selection->currentIndex();
    const QModelIndex target = m_model.index(row, current.isValid() ? current.column() : 0);
    const QModelIndexList selected = selection->selectedIndexes();
    const bool correct =
        current == target &&
        (m_view.selectionBehavior() == QAbstractItemView::SelectRows
             ? selection->selectedRows().size() == 1 && selection->isRowSelected(row, QModelIndex())
             : selected.size() == 1 && selected.first() == target);
    if (!correct)
        setCurrent(target);
    if (scroll || !correct)
        m_view.scrollTo(target);
}

void CursorFollower::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    store::DataSet* data = m_model.dataSet();
    if (m_syncing || m_model.restructuring() || !data || !current.isValid() || !data->isActive() ||
        data->controlsDisabled())
        return;
    if (current.row() == data->currentRow())
        return;
    // Moving to another row saves the pending record; when that fails the
    // row stays where it was, still being edited. The view goes back before
    // the error is shown, so the box is never about a highlighted other row.
    try {
        data->moveToRow(current.row());
    } catch (const std::exception& error) {
        const int row = data->currentRow();
        if (row >= 0 && row < m_model.rowCount()) {
            const int column = previous.isValid() ? previous.column() : current.column();
            setCurrent(m_model.index(row, column));
        }
        reportError(error);
    }
}

} // namespace widgets
