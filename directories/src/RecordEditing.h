#pragma once

// The pieces of the record-editing toolbar that every directory window uses
// alike, whatever its tones and messages.

#include <QString>

class QWidget;

namespace store {
class Cursor;
}
namespace widgets {
class DBGrid;
}

namespace directories {

enum class SaveOutcome { Saved, Duplicate };

// The save button's save: the text of a cell still being typed goes into the
// record first, and a new record nothing was typed into is dropped (there is
// nothing to save). A duplicate key comes back as Duplicate with the record
// still pending; any other failure is thrown with the store's own reason.
SaveOutcome saveFromToolbar(widgets::DBGrid& grid, store::Cursor& table);

// Ends a pending record as a move would: a changed one is saved (a failure
// is thrown), an untouched one dropped. Run before an action that must not
// stop half done when the save fails.
void endPending(store::Cursor& table);

// "(N záznamů)": the word does not change with the number.
QString recordCountText(int count);

// The help topic F1 opens for the widget and its children.
void setHelpTopic(QWidget* widget, int topic);

// A new record is typed from its first column, wherever the last one ended.
void moveToFirstColumn(widgets::DBGrid& grid);

} // namespace directories
