// Record editing through the main window's toolbar and grid, with the tones
// and message boxes the user would hear and see.

#include "AppFixture.h"

#include "store/Errors.h"
#include "widgets/DBNavigator.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTableView>
#include <QTest>

#include <sqlite3.h>

using platform::Button;
using platform::Icon;
using platform::ToneList;

namespace apptest {
namespace {

const QString kTitle = QStringLiteral("Pelmir a telefony");
const QString kDuplicate =
    QStringLiteral("Nelze vložit dvě stejná příjmení. Stejné příjmení už existuje.");
const ToneList kDropped = {{90, 70}, {0, 70}, {90, 70}};

class EditingTest : public AppFixture {
protected:
    bool saveEnabled() { return control<QAbstractButton>("SpeedButtonPotvrd")->isEnabled(); }
    bool discardEnabled() { return control<QAbstractButton>("SpeedButtonZrus")->isEnabled(); }
};

// Save and discard start disabled; a stale enabled state would invite saving nothing.
TEST_F(EditingTest, SaveAndDiscardStartDisabled)
{
    startWith(standardAddresses());
    EXPECT_FALSE(saveEnabled());
    EXPECT_FALSE(discardEnabled());
    EXPECT_TRUE(control<QAbstractButton>("SpeedButtonVloz")->isEnabled());
    EXPECT_TRUE(control<QAbstractButton>("SpeedButtonSmaz")->isEnabled());
}

// A duplicate surname must keep the typed record pending (not lost, not half
// saved), report the window's own message, and leave discard able to drop it.
TEST_F(EditingTest, DuplicateSurnameOnSaveKeepsRecordPendingUntilDiscarded)
{
    startWith(standardAddresses());
    click("SpeedButtonVloz");
    EXPECT_EQ(table().state(), store::CursorState::Insert);
    EXPECT_TRUE(saveEnabled());
    typeIntoGrid(QStringLiteral("Novák"));
    click("SpeedButtonPotvrd");

    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    const platform::ShownBox box = m_fakes.dialogs.lastBox();
    EXPECT_EQ(box.caption, kTitle);
    EXPECT_EQ(box.text, kDuplicate);
    EXPECT_EQ(box.icon, Icon::Error);
    EXPECT_EQ(box.buttons, QList<Button>{Button::Ok});
    EXPECT_EQ(table().state(), store::CursorState::Insert);
    EXPECT_EQ(currentSurname(), QStringLiteral("Novák"));
    EXPECT_TRUE(saveEnabled());
    EXPECT_TRUE(discardEnabled());

    click("SpeedButtonZrus");
    EXPECT_EQ(table().state(), store::CursorState::Browse);
    EXPECT_EQ(table().recordCount(), 7);
    EXPECT_FALSE(saveEnabled());
    EXPECT_FALSE(discardEnabled());
    EXPECT_EQ(m_fakes.tones.sounded(), (ToneList{{400, 50}, {400, 100}} + kDropped));
    EXPECT_FALSE(m_fakes.tones.sounding());
}

// A new surname typed into the grid and saved lands in the table in key order.
TEST_F(EditingTest, InsertTypeAndSaveStoresTheRecord)
{
    startWith(standardAddresses());
    click("SpeedButtonVloz");
    typeIntoGrid(QStringLiteral("Bílek"));
    click("SpeedButtonPotvrd");
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty()) << m_fakes.dialogs.shownTexts().join('|').toStdString();
    EXPECT_FALSE(saveEnabled());
    EXPECT_EQ(savedSurnames().first(), QStringLiteral("Bílek"));
    EXPECT_EQ(m_fakes.tones.sounded(), (ToneList{{400, 50}, {400, 100}}));
}

// After a record was typed out to a later column, the next new record must
// still start in the surname column, not wherever the last one ended.
TEST_F(EditingTest, InsertStartsInTheSurnameColumn)
{
    startWith(standardAddresses());
    auto* grid = control<QTableView>("Grid");
    grid->setCurrentIndex(grid->model()->index(0, 1));
    click("SpeedButtonVloz");
    typeIntoGrid(QStringLiteral("Bílek"));
    click("SpeedButtonPotvrd");
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
    EXPECT_EQ(savedSurnames().first(), QStringLiteral("Bílek"));
}

// The grid's own keys in the main window: the Insert key starts a new record
// without telling the toolbar, Esc drops it, Ctrl+Del asks the grid's own
// question and deletes only on OK, without a tone.
TEST_F(EditingTest, GridKeysInsertDropAndDelete)
{
    startWith(standardAddresses());
    auto* grid = control<QTableView>("Grid");
    grid->setFocus();
    const int records = table().recordCount();

    QTest::keyClick(grid, Qt::Key_Insert);
    EXPECT_EQ(table().state(), store::CursorState::Insert);
    EXPECT_FALSE(saveEnabled());
    typeIntoGrid(QStringLiteral("Bílek"));
    EXPECT_FALSE(saveEnabled()); // no edit can begin on a record being inserted
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); // the open cell editor
    EXPECT_EQ(table().state(), store::CursorState::Browse);
    EXPECT_EQ(table().recordCount(), records);

