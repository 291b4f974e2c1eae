// A row the store cannot read must not end the program: the grid paints it
// as unreadable, one error box (from the event loop, never from inside the
// paint) names the table, and the program goes on.
#include "WidgetsFixture.h"

#include "widgets/DBGrid.h"
#include "widgets/GridModel.h"

#include "store/Errors.h"

#include <QApplication>
#include <QTest>

#include <sqlite3.h>

#include <set>

using widgets_test::WidgetsFixture;

namespace {

// A data set of generated rows whose reads fail on demand, as a damaged page,
// a record gone from the file or a file another program holds would.
class FailingDataSet : public store::DataSet {
public:
    explicit FailingDataSet(int rows) : m_rows(rows) {}

    std::set<int> failingRows;
    store::StoreError::Kind failure = store::StoreError::Kind::Damaged;
    bool allFail = false;
    mutable int reads = 0;

    void changed(store::DisplayChange change) { notifyDisplay(change); }

    bool isActive() const override { return true; }
    store::CursorState state() const override { return store::CursorState::Browse; }
    const std::vector<store::FieldDef>& fields() const override { return m_fields; }
    int fieldIndex(std::string_view name) const override
    {
        for (std::size_t i = 0; i < m_fields.size(); ++i) {
            if (m_fields[i].name == name)
                return static_cast<int>(i);
        }
        throw store::StoreError(store::StoreError::Kind::NotFound, "no field");
    }
    bool canModify() const override { return false; }
    void first() override { m_current = 0; }
    void last() override { m_current = m_rows - 1; }
    void next() override { moveBy(1); }
    void prior() override { moveBy(-1); }
    int moveBy(int count) override
    {
        const int from = m_current;
        m_current = std::clamp(m_current + count, 0, m_rows - 1);
        return m_current - from;
    }
    bool bof() const override { return m_current == 0; }
    bool eof() const override { return m_current == m_rows - 1; }
    int recordCount() const override { return m_rows; }
    int rowCount() const override { return m_rows; }
    int currentRow() const override { return m_current; }
    std::string rowText(int row, int field) const override
    {
        ++reads;
        if (allFail || failingRows.count(row))
            throw store::StoreError(failure, "Tabulku Adr.DB nelze přečíst: soubor tabulky je poškozený.", "Adr.DB",
                                    "SELECT ...: database disk image is malformed");
        return (field == 0 ? "Příjmení " : "Jméno ") + std::to_string(row);
    }
    void moveToRow(int row) override
    {
        m_current = row;
        notifyDisplay(store::DisplayChange::Current);
    }
    std::string text(std::string_view field) const override { return rowText(m_current, fieldIndex(field)); }
    bool isNull(std::string_view) const override { return false; }

private:
    int m_rows;
    int m_current = 0;
    std::vector<store::FieldDef> m_fields = {{"Příjmení", store::FieldKind::Text, 30, {}},
                                             {"Jméno", store::FieldKind::Text, 20, {}}};
};

class UnreadableRowsTest : public WidgetsFixture {
protected:
    void SetUp() override
    {
        WidgetsFixture::SetUp();
        m_grid = std::make_unique<widgets::DBGrid>();
        m_grid->resize(400, 300);
    }
    void TearDown() override
    {
        m_grid.reset();
        WidgetsFixture::TearDown();
    }
    // Paints the grid as the screen would, then lets queued work run.
    void paint()
    {
        m_grid->grab();
        QApplication::processEvents();
    }
    QString cell(int row, int column, int role = Qt::DisplayRole) const
    {
        return m_grid->gridModel()->index(row, column).data(role).toString();
    }
    // Lives longer than the grid bound to it.
    FailingDataSet& failingData(int rows)
    {
        m_data = std::make_unique<FailingDataSet>(rows);
        return *m_data;
    }
    std::unique_ptr<FailingDataSet> m_data;
    std::unique_ptr<widgets::DBGrid> m_grid;
};

TEST_F(UnreadableRowsTest, DamagedRowsShowAsUnreadableWithOneBoxNamingTheTable)
{
    FailingDataSet& data = failingData(50);
    data.failingRows = {2, 4};
    m_grid->setDataSet(&data, {{"Příjmení", "", 120}, {"Jméno", "", 120}});
    m_grid->show();
    paint();
    paint();

    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1) << m_fakes.dialogs.shownTexts().join('\n').toStdString();
    EXPECT_TRUE(m_fakes.dialogs.lastBox().text.contains(QStringLiteral("Adr.DB")));
    EXPECT_FALSE(m_fakes.dialogs.lastBox().text.contains(QStringLiteral("SELECT")));
    EXPECT_EQ(cell(2, 0), widgets::GridModel::unreadableMarker());
    EXPECT_EQ(cell(2, 1), QString());
    EXPECT_EQ(cell(3, 0), QStringLiteral("Příjmení 3"));
    EXPECT_EQ(cell(4, 0), widgets::GridModel::unreadableMarker());

