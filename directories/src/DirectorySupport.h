#pragma once

// What the directory windows share beside the record-editing toolbar.

#include "widgets/RecordToolbar.h"

#include <QString>

#include <string>

class QWidget;

namespace store {
class Cursor;
}

namespace directories {

// "(N záznamů)": the word does not change with the number.
QString recordCountText(int count);

// The record-editing buttons of the telephone prefixes and the appliances:
// their names, hints and delete question ("Smazat záznam " + the key + "?").
widgets::RecordToolbarSettings toolButtonEditing(const QString& duplicateMessage, const std::string& keyField);

// The help topic F1 opens for the widget and its children.
void setHelpTopic(QWidget* widget, int topic);

// The search field's search: the first record whose key equals the text or
// sorts after it; an empty text goes to the first record.
void findNearestOrFirst(store::Cursor& table, const std::string& text);

} // namespace directories
