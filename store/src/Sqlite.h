#pragma once

#include "store/Errors.h"

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace store {

// A prepared statement that resets itself for reuse.
class Statement {
public:
    Statement() = default;
    Statement(sqlite3* db, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement(Statement&& other) noexcept : m_stmt(other.m_stmt) { other.m_stmt = nullptr; }
    Statement& operator=(Statement&& other) noexcept;

    void bind(int index, std::int64_t value);
    void bind(int index, std::string_view text);
    void bindBlob(int index, std::string_view bytes);
    void bind(int index, const std::optional<std::string>& text);
    void bindNull(int index);
    // True while a row is available; throws on errors.
    bool step();
    void reset();

    std::int64_t integer(int column) const { return sqlite3_column_int64(m_stmt, column); }
    bool isNull(int column) const { return sqlite3_column_type(m_stmt, column) == SQLITE_NULL; }
    // The column's text, or nullopt for a null.
    std::optional<std::string_view> textOrNull(int column) const;
    std::string_view text(int column) const;
    std::string_view blob(int column) const;
    sqlite3_stmt* handle() const { return m_stmt; }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

// Turns an SQLite result code into the store's error of the right kind
// (corrupt files are Damaged, a full disk DiskFull, ...), naming no table yet:
// its text is the engine's message, its detail adds the statement.
StoreError engineError(sqlite3* db, int code, const std::string& context);
[[noreturn]] void throwSqlite(sqlite3* db, int code, const std::string& context);
void exec(sqlite3* db, const char* sql);
std::string quoteIdentifier(std::string_view name);

} // namespace store
