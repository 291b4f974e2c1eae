#pragma once

#include <QModelIndex>

class QAbstractItemView;

namespace widgets {

class GridModel;

// Ties an item view to the cursor behind its model, both ways: the view's
// current index, its one selected cell and the row marker always stand on
// the cursor's record, and a move the user makes in the view moves the
// cursor. Shared by every view over a cursor so none of them can drift.
class CursorFollower {
public:
    CursorFollower(QAbstractItemView& view, GridModel& model);

    // Puts the view's current index and selection on the cursor's row,
    // keeping the column. `scroll` also brings the row into sight (the
    // cursor moved); after a user's event only a corrected view scrolls.
    void followCursor(bool scroll);
    // The view's current index changed. A user's move moves the cursor; when
    // the pending record cannot be saved the error is shown and the view goes
    // back to the cursor's row. Moves the view makes by itself while rows
    // come and go, and moves made here, are not the user's.
    void currentChanged(const QModelIndex& current, const QModelIndex& previous);

private:
    void setCurrent(const QModelIndex& target);

    QAbstractItemView& m_view;
    GridModel& m_model;
    bool m_syncing = false;
};

} // namespace widgets
