// A big table shows its first rows before its rows are counted (the count is
// read on a thread of its own). The grid must show those rows at once, take
// the full count when it comes without holding up the window, and never let
// the view move by itself to a last row that is only the last one known.
#include "WidgetsFixture.h"

#include "widgets/DBGrid.h"
#include "widgets/GridModel.h"

#include "store/Errors.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

using widgets_test::WidgetsFixture;

namespace {

constexpr int kKnown = 2048;
constexpr int kRows = 300000; // more than one share of rows added at a time

// Generated rows of which only the first `kKnown` are known until counted;
// asking the exact count counts them, as the store does.
class CountingDataSet : public store::DataSet {
public:
    void counted() { pending = false; }
    void changed(store::DisplayChange change) { notifyDisplay(change); }

    bool isActive() const override { return true; }
    store::CursorState state() const override { return store::CursorState::Browse; }
    const std::vector<store::FieldDef>& fields() const override { return m_fields; }
    int fieldIndex(std::string_view name) const override
    {
        if (name == m_fields[0].name)
            return 0;
        throw store::StoreError(store::StoreError::Kind::NotFound, "no field");
    }
    bool canModify() const override { return false; }
    void first() override { moveToRow(0); }
    void last() override { moveToRow(rowCount() - 1); }
    void next() override { moveBy(1); }
    void prior() override { moveBy(-1); }
    int moveBy(int count) override
    {
        const int from = m_current;
        moveToRow(std::clamp(m_current + count, 0, rowCount() - 1));
        return m_current - from;
    }
    bool bof() const override { return m_current == 0; }
    bool eof() const override { return m_current == kRows - 1; }
    int recordCount() const override { return rowCount(); }
    int rowCount() const override
    {
        pending = false;
        return kRows;
    }
    int rowCountSoFar() const override { return pending ? kKnown : kRows; }
    bool countPending() const override { return pending; }
    int currentRow() const override { return m_current; }
    std::string rowText(int row, int) const override
    {
        if (row >= rowCountSoFar())
            throw store::StoreError(store::StoreError::Kind::Io, "a row past those known was read");
        return "Novák " + std::to_string(row);
    }
    void moveToRow(int row) override
    {
        if (row >= rowCountSoFar())
            rowCount();
        m_current = row;
        notifyDisplay(store::DisplayChange::Current);
    }
    std::string text(std::string_view) const override { return rowText(m_current, 0); }
    bool isNull(std::string_view) const override { return false; }

private:
    mutable bool pending = true;
    int m_current = 0;
    std::vector<store::FieldDef> m_fields = {{"Příjmení", store::FieldKind::Text, 30, {}}};
};

class CountingRowsTest : public WidgetsFixture {
protected:
    void SetUp() override
    {
        WidgetsFixture::SetUp();
        m_grid = std::make_unique<widgets::DBGrid>();
        m_grid->resize(400, 300);
        m_grid->setDataSet(&m_data, {{"Příjmení", "", 200}});
        showActive(*m_grid);
    }
    void TearDown() override
    {
        m_grid.reset();
        WidgetsFixture::TearDown();
    }
    int modelRows() const { return m_grid->gridModel()->rowCount(); }

    CountingDataSet m_data;
    std::unique_ptr<widgets::DBGrid> m_grid;
};

TEST_F(CountingRowsTest, TheRowsKnownShowAtOnceAndTheRestComeShareByShareOnceCounted)
{
    EXPECT_EQ(modelRows(), kKnown);
    EXPECT_EQ(m_grid->gridModel()->index(10, 0).data().toString(), QStringLiteral("Novák 10"));
    QApplication::processEvents();
    EXPECT_EQ(modelRows(), kKnown) << "rows were added before they were counted";

    QSignalSpy added(m_grid->gridModel(), &QAbstractItemModel::rowsInserted);
    m_data.counted();
    QTRY_COMPARE(modelRows(), kRows);
    EXPECT_GT(added.count(), 1) << "the rows came in one piece, holding up the window";
    EXPECT_EQ(m_grid->currentIndex().row(), 0);
}

// The view's own moves go to the last row it has: it must have them all.
TEST_F(CountingRowsTest, CtrlEndBeforeTheCountReachesTheLastRecord)
{
    QTest::keyClick(m_grid.get(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(modelRows(), kRows);
    EXPECT_EQ(m_data.currentRow(), kRows - 1);
    EXPECT_EQ(m_grid->currentIndex().row(), kRows - 1);
}

TEST_F(CountingRowsTest, MovesWhileRowsAreAddedFollowTheCursor)
{
    QSignalSpy added(m_grid->gridModel(), &QAbstractItemModel::rowsInserted);
    m_data.counted();
    ASSERT_TRUE(added.wait(5000));
    ASSERT_LT(modelRows(), kRows) << "every row came at once";

    // Among the rows the model has: the rest keep coming.
    m_data.moveToRow(100);
    EXPECT_EQ(m_grid->currentIndex().row(), 100);
    EXPECT_LT(modelRows(), kRows);

    // Past them: the model takes them all at once.
    m_data.last();
    EXPECT_EQ(modelRows(), kRows);
    EXPECT_EQ(m_grid->currentIndex().row(), kRows - 1);
    QApplication::processEvents();
    EXPECT_EQ(modelRows(), kRows);
}

} // namespace
