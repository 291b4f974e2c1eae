#pragma once

// One import path for every source: what was read is checked against the
// tables before anything is written. The plan lists per table what will be
// added, what conflicts with a key already there (or with an earlier record
// of the same import) and what cannot be imported; the user chooses for each
// conflict; applying writes each table in one transaction.

#include "store/Cursor.h"

#include "interchange/Source.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace store {
class Database;
}

namespace interchange {

enum class Choice { Skip, Replace, KeepBoth };
enum class EntryKind { Add, Conflict, Problem };

struct PlanEntry {
    EntryKind kind = EntryKind::Add;
    int location = 0;
    std::vector<QString> fields;   // as they will be written (shortened where needed)
    QStringList warnings;
    QString message;               // a problem's reason, with its line or record
    // A conflict: the record already there (or the earlier one of this import).
    std::vector<QString> existing;
    bool withEarlier = false;      // with an earlier record of this import
    std::optional<store::Bookmark> existingMark;
    QString keepBothKey;           // the key "keep both" stores it under
    Choice choice = Choice::Skip;

    // Whether applying the plan writes it, with the choice made.
    bool written() const;
};

struct TablePlan {
    std::string tableName;
    QString locationWord;
    std::vector<PlanEntry> entries; // in the order read
    QStringList notes;
    bool skipped = false;
    QString skipReason;
    int keyField = -1;              // the field conflicts are found on, -1: every record is added
    bool keepBothAllowed = false;   // a text key can take a suffix; a date or a day cannot
    int adds = 0, conflicts = 0, problems = 0;
};

struct ImportPlan {
    QString description;
    std::vector<TablePlan> tables;

    int count(EntryKind kind) const;
    // The same choice for every conflict (keep both only where it is possible).
    void chooseForAll(Choice choice);
    bool empty() const; // nothing to add and no conflict: nothing would be written

    // The values shortened to their field or left out in the records that
    // will be written with the choices made, one line each for the user:
    // "Adresář (Dat.DB): Řádek 3 (Novák): pole „Poznámka“ zkráceno ...".
    QStringList changedValues() const;
    int changedValueCount() const;
};

// Checks what was read against the tables: keys, values the fields take
// (dates, times, numbers) and their widths. Reads only. `progress` gets
// records done of all and may stop by returning false (nullopt then).
std::optional<ImportPlan> makePlan(store::Database& database, const ImportSource& source,
                                   const std::function<bool(qint64 done, qint64 total)>& progress = {});

struct TableResult {
    std::string tableName;
    int added = 0, replaced = 0, keptBoth = 0, skipped = 0, unreadable = 0;
    int changedValues = 0;          // shortened or left out in the records written
    bool failed = false;
    QString error;                  // why nothing of this table was written
};

// Writes the plan: every table of it or none. When a table cannot be written,
// every table is left as it was and says so, the one at fault naming the line
// or record. `progress` gets tables done of all; stopping before the writing
// writes nothing.
std::vector<TableResult> applyPlan(store::Database& database, const ImportPlan& plan,
                                   const std::function<bool(int done, int total)>& progress = {});

// The counts for the user: "Dat.DB: přidáno 12, nahrazeno 2, ..." one line per table.
QString resultText(const std::vector<TableResult>& results);

} // namespace interchange

namespace interchange {
// What the user calls a table: "Adresář (Dat.DB)".
QString tableLabel(const std::string& tableName);
} // namespace interchange
