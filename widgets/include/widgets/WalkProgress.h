#pragma once

// The program's one progress dialog for long walks over a table:
//
//     store::MarkedWalk walk(table, widgets::walkProgress(texts::kPrinting));
//     for (table.first(); !table.eof() && walk.step(); table.next())
//         ...
//     walk.finish(false); // a cancelled walk returns to its mark anyway
//
// The dialog appears only when the walk lasts, lets the windows repaint and
// offers "Zrušit"; it closes when the walk finishes. It stands over the
// active window, with that window's title. Tests answer through the fake
// progress of platform::ScopedFakeServices.

#include "store/MarkedWalk.h"

#include <QString>

namespace widgets {

// Empty (no progress shown) when no progress service is installed.
store::WalkProgress walkProgress(const QString& label);

} // namespace widgets
