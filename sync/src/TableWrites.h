#pragma once

// A sync's changes to one table by key, in as few transactions as the
// table allows: shared by every local side.

#include "sync/LocalSide.h"

#include <functional>

namespace store {
class Cursor;
}

namespace davsync {

// Deletes and renames free their keys first, so that a record may take a
// key another one gave up in the same sync; then every put, in batches.
void applyWrites(store::Cursor& cursor, const std::vector<LocalWrite>& writes,
                 const std::function<QString(const Fields&)>& keyOf);

} // namespace davsync
