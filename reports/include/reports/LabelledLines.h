#pragma once

// A table printed as labelled lines: one block of "LABEL: text" lines and an
// empty line per record, from the first record to the last.

#include <QFont>
#include <QString>

#include <string>
#include <vector>

namespace store {
class Cursor;
}

namespace reports {

class TextPrinter;

// One printed line of a block: the label (blanks included) and the field after it.
struct LabelledField {
    std::string field;
    QString label;
};

// Ends a pending record first (a changed one is saved, so a record that cannot
// be saved stops before a job starts), opens the job, walks the table from its
// first record under a mark with the display suspended and closes the job.
// The table returns to its mark and the job ends also when the walk fails; an
// error is passed on.
void printLabelledLines(store::Cursor& table, TextPrinter& out, const QFont& font,
                        const QString& jobTitle, const std::vector<LabelledField>& lines);

} // namespace reports
