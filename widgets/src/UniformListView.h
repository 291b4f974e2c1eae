#pragma once

#include <QAbstractItemView>

namespace widgets {

// A one-column list whose rows all have the height of the first: every
// position is computed from the row number, so a million rows cost no more
// than ten. (QListView keeps a position for every row and lays them all out
// again whenever rows are added or the view is resized, 40 ms and more at a
// million rows, even with uniform item sizes.) The scroll bar counts rows.
class UniformListView : public QAbstractItemView {
    Q_OBJECT
public:
    explicit UniformListView(QWidget* parent = nullptr);

    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    int sizeHintForRow(int row) const override;
    void reset() override;

    int rowHeight() const;
    int firstVisibleRow() const;
    // Rows that fit wholly in the viewport (at least one).
    int visibleRows() const;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex& index) const override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    int rowCount() const;
    QModelIndex indexOfRow(int row) const;
    mutable int m_rowHeight = 0; // 0: measure again
};

} // namespace widgets
