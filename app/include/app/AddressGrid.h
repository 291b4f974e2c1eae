#pragma once

#include "widgets/DBGrid.h"

namespace app {

// The address grid.
class AddressGrid : public widgets::DBGrid {
    Q_OBJECT
public:
    using widgets::DBGrid::DBGrid;

    // A new record is typed from its first column, wherever the last one ended.
    void moveToFirstColumn();
};

} // namespace app
