// Damage that start-up does not meet (a page of an index no read has
// touched yet) is found by the check in the background and told in one error
// box naming the table, while the program goes on; sound tables give no box.

#include "AppFixture.h"
#include "DamagedPage.h"

#include "app/TableCheckReport.h"

#include "directories/VyrobForm.h"

#include <QAction>
#include <QApplication>
#include <QTest>

namespace apptest {
namespace {

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
    beforeStart = [this] { testsupport::overwritePage(workDir() / "Data" / "Datz.DB", testsupport::rootPageOf("_i_id")); };
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
    beforeStart = [this] { testsupport::overwritePage(workDir() / "Data" / "Vyrob.DB", testsupport::rootPageOf("_i_id")); };
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
