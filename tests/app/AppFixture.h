#pragma once

// A real main window on a fresh working directory, with every outside effect faked.

#include "app/Application.h"
#include "app/MainForm.h"

#include "platform/Fakes.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

class QAction;
class QToolButton;

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace apptest {

// gtest's main makes no QApplication; the first test that needs one makes it.
void ensureApplication();

struct Address {
    std::string surname, name, address, phone, note;
};

// A few addresses whose key order and contents the searches rely on.
std::vector<Address> standardAddresses();

class AppFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the working directory, fills the address table, starts the program.
    void startWith(const std::vector<Address>& addresses);
    std::filesystem::path workDir() const;
    QString workPath(const QString& name) const; // a file of the working directory
    // Ends the program's windows and starts them again on the same working directory.
    void restart();
    // Runs after the working directory is built and before the program starts.
    std::function<void()> beforeStart;

    app::TMainForm& form() { return *m_app->mainForm(); }
    store::Cursor& table() { return form().Table(); }
    template <typename T>
    T* control(const char* name)
    {
        T* found = form().findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QAction* action(const char* name);
    void click(const char* buttonName);
    QString currentSurname();
    // Types into the grid's current cell as a user does: the first key opens the editor.
    void typeIntoGrid(const QString& text);
    // Gives the widget the focus and types there, char by char with its own
    // text (Czech letters are no ASCII keys); keys follow the focus.
    static void typeText(QWidget* widget, const QString& text);
    // The surnames saved in the address table, read through a cursor of its own.
    QStringList savedSurnames();

    platform::ScopedFakeServices m_fakes;
    QTemporaryDir m_dir;
    std::unique_ptr<app::Application> m_app;
    QList<platform::ShownBox> m_startupBoxes; // the boxes shown while the program started
};

} // namespace apptest