    // Rows known to fail are not read again at every paint; after the rows
    // change they are, and a failure with the same text brings no new box.
    const int reads = data.reads;
    cell(2, 0);
    EXPECT_EQ(data.reads, reads);
    data.changed(store::DisplayChange::Everything);
    paint();
    EXPECT_EQ(m_fakes.dialogs.shown().size(), 1);
    data.failingRows.clear();
    data.changed(store::DisplayChange::Everything);
    EXPECT_EQ(cell(2, 0), QStringLiteral("Příjmení 2"));
}

// Each read of a file another program holds waits for it: after the first
// failure the grid reads nothing more until the user does something.
TEST_F(UnreadableRowsTest, LockedFileStopsReadingUntilTheNextMove)
{
    FailingDataSet& data = failingData(50);
    data.allFail = true;
    data.failure = store::StoreError::Kind::Locked;
    m_grid->setDataSet(&data, {{"Příjmení", "", 120}, {"Jméno", "", 120}});
    m_grid->show();
    paint();
    EXPECT_EQ(data.reads, 1);
    EXPECT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(cell(7, 0), widgets::GridModel::unreadableMarker());

    data.allFail = false;
    QTest::keyClick(m_grid.get(), Qt::Key_Down);
    paint();
    EXPECT_EQ(cell(7, 0), QStringLiteral("Příjmení 7"));
    EXPECT_EQ(m_fakes.dialogs.shown().size(), 1);

    // Once read again, a new lock is a new failure worth a box.
    data.allFail = true;
    data.changed(store::DisplayChange::Everything);
    paint();
    EXPECT_EQ(m_fakes.dialogs.shown().size(), 2);
}

// The real case: 600 addresses, another program holds the file exclusively
// and the user jumps to the last row. The program must go on and say why.
TEST_F(UnreadableRowsTest, RealTableHeldByAnotherProgramDoesNotEndTheProgram)
{
    std::vector<std::string> surnames;
    for (int i = 0; i < 600; ++i)
        surnames.push_back("Novák " + std::to_string(1000 + i));
    m_cursor->close();
    {
        store::Cursor filler(*m_database, kTable);
        filler.open();
        for (const std::string& surname : surnames)
            filler.insertRecord({surname, "Jan", "1"});
    }
    // A fresh open holds no record in memory.
    m_database = std::make_unique<store::Database>(std::filesystem::path(m_dir.path().toStdString()));
    m_database->setBusyTimeout(100);
    m_cursor = std::make_unique<store::Cursor>(*m_database, kTable);
    m_cursor->open();
    m_grid->setDataSet(m_cursor.get(), {{"Příjmení", "", 120}, {"Jméno", "", 120}});
    m_grid->show();
    paint();

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((m_dir.path().toStdString() + "/" + kTable).c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    m_grid->setFocus();
    QTest::keyClick(m_grid.get(), Qt::Key_End, Qt::ControlModifier);
    paint();
    ASSERT_GE(m_fakes.dialogs.shown().size(), 1);
    const QString text = m_fakes.dialogs.shown().first().text;
    EXPECT_TRUE(text.contains(QString::fromStdString(kTable))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("jiný program"))) << text.toStdString();
    EXPECT_EQ(m_cursor->currentRow(), 599);

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    QTest::keyClick(m_grid.get(), Qt::Key_Up);
    paint();
    EXPECT_EQ(cell(599, 0), QStringLiteral("Novák 1599"));
}

} // namespace
