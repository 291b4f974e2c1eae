#pragma once

// A ready data directory, the store opened on it, every outside effect faked,
// and the helpers that drive a window as a user does.

#include "platform/Fakes.h"
#include "store/Cursor.h"
#include "store/Database.h"

#include <QAbstractItemModelTester>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace dirtest {

// gtest's main makes no QApplication; the first test that needs one makes it.
void ensureApplication();

class DirectoriesTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::filesystem::path dataDir() const;
    std::filesystem::path tableFile(const std::string& table) const { return dataDir() / table; }
    store::Database& database() { return *m_database; }

    // Adds records (their first fields) to a table through a cursor of its own.
    void addRecords(const std::string& table, const std::vector<std::vector<std::string>>& records);
    // One field of every record in key order, read through a cursor of its own.
    QStringList column(const std::string& table, const std::string& field);

    // The model checker watches the grid's model until the test ends or
    // stopModelChecks(); a broken rule of the item models aborts the run.
    void checkModel(QAbstractItemModel* model);
    void stopModelChecks() { m_modelChecks.clear(); }

    // Shows a window and waits until it is active.
    static void showActive(QWidget& window);
    template <typename T>
    static T* child(const QWidget& window, const char* name)
    {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static void click(const QWidget& window, const char* buttonName);
    // Gives the widget the focus and types there char by char with its own
    // text (Czech letters are no ASCII keys); keys follow the focus.
    static void typeText(QWidget* widget, const QString& text);
    static void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {});
    // A click on a cell of a grid.
    static void clickCell(QWidget* grid, int row, int column);

    platform::ScopedFakeServices m_fakes;
    QTemporaryDir m_dir;
    std::unique_ptr<store::Database> m_database;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> m_modelChecks;
};

} // namespace dirtest
