// The reference directories' windows in the running program: made on first
// use, opened from the menu by their keys, each with its help topic.

#include "AppFixture.h"

#include "app/Help.h"

#include "directories/CodeDirectoryForm.h"
#include "directories/PrefixForm.h"
#include "directories/VyrobForm.h"
#include "tools/DataDir.h"

#include <QApplication>
#include <QFile>
#include <QTest>

namespace apptest {
namespace {

class DirectoriesWindowsTest : public AppFixture {};

struct Opening {
    const char* item;
    QKeySequence keys;
    const char* window;
    const char* focused; // the control that has the focus when it opens
    int topic;
};

// Each menu key opens its window with the focus in the search field, and F1
// there opens the window's topic.
TEST_F(DirectoriesWindowsTest, MenuKeysOpenTheWindows)
{
    startWith(standardAddresses());
    const Opening openings[] = {
        {"SeznamPristroju", QKeySequence(Qt::Key_F8), "TVyrobForm", "HledEdit", 8},
        {"PostovniSmerovaciCisla", QKeySequence(Qt::Key_F5), "TPscForm", "EditHled", 7},
        {"PoznavaciZnackyZemi", QKeySequence(Qt::Key_F6), "TSpzForm", "EditHled", 7},
        {"TelefonniPredvolbyVCR", QKeySequence(Qt::CTRL | Qt::Key_T), "TTlfCrForm", "HledEdit", 12},
        {"MezinarodniTelPredvolby", QKeySequence(Qt::CTRL | Qt::Key_M), "TTlfSvtForm", "HledEdit", 12},
    };
    for (const Opening& opening : openings) {
        SCOPED_TRACE(opening.window);
        EXPECT_TRUE(action(opening.item)->isEnabled());
        QApplication::setActiveWindow(&form());
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
        QTest::keySequence(&form(), opening.keys);
        QWidget* window = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == QString::fromLatin1(opening.window))
                window = top;
        }
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        QApplication::setActiveWindow(window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QWidget* search = window->findChild<QWidget*>(QString::fromLatin1(opening.focused));
        ASSERT_NE(search, nullptr);
        EXPECT_EQ(QApplication::focusWidget(), search);
        m_fakes.help.clear();
        QTest::keyClick(search, Qt::Key_F1);
        EXPECT_EQ(m_fakes.help.topics(), QList<int>{opening.topic});
        window->hide();
    }
}

// A directory table that cannot be opened stops start-up with the store's
// error, though its window is made only later; the file is left as it was.
TEST_F(DirectoriesWindowsTest, DamagedTableStopsStartup)
{
    for (const char* table : {"Vyrob.DB", "TelefCR.DB", "TelefSvt.DB", "Psc.DB", "Spzzem.DB"}) {
        SCOPED_TRACE(table);
        std::filesystem::remove_all(workDir());
        tools::makeDataDir(tools::sourceSeedsDir(), workDir());
        const QString file = QString::fromStdString((workDir() / "Data" / table).string());
        {
            QFile damaged(file);
            ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
            damaged.write("this is not a table at all, just some bytes of text\n");
        }
        m_fakes.dialogs.clear();
        m_app = std::make_unique<app::Application>(workDir());
        EXPECT_FALSE(m_app->start());
        EXPECT_EQ(m_app->mainForm(), nullptr);
        ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
        EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
        m_app.reset();
        QFile after(file);
        ASSERT_TRUE(after.open(QIODevice::ReadOnly));
        EXPECT_TRUE(after.readAll().startsWith("this is not a table"));
    }
}

// A table that goes missing after start-up: the window's first opening shows
// the store's error, the program goes on, and the next opening, with the
// table back, makes the window.
TEST_F(DirectoriesWindowsTest, FirstOpeningThatFailsIsToldAndTriedAgain)
{
    startWith(standardAddresses());
    const std::filesystem::path table = workDir() / "Data" / "Psc.DB";
    const std::filesystem::path aside = workDir() / "Psc.DB.aside";
    std::filesystem::rename(table, aside);
    m_fakes.dialogs.clear();
    action("PostovniSmerovaciCisla")->trigger();
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
    EXPECT_TRUE(m_fakes.dialogs.lastBox().text.startsWith(QStringLiteral("Tabulku Psc.DB nelze otevřít")))
        << m_fakes.dialogs.lastBox().text.toStdString();
    EXPECT_TRUE(form().isVisible());

    std::filesystem::rename(aside, table);
    action("PostovniSmerovaciCisla")->trigger();
    EXPECT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_TRUE(m_app->pscForm()->isVisible());
}

// The directories' help topics have their own Czech texts.
TEST(DirectoriesHelp, TopicsHaveTheirTexts)
{
    ensureApplication();
    const std::pair<int, const char*> topics[] = {
        {7, "PODLE MÍST"}, {7, "Pošta"}, {7, "Načíst"}, {8, "Vkládání oprav"}, {8, "Tisk"}, {12, "Ctrl+M"}};
    for (const auto& [topic, words] : topics)
        EXPECT_TRUE(app::helpTopicText(topic).contains(QString::fromUtf8(words))) << topic << " " << words;
}

} // namespace
} // namespace apptest
