#pragma once

// The personal records printed as text: per record its title, its text as
// plain characters with its own line breaks, and an empty line.

#include <QFont>
#include <QString>

namespace store {
class Cursor;
}
namespace reports {
class TextPrinter;
}

namespace organiser {

// The lines of one record: "NÁZEV: " and the title, "TEXT:  " and the
// text's first paragraph, its other paragraphs on their own lines, and an
// empty line.
QStringList recordLines(const QString& title, const QString& storedText);

// Opens the job, walks the table from its first record under a mark with
// the display suspended, and closes the job; the table returns to its mark
// and the job ends also when printing fails (the error passes on).
void printRecords(store::Cursor& table, reports::TextPrinter& out, const QFont& font);

} // namespace organiser
