#pragma once

// Generating benchmark tables without forcing every save to disk: every save of
// the store is its own transaction with synchronous=FULL, so generating a large
// table would take hours of fsyncs. The file written is the same, only not
// forced to disk record by record.

#include "tools/UnsyncedWrites.h"

namespace bench {

using SyncOff = tools::UnsyncedWrites;

} // namespace bench
