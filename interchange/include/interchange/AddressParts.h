#pragma once

#include "interchange/Source.h"

#include <QString>
#include <QStringList>

namespace interchange {

// An address as the outside formats give it, before it is put into the
// address table's five fields.
struct AddressParts {
    QString surname;      // or a firm's name
    QString firstName;
    QString address;      // one line, Czech order
    QStringList phones;
    QStringList noteParts; // the note first, then what has no field of its own
};

// The record of the address table: telephones joined as a user reads them
// ("777 123 456, 212 345 678"), those that do not fit the field go to the
// note, the note's parts joined by "; ".
SourceRecord composeAddress(const AddressParts& parts, int location);

// An address line in Czech order: "street, PSČ place" (any part may be missing).
QString czechAddressLine(const QString& street, const QString& postalCode, const QString& place);
// The reverse, for writing formats with separate parts: false when the line
// is not of that form (then all of it is the street).
bool splitCzechAddressLine(const QString& line, QString* street, QString* postalCode, QString* place);

// Whether a name without a first name looks like a firm's ("Stavby s.r.o.", "Pekárna a.s.").
bool looksLikeFirm(const QString& surname, const QString& firstName);

// The width of an address field in the table, in characters (0: unlimited).
int addressFieldWidth(AddressField field);

// Field texts joined: blanks at either end go, empty ones are left out.
QString joinNonEmpty(const QStringList& parts, const QString& separator);

} // namespace interchange
