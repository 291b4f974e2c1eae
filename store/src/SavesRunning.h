#pragma once

#include <atomic>

namespace store {

// Write transactions of this process begun and not yet ended. A check of a
// table file in the background gives way while one runs: its read lock
// would otherwise hold up the save's commit.
std::atomic<int>& savesRunning();

} // namespace store
