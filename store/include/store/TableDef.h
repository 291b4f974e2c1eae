#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace store {

enum class FieldKind { Text, Date, Time, Integer, Memo, FormattedMemo };

// What a new record's field gets when the program never sets it
// (the validity rules of the weight and backup-log tables).
enum class FieldDefault { None, Today, Now };

struct FieldDef {
    std::string name;
    FieldKind kind = FieldKind::Text;
    int width = 0; // characters for text fields, 0 where it does not apply
    FieldDefault defaultValue = FieldDefault::None;
};

// Whether the text can be set into the field: a whole date "d.m.yyyy", a
// time "h:mm[:ss]", a whole number, any text; empty text (no value) always.
// Editors write what is typed only once it is such a value.
bool fieldAcceptsText(const FieldDef& field, std::string_view text);

// A table's definition, stored inside its file. The program never changes it;
// only the tool that builds a data directory creates tables.
struct TableDef {
    std::string fileName;                 // "Dat.DB"
    std::vector<FieldDef> fields;
    std::optional<std::string> primaryKey;     // field name
    std::optional<std::string> secondaryIndex; // field name
    bool isProtected = false;
    // The catalogue's file names of this table; with this engine only the
    // first exists (tableFiles() names the files a table really has).
    std::vector<std::string> catalogueFiles;
};

} // namespace store
