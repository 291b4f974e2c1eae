// Damage that start-up does not meet (a page of an index no read has
// touched yet) is found by the check in the background and told in one error
// box naming the table, while the program goes on; sound tables give no box.

#include "AppFixture.h"

#include "app/TableCheckReport.h"

#include "directories/VyrobForm.h"

#include <QAction>
#include <QApplication>
#include <QTest>

#include <sqlite3.h>

#include <fstream>

namespace apptest {
namespace {

// Overwrites the page holding the root of the table file's id index.
void damageIdIndex(const std::filesystem::path& file)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* root = nullptr;
    sqlite3_prepare_v2(db, "SELECT rootpage FROM sqlite_master WHERE name = '_i_id'", -1, &root, nullptr);
    ASSERT_EQ(sqlite3_step(root), SQLITE_ROW);
    const int page = sqlite3_column_int(root, 0);
    sqlite3_finalize(root);
    sqlite3_close(db);
    std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
    out.seekp(static_cast<std::streamoff>(page - 1) * 4096);
    const std::string garbage(4096, '\x5A');
    out.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
}

class TableCheckTest : public AppFixture {
protected:
    // Runs the check as the program does after start-up and lets its box come.
    void checkTables()
    {
        m_app->checkTablesInBackground();
        m_app->tableCheck()->wait();
        QCoreApplication::processEvents();
    }
};

TEST_F(TableCheckTest, DamagedTableIsToldOnceAfterStartUp)
{
    beforeStart = [this] { damageIdIndex(workDir() / "Data" / "Datz.DB"); };
    startWith(standardAddresses());
    ASSERT_TRUE(m_startupBoxes.isEmpty()) << m_startupBoxes.first().text.toStdString();

    checkTables();
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    const platform::ShownBox box = m_fakes.dialogs.lastBox();
    EXPECT_EQ(box.icon, platform::Icon::Error);
    EXPECT_TRUE(box.text.startsWith(QStringLiteral("Kontrola tabulky Datz.DB našla chybu: soubor tabulky je poškozený.")))
        << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(QStringLiteral("ze zálohy"))) << box.text.toStdString();
    // The program goes on: the address book still works.
    EXPECT_TRUE(form().isVisible());
    EXPECT_EQ(table().recordCount(), static_cast<int>(standardAddresses().size()));
}

// The appliance register is made on first use: its table is checked all the
// same, before the window exists, and the window still opens afterwards.
TEST_F(TableCheckTest, DamagedTableOfAWindowNotMadeYetIsTold)
{
    beforeStart = [this] { damageIdIndex(workDir() / "Data" / "Vyrob.DB"); };
    startWith(standardAddresses());
    const auto registerWindows = [] {
        int found = 0;
        for (QWidget* window : QApplication::topLevelWidgets())
            found += window->inherits("directories::TVyrobForm") ? 1 : 0;
        return found;
    };
    ASSERT_EQ(registerWindows(), 0);

    checkTables();
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_TRUE(m_fakes.dialogs.lastBox().text.startsWith(QStringLiteral("Kontrola tabulky Vyrob.DB našla chybu")))
        << m_fakes.dialogs.lastBox().text.toStdString();
    EXPECT_EQ(registerWindows(), 0);

    action("SeznamPristroju")->trigger();
    EXPECT_EQ(registerWindows(), 1);
    EXPECT_TRUE(m_app->vyrobForm()->isVisible());
}

TEST_F(TableCheckTest, SoundTablesGiveNoBox)
{
    startWith(standardAddresses());
    checkTables();
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty()) << m_fakes.dialogs.lastBox().text.toStdString();
}

} // namespace
} // namespace apptest
