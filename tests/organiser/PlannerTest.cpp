// The planner: the ticking clock, the text search with "Hledej" and "Další",
// deleting, printing and the grid's edits.

#include "OrganiserFixture.h"

#include "widgets/DBGrid.h"
#include "widgets/DBNavigator.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace organiser_test {
namespace {

class PlannerTest : public OrganiserFixture {
protected:
    store::Cursor& table() { return planovac().TablePlanovac(); }
    QString currentDate() { return QString::fromStdString(table().text("Datum")); }
    bool enabled(const char* name) { return control<QAbstractButton>(planovac(), name)->isEnabled(); }
    void startSearch(const QString& text)
    {
        click(planovac(), "SpeedButtonHledani");
        control<QLineEdit>(planovac(), "EditHledani")->setText(text);
    }
    const std::vector<std::pair<std::string, std::string>> kEntries = {
        {"3.1.2024", "Zaplatit SIPO"},   {"5.5.2024", "Koupit ŘEPU a mrkev"},
        {"6.5.2024", "Narozeniny Petra"}, {"20.6.2024", "Zalít řepu na chatě"},
        {"1.7.2024", "Dovolená"},
    };
};

// "Dnes je " and today's date with the nominative month, shown as soon as
// the planner is made (it is made on first use; its clock has run since
// start-up); the date changes at midnight within a second, also while hidden.
TEST_F(PlannerTest, ClockTicksFromStartUp)
{
    m_fakes.clock.setNow(QDateTime(QDate(2024, 5, 5), QTime(23, 59, 59, 500)));
    createWindows();
    auto* clock = control<QLabel>(planovac(), "LabelDat");
    EXPECT_EQ(clock->text(), QStringLiteral("Dnes je neděle 5.květen 2024"));
    auto* timer = planovac().findChild<QTimer*>(QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 1000);
    EXPECT_FALSE(planovac().isVisible());
    m_fakes.clock.advanceMs(1000);
    timer->setInterval(5); // the timer's own tick, without waiting a second
    QTRY_COMPARE(clock->text(), QStringLiteral("Dnes je pondělí 6.květen 2024"));
}

// "Hledej" finds the first activity containing the text whatever the case
// (Czech letters too), "Další" the next ones in date order; after the last
// match its own message, the position stays on that match.
TEST_F(PlannerTest, SearchAndFurtherOccurrences)
{
    addPlannerEntries(kEntries);
    createWindows();
    planovac().show();
    table().last();
    startSearch(QStringLiteral("řepu"));
    EXPECT_TRUE(enabled("SpeedButtonHledej"));
    EXPECT_FALSE(enabled("SpeedButtonDalsi"));

    click(planovac(), "SpeedButtonHledej");
    EXPECT_EQ(currentDate(), "5.5.2024");
    EXPECT_FALSE(enabled("SpeedButtonHledej"));
    EXPECT_TRUE(enabled("SpeedButtonDalsi"));
    EXPECT_EQ(m_fakes.tones.sounded(), (platform::ToneList{{500, 70}}));
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());

    click(planovac(), "SpeedButtonDalsi");
    EXPECT_EQ(currentDate(), "20.6.2024");
    m_fakes.tones.clear();
    click(planovac(), "SpeedButtonDalsi");
    EXPECT_EQ(currentDate(), "20.6.2024");
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Další výskyt textu \"řepu\" nenalezen"));
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Information"));
    EXPECT_EQ(m_fakes.tones.sounded(),
              (platform::ToneList{{90, 70}, {0, 70}, {90, 70}, {500, 70}}));
    EXPECT_TRUE(enabled("SpeedButtonHledej"));
    EXPECT_FALSE(enabled("SpeedButtonDalsi"));

    // Typing again starts over from the first entry.
    click(planovac(), "SpeedButtonHledej");
    EXPECT_EQ(currentDate(), "5.5.2024");
    auto* edit = control<QLineEdit>(planovac(), "EditHledani");
    edit->setText(QStringLiteral("sipo"));
    EXPECT_TRUE(enabled("SpeedButtonHledej"));
    EXPECT_FALSE(enabled("SpeedButtonDalsi"));
    click(planovac(), "SpeedButtonHledej");
    EXPECT_EQ(currentDate(), "3.1.2024");
    // A click into the text does the same as typing.
    QTest::mouseClick(edit, Qt::LeftButton);
    EXPECT_TRUE(enabled("SpeedButtonHledej"));
    click(planovac(), "SpeedButtonZzpet");
    EXPECT_FALSE(control<QWidget>(planovac(), "Panel2")->isVisible());
}

