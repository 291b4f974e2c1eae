#pragma once

#include "widgets/DBGrid.h"

namespace app {

// The address grid.
class AddressGrid : public widgets::DBGrid {
    Q_OBJECT
public:
    using widgets::DBGrid::DBGrid;
};

} // namespace app
