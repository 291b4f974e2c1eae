#include "app/AddressGrid.h"

namespace app {

void AddressGrid::moveToFirstColumn()
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.column() != 0)
        setCurrentIndex(model()->index(current.row(), 0));
}

} // namespace app