// Nothing found (an empty planner, an empty text, an absent word): the
// message with the typed text, the failure tones, 500 Hz, and the position kept.
TEST_F(PlannerTest, NotFoundKeepsThePosition)
{
    struct Case {
        bool filled;
        const char* text;
    };
    const Case cases[] = {{false, "cokoli"}, {true, ""}, {true, "houby"}};
    for (const Case& c : cases) {
        if (c.filled && savedPlannerEntries().empty())
            addPlannerEntries(kEntries);
        createWindows();
        planovac().show();
        if (c.filled)
            table().moveToRow(2);
        const QString before = currentDate();
        startSearch(QString::fromUtf8(c.text));
        m_fakes.tones.clear();
        m_fakes.dialogs.clear();
        click(planovac(), "SpeedButtonHledej");
        ASSERT_EQ(m_fakes.dialogs.shown().size(), 1) << c.text;
        EXPECT_EQ(m_fakes.dialogs.lastBox().text,
                  QStringLiteral("Výskyt textu \"%1\" nenalezen").arg(QString::fromUtf8(c.text)));
        EXPECT_EQ(m_fakes.tones.sounded(),
                  (platform::ToneList{{90, 70}, {0, 70}, {90, 70}, {500, 70}}));
        EXPECT_EQ(currentDate(), before);
        EXPECT_TRUE(enabled("SpeedButtonHledej"));
        EXPECT_FALSE(enabled("SpeedButtonDalsi"));
        destroyWindows();
    }
}

// Delete asks with the entry's date; No keeps it silently, Yes deletes with the tone.
TEST_F(PlannerTest, DeleteAsksFirst)
{
    addPlannerEntries(kEntries);
    createWindows();
    table().moveToRow(1);
    m_fakes.dialogs.answerNext(platform::Button::No);
    click(planovac(), "SpeedButtonSmaz");
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Smazat akci plánovanou na 5.5.2024?"));
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Confirm"));
    EXPECT_TRUE(m_fakes.tones.sounded().isEmpty());
    EXPECT_EQ(savedPlannerEntries().size(), 5u);

    click(planovac(), "SpeedButtonSmaz");
    EXPECT_EQ(m_fakes.tones.sounded(), (platform::ToneList{{90, 150}}));
    EXPECT_EQ(savedPlannerEntries().size(), 4u);
    EXPECT_EQ(currentDate(), "6.5.2024");
}

// An empty planner has nothing to delete: the store's message, no question.
TEST_F(PlannerTest, DeleteInAnEmptyPlanner)
{
    createWindows();
    click(planovac(), "SpeedButtonSmaz");
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text,
              QStringLiteral("Cannot perform this operation on an empty dataset"));
}

// A date typed into the grid is taken once it is a whole date: the keys on
// the way ("1", "1.", ...) raise no error, and the entry moves to its new place.
TEST_F(PlannerTest, DateTypedIntoTheGrid)
{
    addPlannerEntries(kEntries);
    createWindows();
    auto* grid = control<widgets::DBGrid>(planovac(), "DBGridPlanovac");
    grid->setCurrentIndex(grid->model()->index(0, 0));
    typeText(grid, QStringLiteral("15.8.2024"));
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty()) << m_fakes.dialogs.shownTexts().join(" | ").toStdString();
    grid->commitOpenEditor();
    table().post();
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
    EXPECT_EQ(savedPlannerEntries()[4], "15.8.2024|Zaplatit SIPO");
}

