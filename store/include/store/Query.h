#pragma once

#include "store/DataSet.h"

#include <memory>
#include <string>

namespace store {

class Database;

// A read-only selection over one table. Only these statement forms are known
// (the literal between the fixed parts is taken whole and bound as a parameter,
// so quotes inside it are searched for like any other character):
//   select * from T
//   select * from T where F = 'literal'         (or "literal")
//   select * from T where (UPPER(T.'F') LIKE UPPER('%literal%'))
// UPPER and LIKE follow Czech upper-casing.
class Query : public DataSet {
public:
    explicit Query(Database& database);
    ~Query() override;

    // Replacing the text closes the selection.
    void setSql(const std::string& sql);
    const std::string& sql() const { return m_sql; }
    // Runs the statement; StoreError BadStatement for a text of no known form.
    void open();
    void close();
    void setActive(bool active) { active ? open() : close(); }

    bool isActive() const override;
    CursorState state() const override;
    const std::vector<FieldDef>& fields() const override;
    int fieldIndex(std::string_view name) const override;
    bool canModify() const override { return false; }

    void first() override;
    void last() override;
    void next() override;
    void prior() override;
    int moveBy(int count) override;
    bool bof() const override;
    bool eof() const override;
    int recordCount() const override;

    int rowCount() const override;
    int currentRow() const override;
    std::string rowText(int row, int field) const override;
    void moveToRow(int row) override;

    std::string text(std::string_view field) const override;
    bool isNull(std::string_view field) const override;

private:
    struct Impl;
    Database& m_database;
    std::string m_sql;
    std::unique_ptr<Impl> m_impl;
};

} // namespace store
