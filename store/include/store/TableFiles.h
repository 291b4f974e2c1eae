#pragma once

#include "store/TableDef.h"

#include <filesystem>
#include <string>
#include <vector>

struct sqlite3;

namespace store {

// The files that make up a table in its data directory, main file first.
// This engine keeps a whole table (records, keys, memos, rules) in one file;
// the catalogue's other names (.PX, .MB, .VAL, ...) do not exist. A rollback
// journal beside the file belongs to a save that never finished and is no
// part of the table: copying it along would let SQLite replay it into a
// different file.
std::vector<std::string> tableFiles(const TableDef& def);
inline constexpr const char* kJournalSuffix = "-journal";

// Keeps a table file still while it is copied byte by byte: a read
// transaction on a connection of its own, so no save of this or another
// process can commit until it ends, and a journal left by a crashed save has
// been rolled back before the first byte is read. Throws StoreError when the
// file cannot be opened as a table file.
class FileSnapshot {
public:
    explicit FileSnapshot(const std::filesystem::path& file);
    ~FileSnapshot();
    FileSnapshot(const FileSnapshot&) = delete;
    FileSnapshot& operator=(const FileSnapshot&) = delete;

private:
    sqlite3* m_db = nullptr;
};

} // namespace store
