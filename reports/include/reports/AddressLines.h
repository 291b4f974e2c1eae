#pragma once

// The address book printed as labelled lines, one block per address.

#include <QFont>
#include <QString>

namespace store {
class Cursor;
}

namespace reports {

class TextPrinter;

enum class AddressLines {
    AllFields,     // surname, first name, address, telephone and note
    WithoutNote,   // the same without the note
};

// The labels, each exactly 11 characters, the text following directly.
QString addressLabel(int field); // 0 surname .. 4 note

// Opens the job, walks the table from its first record under a mark with the
// display suspended, writes a block of lines and an empty line per record, and
// closes the job. The table returns to its mark and the job ends also when the
// walk fails; an error is passed on.
void printAddressLines(store::Cursor& table, TextPrinter& out, const QFont& font,
                       AddressLines which);

} // namespace reports
