#pragma once

// A real working directory (tables and pictures) with every outside effect faked.

#include "platform/Fakes.h"
#include "store/Database.h"

#include <QString>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

class QListWidget;

// gtest prints a QString as its text.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace calctest {

// gtest's main makes no QApplication; the first test that needs one makes it.
void ensureApplication();

class CalculatorsFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString workPath(const QString& name) const;
    // Shows a window and waits until it is the active one.
    static void showActive(QWidget& window);
    // Gives the widget the focus and types there char by char, as keys.
    static void typeText(QWidget* widget, const QString& text);
    // A click on a list's item, as a user's press and release over it.
    static void clickItem(QListWidget* list, int row);
    template <typename T> static T* child(const QWidget& window, const char* name)
    {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    platform::ScopedFakeServices m_fakes;
    QTemporaryDir m_dir;
    std::unique_ptr<store::Database> m_database;
};

} // namespace calctest
