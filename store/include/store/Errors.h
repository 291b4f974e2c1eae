#pragma once

#include <stdexcept>
#include <string>

namespace store {

// Every failure of the store is a StoreError; `kind` lets windows turn the
// expected ones (a duplicate key) into their own Czech message.
class StoreError : public std::runtime_error {
public:
    enum class Kind {
        KeyViolation,   // duplicate primary key on save / insert with values
        EmptyDataset,   // "Cannot perform this operation on an empty dataset"
        NotFound,       // table file or field missing
        Damaged,        // file exists but is not a readable table
        Password,       // protected table, password not registered
        NotEditing,     // set a field outside edit/insert/key-entry
        Closed,         // operation on a closed cursor or selection
        BadStatement,   // a selection text of no known form
        Locked,         // working directory used by another instance
        Io,             // any other SQLite / file failure
    };
    StoreError(Kind kind, const std::string& message) : std::runtime_error(message), m_kind(kind) {}
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

// The exact texts of the store's own errors, shown to the user in the error box.
inline constexpr const char* kEmptyDatasetMessage = "Cannot perform this operation on an empty dataset";
inline constexpr const char* kKeyViolationMessage = "Key violation.";

} // namespace store
