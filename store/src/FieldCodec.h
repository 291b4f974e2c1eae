#pragma once

#include "store/TableDef.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace store {

// A record as kept in the file: one value per field, std::nullopt for an
// empty field. Dates are "yyyy-mm-dd", times "hh:mm:ss", integers decimal,
// so that the column sorts and compares like the field.
using Values = std::vector<std::optional<std::string>>;

// Text as typed -> stored form. Empty text gives nullopt; text that is not a
// value of the kind throws StoreError (naming the field).
std::optional<std::string> storedFromText(const FieldDef& field, std::string_view text);
// Stored form -> the text a field reads as ("d.m.yyyy" for dates).
std::string textFromStored(FieldKind kind, const std::optional<std::string>& stored);

// Binary sort key of a stored value: byte order is the index order. Text is
// the ICU Czech tertiary key; an empty field is the empty key (first).
std::string sortKey(FieldKind kind, const std::optional<std::string>& stored);
// Compares a text sort key with a search key at the second level (case
// ignored): both are cut at the end of their secondary weights.
int compareSecondary(std::string_view key, std::string_view searchKey);
// Version of the collator the sort keys come from.
std::string sortKeyCollatorVersion();

// Keys of the storage order of tables without a primary key: byte strings
// that always leave room for another one between two neighbours.
std::string positionBetween(std::string_view before, std::string_view after);
std::string positionAfter(std::string_view before);

} // namespace store
