#pragma once

// A real working directory (the delivered tables and the pictures) with every
// outside effect faked, and the organiser's three windows wired as the
// program wires them.

#include "organiser/KalendarForm.h"
#include "organiser/PlanovacForm.h"
#include "organiser/SvatekForm.h"

#include "platform/Fakes.h"
#include "store/Cursor.h"
#include "store/Database.h"

#include <QDate>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace organiser_test {

// gtest's main makes no QApplication; the first test that needs one makes it.
void ensureApplication();

class OrganiserFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::filesystem::path workDir() const;
    // The clock's date (at ten in the morning) before the windows are made.
    void setToday(const QDate& day);
    // Planner entries (date text, activity) written before the windows are made.
    void addPlannerEntries(const std::vector<std::pair<std::string, std::string>>& entries);
    // Creates the windows in start-up order and wires them.
    void createWindows();
    void destroyWindows();

    template <typename T>
    static T* control(QWidget& window, const char* name)
    {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static void click(QWidget& window, const char* buttonName);
    // Types text into the widget char by char (Czech letters are no ASCII keys).
    static void typeText(QWidget* widget, const QString& text);
    // Shows a window and waits until it is the active one.
    static void showActive(QWidget& window);

    organiser::TSvatekForm& svatek() { return *m_svatek; }
    organiser::TPlanovacForm& planovac() { return *m_planovac; }
    organiser::TKalendarForm& kalendar() { return *m_kalendar; }
    // The saved planner entries as "date|activity", read through a cursor of their own.
    std::vector<std::string> savedPlannerEntries();

    platform::ScopedFakeServices m_fakes;
    QTemporaryDir m_dir;
    std::unique_ptr<store::Database> m_database;
    std::unique_ptr<organiser::TPlanovacForm> m_planovac;
    std::unique_ptr<organiser::TKalendarForm> m_kalendar;
    std::unique_ptr<organiser::TSvatekForm> m_svatek;
};

} // namespace organiser_test
