#pragma once

#include "widgets/DBGrid.h"

namespace app {

// The address grid. The toolbar buttons take no focus, so a cell being typed
// into is still open in its editor when one is pressed; these hand the typed
// text to the record (or throw it away) first, as the toolkit's grid did.
class AddressGrid : public widgets::DBGrid {
    Q_OBJECT
public:
    using widgets::DBGrid::DBGrid;

    void commitOpenEditor();
    void dropOpenEditor();
    // A new record is typed from its first column, wherever the last one ended.
    void moveToFirstColumn();
};

} // namespace app
