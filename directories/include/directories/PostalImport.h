#pragma once

// Loading the complete list of postal codes that the Czech post publishes
// (or any CSV file with a place and a code column) into the postal-code
// table: first a plan of what would be added, changed and left, then one
// transaction that stores all of it or nothing.

#include "directories/CsvReader.h"

#include "store/Cursor.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace directories {

// Which column of the file holds what; -1 where the file has none. The last
// three only serve to tell apart places of one name with different codes.
struct PostalColumns {
    int place = -1;
    int code = -1;
    int type = -1;
    int municipality = -1;
    int district = -1;
    int postOffice = -1;
    bool complete() const { return place >= 0 && code >= 0; }
};

// The columns named in the header with the usual Czech names: the post's own
// (NAZCOBCE, PSC, NAZOBCE, NAZOKRESU, NAZPOST) and plain ones ("Místo",
// "Obec", "PSČ", "Okres", "Pošta", "Typ"), with or without diacritics.
PostalColumns recognisePostalColumns(const QStringList& header);

// "36235" or "362 35" (blanks anywhere) as the table writes it: "362 35";
// nullopt when the text is not five digits.
std::optional<QString> normalisedPostalCode(const QString& text);

// A place as the table holds it, with a mark to replace it by.
struct StoredPlace {
    QString place;
    QString code;
    QString type;
    store::Bookmark mark;
};

// Every record of the postal-code table, read under a mark with the display
// suspended (a pending record is ended first, as any walk ends it).
std::vector<StoredPlace> readStoredPlaces(store::Cursor& table);

struct PostalImportPlan {
    struct Addition {
        int line = 0;
        QString place;
        QString code;
        QString type;
    };
    struct Change {
        int line = 0;
        QString place; // as the table spells it
        QString oldCode;
        QString newCode;
        QString oldType;
        QString newType;
        store::Bookmark mark;
    };
    std::vector<Addition> additions;
    std::vector<Change> changes;
    int unchanged = 0;       // places of the file stored as they are already
    int onlyInTable = 0;     // stored places the file does not name: they stay
    int repeatedLines = 0;   // lines repeating a place with the same code
    int qualifiedPlaces = 0; // places of one name told apart by district, municipality or post office
    bool hasWork() const { return !additions.empty() || !changes.empty(); }
};

// Checks every line and plans the import. Places are matched without regard
// to letter case and surrounding blanks, as the table's key matches them.
// A place that the file gives with different codes is named with its
// district (then municipality, then post office) where the file has those
// columns; a stored place of that name keeps its name for the line with its
// code. Throws CsvError naming the line at fault: a missing column, an empty
// place, a code that is not five digits, a name too long for the table, or a
// place given twice with different codes that nothing tells apart.
PostalImportPlan planPostalImport(const CsvDocument& document, const PostalColumns& columns,
                                  const std::vector<StoredPlace>& stored);

// Stores the plan in one transaction: all of it, or (CsvError naming the
// line of the write at fault) nothing.
void applyPostalImport(store::Cursor& table, const PostalImportPlan& plan);

// The question shown before anything is written, and the report after it.
QString importPreviewText(const PostalImportPlan& plan, const CsvDocument& document, const QString& fileName);
QString importResultText(const PostalImportPlan& plan);

} // namespace directories
