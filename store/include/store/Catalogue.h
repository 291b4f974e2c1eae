#pragma once

#include "store/TableDef.h"

#include <string>
#include <vector>

namespace store {

// The tables of the data directory with their fields, keys and files,
// in catalogue order. Backups copy them in an order of their own.
const std::vector<TableDef>& catalogue();
// nullptr when no table has that name (matched without regard to case).
const TableDef* findTableDef(const std::string& tableName);

// The data tables' password, three characters, held by the program.
const std::string& dataTablesPassword();

// Database alias used by every window; names the directory `Data` below the working directory.
inline constexpr const char* kAlias = "Adresar";
inline constexpr const char* kDataDirName = "Data";

} // namespace store
