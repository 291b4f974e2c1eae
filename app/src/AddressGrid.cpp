#include "app/AddressGrid.h"

namespace app {

void AddressGrid::commitOpenEditor()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void AddressGrid::dropOpenEditor()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget* editor = indexWidget(currentIndex()))
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

void AddressGrid::moveToFirstColumn()
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.column() != 0)
        setCurrentIndex(model()->index(current.row(), 0));
}

} // namespace app
