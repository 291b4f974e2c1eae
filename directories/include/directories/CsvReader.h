#pragma once

// The postal-code import reads its CSV files with the reading the address
// import uses: one reader for encodings, separators and quoted fields.

#include "interchange/CsvReader.h"

namespace directories {

using interchange::CsvDocument;
using interchange::CsvError;
using interchange::CsvRow;
using interchange::decodeText;
using interchange::detectSeparator;
using interchange::encodingName;
using interchange::headerKey;
using interchange::matchColumns;
using interchange::readCsv;
using interchange::TextEncoding;

} // namespace directories
