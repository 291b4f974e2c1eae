// The date picker: the title and the name day of the picked date, the month
// buttons, and OK adding one planner entry per date.

#include "OrganiserFixture.h"

#include "organiser/MonthGrid.h"

#include "store/Query.h"
#include "widgets/DBGrid.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace organiser_test {
namespace {

class DatePickerTest : public OrganiserFixture {
protected:
    organiser::MonthGrid* calendar() { return control<organiser::MonthGrid>(kalendar(), "Calendar1"); }
    QString title() { return control<QLabel>(kalendar(), "TitleLabel")->text(); }
    QString names() { return control<QLabel>(kalendar(), "DBTextJmeno")->text(); }
    // Clicks the day's cell of the month the calendar shows.
    void clickDay(int day)
    {
        organiser::MonthGrid* grid = calendar();
        const int cell = organiser::firstCellOfMonth(grid->date()) + day - 1;
        QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cellRect(cell).center());
    }
};

// Opened from the planner: today's month and name day, OK shown, the planner's tone.
TEST_F(DatePickerTest, OpensOnTodayForPlanning)
{
    setToday(QDate(2024, 5, 5));
    createWindows();
    click(planovac(), "SpeedButtonVloz");
    EXPECT_TRUE(kalendar().isVisible());
    EXPECT_EQ(kalendar().windowTitle(), QStringLiteral("Výběr data"));
    EXPECT_EQ(title(), QStringLiteral("květen 2024"));
    EXPECT_EQ(names(), QStringLiteral("Klaudie"));
    EXPECT_EQ(calendar()->date(), QDate(2024, 5, 5));
    EXPECT_TRUE(control<QWidget>(kalendar(), "BitBtnOK")->isVisible());
    EXPECT_EQ(m_fakes.tones.sounded(), (platform::ToneList{{400, 50}}));
}

// Picking a day shows its month and its names; a click on the selected day or
// on an empty cell changes nothing.
TEST_F(DatePickerTest, PickingADayShowsItsTitleAndNames)
{
    setToday(QDate(2024, 12, 3));
    createWindows();
    kalendar().open(organiser::TKalendarForm::Use::Browsing);
    showActive(kalendar());
    clickDay(24);
    EXPECT_EQ(calendar()->date(), QDate(2024, 12, 24));
    EXPECT_EQ(title(), QStringLiteral("prosinec 2024"));
    EXPECT_EQ(names(), QStringLiteral("Adam a Eva"));

    // The selected day again: no new lookup (the statement stays as replaced here).
    store::Query& query = svatek().QueryDotaz();
    query.setSql("select * from Svatek where Datum = '1. leden'");
    query.open();
    clickDay(24);
    EXPECT_EQ(query.sql(), "select * from Svatek where Datum = '1. leden'");
    // Before the 1st (1 December 2024 is a Sunday, so the first six cells are empty).
    QTest::mouseClick(calendar(), Qt::LeftButton, {}, calendar()->cellRect(0).center());
    EXPECT_EQ(calendar()->date(), QDate(2024, 12, 24));
    // Keys move within the month.
    QTest::keyClick(calendar(), Qt::Key_Right);
    EXPECT_EQ(calendar()->date(), QDate(2024, 12, 25));
    EXPECT_EQ(names(), QStringLiteral("1. svátek vánoční"));
}

