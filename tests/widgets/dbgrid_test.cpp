#include "WidgetsFixture.h"

#include "widgets/DBGrid.h"
#include "widgets/GridModel.h"

#include "store/Errors.h"
#include "store/Query.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

using widgets_test::WidgetsFixture;

namespace {

enum Column { Surname = 0, FirstName = 1, Phone = 2 };

// A window with the grid and one more control to take the focus.
class GridWindow : public QWidget {
public:
    GridWindow()
    {
        auto* layout = new QVBoxLayout(this);
        grid = new widgets::DBGrid(this);
        grid->setObjectName(QStringLiteral("Grid"));
        other = new QLineEdit(this);
        other->setObjectName(QStringLiteral("Other"));
        layout->addWidget(grid);
        layout->addWidget(other);
    }
    widgets::DBGrid* grid;
    QLineEdit* other;
};

class DBGridTest : public WidgetsFixture {
protected:
    // The surnames in the table; key order Beneš, Černý, Dvořák unless a test says otherwise.
    virtual std::vector<std::string> people() const { return {"Dvořák", "Beneš", "Černý"}; }

    void SetUp() override
    {
        WidgetsFixture::SetUp();
        addPeople(people());
        m_window = std::make_unique<GridWindow>();
        grid()->setDataSet(
            m_cursor.get(),
            {{"Příjmení", "Příjmení - Firma ", 120}, {"Jméno", "", 80}, {"Telefon", "", 80}});
        showActive(*m_window);
        grid()->setFocus();
    }
    void TearDown() override
    {
        m_window.reset();
        WidgetsFixture::TearDown();
    }

    widgets::DBGrid* grid() const { return m_window->grid; }

    void clickCell(int row, int column)
    {
        const QModelIndex index = grid()->model()->index(row, column);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {},
                          grid()->visualRect(index).center());
    }
    // Keys go where a user's keys go: to the focused widget (the cell editor once open).
    static void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    static void type(const QString& text)
    {
        // Char by char with its own text: Czech letters are no ASCII keys.
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(),
                                Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
    }
    QString cell(int row, int column) const
    {
        return grid()->model()->index(row, column).data().toString();
    }
    int gridRow() const { return grid()->currentIndex().row(); }

    std::unique_ptr<GridWindow> m_window;
};

