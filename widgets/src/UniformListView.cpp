#include "UniformListView.h"

#include <QEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace widgets {

UniformListView::UniformListView(QWidget* parent) : QAbstractItemView(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
}

int UniformListView::rowCount() const
{
    return model() ? model()->rowCount(rootIndex()) : 0;
}

QModelIndex UniformListView::indexOfRow(int row) const
{
    if (!model() || row < 0 || row >= rowCount())
        return {};
    return model()->index(row, 0, rootIndex());
}

int UniformListView::rowHeight() const
{
    if (m_rowHeight > 0)
        return m_rowHeight;
    int height = 0;
    const QModelIndex first = indexOfRow(0);
    if (first.isValid() && itemDelegate()) {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        height = itemDelegate()->sizeHint(option, first).height();
    }
    // Without rows there is nothing to measure: the font gives the height,
    // measured again once rows come.
    if (height <= 0)
        return std::max(1, fontMetrics().height());
    m_rowHeight = height;
    return m_rowHeight;
}

int UniformListView::sizeHintForRow(int) const
{
    return rowHeight();
}

int UniformListView::firstVisibleRow() const
{
    return verticalScrollBar()->value();
}

int UniformListView::visibleRows() const
{
    return std::max(1, viewport()->height() / rowHeight());
}

QRect UniformListView::visualRect(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != model())
        return {};
    // In 64 bits: a row a million below the first is far outside, not wrapped round.
    const qint64 top = static_cast<qint64>(index.row() - firstVisibleRow()) * rowHeight();
    const qint64 limit = 1 << 24;
    return {0, static_cast<int>(std::clamp(top, -limit, limit)), viewport()->width(), rowHeight()};
}

void UniformListView::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    if (!index.isValid())
        return;
    const int row = index.row();
    const int first = firstVisibleRow();
    const int shown = visibleRows();
    int top = first;
    switch (hint) {
    case PositionAtTop:
        top = row;
        break;
    case PositionAtBottom:
        top = row - shown + 1;
        break;
    case PositionAtCenter:
        top = row - shown / 2;
        break;
    case EnsureVisible:
        if (row < first)
            top = row;
        else if (row >= first + shown)
            top = row - shown + 1;
        break;
    }
    verticalScrollBar()->setValue(top);
}

QModelIndex UniformListView::indexAt(const QPoint& point) const
{
    if (point.y() < 0 || point.x() < 0 || point.x() >= viewport()->width())
        return {};
    return indexOfRow(firstVisibleRow() + point.y() / rowHeight());
}

void UniformListView::reset()
{
    m_rowHeight = 0;
    QAbstractItemView::reset();
}

QModelIndex UniformListView::moveCursor(CursorAction action, Qt::KeyboardModifiers)
{
    const int count = rowCount();
    if (count == 0)
        return {};
    const int current = currentIndex().isValid() ? currentIndex().row() : -1;
    const int page = visibleRows();
    int row = current;
    switch (action) {
    case MoveUp:
    case MovePrevious:
        row = current - 1;
        break;
    case MoveDown:
    case MoveNext:
        row = current + 1;
        break;
    case MovePageUp:
        row = current - page;
        break;
    case MovePageDown:
        row = current + page;
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = count - 1;
        break;
    case MoveLeft:
    case MoveRight:
        break;
    }
    return indexOfRow(std::clamp(row, 0, count - 1));
}

int UniformListView::horizontalOffset() const
{
    return 0;
}

int UniformListView::verticalOffset() const
{
    return firstVisibleRow() * rowHeight();
}

bool UniformListView::isIndexHidden(const QModelIndex&) const
{
    return false;
}

void UniformListView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command)
{
    if (!selectionModel())
        return;
    const QRect area = rect.normalized();
    const int last = rowCount() - 1;
    const int top = std::clamp(firstVisibleRow() + area.top() / rowHeight(), 0, std::max(0, last));
    const int bottom = std::clamp(firstVisibleRow() + area.bottom() / rowHeight(), 0, std::max(0, last));
    if (last < 0)
        return;
    selectionModel()->select(QItemSelection(indexOfRow(top), indexOfRow(bottom)), command);
}

QRegion UniformListView::visualRegionForSelection(const QItemSelection& selection) const
{
    // Only the rows on the screen matter; a range is one rectangle, never row by row.
    const int first = firstVisibleRow();
    const int last = first + visibleRows();
    QRegion region;
    for (const QItemSelectionRange& range : selection) {
        const int top = std::max(range.top(), first);
        const int bottom = std::min(range.bottom(), last);
        if (top > bottom)
            continue;
        region += QRect(0, (top - first) * rowHeight(), viewport()->width(), (bottom - top + 1) * rowHeight());
    }
    return region;
}

void UniformListView::updateGeometries()
{
    const int shown = visibleRows();
    verticalScrollBar()->setRange(0, std::max(0, rowCount() - shown));
    verticalScrollBar()->setPageStep(shown);
    verticalScrollBar()->setSingleStep(1);
    QAbstractItemView::updateGeometries();
}

void UniformListView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void UniformListView::paintEvent(QPaintEvent*)
{
    if (!model() || !itemDelegate())
        return;
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const int height = rowHeight();
    const int first = firstVisibleRow();
    const int last = std::min(rowCount() - 1, first + viewport()->height() / height);
    const QModelIndex current = currentIndex();
    const bool focus = hasFocus() || viewport()->hasFocus();
    const QStyle::State base = option.state;
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = indexOfRow(row);
        option.rect = QRect(0, (row - first) * height, viewport()->width(), height);
        option.state = base;
        if (selectionModel() && selectionModel()->isSelected(index))
            option.state |= QStyle::State_Selected;
        if (focus && index == current)
            option.state |= QStyle::State_HasFocus;
        itemDelegate()->paint(&painter, option, index);
    }
}

bool UniformListView::event(QEvent* event)
{
    // Another font or style may give the rows another height.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_rowHeight = 0;
        updateGeometries();
    }
    return QAbstractItemView::event(event);
}

} // namespace widgets
