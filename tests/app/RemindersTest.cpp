// Today's reminders in the main window: the planner check with its notice or
// green panel, the name-day check with its message or anniversary, the shared
// panel timer and the melodies; and the organiser's windows as the menu opens them.

#include "AppFixture.h"

#include "app/Help.h"

#include "organiser/PlanovacForm.h"
#include "organiser/SvatekForm.h"

#include "store/Cursor.h"
#include "store/Database.h"
#include "tools/DataDir.h"
#include "widgets/DataControls.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace apptest {
namespace {

const platform::ToneList kRising = {{400, 500}, {500, 180}, {600, 180}, {800, 600}};
const platform::ToneList kFalling = {{600, 200}, {510, 180}, {400, 220}};
const platform::ToneList kFallingLong = {{600, 200}, {510, 180}, {400, 450}};

class RemindersTest : public AppFixture {
protected:
    // The program starts on this day with these planner entries.
    void startOn(const QDate& today, const std::vector<std::pair<std::string, std::string>>& plans = {})
    {
        m_fakes.clock.setNow(QDateTime(today, QTime(9, 0)));
        beforeStart = [this, plans] {
            store::Database database(workDir() / "Data");
            store::Cursor planner(database, "Datp.db");
            planner.open();
            for (const auto& [date, activity] : plans)
                planner.insertRecord({date, activity});
        };
        startWith(standardAddresses());
    }
    void setAnniversary(const std::string& key, const std::string& text)
    {
        store::Cursor& calendar = m_app->svatekForm()->Table();
        for (calendar.first(); !calendar.eof(); calendar.next()) {
            if (calendar.text("Datum") == key) {
                calendar.edit();
                calendar.setText("Výročí", text);
                calendar.post();
                return;
            }
        }
        FAIL() << key;
    }
    QWidget* part(const char* name) { return control<QWidget>(name); }
    bool shown(const char* name) { return !part(name)->isHidden() && part("PanelSvatek")->isVisible(); }
    QString text(const char* name) { return control<QLabel>(name)->text(); }
    QTimer* timer() { return form().panelTimer(); }
    store::Cursor& planner() { return m_app->planovacForm()->TablePlanovac(); }
    // The message line's place in the panel: the middle or the bottom line.
    bool messageAtBottom()
    {
        const QWidget* message = part("LabelNic");
        return message->geometry().bottom() > part("PanelSvatek")->height() * 3 / 4;
    }
};

// An entry dated today (compared as "d.m.yyyy"): the notice with "Ukázat"
// and the rising melody, no panel, the planner back on its first entry;
// "Ukázat" then opens the planner on today's entry.
TEST_F(RemindersTest, PlannerEntryTodayShowsTheNotice)
{
    startOn(QDate(2026, 3, 5), {{"1.1.2026", "Nový rok"}, {"5.3.2026", "Schůze"}, {"9.3.2026", "Kino"}});
    planner().last();
    click("SpeedButtonPozor");
    auto* notice = control<QLineEdit>("EditPozor");
    EXPECT_TRUE(notice->isVisible());
    EXPECT_TRUE(part("BitBtnUkazat")->isVisible());
    EXPECT_EQ(notice->text(), QStringLiteral("Pozor, na dnešní den je v Plánovači uložena zpráva!"));
    EXPECT_TRUE(notice->isReadOnly());
    EXPECT_FALSE(part("PanelSvatek")->isVisible());
    EXPECT_FALSE(timer()->isActive());
    EXPECT_EQ(m_fakes.tones.sounded(), kRising);
    EXPECT_EQ(planner().text("Datum"), "1.1.2026");

    // The notice stays until "Ukázat", whatever the timer does.
    form().Zhasni();
    EXPECT_TRUE(notice->isVisible());
    click("BitBtnUkazat");
    EXPECT_FALSE(notice->isVisible());
    EXPECT_FALSE(part("BitBtnUkazat")->isVisible());
    EXPECT_TRUE(m_app->planovacForm()->isVisible());
    EXPECT_EQ(planner().text("Datum"), "5.3.2026");
    EXPECT_EQ(planner().text("Činnost"), "Schůze");
}

// Nothing planned: the panel with only its message in the middle for three
// seconds and the falling melody.
TEST_F(RemindersTest, NothingPlannedShowsThePanelForThreeSeconds)
{
    startOn(QDate(2026, 3, 5), {{"4.3.2026", "Včera"}, {"15.3.2026", "Za deset dní"}});
    click("SpeedButtonPozor");
    EXPECT_FALSE(part("EditPozor")->isVisible());
    EXPECT_TRUE(part("PanelSvatek")->isVisible());
    EXPECT_TRUE(shown("LabelNic"));
    EXPECT_EQ(text("LabelNic"), QStringLiteral("Na dnešek není nic naplánováno"));
    EXPECT_FALSE(messageAtBottom());
    EXPECT_FALSE(shown("LabelDnesMaSvatek"));
    EXPECT_FALSE(shown("DBTextSvatek"));
    EXPECT_TRUE(timer()->isActive());
    EXPECT_EQ(timer()->interval(), 3000);
    EXPECT_EQ(m_fakes.tones.sounded(), kFalling);

    timer()->setInterval(1); // the firing, without waiting
    QTRY_VERIFY(!part("PanelSvatek")->isVisible());
    EXPECT_FALSE(timer()->isActive());
    EXPECT_EQ(timer()->interval(), 3000);
}

// A day without anniversary: "Dnes má svátek", the names, the message on the
// bottom line for nine seconds and the falling melody with its long end.
TEST_F(RemindersTest, NameDayWithoutAnniversary)
{
    startOn(QDate(2024, 5, 5));
    // The check reads its own selection, wherever the name-day window stands.
    m_app->svatekForm()->Table().last();
    click("SpeedButtonVyroci");
    EXPECT_TRUE(part("PanelSvatek")->isVisible());
    EXPECT_TRUE(shown("LabelDnesMaSvatek"));
    EXPECT_EQ(text("LabelDnesMaSvatek"), QStringLiteral("Dnes má svátek"));
    EXPECT_TRUE(shown("DBTextSvatek"));
    EXPECT_EQ(text("DBTextSvatek"), QStringLiteral("Klaudie"));
    EXPECT_FALSE(shown("DBTextVyroci"));
    EXPECT_TRUE(shown("LabelNic"));
    EXPECT_EQ(text("LabelNic"), QStringLiteral("Na dnešní den nepřipadá žádné výročí"));
    EXPECT_TRUE(messageAtBottom());
    EXPECT_FALSE(shown("ImageKvetina1"));
    EXPECT_TRUE(timer()->isActive());
    EXPECT_EQ(timer()->interval(), 9000);
    EXPECT_EQ(m_fakes.tones.sounded(), kFallingLong);
    EXPECT_EQ(m_app->svatekForm()->Table().text("Datum"), "31. prosinec");
}

// A day with an anniversary: the names, the anniversary, the two flowers for
// eleven seconds and the rising melody.
TEST_F(RemindersTest, NameDayWithAnniversary)
{
    startOn(QDate(2024, 5, 5));
    setAnniversary("5. květen", "Svatba rodičů (1970)");
    click("SpeedButtonVyroci");
    EXPECT_TRUE(shown("DBTextSvatek"));
    EXPECT_TRUE(shown("DBTextVyroci"));
    EXPECT_EQ(text("DBTextVyroci"), QStringLiteral("Svatba rodičů (1970)"));
    EXPECT_FALSE(shown("LabelNic"));
    EXPECT_TRUE(shown("ImageKvetina1"));
    EXPECT_TRUE(shown("ImageKvetina2"));
    EXPECT_FALSE(control<QLabel>("ImageKvetina1")->pixmap().isNull());
    EXPECT_EQ(timer()->interval(), 11000);
    EXPECT_EQ(m_fakes.tones.sounded(), kRising);

    timer()->setInterval(1);
    QTRY_VERIFY(!part("PanelSvatek")->isVisible());
    for (const char* hidden : {"ImageKvetina1", "ImageKvetina2", "DBTextVyroci", "LabelNic"})
        EXPECT_TRUE(part(hidden)->isHidden()) << hidden;
}

// The planner check while the name-day panel is up puts its message in the
// middle and leaves the running timer's interval alone.
TEST_F(RemindersTest, PlannerCheckDuringTheNameDayPanel)
{
    startOn(QDate(2024, 5, 5));
    click("SpeedButtonVyroci");
    EXPECT_TRUE(messageAtBottom());
    m_fakes.tones.clear();
    click("SpeedButtonPozor");
    EXPECT_TRUE(part("PanelSvatek")->isVisible());
    EXPECT_EQ(text("LabelNic"), QStringLiteral("Na dnešek není nic naplánováno"));
    EXPECT_FALSE(messageAtBottom());
    EXPECT_FALSE(shown("LabelDnesMaSvatek"));
    EXPECT_FALSE(shown("DBTextSvatek"));
    EXPECT_TRUE(timer()->isActive());
    EXPECT_EQ(timer()->interval(), 9000);
    EXPECT_EQ(m_fakes.tones.sounded(), kFalling);
}

// The planner is made by its first use: F12 opens it on its first entry and
// its clock, running since start-up, already shows today.
TEST_F(RemindersTest, FirstUseMakesThePlannerWithItsClockShowing)
{
    startOn(QDate(2024, 5, 5), {{"1.5.2024", "Průvod"}, {"8.5.2024", "Výlet"}});
    for (QWidget* window : QApplication::topLevelWidgets())
        ASSERT_FALSE(window->inherits("organiser::TPlanovacForm"));
    QTest::keyClick(&form(), Qt::Key_F12);
    organiser::TPlanovacForm* window = m_app->planovacForm();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(planner().text("Datum"), "1.5.2024");
    EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("LabelDat"))->text(),
              QStringLiteral("Dnes je neděle 5.květen 2024"));
}

