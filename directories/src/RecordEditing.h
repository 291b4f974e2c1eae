#pragma once

// The pieces of the record-editing toolbar that every directory window uses
// alike, whatever its tones and messages.

#include <QString>

#include <optional>
#include <string>

class QWidget;

namespace store {
class Cursor;
}
namespace widgets {
class DBGrid;
}

namespace directories {

// Why the save button's save failed: a duplicate key gets the window's own
// message, any other failure its real reason.
struct SaveFailure {
    bool duplicate = false;
    QString message;
};

// The save button's save: the text of a cell still being typed goes into the
// record first, and a new record nothing was typed into is dropped (there is
// nothing to save). On failure the record stays pending as typed.
std::optional<SaveFailure> saveFromToolbar(widgets::DBGrid& grid, store::Cursor& table,
                                           const QString& duplicateMessage);

// Ends a pending record as a move would: a changed one is saved (a failure
// is thrown), an untouched one dropped. Run before an action that must not
// stop half done when the save fails.
void endPending(store::Cursor& table);

// "(N záznamů)": the word does not change with the number.
QString recordCountText(int count);

// The help topic F1 opens for the widget and its children.
void setHelpTopic(QWidget* widget, int topic);

// The search field's search: the first record whose key equals the text or
// sorts after it; an empty text goes to the first record.
void findNearestOrFirst(store::Cursor& table, const std::string& text);

// The insert button's insert: the grid takes the focus, a cell still being
// typed goes into its record, and the new record is typed from its first
// column, wherever the last one ended.
void insertFromToolbar(widgets::DBGrid& grid, store::Cursor& table);

} // namespace directories
