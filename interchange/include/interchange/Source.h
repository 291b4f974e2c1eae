#pragma once

// What an import read from a file or folder, before anything is written:
// for each table the records in its field order, each with the line or record
// it came from, and what could not be read.

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace interchange {

// One record as texts in the order of the target table's fields.
struct SourceRecord {
    int location = 0;        // line (text files) or record number (tables), from 1
    std::vector<QString> fields;
    QStringList warnings;    // what was changed on the way (shortened, left out)
};

// A line or record that cannot be imported, and why (Czech, for the user).
struct SourceProblem {
    int location = 0;
    QString message;
};

struct TableSource {
    std::string tableName;           // the catalogue's name, "Dat.DB"
    QString locationWord;            // "Řádek" or "Záznam": what `location` counts
    std::vector<SourceRecord> records;
    std::vector<SourceProblem> problems;
    QStringList notes;               // about the whole table (fields left out, code page)
    // A table that is not read at all (encrypted with an unknown password, damaged).
    bool skipped = false;
    QString skipReason;
    // What the library that read the file said (English): for the log, never for the user.
    QStringList log;
};

struct ImportSource {
    QString description;             // "vCard (3 vizitky)", "CSV, Windows-1250, středník"
    std::vector<TableSource> tables;
};

// The address table's fields, in its order.
enum AddressField { Surname, FirstName, Address, Phone, Note, AddressFieldCount };

} // namespace interchange
