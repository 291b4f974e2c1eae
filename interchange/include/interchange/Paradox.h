#pragma once

// The tables of an old Paradox data directory, read with pxlib: each table of
// the catalogue whose .DB file is in the folder becomes the records of its
// table here, its texts converted from the code page the file declares
// (852 or 1250) and its memos read from the .MB file beside it.

#include "interchange/Source.h"

#include "store/TableDef.h"

#include <QByteArray>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace interchange {

// Whether the folder holds at least one table of the catalogue as a Paradox file.
bool isParadoxDirectory(const std::filesystem::path& folder);

// One Paradox table into the fields of `target`, matched by name. A table
// encrypted with none of `passwords`, or damaged past reading (a truncated
// file), comes back skipped with the reason; a record that cannot be read is
// a problem naming its number.
TableSource readParadoxTable(const std::filesystem::path& dbFile, const store::TableDef& target,
                             const std::vector<std::string>& passwords);

// The same from a table file's bytes, without a memo file (the fuzz target's way in).
TableSource readParadoxBytes(const QByteArray& bytes, const store::TableDef& target,
                             const std::vector<std::string>& passwords);

// Every table of the catalogue found in the folder, in catalogue order.
// `progress` is told each table's number and may stop by returning false
// (then the result is empty).
ImportSource readParadoxDirectory(const std::filesystem::path& folder, const std::vector<std::string>& passwords,
                                  const std::function<bool(int done, int total)>& progress = {});

// The .DB file of a catalogue table in the folder, found without regard to
// case ("DAT.DB", "dat.db"); empty when there is none.
std::filesystem::path findTableFile(const std::filesystem::path& folder, const std::string& fileName);

} // namespace interchange