    const QString first = currentSurname();
    m_fakes.dialogs.answerNext(Button::Cancel);
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Delete record?"));
    EXPECT_EQ(table().recordCount(), records);

    m_fakes.dialogs.answerNext(Button::Ok);
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(table().recordCount(), records - 1);
    EXPECT_FALSE(savedSurnames().contains(first));
    EXPECT_TRUE(m_fakes.tones.sounded().isEmpty());
}

// Discarding a new record must remove the row, not save it.
TEST_F(EditingTest, InsertThenDiscardDropsTheNewRow)
{
    startWith(standardAddresses());
    click("SpeedButtonVloz");
    typeIntoGrid(QStringLiteral("Bílek"));
    click("SpeedButtonZrus");
    EXPECT_EQ(m_fakes.tones.sounded(), (ToneList{{400, 50}} + kDropped));
    EXPECT_EQ(table().recordCount(), 7);
    EXPECT_FALSE(savedSurnames().contains(QStringLiteral("Bílek")));
    EXPECT_FALSE(saveEnabled());
    EXPECT_FALSE(discardEnabled());
}

// Moving rows saves by itself and does not tell the toolbar: save stays
// enabled, and pressing it then sounds, saves nothing and disables both.
TEST_F(EditingTest, ToolbarStaysEnabledAfterRowMoveUntilSavePressed)
{
    startWith(standardAddresses());
    table().first(); // Čermák
    QWidget* grid = control<QWidget>("Grid");
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Tab); // to the first name
    typeIntoGrid(QStringLiteral("Honza"));
    EXPECT_TRUE(saveEnabled()); // AfterEdit
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(table().state(), store::CursorState::Browse);
    EXPECT_EQ(currentSurname(), QStringLiteral("Dvořák"));
    EXPECT_TRUE(saveEnabled());
    EXPECT_TRUE(discardEnabled());

    m_fakes.tones.clear();
    click("SpeedButtonPotvrd");
    EXPECT_EQ(m_fakes.tones.sounded(), (ToneList{{400, 100}}));
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
    EXPECT_FALSE(saveEnabled());
    EXPECT_FALSE(discardEnabled());
    table().first();
    EXPECT_EQ(table().text("Jméno"), "Honza");
}

// A duplicate met by a row move is the store's own error; the move must not
// happen and the typed surname must stay pending.
TEST_F(EditingTest, DuplicateSurnameOnRowMoveKeepsRowEditing)
{
    startWith(standardAddresses());
    table().first(); // Čermák
    typeIntoGrid(QStringLiteral("Zeman"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    ASSERT_FALSE(m_fakes.dialogs.shown().isEmpty());
    const platform::ShownBox box = m_fakes.dialogs.lastBox();
    EXPECT_EQ(box.caption, kTitle);
    EXPECT_EQ(box.icon, Icon::Error);
    EXPECT_EQ(box.text, QString::fromUtf8(store::kKeyViolationMessage));
    EXPECT_EQ(table().state(), store::CursorState::Edit);
    EXPECT_EQ(currentSurname(), QStringLiteral("Zeman"));
    EXPECT_EQ(savedSurnames().first(), QStringLiteral("Čermák"));
}

struct DeleteCase {
    const char* label;
    Button answer;
    int recordsAfter;
    ToneList tones;
};

class DeleteTest : public EditingTest, public ::testing::WithParamInterface<DeleteCase> {};

// The question names the current surname; only Yes deletes and sounds.
TEST_P(DeleteTest, AsksWithSurnameAndDeletesOnlyOnYes)
{
    startWith(standardAddresses());
    table().findNearest("Kasanová");
    m_fakes.dialogs.answerNext(GetParam().answer);
    click("SpeedButtonSmaz");
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().caption, QStringLiteral("Confirm"));
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Smazat záznam Kasanová?"));
    EXPECT_EQ(table().recordCount(), GetParam().recordsAfter);
    EXPECT_EQ(m_fakes.tones.sounded(), GetParam().tones);
    EXPECT_EQ(savedSurnames().contains(QStringLiteral("Kasanová")), GetParam().answer == Button::No);
}

INSTANTIATE_TEST_SUITE_P(Answers, DeleteTest,
                         ::testing::Values(DeleteCase{"Yes", Button::Yes, 6, {{90, 150}}},
                                           DeleteCase{"No", Button::No, 7, {}}),
                         [](const auto& info) { return std::string(info.param.label); });

// Deleting from an empty table must report the store's error, not crash or
// pretend success, and sound no "deleted" tone.
TEST_F(EditingTest, DeleteOnEmptyTableShowsStoreError)
{
    startWith({});
    m_fakes.dialogs.answerNext(Button::Yes);
    click("SpeedButtonSmaz");
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 2);
    EXPECT_EQ(m_fakes.dialogs.shown()[0].text, QStringLiteral("Smazat záznam ?"));
    const platform::ShownBox error = m_fakes.dialogs.shown()[1];
    EXPECT_EQ(error.caption, kTitle);
    EXPECT_EQ(error.icon, Icon::Error);
    EXPECT_EQ(error.text, QString::fromUtf8(store::kEmptyDatasetMessage));
    EXPECT_TRUE(m_fakes.tones.sounded().isEmpty());
}

