#pragma once

// Paradox tables for the tests, written with pxlib's own writer. Only the
// memo file is written here: pxlib 0.6.8 puts a short memo's slot entry at the
// wrong place in its block, so its .MB files are not what Paradox writes.

#include <QString>

#include <filesystem>
#include <string>
#include <vector>

namespace paradox_fixture {

struct Field {
    const char* name; // UTF-8; written in the table's code page
    int type;         // pxfAlpha, pxfDate, ...
    int length;       // bytes in the record (memos: 10 + the part kept in the record)
};

struct Table {
    std::vector<Field> fields;
    std::vector<std::vector<QString>> rows; // texts: dates "d.m.yyyy", times "h:mm:ss", numbers
    int codePage = 1250;
    int primaryKeyFields = 0;
    std::string password; // encrypts the table when not empty
};

// Writes `folder/fileName` (and its .MB when a memo does not fit its record).
void write(const std::filesystem::path& folder, const std::string& fileName, const Table& table);

} // namespace paradox_fixture
