#pragma once

#include <filesystem>

namespace tools {

// While one lives, SQLite files opened in this process skip their syncs: a
// fresh table folder is filled without forcing each of its thousand saves to
// disk (seconds on a real disk), and made durable once at the end with
// syncTree(). Only for files that nobody relies on yet (a fresh folder, a
// generated benchmark table): a crash may leave them damaged. One at a time.
class UnsyncedWrites {
public:
    UnsyncedWrites();
    ~UnsyncedWrites();
    UnsyncedWrites(const UnsyncedWrites&) = delete;
    UnsyncedWrites& operator=(const UnsyncedWrites&) = delete;
};

// Forces every file below `folder` and the folder entries themselves to disk.
void syncTree(const std::filesystem::path& folder);

// Forces the entries of one folder (a rename into it) to disk.
void syncFolder(const std::filesystem::path& folder);

} // namespace tools