// The navigator moves, then beeps and hands the focus to the grid.
TEST_F(EditingTest, NavigatorLastGoesToLastSurnameBeepsAndFocusesGrid)
{
    startWith(standardAddresses());
    auto* navigator = control<QWidget>("DBNavigator");
    auto* last = navigator->findChild<QAbstractButton*>(
        widgets::DBNavigator::objectNameOf(widgets::DBNavigator::Button::Last));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->toolTip(), QStringLiteral("Na konec adresáře"));
    QTest::mouseClick(last, Qt::LeftButton);
    EXPECT_EQ(currentSurname(), QStringLiteral("Zeman"));
    EXPECT_EQ(m_fakes.tones.beeps(), 1);
    EXPECT_EQ(QApplication::focusWidget(), control<QWidget>("Grid"));
}

// Ending the program while a new row is being typed asks about it; No must
// not save it.
TEST_F(EditingTest, KonecDropsPendingNewRow)
{
    startWith(standardAddresses());
    click("SpeedButtonVloz");
    typeIntoGrid(QStringLiteral("Bílek"));
    m_fakes.dialogs.answerNext(platform::Button::No);
    action("Konec")->trigger();
    EXPECT_FALSE(table().isActive());
    EXPECT_EQ(savedSurnames().size(), 7);
    EXPECT_FALSE(savedSurnames().contains(QStringLiteral("Bílek")));
}

// "+" then "✓" with nothing typed: the untouched new row is no record, so no
// address with an empty surname is stored (it was, before).
TEST_F(EditingTest, SaveOnAnUntouchedNewRowStoresNothing)
{
    startWith(standardAddresses());
    click("SpeedButtonVloz");
    click("SpeedButtonPotvrd");
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
    EXPECT_EQ(table().state(), store::CursorState::Browse);
    EXPECT_EQ(savedSurnames().size(), 7);
    EXPECT_FALSE(savedSurnames().contains(QString()));
    EXPECT_FALSE(saveEnabled());
    EXPECT_FALSE(discardEnabled());
}

// A save that fails for another reason than a duplicate surname (here the
// file is locked by another program) must say so, not claim that the surname
// exists; the record stays pending and can be saved once the lock is gone.
TEST_F(EditingTest, ASaveFailingForAnotherReasonSaysWhy)
{
    startWith(standardAddresses());
    click("SpeedButtonVloz");
    typeIntoGrid(QStringLiteral("Bílek"));

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(workPath(QStringLiteral("Data/Dat.DB")).toUtf8().constData(), &other),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    click("SpeedButtonPotvrd");
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    const platform::ShownBox box = m_fakes.dialogs.lastBox();
    EXPECT_EQ(box.caption, kTitle);
    EXPECT_EQ(box.icon, Icon::Error);
    EXPECT_NE(box.text, kDuplicate);
    EXPECT_TRUE(box.text.startsWith(QStringLiteral("Záznam nebyl uložen"))) << box.text.toStdString();
    EXPECT_EQ(table().state(), store::CursorState::Insert);
    EXPECT_EQ(currentSurname(), QStringLiteral("Bílek"));
    EXPECT_TRUE(saveEnabled());

    click("SpeedButtonPotvrd");
    EXPECT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_TRUE(savedSurnames().contains(QStringLiteral("Bílek")));
}

// --- Which record "−" names after the table changed under the grid.

enum class Before { DeleteByButton, DeleteByCtrlDel, DiscardNewRow, UntouchedNewRow,
                    DuplicateThenDiscard, FailedRowMoveThenEsc };

