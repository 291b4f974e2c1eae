#pragma once

#include "store/Errors.h"

#include <string>

namespace store {

// What the store was doing when a table failed; it leads the user's text.
enum class Operation { Open, Read, Save, Delete, Empty, Sort, Check };

// The user's text for a failure of a table: what failed (the operation on
// the named table), why (the kind, or `reason` when given) and what to do.
// `reason` replaces the usual cause of the kind (without a full stop); the
// advice stays. `engineMessage`, when given, follows on its own line as the technical detail.
std::string failureText(StoreError::Kind kind, Operation operation, const std::string& table,
                        const std::string& reason = {}, const std::string& engineMessage = {});

// A table's error from an engine error that names no table yet: the same kind,
// the user's text for the operation, the engine's account kept as the detail.
StoreError tableError(const StoreError& engineError, Operation operation, const std::string& table);

// A failure of a table with the user's text built as above.
[[noreturn]] void failTable(StoreError::Kind kind, Operation operation, const std::string& table,
                            const std::string& reason = {}, const std::string& detail = {});

// Runs f; an error that names no table yet is re-thrown as the table's own.
template <typename F> decltype(auto) onTable(Operation operation, const std::string& table, F&& f)
{
    try {
        return f();
    } catch (const StoreError& error) {
        if (!error.table().empty())
            throw;
        throw tableError(error, operation, table);
    }
}

} // namespace store
