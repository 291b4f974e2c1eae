#pragma once

// An address table in a fresh data directory, every outside effect faked,
// and reading back what a report wrote into a PDF file.

#include "platform/Fakes.h"
#include "store/Cursor.h"
#include "store/Database.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace reporttest {

// gtest's main makes no QApplication; the first test that needs one makes it.
void ensureApplication();

struct Address {
    std::string surname, name, address, phone, note;
};

// Adámek, Bartoš and Beneš first, then enough others (Czech letters in
// every field) that each report runs to two pages.
std::vector<Address> manyAddresses();

// The pages of a PDF file as pdftotext lays them out; nullopt when
// pdftotext is not installed.
std::optional<QStringList> pdfPages(const QString& fileName);

// The lines of a page without the empty ones, blanks at either end trimmed.
QStringList textLines(const QString& page);

// Runs `action` on the application's modal dialog once it is up (the caller then
// starts the code that opens it). If the action leaves the dialog open it is
// closed; if none comes within a few seconds the test fails.
void whenModalShown(std::function<void(QDialog&)> action);

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the data directory, fills the address table and opens a cursor on it.
    store::Cursor& openAddresses(const std::vector<Address>& addresses);
    store::Cursor& addresses() { return *m_cursor; }
    QString tempPath(const QString& name) const { return m_dir.filePath(name); }

    platform::ScopedFakeServices m_fakes;
    QTemporaryDir m_dir;
    std::unique_ptr<store::Database> m_database;
    std::unique_ptr<store::Cursor> m_cursor;
};

} // namespace reporttest