struct NextDeleteCase {
    const char* label;
    Before before;
    const char* start; // the record the user stands on
    const char* named; // the record the next "−" must name
};

class NextDeleteTest : public EditingTest, public ::testing::WithParamInterface<NextDeleteCase> {};

// The highlight used to move one row past the record made current, so a
// second delete named and removed a record the user never chose.
TEST_P(NextDeleteTest, NextDeleteNamesTheRecordTheGridShows)
{
    const NextDeleteCase& c = GetParam();
    startWith(standardAddresses());
    auto* grid = control<QTableView>("Grid");
    table().findNearest(c.start);
    grid->setFocus();
    const bool last = QString::fromUtf8(c.start) == QStringLiteral("Zeman");

    switch (c.before) {
    case Before::DeleteByButton:
        m_fakes.dialogs.answerNext(Button::Yes);
        click("SpeedButtonSmaz");
        break;
    case Before::DeleteByCtrlDel:
        m_fakes.dialogs.answerNext(Button::Ok);
        QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
        break;
    case Before::DiscardNewRow:
        click("SpeedButtonVloz");
        typeIntoGrid(QStringLiteral("Bílek"));
        click("SpeedButtonZrus");
        break;
    case Before::UntouchedNewRow:
        click("SpeedButtonVloz");
        break;
    case Before::DuplicateThenDiscard:
        click("SpeedButtonVloz");
        typeIntoGrid(QStringLiteral("Novák"));
        click("SpeedButtonPotvrd");
        click("SpeedButtonZrus");
        break;
    case Before::FailedRowMoveThenEsc:
        typeIntoGrid(last ? QStringLiteral("Čermák") : QStringLiteral("Zeman"));
        QTest::keyClick(QApplication::focusWidget(), last ? Qt::Key_Up : Qt::Key_Down);
        ASSERT_EQ(table().state(), store::CursorState::Edit);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        break;
    }
    EXPECT_EQ(grid->currentIndex().row(), table().currentRow());
    EXPECT_EQ(grid->selectionModel()->selectedIndexes().value(0).row(), table().currentRow());

    m_fakes.dialogs.clear();
    m_fakes.dialogs.answerNext(Button::No);
    click("SpeedButtonSmaz");
    ASSERT_FALSE(m_fakes.dialogs.shown().isEmpty());
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Smazat záznam %1?").arg(c.named));
}

INSTANTIATE_TEST_SUITE_P(
    Positions, NextDeleteTest,
    ::testing::Values(
        NextDeleteCase{"DeleteFirst", Before::DeleteByButton, "Čermák", "Dvořák"},
        NextDeleteCase{"DeleteMiddle", Before::DeleteByButton, "Nekola", "Nohavica"},
        NextDeleteCase{"DeleteLast", Before::DeleteByButton, "Zeman", "Novák"},
        NextDeleteCase{"CtrlDelFirst", Before::DeleteByCtrlDel, "Čermák", "Dvořák"},
        NextDeleteCase{"CtrlDelMiddle", Before::DeleteByCtrlDel, "Nekola", "Nohavica"},
        NextDeleteCase{"CtrlDelLast", Before::DeleteByCtrlDel, "Zeman", "Novák"},
        NextDeleteCase{"DiscardFirst", Before::DiscardNewRow, "Čermák", "Čermák"},
        NextDeleteCase{"DiscardMiddle", Before::DiscardNewRow, "Nekola", "Nekola"},
        NextDeleteCase{"DiscardLast", Before::DiscardNewRow, "Zeman", "Zeman"},
        NextDeleteCase{"UntouchedFirst", Before::UntouchedNewRow, "Čermák", "Čermák"},
        NextDeleteCase{"UntouchedMiddle", Before::UntouchedNewRow, "Nekola", "Nekola"},
        NextDeleteCase{"UntouchedLast", Before::UntouchedNewRow, "Zeman", "Zeman"},
        NextDeleteCase{"DuplicateFirst", Before::DuplicateThenDiscard, "Čermák", "Čermák"},
        NextDeleteCase{"DuplicateMiddle", Before::DuplicateThenDiscard, "Nekola", "Nekola"},
        NextDeleteCase{"DuplicateLast", Before::DuplicateThenDiscard, "Zeman", "Zeman"},
        NextDeleteCase{"FailedMoveFirst", Before::FailedRowMoveThenEsc, "Čermák", "Čermák"},
        NextDeleteCase{"FailedMoveMiddle", Before::FailedRowMoveThenEsc, "Nekola", "Nekola"},
        NextDeleteCase{"FailedMoveLast", Before::FailedRowMoveThenEsc, "Zeman", "Zeman"}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
} // namespace apptest
