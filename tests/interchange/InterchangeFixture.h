#pragma once

#include "store/Cursor.h"
#include "store/Database.h"

#include "TestSupport.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// A fresh working directory with a real data directory, and helpers to fill
// and read its tables.
class InterchangeFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override { m_database.reset(); }

    std::filesystem::path workDir() const { return m_dir.path().toStdString(); }
    std::filesystem::path dataDir() const { return workDir() / "Data"; }
    store::Database& database() { return *m_database; }

    void insert(const std::string& table, const std::vector<std::vector<std::string>>& records);
    // Every record of the table in its order, fields as texts.
    std::vector<std::vector<QString>> records(const std::string& table);
    QByteArray fileBytes(const std::string& table) const;
    // A file in the working directory.
    std::filesystem::path writeFile(const std::string& name, const QByteArray& bytes) const;

    QTemporaryDir m_dir;
    std::unique_ptr<store::Database> m_database;
};

void ensureApplication();

// The five address fields as one record.
std::vector<QString> address(const char* surname, const char* first = "", const char* place = "",
                             const char* phone = "", const char* note = "");