// The organiser's windows take their menu items, keys and buttons; the planner
// count goes over the logo like the address count.
TEST_F(RemindersTest, MenuOpensTheOrganiserWindows)
{
    startOn(QDate(2024, 5, 5), {{"1.5.2024", "Průvod"}, {"8.5.2024", "Výlet"}});
    planner().last();
    QTest::keyClick(&form(), Qt::Key_F12);
    EXPECT_TRUE(m_app->planovacForm()->isVisible());
    EXPECT_EQ(planner().text("Datum"), "1.5.2024");
    m_app->planovacForm()->hide();
    QApplication::setActiveWindow(&form());
    QTest::keyClick(&form(), Qt::Key_F4);
    EXPECT_TRUE(m_app->svatekForm()->isVisible());
    m_app->svatekForm()->hide();
    click("SpeedButtonSvatek");
    EXPECT_TRUE(m_app->svatekForm()->isVisible());

    action("PocetPlanovac")->trigger();
    EXPECT_EQ(text("LabelPocetZaznamu"), QStringLiteral("V plánovači je 2 záznamů"));
    EXPECT_TRUE(timer()->isActive());
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
}

// F1 in the organiser's windows opens their topics, whose texts say what the windows do.
TEST_F(RemindersTest, HelpTopicsOfTheOrganiser)
{
    startOn(QDate(2024, 5, 5));
    struct Case {
        QWidget* window;
        int topic;
    };
    const Case cases[] = {{m_app->svatekForm(), 6}, {m_app->planovacForm(), 5}};
    for (const Case& c : cases) {
        c.window->show();
        QApplication::setActiveWindow(c.window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(c.window));
        m_fakes.help.clear();
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : c.window, Qt::Key_F1);
        EXPECT_EQ(m_fakes.help.topics(), QList<int>{c.topic});
        EXPECT_GT(app::helpTopicText(c.topic).size(), 600);
        c.window->hide();
    }
}

// A planner or calendar file that is damaged stops start-up with the store's error.
TEST_F(RemindersTest, DamagedOrganiserTablesStopStartUp)
{
    for (const char* file : {"Datp.DB", "Svatek.DB"}) {
        m_app.reset();
        std::filesystem::remove_all(workDir());
        tools::makeDataDir(tools::sourceSeedsDir(), workDir());
        {
            QFile damaged(QString::fromStdString((workDir() / "Data" / file).string()));
            ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
            damaged.write("this is not a table at all, just some bytes of text\n");
        }
        m_fakes.dialogs.clear();
        m_app = std::make_unique<app::Application>(workDir());
        EXPECT_FALSE(m_app->start()) << file;
        ASSERT_EQ(m_fakes.dialogs.shown().size(), 1) << file;
        EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
        EXPECT_FALSE(m_fakes.dialogs.lastBox().text.isEmpty());
        EXPECT_EQ(m_app->mainForm(), nullptr);
    }
}

} // namespace
} // namespace apptest
