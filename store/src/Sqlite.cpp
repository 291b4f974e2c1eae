#include "Sqlite.h"

#include <cerrno>

namespace store {

Statement::Statement(sqlite3* db, std::string_view sql)
{
    const int rc = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                                      &m_stmt, nullptr);
    if (rc != SQLITE_OK)
        throwSqlite(db, rc, "prepare " + std::string(sql));
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_stmt = other.m_stmt;
        other.m_stmt = nullptr;
    }
    return *this;
}

void Statement::bind(int index, std::int64_t value)
{
    sqlite3_bind_int64(m_stmt, index, value);
}

void Statement::bind(int index, std::string_view text)
{
    sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void Statement::bindBlob(int index, std::string_view bytes)
{
    // A zero-length blob must stay a blob, not NULL.
    sqlite3_bind_blob(m_stmt, index, bytes.empty() ? "" : bytes.data(), static_cast<int>(bytes.size()),
                      SQLITE_TRANSIENT);
}

void Statement::bind(int index, const std::optional<std::string>& text)
{
    if (text)
        bind(index, std::string_view(*text));
    else
        bindNull(index);
}

void Statement::bindNull(int index)
{
    sqlite3_bind_null(m_stmt, index);
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3* db = sqlite3_db_handle(m_stmt);
    const char* sql = sqlite3_sql(m_stmt);
    StoreError error = engineError(db, rc, sql ? sql : "step");
    sqlite3_reset(m_stmt);
    throw error;
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

std::string_view Statement::text(int column) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return data ? std::string_view(data, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, column)))
                : std::string_view();
}

std::optional<std::string_view> Statement::textOrNull(int column) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    if (!data)
        return std::nullopt;
    return std::string_view(data, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, column)));
}

std::string_view Statement::blob(int column) const
{
    const auto* data = static_cast<const char*>(sqlite3_column_blob(m_stmt, column));
    return data ? std::string_view(data, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, column)))
                : std::string_view();
}

namespace {

StoreError::Kind errorKind(int code, int systemErrno)
{
    // The file was replaced or moved while open: no permission would help.
    if (code == SQLITE_READONLY_DBMOVED)
        return StoreError::Kind::Replaced;
    switch (code & 0xFF) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return StoreError::Kind::Damaged;
    case SQLITE_CONSTRAINT:
        return StoreError::Kind::KeyViolation;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return StoreError::Kind::Locked;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return StoreError::Kind::ReadOnly;
    case SQLITE_FULL:
        return StoreError::Kind::DiskFull;
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
        // The engine's I/O errors carry the system's reason.
        if (systemErrno == ENOSPC || systemErrno == EDQUOT)
            return StoreError::Kind::DiskFull;
        if (systemErrno == EACCES || systemErrno == EPERM || systemErrno == EROFS)
            return StoreError::Kind::ReadOnly;
        return StoreError::Kind::Io;
    default:
        return StoreError::Kind::Io;
    }
}

} // namespace

StoreError engineError(sqlite3* db, int code, const std::string& context)
{
    const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
    const StoreError::Kind kind = errorKind(code, db ? sqlite3_system_errno(db) : 0);
    // The table the statement worked on is named where the store catches
    // this (onTable); the statement itself is only for the log.
    return StoreError(kind, kind == StoreError::Kind::KeyViolation ? std::string(kKeyViolationMessage) : message, {},
                      context + ": " + message);
}

void throwSqlite(sqlite3* db, int code, const std::string& context)
{
    throw engineError(db, code, context);
}

void exec(sqlite3* db, const char* sql)
{
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
    sqlite3_free(error);
    if (rc != SQLITE_OK)
        throwSqlite(db, rc, sql);
}

std::string quoteIdentifier(std::string_view name)
{
    std::string quoted = "\"";
    for (char c : name) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace store
