#pragma once

#include "store/Cursor.h"
#include "store/Database.h"
#include "store/Errors.h"
#include "store/TableDef.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace storetest {

namespace fs = std::filesystem;

// Small tables shaped like the program's own: keyed by text, by date, a
// secondary index, and one without a key.
inline store::TableDef addressDef()
{
    store::TableDef def;
    def.fileName = "Dat.DB";
    def.fields = {{"Příjmení", store::FieldKind::Text, 30, store::FieldDefault::None},
                  {"Jméno", store::FieldKind::Text, 20, store::FieldDefault::None},
                  {"Telefon", store::FieldKind::Text, 20, store::FieldDefault::None}};
    def.primaryKey = "Příjmení";
    def.catalogueFiles = {"Dat.DB", "Dat.PX"};
    return def;
}

inline store::TableDef plannerDef()
{
    store::TableDef def;
    def.fileName = "Datp.db";
    def.fields = {{"Datum", store::FieldKind::Date, 0, store::FieldDefault::None},
                  {"Činnost", store::FieldKind::Memo, 0, store::FieldDefault::None}};
    def.primaryKey = "Datum";
    return def;
}

inline store::TableDef postalDef()
{
    store::TableDef def;
    def.fileName = "Psc.DB";
    def.fields = {{"MÍSTO", store::FieldKind::Text, 40, store::FieldDefault::None},
                  {"PSČ", store::FieldKind::Text, 6, store::FieldDefault::None}};
    def.primaryKey = "MÍSTO";
    def.secondaryIndex = "PSČ";
    def.isProtected = true;
    return def;
}

inline store::TableDef logDef()
{
    store::TableDef def;
    def.fileName = "Zaloha.db";
    def.fields = {{"Datum", store::FieldKind::Date, 0, store::FieldDefault::Today},
                  {"Čas", store::FieldKind::Time, 0, store::FieldDefault::None},
                  {"ČasDisk", store::FieldKind::Time, 0, store::FieldDefault::None}};
    return def;
}

inline constexpr const char* kPassword = "pwd";

// A fresh data directory per test, removed afterwards.
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "-" + info->name();
        for (char& c : name) {
            if (c == '/')
                c = '_';
        }
        m_dir = fs::temp_directory_path() / ("pelmir-store-" + std::to_string(::getpid()) + "-" + name);
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        for (const auto& def : {addressDef(), plannerDef(), postalDef(), logDef()})
            store::Database::createTable(m_dir, def, kPassword);
        m_database = std::make_unique<store::Database>(m_dir);
        m_database->registerPassword(kPassword);
        m_database->setClock([] { return store::DateTime{2025, 12, 8, 14, 30, 5}; });
    }
    void TearDown() override
    {
        m_database.reset();
        fs::remove_all(m_dir);
    }

    // An open cursor on a table holding these records (first fields given),
    // appended so that a table without a key keeps them in this order.
    std::unique_ptr<store::Cursor> filled(const std::string& table, const std::vector<std::vector<std::string>>& rows)
    {
        auto cursor = std::make_unique<store::Cursor>(*m_database, table);
        cursor->open();
        for (const auto& row : rows) {
            cursor->append();
            for (std::size_t i = 0; i < row.size(); ++i)
                cursor->setText(cursor->fields()[i].name, row[i]);
            cursor->post();
        }
        cursor->first();
        return cursor;
    }

    // The first field of every record, walked as the windows walk.
    static std::vector<std::string> walk(store::Cursor& cursor, const std::string& field)
    {
        std::vector<std::string> seen;
        for (cursor.first(); !cursor.eof(); cursor.next())
            seen.push_back(cursor.text(field));
        return seen;
    }

    // Every row as the grid reads it, without moving.
    static std::vector<std::string> gridColumn(const store::Cursor& cursor, int field)
    {
        std::vector<std::string> rows;
        for (int row = 0; row < cursor.rowCount(); ++row)
            rows.push_back(cursor.rowText(row, field));
        return rows;
    }

    fs::path m_dir;
    std::unique_ptr<store::Database> m_database;
};

using Names = std::vector<std::string>;

} // namespace storetest
