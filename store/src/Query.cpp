#include "store/Query.h"

#include "FieldCodec.h"
#include "Table.h"

#include "store/CzechText.h"
#include "store/Database.h"
#include "store/Errors.h"

#include <algorithm>
#include <filesystem>

namespace store {

namespace {

namespace fs = std::filesystem;

enum class Condition { All, Equals, Contains };

struct Selection {
    std::string table;
    Condition condition = Condition::All;
    std::string field;
    std::string literal;
};

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const auto a = static_cast<unsigned char>(text[i]);
        const auto b = static_cast<unsigned char>(prefix[i]);
        if (std::tolower(a) != std::tolower(b))
            return false;
    }
    return true;
}

bool endsWith(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

[[noreturn]] void badStatement(const std::string& sql)
{
    throw StoreError(StoreError::Kind::BadStatement, "Výběr „" + sql + "“ nemá žádný ze tvarů, které program zná.");
}

// A field named bare, in quotes, or after the table name and a dot.
std::string fieldName(std::string_view text, const std::string& table)
{
    if (text.size() > table.size() + 1 && startsWithNoCase(text, table) && text[table.size()] == '.')
        text.remove_prefix(table.size() + 1);
    if (text.size() >= 2 && (text.front() == '\'' || text.front() == '"') && text.back() == text.front())
        text = text.substr(1, text.size() - 2);
    return std::string(text);
}

// The known statement forms. The literal is everything between the fixed
// front and the fixed end, so a quote inside it is part of the searched text.
Selection parse(const std::string& sql)
{
    constexpr std::string_view kSelect = "select * from ";
    std::string_view rest = sql;
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == ';' || rest.back() == '\n' || rest.back() == '\r'))
        rest.remove_suffix(1);
    if (!startsWithNoCase(rest, kSelect))
        badStatement(sql);
    rest.remove_prefix(kSelect.size());
    Selection statement;
    const std::size_t tableEnd = rest.find(' ');
    statement.table = std::string(rest.substr(0, tableEnd));
    if (statement.table.empty())
        badStatement(sql);
    if (tableEnd == std::string_view::npos)
        return statement;
    rest.remove_prefix(tableEnd);
    constexpr std::string_view kWhere = " where ";
    if (!startsWithNoCase(rest, kWhere))
        badStatement(sql);
    rest.remove_prefix(kWhere.size());

    constexpr std::string_view kUpper = "(UPPER(";
    constexpr std::string_view kLike = ") LIKE UPPER('%";
    constexpr std::string_view kLikeEnd = "%'))";
    if (startsWithNoCase(rest, kUpper)) {
        rest.remove_prefix(kUpper.size());
        std::size_t likeAt = std::string_view::npos;
        for (std::size_t i = 0; i + kLike.size() <= rest.size(); ++i) {
            if (startsWithNoCase(rest.substr(i), kLike)) {
                likeAt = i;
                break;
            }
        }
        if (likeAt == std::string_view::npos || !endsWith(rest, kLikeEnd) || rest.size() < likeAt + kLike.size() + kLikeEnd.size())
            badStatement(sql);
        statement.condition = Condition::Contains;
        statement.field = fieldName(rest.substr(0, likeAt), statement.table);
        statement.literal = std::string(
            rest.substr(likeAt + kLike.size(), rest.size() - likeAt - kLike.size() - kLikeEnd.size()));
        return statement;
    }
    const std::size_t equals = rest.find(" = ");
    if (equals == std::string_view::npos)
        badStatement(sql);
    std::string_view literal = rest.substr(equals + 3);
    if (literal.size() < 2 || (literal.front() != '\'' && literal.front() != '"') || literal.back() != literal.front())
        badStatement(sql);
    statement.condition = Condition::Equals;
    statement.field = fieldName(rest.substr(0, equals), statement.table);
    statement.literal = std::string(literal.substr(1, literal.size() - 2));
    return statement;
}

// The table after "from" is named without its extension: "Svatek" is Svatek.db.
std::string tableFileName(const fs::path& dataDir, const std::string& name)
{
    std::error_code error;
    for (fs::directory_iterator it(dataDir, error), end; !error && it != end; it.increment(error)) {
        const fs::path& path = it->path();
        if (sameName(path.stem().string(), name) && sameName(path.extension().string(), ".db"))
            return path.filename().string();
    }
    return name + ".DB"; // reported as missing by the store
}

} // namespace

struct Query::Impl {
    bool active = false;
    std::vector<FieldDef> fields;
    std::vector<Values> rows;
    int row = -1;
    bool bof = false;
    bool eof = false;
};

Query::Query(Database& database) : m_database(database), m_impl(std::make_unique<Impl>()) {}

Query::~Query() = default;

void Query::setSql(const std::string& sql)
{
    close();
    m_sql = sql;
}

