#pragma once

// The address block the editor appends for a person of the address book.

#include <QString>
#include <QStringList>

namespace store {
class DataSet;
}

namespace editor {

struct Address {
    QString surname;   // Příjmení
    QString firstName; // Jméno
    QString address;   // Adresa
    QString telephone; // Telefon
};

// The current record of an address table (fields read as text).
Address currentAddress(const store::DataSet& table);

// Six lines: an empty one, the name, the address, "telefon: " and the number,
// and two empty ones. Without a first name the surname stands alone.
QStringList addressBlockLines(const Address& address);

} // namespace editor