// The month buttons keep the day number or take the month's last day, cross
// the year's end, and beep after each move.
TEST_F(DatePickerTest, MonthButtonsClampAndBeep)
{
    struct Case {
        QDate from;
        const char* button;
        QDate to;
        const char* title;
    };
    const Case cases[] = {
        {QDate(2024, 1, 31), "PrisMesicSpeedButton", QDate(2024, 2, 29), "únor 2024"},
        {QDate(2023, 1, 31), "PrisMesicSpeedButton", QDate(2023, 2, 28), "únor 2023"},
        {QDate(2024, 1, 1), "MinMesicSpeedButton", QDate(2023, 12, 1), "prosinec 2023"},
        {QDate(2024, 3, 15), "MinMesicSpeedButton", QDate(2024, 2, 15), "únor 2024"},
        {QDate(2023, 12, 31), "PrisMesicSpeedButton", QDate(2024, 1, 31), "leden 2024"},
    };
    for (const Case& c : cases) {
        setToday(c.from);
        createWindows();
        kalendar().open(organiser::TKalendarForm::Use::Browsing);
        const int beeps = m_fakes.tones.beeps();
        click(kalendar(), c.button);
        EXPECT_EQ(calendar()->date(), c.to) << c.from.toString().toStdString();
        EXPECT_EQ(title(), QString::fromUtf8(c.title));
        EXPECT_EQ(m_fakes.tones.beeps(), beeps + 1);
        destroyWindows();
    }
}

// OK adds exactly one entry with the picked date and an empty activity, sounds
// "done", hides the picker and leaves the planner on the new entry; a date
// taken already is refused with the message and nothing is created.
TEST_F(DatePickerTest, OkAddsOneEntryPerDate)
{
    setToday(QDate(2024, 5, 5));
    addPlannerEntries({{"7.5.2024", "Zubař"}});
    createWindows();
    click(planovac(), "SpeedButtonVloz");
    clickDay(20);
    m_fakes.tones.clear();
    click(kalendar(), "BitBtnOK");
    EXPECT_FALSE(kalendar().isVisible());
    EXPECT_EQ(m_fakes.tones.sounded(), (platform::ToneList{{400, 100}}));
    EXPECT_EQ(savedPlannerEntries(), (std::vector<std::string>{"7.5.2024|Zubař", "20.5.2024|"}));
    EXPECT_EQ(planovac().TablePlanovac().text("Datum"), "20.5.2024");
    EXPECT_TRUE(planovac().isVisible());

    click(planovac(), "SpeedButtonVloz");
    clickDay(7);
    m_fakes.tones.clear();
    click(kalendar(), "BitBtnOK");
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text,
              QStringLiteral("Na toto datum už záznam existuje. Plánovanou akci k němu připište."));
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Error"));
    EXPECT_TRUE(kalendar().isVisible());
    EXPECT_EQ(calendar()->date(), QDate(2024, 5, 7));
    EXPECT_TRUE(m_fakes.tones.sounded().isEmpty());
    EXPECT_EQ(savedPlannerEntries().size(), 2u);
}

// A planner row left in edit with a taken date is reported as what it is,
// not as the picked date being taken.
TEST_F(DatePickerTest, PendingPlannerRowIsNotTakenForATakenDate)
{
    addPlannerEntries({{"7.5.2024", "Zubař"}, {"8.5.2024", "Kadeřník"}});
    createWindows();
    store::Cursor& planner = planovac().TablePlanovac();
    planner.last();
    planner.edit();
    planner.setText("Datum", "7.5.2024");
    click(planovac(), "SpeedButtonVloz");
    clickDay(21);
    click(kalendar(), "BitBtnOK");
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Key violation."));
    EXPECT_EQ(savedPlannerEntries().size(), 2u);
}

// The picker replaces the statement of the name-day window's selection: a
// search result shown there becomes the picked date's row.
TEST_F(DatePickerTest, PickedDateReplacesTheNameSearchResult)
{
    setToday(QDate(2024, 5, 5));
    createWindows();
    svatek().show();
    click(svatek(), "SpeedButtonHled");
    control<QLineEdit>(svatek(), "EditDotaz")->setText(QStringLiteral("mar"));
    click(svatek(), "SpeedButtonHledej");
    auto* grid = control<widgets::DBGrid>(svatek(), "DBGridSvatek");
    EXPECT_GT(grid->model()->rowCount(), 5);
    click(svatek(), "SpeedButtonKalendar");
    clickDay(12);
    ASSERT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(grid->model()->index(0, 0).data().toString(), QStringLiteral("12. květen"));
    EXPECT_EQ(names(), grid->model()->index(0, 1).data().toString());
}

} // namespace
} // namespace organiser_test
