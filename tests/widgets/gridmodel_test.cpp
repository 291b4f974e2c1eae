#include "WidgetsFixture.h"

#include "widgets/GridModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

using widgets_test::WidgetsFixture;

namespace {

class GridModelTest : public WidgetsFixture {
protected:
    void SetUp() override
    {
        WidgetsFixture::SetUp();
        addPeople({"Beneš", "Černý", "Dvořák"});
        m_model.setColumns({{"Příjmení", "", -1}, {"Jméno", "", -1}, {"Chybí", "", -1}});
        m_model.setDataSet(m_cursor.get());
    }
    void TearDown() override
    {
        m_model.setDataSet(nullptr);
        WidgetsFixture::TearDown();
    }
    widgets::GridModel m_model;
};

// Every structural change the store reports must reach views as a change a
// view can follow; the tester aborts on a row count that jumps outside
// begin/end or on data for rows that do not exist.
TEST_F(GridModelTest, SurvivesTheModelTesterThroughEveryCursorOperation)
{
    QAbstractItemModelTester tester(&m_model,
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    m_cursor->last();
    m_cursor->insert();
    EXPECT_EQ(m_model.rowCount(), 4);
    m_cursor->cancel();
    EXPECT_EQ(m_model.rowCount(), 3);
    m_cursor->insert();
    m_cursor->setText("Příjmení", "Adam");
    m_cursor->post();
    EXPECT_EQ(m_model.rowCount(), 4);
    EXPECT_EQ(m_model.index(0, 0).data().toString(), QStringLiteral("Adam"));
    m_cursor->first();
    m_cursor->edit();
    m_cursor->setText("Příjmení", "Zelený"); // moves to the end in key order
    m_cursor->post();
    EXPECT_EQ(m_model.index(3, 0).data().toString(), QStringLiteral("Zelený"));
    m_cursor->remove();
    EXPECT_EQ(m_model.rowCount(), 3);
    m_cursor->close();
    EXPECT_EQ(m_model.rowCount(), 0);
    m_cursor->open();
    EXPECT_EQ(m_model.rowCount(), 3);
    m_model.setColumns({{"Telefon", "", -1}});
    EXPECT_EQ(m_model.columnCount(), 1);
}

// A column naming a missing field stays empty instead of throwing into Qt.
TEST_F(GridModelTest, MissingFieldShowsNothingAndIsNotEditable)
{
    EXPECT_EQ(m_model.index(0, 2).data().toString(), QString());
    EXPECT_FALSE(m_model.flags(m_model.index(0, 2)) & Qt::ItemIsEditable);
    EXPECT_TRUE(m_model.flags(m_model.index(0, 1)) & Qt::ItemIsEditable);
}

// setData writes only into the current record and starts the edit once; an
// unchanged text must not start an edit (no spurious AfterEdit).
TEST_F(GridModelTest, SetDataEditsOnlyTheCurrentRow)
{
    EXPECT_FALSE(m_model.setData(m_model.index(1, 1), QStringLiteral("x")));
    EXPECT_EQ(m_cursor->state(), store::CursorState::Browse);
    EXPECT_TRUE(m_model.setData(m_model.index(0, 1), QStringLiteral("JBeneš")));
    EXPECT_EQ(m_afterEdit, 0);
    EXPECT_EQ(m_cursor->state(), store::CursorState::Browse);

    QSignalSpy changed(&m_model, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(m_model.setData(m_model.index(0, 1), QStringLiteral("Karel")));
    EXPECT_TRUE(m_model.setData(m_model.index(0, 1), QStringLiteral("Karla")));
    EXPECT_EQ(m_afterEdit, 1);
    EXPECT_EQ(m_model.index(0, 1).data().toString(), QStringLiteral("Karla"));
    EXPECT_GE(changed.count(), 1);
}

// The row indicator marks the current row by state.
TEST_F(GridModelTest, RowIndicatorFollowsStateAndRow)
{
    EXPECT_EQ(m_model.headerData(0, Qt::Vertical).toString(), widgets::GridModel::browseMarker());
    m_cursor->next();
    EXPECT_EQ(m_model.headerData(0, Qt::Vertical).toString(), QString());
    EXPECT_EQ(m_model.headerData(1, Qt::Vertical).toString(), widgets::GridModel::browseMarker());
    m_cursor->edit();
    EXPECT_EQ(m_model.headerData(1, Qt::Vertical).toString(), widgets::GridModel::editMarker());
    m_cursor->cancel();
    m_cursor->insert();
    EXPECT_EQ(m_model.headerData(m_cursor->currentRow(), Qt::Vertical).toString(),
              widgets::GridModel::insertMarker());
}

// While the display is suspended the model says nothing; on resume it catches up.
TEST_F(GridModelTest, SilentWhileSuspended)
{
    QSignalSpy moved(&m_model, &widgets::GridModel::cursorRowChanged);
    m_cursor->disableControls();
    m_cursor->last();
    m_cursor->first();
    m_cursor->next();
    EXPECT_EQ(moved.count(), 0);
    m_cursor->enableControls();
    EXPECT_GE(moved.count(), 1);
    EXPECT_EQ(m_model.headerData(1, Qt::Vertical).toString(), widgets::GridModel::browseMarker());
}

} // namespace
