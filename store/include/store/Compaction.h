#pragma once

// Keeps a big table's pages in key order. A table that grew by single saves
// has its pages scattered over the file; reading it in key order (as opening
// it does) then jumps all over the disk, which makes the first start after
// boot slow. A rebuild writes the table anew, in order, into a file beside it
// and renames that over the old one: a crash at any moment leaves either the
// old or the new file complete under the table's name.

#include <cstdint>
#include <filesystem>
#include <functional>

namespace store {

struct PageOrder {
    std::int64_t pages = 0;     // leaf pages of the records, in key order
    std::int64_t following = 0; // of them, pages stored right after the one before
};

// Reads where the leaf pages of the table's records lie. Nothing is written.
PageOrder pageOrder(const std::filesystem::path& file);

// The moments of a rebuild, told to the observer (the crash test stops there).
enum class CompactionStep {
    Copied,  // the new file is written beside the old one
    Synced,  // the new file is on the disk
    Renamed, // it has replaced the old one
    Done,    // the folder's entry is on the disk too
};

struct CompactionPolicy {
    // Smaller tables open fast however scattered; they are never rebuilt.
    std::int64_t minPages = 2048;
    // Rebuilt when fewer leaf pages than this share follow the one before.
    double minFollowing = 0.5;
    std::function<void(CompactionStep)> observer;
};

// The new file while it is written; a crash may leave it, the next call removes it.
std::filesystem::path compactionFile(const std::filesystem::path& file);

// Rebuilds the table file when the policy finds it scattered. The caller
// guarantees that no one has the file open (the program calls it at its end,
// still holding the working directory's lock). A file with a pending journal,
// a link or anything that is not a plain table file is left as it is. True
// when the file was rebuilt. Throws StoreError when the rebuild fails; the
// old file is then still in place.
bool compactIfScattered(const std::filesystem::path& file, const CompactionPolicy& policy = {});

} // namespace store