// Rows come from the cursor in key order, titles from the columns: a model
// that cached or reordered rows would show them wrongly.
TEST_F(DBGridTest, ShowsRowsInKeyOrderWithTitlesAndFixedRows)
{
    EXPECT_EQ(grid()->model()->rowCount(), 3);
    EXPECT_EQ(cell(0, Surname), QStringLiteral("Beneš"));
    EXPECT_EQ(cell(1, Surname), QStringLiteral("Černý"));
    EXPECT_EQ(cell(2, FirstName), QStringLiteral("JDvořák"));
    EXPECT_EQ(grid()->model()->headerData(0, Qt::Horizontal).toString(),
              QStringLiteral("Příjmení - Firma "));
    EXPECT_EQ(grid()->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Jméno"));
    EXPECT_EQ(grid()->columnWidth(0), 120);
    EXPECT_EQ(grid()->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    EXPECT_EQ(gridRow(), 0);
}

// Typing must begin the edit through the store exactly once (the window's
// Save/Discard hang on AfterEdit) and moving rows must save the change.
TEST_F(DBGridTest, TypingStartsTheEditOnceAndMovingRowsSaves)
{
    clickCell(0, FirstName);
    type(QStringLiteral("Jan"));
    EXPECT_EQ(m_afterEdit, 1);
    EXPECT_EQ(m_cursor->state(), store::CursorState::Edit);
    EXPECT_TRUE(m_cursor->modified());
    EXPECT_EQ(m_cursor->text("Jméno"), "Jan"); // written as typed, before the editor closes
    EXPECT_EQ(grid()->model()->headerData(0, Qt::Vertical).toString(),
              widgets::GridModel::editMarker());

    key(Qt::Key_Down);
    EXPECT_EQ(m_cursor->state(), store::CursorState::Browse);
    EXPECT_EQ(m_cursor->currentRow(), 1);
    EXPECT_EQ(gridRow(), 1);
    EXPECT_EQ(m_cursor->rowText(0, 1), "Jan");
    EXPECT_EQ(m_afterEdit, 1);
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
}

// Tab goes to the next cell of the same record without saving it.
TEST_F(DBGridTest, TabMovesToTheNextCellAndKeepsTheRecordPending)
{
    clickCell(0, Surname);
    key(Qt::Key_Tab);
    EXPECT_EQ(grid()->currentIndex().column(), FirstName);
    type(QStringLiteral("Eva"));
    key(Qt::Key_Tab);
    EXPECT_EQ(grid()->currentIndex().column(), Phone);
    EXPECT_EQ(m_cursor->state(), store::CursorState::Edit);
    EXPECT_EQ(cell(0, FirstName), QStringLiteral("Eva"));
}

// A duplicate key met by a row move: the store's own error in the error box,
// the move does not happen and the row stays in editing with what was typed.
TEST_F(DBGridTest, DuplicateKeyOnRowMoveShowsStoreErrorAndStaysOnRow)
{
    clickCell(1, Surname);
    type(QStringLiteral("Beneš"));
    key(Qt::Key_Down);

    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    const platform::ShownBox box = m_fakes.dialogs.lastBox();
    EXPECT_EQ(box.caption, QStringLiteral("Pelmir a telefony"));
    EXPECT_EQ(box.icon, platform::Icon::Error);
    EXPECT_EQ(m_cursor->state(), store::CursorState::Edit);
    EXPECT_EQ(m_cursor->currentRow(), 1);
    EXPECT_EQ(gridRow(), 1);
    EXPECT_EQ(m_cursor->text("Příjmení"), "Beneš");
    try {
        m_cursor->post();
        ADD_FAILURE() << "the duplicate was saved";
    } catch (const store::StoreError& error) {
        EXPECT_EQ(box.text, QString::fromUtf8(error.what())); // the store's text, not our own
    }

    // A mouse click on another row fails the same way and keeps the row.
    clickCell(2, Phone);
    EXPECT_EQ(m_fakes.dialogs.shown().size(), 2);
    EXPECT_EQ(m_cursor->currentRow(), 1);
    EXPECT_EQ(gridRow(), 1);
    EXPECT_EQ(grid()->selectionModel()->selectedIndexes().value(0).row(), 1);
}

struct EscCase {
    const char* name;
    bool tabFirst; // closes the cell editor before Esc, so the grid itself gets it
};

class DBGridEscTest : public DBGridTest, public ::testing::WithParamInterface<EscCase> {};

// Esc drops the whole pending change, whether the cell editor is open or not.
TEST_P(DBGridEscTest, EscDropsThePendingChange)
{
    clickCell(0, FirstName);
    type(QStringLiteral("Xaver"));
    if (GetParam().tabFirst)
        key(Qt::Key_Tab);
    key(Qt::Key_Escape);
    EXPECT_EQ(m_cursor->state(), store::CursorState::Browse);
    EXPECT_EQ(m_cursor->text("Jméno"), "JBeneš");
    EXPECT_EQ(cell(0, FirstName), QStringLiteral("JBeneš"));
    EXPECT_EQ(m_cursor->recordCount(), 3);
}

INSTANTIATE_TEST_SUITE_P(Esc, DBGridEscTest,
                         ::testing::Values(EscCase{"InEditor", false}, EscCase{"AfterTab", true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct InsertCase {
    const char* name;
    int startRow;
    Qt::Key key;
    int newRow; // where the new record's row opens
};

class DBGridInsertTest : public DBGridTest, public ::testing::WithParamInterface<InsertCase> {};

// The grid's own insert keys start a new record without AfterEdit, also when
// typing into it; it is saved by moving to another row.
TEST_P(DBGridInsertTest, InsertKeysStartANewRecordWithoutAfterEdit)
{
    clickCell(GetParam().startRow, Surname);
    key(GetParam().key);
    EXPECT_EQ(m_cursor->state(), store::CursorState::Insert);
    EXPECT_EQ(grid()->model()->rowCount(), 4);
    EXPECT_EQ(gridRow(), GetParam().newRow);
    EXPECT_EQ(m_cursor->currentRow(), GetParam().newRow);
    EXPECT_EQ(cell(GetParam().newRow, Surname), QString());
    EXPECT_EQ(grid()->model()->headerData(gridRow(), Qt::Vertical).toString(),
              widgets::GridModel::insertMarker());

    type(QStringLiteral("Adam"));
    EXPECT_EQ(m_afterEdit, 0);
    key(Qt::Key_Up);
    EXPECT_EQ(m_cursor->state(), store::CursorState::Browse);
    EXPECT_EQ(m_cursor->recordCount(), 4);
    EXPECT_EQ(cell(0, Surname), QStringLiteral("Adam"));
    EXPECT_EQ(m_afterEdit, 0);
}

INSTANTIATE_TEST_SUITE_P(Keys, DBGridInsertTest,
                         ::testing::Values(InsertCase{"InsertKey", 1, Qt::Key_Insert, 1},
                                           InsertCase{"DownPastLastRow", 2, Qt::Key_Down, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

// Down on an untouched new last row must not pile up empty records.
TEST_F(DBGridTest, DownOnAnUntouchedNewRowAddsNoSecond)
{
    clickCell(2, Surname);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_EQ(grid()->model()->rowCount(), 4);
    EXPECT_EQ(m_cursor->state(), store::CursorState::Insert);
}

struct DeleteCase {
    const char* name;
    platform::Button answer;
    int recordsLeft;
};

class DBGridDeleteTest : public DBGridTest, public ::testing::WithParamInterface<DeleteCase> {};

// Ctrl+Del asks the toolkit's question and deletes only on OK, silently.
TEST_P(DBGridDeleteTest, CtrlDelAsksAndDeletesOnOk)
{
    clickCell(1, Surname);
    m_fakes.dialogs.answerNext(GetParam().answer);
    key(Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Delete record?"));
    EXPECT_EQ(m_fakes.dialogs.lastBox().buttons,
              (QList<platform::Button>{platform::Button::Ok, platform::Button::Cancel}));
    EXPECT_EQ(m_cursor->recordCount(), GetParam().recordsLeft);
    EXPECT_EQ(grid()->model()->rowCount(), GetParam().recordsLeft);
    EXPECT_EQ(gridRow(), m_cursor->currentRow());
    EXPECT_TRUE(m_fakes.tones.events().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Answers, DBGridDeleteTest,
                         ::testing::Values(DeleteCase{"Ok", platform::Button::Ok, 2},
                                           DeleteCase{"Cancel", platform::Button::Cancel, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

struct FocusCase {
    const char* name;
    QString typed;
    store::CursorState after;
    int rows;
};

class DBGridFocusTest : public DBGridTest, public ::testing::WithParamInterface<FocusCase> {};

// Leaving the grid drops a new record only when nothing was typed into it.
TEST_P(DBGridFocusTest, LosingFocusDropsOnlyAnUntouchedNewRecord)
{
    clickCell(0, Surname);
    key(Qt::Key_Insert);
    type(GetParam().typed);
    m_window->other->setFocus();
    EXPECT_EQ(m_cursor->state(), GetParam().after);
    EXPECT_EQ(grid()->model()->rowCount(), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Typed, DBGridFocusTest,
    ::testing::Values(FocusCase{"Nothing", QString(), store::CursorState::Browse, 3},
                      FocusCase{"Surname", QStringLiteral("Zeman"), store::CursorState::Insert, 4}),
    [](const auto& info) { return std::string(info.param.name); });

// The grid follows cursor moves made elsewhere, but not while the display is
// suspended (a walk must not scroll the user's grid), and catches up after.
TEST_F(DBGridTest, FollowsTheCursorExceptWhileSuspended)
{
    m_cursor->last();
    EXPECT_EQ(gridRow(), 2);
    m_cursor->disableControls();
    m_cursor->first();
    EXPECT_EQ(gridRow(), 2);
    m_cursor->enableControls();
    EXPECT_EQ(gridRow(), 0);
}

// A selection is read-only: typing, Insert and Ctrl+Del change nothing.
TEST_F(DBGridTest, ReadOnlySelectionNeverEdits)
{
    store::Query query(*m_database);
    query.setSql("select * from Adr");
    query.open();
    grid()->setDataSet(&query, {{"Příjmení", "", -1}, {"Jméno", "", -1}});
    EXPECT_EQ(grid()->model()->rowCount(), 3);
    clickCell(1, FirstName);
    EXPECT_EQ(query.currentRow(), 1);
    type(QStringLiteral("x"));
    key(Qt::Key_Insert);
    key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(grid()->model()->rowCount(), 3);
    EXPECT_EQ(cell(1, FirstName), QStringLiteral("JČerný"));
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
    grid()->setDataSet(nullptr, {});
}

// A read-only grid over a table browses only: typing, Insert, Down past the
// last row and Ctrl+Del would otherwise change a reference table.
TEST_F(DBGridTest, ReadOnlyGridOverATableOnlyBrowses)
{
    grid()->setReadOnly(true);
    clickCell(2, FirstName);
    type(QStringLiteral("x"));
    key(Qt::Key_Down);
    key(Qt::Key_Insert);
    key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(m_cursor->state(), store::CursorState::Browse);
    EXPECT_EQ(grid()->model()->rowCount(), 3);
    EXPECT_EQ(cell(2, FirstName), QStringLiteral("JDvořák"));
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
    key(Qt::Key_Up);
    EXPECT_EQ(m_cursor->currentRow(), 1); // moving still works
}

// A grid selecting whole rows highlights the cursor's whole row wherever the
// cursor goes, not one cell of it.
TEST_F(DBGridTest, RowSelectionFollowsTheCursor)
{
    grid()->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_cursor->last();
    QItemSelectionModel* selection = grid()->selectionModel();
    EXPECT_TRUE(selection->isRowSelected(2, QModelIndex()));
    EXPECT_EQ(selection->selectedIndexes().size(), 3);
    m_cursor->first();
    EXPECT_TRUE(selection->isRowSelected(0, QModelIndex()));
    EXPECT_EQ(selection->selectedRows().size(), 1);
    clickCell(1, Phone);
    EXPECT_EQ(m_cursor->currentRow(), 1);
    EXPECT_TRUE(selection->isRowSelected(1, QModelIndex()));
    EXPECT_EQ(selection->selectedRows().size(), 1);
}

// Read-only columns take no typing while the others of the row do, and a
// column's alignment reaches the view.
TEST_F(DBGridTest, ReadOnlyColumnTakesNoTyping)
{
    grid()->setDataSet(m_cursor.get(), {{"Příjmení", "", 120, true},
                                        {"Jméno", "", 80},
                                        {"Telefon", "", 80, true, Qt::AlignCenter}});
    clickCell(0, Surname);
    type(QStringLiteral("x"));
    EXPECT_EQ(m_cursor->state(), store::CursorState::Browse);
    EXPECT_FALSE(grid()->model()->setData(grid()->model()->index(0, Phone), QStringLiteral("1")));
    clickCell(0, FirstName);
    type(QStringLiteral("x"));
    EXPECT_EQ(m_cursor->state(), store::CursorState::Edit);
    EXPECT_EQ(grid()->model()->index(0, Phone).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignCenter);
}

// Typing into an empty table starts its first record there.
TEST_F(DBGridTest, TypingIntoAnEmptyTableStartsItsFirstRecord)
{
    for (int i = 0; i < 3; ++i)
        m_cursor->remove();
    ASSERT_EQ(grid()->model()->rowCount(), 0);
    grid()->setFocus();
    type(QStringLiteral("Nový"));
    EXPECT_EQ(grid()->model()->rowCount(), 1);
    key(Qt::Key_Return);
    EXPECT_EQ(m_cursor->text("Příjmení"), "Nový");
}


// --- The grid's highlight, current index and row marker after the table changed.

enum class Change { CtrlDel, InsertThenEsc, InsertThenFocusLoss, FailedSaveThenEsc };

struct FollowCase {
    const char* name;
    Change change;
    int row;             // where the user stands before the change
    const char* current; // the record that must be current afterwards
};

class DBGridFollowTest : public DBGridTest, public ::testing::WithParamInterface<FollowCase> {
protected:
    std::vector<std::string> people() const override
    {
        return {"Beneš", "Černý", "Dušek", "Fiala", "Havel"};
    }
    // The rows with a marker in the row indicator.
    QList<int> markedRows() const
    {
        QList<int> rows;
        for (int row = 0; row < grid()->model()->rowCount(); ++row) {
            if (!grid()->model()->headerData(row, Qt::Vertical).toString().isEmpty())
                rows << row;
        }
        return rows;
    }
    // The current index, the one highlighted cell and the marker all stand on
    // the cursor's row, and the marker tells the record's state.
    void expectOnCursorRow() const
    {
        const int row = m_cursor->currentRow();
        EXPECT_EQ(grid()->currentIndex().row(), row);
        const QModelIndexList selected = grid()->selectionModel()->selectedIndexes();
        ASSERT_EQ(selected.size(), 1);
        EXPECT_EQ(selected.first().row(), row);
        EXPECT_EQ(markedRows(), QList<int>{row});
        const store::CursorState state = m_cursor->state();
        const QString marker = state == store::CursorState::Edit     ? widgets::GridModel::editMarker()
                               : state == store::CursorState::Insert ? widgets::GridModel::insertMarker()
                                                                     : widgets::GridModel::browseMarker();
        EXPECT_EQ(grid()->model()->headerData(row, Qt::Vertical).toString(), marker);
    }
};

// After a deletion, a dropped new row or a failed save the toolkit moves its
// own current index and highlight; a grid that let them drift off the cursor
// showed one record highlighted while "−" and Ctrl+Del acted on another.
TEST_P(DBGridFollowTest, HighlightAndMarkerStayOnTheCursorsRecord)
{
    const FollowCase& c = GetParam();
    clickCell(c.row, Surname);
    ASSERT_EQ(m_cursor->currentRow(), c.row);

    switch (c.change) {
    case Change::CtrlDel:
        m_fakes.dialogs.answerNext(platform::Button::Ok);
        key(Qt::Key_Delete, Qt::ControlModifier);
        break;
    case Change::InsertThenEsc:
        key(Qt::Key_Insert);
        type(QStringLiteral("Adam"));
        key(Qt::Key_Escape);
        break;
    case Change::InsertThenFocusLoss:
        key(Qt::Key_Insert);
        m_window->other->setFocus();
        grid()->setFocus();
        break;
    case Change::FailedSaveThenEsc: {
        // While the error box is up the grid already shows the row that stays.
        int highlightedUnderBox = -1;
        m_fakes.dialogs.setResponder([&](const platform::ShownBox&) {
            highlightedUnderBox = grid()->selectionModel()->selectedIndexes().value(0).row();
            return platform::Button::Ok;
        });
        type(c.row == 0 ? QStringLiteral("Havel") : QStringLiteral("Beneš"));
        key(c.row == 4 ? Qt::Key_Up : Qt::Key_Down); // the save fails: the name exists
        ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
        EXPECT_EQ(highlightedUnderBox, c.row);
        ASSERT_EQ(m_cursor->state(), store::CursorState::Edit);
        expectOnCursorRow();
        key(Qt::Key_Escape);
        break;
    }
    }
    EXPECT_EQ(m_cursor->state(), store::CursorState::Browse);
    EXPECT_EQ(m_cursor->text("Příjmení"), c.current);
    expectOnCursorRow();

    // The next key move starts from the record the grid shows.
    const int row = m_cursor->currentRow();
    key(row == 0 ? Qt::Key_Down : Qt::Key_Up);
    EXPECT_EQ(m_cursor->currentRow(), row == 0 ? 1 : row - 1);
    expectOnCursorRow();
}

INSTANTIATE_TEST_SUITE_P(
    Changes, DBGridFollowTest,
    ::testing::Values(FollowCase{"DeleteFirst", Change::CtrlDel, 0, "Černý"},
                      FollowCase{"DeleteMiddle", Change::CtrlDel, 2, "Fiala"},
                      FollowCase{"DeleteLast", Change::CtrlDel, 4, "Fiala"},
                      FollowCase{"DiscardNewAtFirst", Change::InsertThenEsc, 0, "Beneš"},
                      FollowCase{"DiscardNewInMiddle", Change::InsertThenEsc, 2, "Dušek"},
                      FollowCase{"DiscardNewAtLast", Change::InsertThenEsc, 4, "Havel"},
                      FollowCase{"DropNewAtFirst", Change::InsertThenFocusLoss, 0, "Beneš"},
                      FollowCase{"DropNewInMiddle", Change::InsertThenFocusLoss, 2, "Dušek"},
                      FollowCase{"DropNewAtLast", Change::InsertThenFocusLoss, 4, "Havel"},
                      FollowCase{"FailedSaveAtFirst", Change::FailedSaveThenEsc, 0, "Beneš"},
                      FollowCase{"FailedSaveInMiddle", Change::FailedSaveThenEsc, 2, "Dušek"},
                      FollowCase{"FailedSaveAtLast", Change::FailedSaveThenEsc, 4, "Havel"}),
    [](const auto& info) { return std::string(info.param.name); });

// Typing in the middle of a cell opened with F2: the first key starts the
// record's edit, which repainted the row with the old value and threw the
// caret to the end, so the second letter landed there.
TEST_F(DBGridTest, TheFirstKeyInAnOpenCellKeepsTheCaret)
{
    clickCell(0, FirstName);
    key(Qt::Key_F2);
    key(Qt::Key_Home);
    type(QStringLiteral("XY"));
    EXPECT_EQ(m_cursor->text("Jméno"), "XYJBeneš");
}

// Ctrl+Del in an open cell editor asks the grid's question like on a closed
// cell; it used to delete the word after the caret instead.
TEST_F(DBGridTest, CtrlDelInAnOpenEditorAsksAndDeletes)
{
    clickCell(1, FirstName);
    type(QStringLiteral("Ota"));
    ASSERT_NE(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr); // the cell editor
    m_fakes.dialogs.answerNext(platform::Button::Cancel);
    key(Qt::Key_Home);
    key(Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().text, QStringLiteral("Delete record?"));
    EXPECT_EQ(m_cursor->text("Jméno"), "Ota"); // Cancel: what was typed stays
    EXPECT_EQ(m_cursor->recordCount(), 3);

    clickCell(1, FirstName);
    type(QStringLiteral("x"));
    m_fakes.dialogs.answerNext(platform::Button::Ok);
    key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(m_cursor->recordCount(), 2);
    EXPECT_EQ(cell(1, Surname), QStringLiteral("Dvořák"));
    EXPECT_EQ(gridRow(), m_cursor->currentRow());
}

} // namespace