void Query::open()
{
    Impl& d = *m_impl;
    if (d.active)
        return;
    const Selection statement = parse(m_sql);
    const std::shared_ptr<Table> table = m_database.table(tableFileName(m_database.dataDir(), statement.table));
    int field = -1;
    if (statement.condition != Condition::All) {
        field = table->fieldIndex(statement.field);
        if (field < 0)
            throw StoreError(StoreError::Kind::NotFound,
                             "Tabulka " + table->fileName() + " nemá pole " + statement.field + ".", table->fileName());
    }
    const FieldKind kind = field < 0 ? FieldKind::Text : table->fields()[static_cast<std::size_t>(field)].kind;
    // The typed text sits between the two "%" of a LIKE pattern, so a "%" or
    // "_" typed into it keeps its LIKE meaning; it is never SQL text, though.
    const std::string upperPattern = "%" + czechUpper(statement.literal) + "%";
    std::vector<Values> rows;
    const int count = table->recordCount();
    for (int row = 0; row < count; ++row) {
        const Record& record = table->recordAt(0, row);
        if (field >= 0) {
            // As in SQL, an empty field matches neither "=" nor LIKE.
            const auto& value = record.values[static_cast<std::size_t>(field)];
            if (!value)
                continue;
            const std::string text = textFromStored(kind, value);
            const bool match = statement.condition == Condition::Equals
                                   ? text == statement.literal
                                   : likeMatches(czechUpper(text), upperPattern);
            if (!match)
                continue;
        }
        rows.push_back(record.values);
    }
    d.fields = table->fields();
    d.rows = std::move(rows);
    d.active = true;
    d.row = d.rows.empty() ? -1 : 0;
    d.bof = true;
    d.eof = d.rows.empty();
    notifyDisplay(DisplayChange::Everything);
    afterScroll.emit();
}

void Query::close()
{
    Impl& d = *m_impl;
    if (!d.active)
        return;
    d.active = false;
    d.rows.clear();
    d.row = -1;
    d.bof = d.eof = false;
    notifyDisplay(DisplayChange::Everything);
}

bool Query::isActive() const
{
    return m_impl->active;
}

CursorState Query::state() const
{
    return m_impl->active ? CursorState::Browse : CursorState::Closed;
}

const std::vector<FieldDef>& Query::fields() const
{
    return m_impl->fields;
}

int Query::fieldIndex(std::string_view name) const
{
    if (!m_impl->active)
        throw StoreError(StoreError::Kind::Closed, "Výběr není otevřený.");
    for (std::size_t i = 0; i < m_impl->fields.size(); ++i) {
        if (sameName(m_impl->fields[i].name, name))
            return static_cast<int>(i);
    }
    throw StoreError(StoreError::Kind::NotFound, "Výběr nemá pole " + std::string(name) + ".");
}

void Query::first()
{
    moveToRow(0);
    m_impl->bof = true;
    m_impl->eof = m_impl->rows.empty();
}

void Query::last()
{
    moveToRow(static_cast<int>(m_impl->rows.size()) - 1);
    m_impl->bof = m_impl->eof = m_impl->rows.empty();
}

void Query::next()
{
    moveBy(1);
}

void Query::prior()
{
    moveBy(-1);
}

int Query::moveBy(int count)
{
    Impl& d = *m_impl;
    if (!d.active)
        throw StoreError(StoreError::Kind::Closed, "Výběr není otevřený.");
    if (count == 0)
        return 0;
    if (d.rows.empty()) {
        d.bof = d.eof = true;
        return 0;
    }
    const int to = std::clamp(d.row + count, 0, static_cast<int>(d.rows.size()) - 1);
    const int moved = to - d.row;
    d.bof = count < 0 && moved != count;
    d.eof = count > 0 && moved != count;
    if (moved != 0) {
        d.row = to;
        notifyDisplay(DisplayChange::Current);
        afterScroll.emit();
    }
    return moved;
}

bool Query::bof() const
{
    return m_impl->active ? m_impl->bof : true;
}

bool Query::eof() const
{
    return m_impl->active ? m_impl->eof : true;
}

int Query::recordCount() const
{
    if (!m_impl->active)
        throw StoreError(StoreError::Kind::Closed, "Výběr není otevřený.");
    return static_cast<int>(m_impl->rows.size());
}

int Query::rowCount() const
{
    return static_cast<int>(m_impl->rows.size());
}

int Query::currentRow() const
{
    return m_impl->row;
}

std::string Query::rowText(int row, int field) const
{
    const Impl& d = *m_impl;
    if (row < 0 || row >= static_cast<int>(d.rows.size()) || field < 0 || field >= static_cast<int>(d.fields.size()))
        return {};
    return textFromStored(d.fields[static_cast<std::size_t>(field)].kind,
                          d.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(field)]);
}

void Query::moveToRow(int row)
{
    Impl& d = *m_impl;
    if (!d.active)
        throw StoreError(StoreError::Kind::Closed, "Výběr není otevřený.");
    if (d.rows.empty()) {
        d.bof = d.eof = true;
        return;
    }
    d.row = std::clamp(row, 0, static_cast<int>(d.rows.size()) - 1);
    d.bof = d.eof = false;
    notifyDisplay(DisplayChange::Current);
    afterScroll.emit();
}

std::string Query::text(std::string_view field) const
{
    const int index = fieldIndex(field);
    return rowText(m_impl->row, index);
}

bool Query::isNull(std::string_view field) const
{
    const int index = fieldIndex(field);
    const Impl& d = *m_impl;
    return d.row < 0 || !d.rows[static_cast<std::size_t>(d.row)][static_cast<std::size_t>(index)].has_value();
}

} // namespace store
