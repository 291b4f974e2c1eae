#pragma once

#include "platform/Fakes.h"
#include "store/Cursor.h"
#include "store/Database.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace widgets_test {

// The application object every widget test needs; created once.
void ensureApplication();

// A fresh data directory with a small address table (`Příjmení` is the key),
// an open cursor on it and the platform fakes installed.
class WidgetsFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Fills the table with these surnames (first name "J" + surname, telephone "1").
    void addPeople(const std::vector<std::string>& surnames);
    // Shows a window and waits until it takes the focus.
    static void showActive(QWidget& window);

    static const std::string kTable;
    platform::ScopedFakeServices m_fakes;
    QTemporaryDir m_dir;
    std::unique_ptr<store::Database> m_database;
    std::unique_ptr<store::Cursor> m_cursor;
    int m_afterEdit = 0;
};

} // namespace widgets_test
