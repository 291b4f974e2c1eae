#pragma once

#include <stdexcept>
#include <string>

namespace store {

// Every failure of the store is a StoreError. `kind` lets windows turn the
// expected ones (a duplicate key) into their own Czech message and tell the
// others apart; `table` names the table file it happened on; what() is the
// text for the user (what failed, why and what to do, in Czech, apart from
// the engine's own quoted English texts); `detail` is the technical account
// (the engine's message and the statement) for the log, never for a box.
class StoreError : public std::runtime_error {
public:
    enum class Kind {
        KeyViolation,   // duplicate primary key on save / insert with values
        EmptyDataset,   // "Cannot perform this operation on an empty dataset"
        NotFound,       // table file or field missing
        Damaged,        // the table file is damaged: restore it from a backup
        Foreign,        // a readable file that is not a table of this program (or not this table)
        Password,       // protected table, password not registered
        NotEditing,     // set a field outside edit/insert/key-entry
        Closed,         // operation on a closed cursor or selection
        BadStatement,   // a selection text of no known form
        BadValue,       // a value the field cannot hold: not a date, longer than the field, ...
        Locked,         // the file is locked or busy (another program holds it)
        ReadOnly,       // the file or its folder cannot be written
        Replaced,       // the file was replaced or moved while the table was open
        DiskFull,       // no space left for the write
        Io,             // any other file or engine failure
    };
    StoreError(Kind kind, const std::string& message, std::string table = {}, std::string detail = {})
        : std::runtime_error(message), m_kind(kind), m_table(std::move(table)), m_detail(std::move(detail))
    {
    }
    Kind kind() const { return m_kind; }
    // The table's file name ("Dat.DB"), empty where no table is concerned.
    const std::string& table() const { return m_table; }
    const std::string& detail() const { return m_detail; }

private:
    Kind m_kind;
    std::string m_table;
    std::string m_detail;
};

// The exact texts of the store's own errors, shown to the user in the error box.
inline constexpr const char* kEmptyDatasetMessage = "Cannot perform this operation on an empty dataset";
inline constexpr const char* kKeyViolationMessage = "Key violation.";
// The menu command that restores tables, as the store's advice names it; a
// message shown where that menu cannot be reached replaces it.
inline constexpr const char* kRestoreMenuAdvice = "(Zálohování › Obnova z disku)";

} // namespace store