// Entries come only from the date picker: the grid's Insert and Down past the
// last row start none.
TEST_F(PlannerTest, GridKeysStartNoEntry)
{
    addPlannerEntries(kEntries);
    createWindows();
    showActive(planovac());
    auto* grid = control<widgets::DBGrid>(planovac(), "DBGridPlanovac");
    table().last();
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Insert);
    EXPECT_EQ(table().state(), store::CursorState::Browse);
    EXPECT_EQ(table().rowCount(), 5);
}

// Printing asks first and prints three lines per entry; the position stays.
TEST_F(PlannerTest, PrintingAllEntries)
{
    addPlannerEntries(kEntries);
    createWindows();
    table().moveToRow(3);
    m_fakes.dialogs.answerNext(platform::Button::No);
    click(planovac(), "SpeedButtonTisk");
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Chcete vytisknout celý obsah plánovače?"));
    EXPECT_TRUE(m_fakes.printer.jobs().isEmpty());
    click(planovac(), "SpeedButtonTisk");
    ASSERT_EQ(m_fakes.printer.jobs().size(), 1);
    const QStringList lines = m_fakes.printer.lastJob().pageLines(1);
    ASSERT_EQ(lines.size(), 5 * 3 - 1);
    EXPECT_EQ(lines[0], QStringLiteral("DATUM:   3.1.2024"));
    EXPECT_EQ(lines[1], QStringLiteral("ČINNOST: Zaplatit SIPO"));
    EXPECT_EQ(lines[2], QString());
    EXPECT_EQ(lines[3], QStringLiteral("DATUM:   5.5.2024"));
    EXPECT_EQ(lines[13], QStringLiteral("ČINNOST: Dovolená"));
    EXPECT_EQ(currentDate(), "20.6.2024");
}

// The menu's "Plánovač" shows the window on its first entry; the navigators
// beep after each click; the name-day button shows that window.
TEST_F(PlannerTest, MenuNavigatorsAndNameDays)
{
    addPlannerEntries(kEntries);
    createWindows();
    table().last();
    planovac().showOnFirstEntry();
    EXPECT_TRUE(planovac().isVisible());
    EXPECT_EQ(currentDate(), "3.1.2024");
    auto* navigator = control<widgets::DBNavigator>(planovac(), "DBNavigator");
    QTest::mouseClick(navigator->button(widgets::DBNavigator::Button::Next), Qt::LeftButton);
    EXPECT_EQ(currentDate(), "5.5.2024");
    EXPECT_EQ(m_fakes.tones.beeps(), 1);
    EXPECT_EQ(navigator->button(widgets::DBNavigator::Button::Last)->toolTip(),
              QStringLiteral("Na poslední záznam"));
    click(planovac(), "SpeedButtonSvatek");
    EXPECT_TRUE(svatek().isVisible());
    click(planovac(), "SpeedButtonZpet");
    EXPECT_FALSE(planovac().isVisible());
}

// The activity typed into the grid is saved by the second navigator; a date
// changed to one taken already is refused by the store and stays in edit.
TEST_F(PlannerTest, GridEditsAndATakenDate)
{
    addPlannerEntries(kEntries);
    createWindows();
    planovac().show();
    auto* grid = control<widgets::DBGrid>(planovac(), "DBGridPlanovac");
    auto* save = control<widgets::DBNavigator>(planovac(), "DBNavigator1")
                     ->button(widgets::DBNavigator::Button::Post);
    EXPECT_FALSE(save->isEnabled());
    grid->setCurrentIndex(grid->model()->index(4, 1));
    typeText(grid, QStringLiteral("Dovolená u moře"));
    grid->commitOpenEditor();
    EXPECT_TRUE(save->isEnabled());
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_EQ(savedPlannerEntries()[4], "1.7.2024|Dovolená u moře");

    table().edit();
    table().setText("Datum", "3.1.2024");
    QTest::mouseClick(save, Qt::LeftButton);
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Key violation."));
    EXPECT_EQ(table().state(), store::CursorState::Edit);
    EXPECT_EQ(table().text("Činnost"), "Dovolená u moře");
}

} // namespace
} // namespace organiser_test
