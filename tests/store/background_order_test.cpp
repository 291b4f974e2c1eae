// A big table opens with its record count and first rows while its key
// list is read on a thread of its own. What the grid shows before the list
// is complete, what it shows after, and what saves made meanwhile leave
// must all be the order the table has when read whole.
#include "cursor_fixture.h"

#include "Table.h"

#include "DamagedPage.h"

#include <algorithm>
#include <cstdio>
#include <random>

namespace storetest {
namespace {

constexpr int kRecords = 5000; // more than the rows read at open
constexpr int kSurname = 0;

std::string surname(int i)
{
    char text[32];
    std::snprintf(text, sizeof text, "Novák %05d", i);
    return text;
}

class BackgroundOrder : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        // Written in a shuffled order, in one transaction.
        std::vector<int> numbers(kRecords);
        for (int i = 0; i < kRecords; ++i)
            numbers[static_cast<std::size_t>(i)] = i * 2;
        std::shuffle(numbers.begin(), numbers.end(), std::mt19937(3));
        std::vector<store::Cursor::RecordWrite> writes;
        for (int n : numbers) {
            writes.push_back({std::nullopt, {surname(n), "Jan", std::to_string(n)}});
            m_expected.push_back(surname(n));
        }
        std::sort(m_expected.begin(), m_expected.end());
        store::Cursor cursor(*m_database, "Dat.DB");
        cursor.open();
        cursor.writeRecords(writes);
        cursor.close();
        reopen();
    }

    // A new Database on the same folder that reads every table's key list
    // in the background, however small the file.
    void reopen()
    {
        m_database = std::make_unique<store::Database>(m_dir);
        m_database->registerPassword(kPassword);
        m_database->setBackgroundOrderPages(0);
    }

    std::unique_ptr<store::Cursor> openAddresses()
    {
        auto cursor = std::make_unique<store::Cursor>(*m_database, "Dat.DB");
        cursor->open();
        return cursor;
    }

    bool loading() { return m_database->table("Dat.DB")->loadingOrder(); }

    Names m_expected;
};

TEST_F(BackgroundOrder, FirstRowsShowBeforeTheKeyListAndEveryRowAfter)
{
    auto cursor = openAddresses();
    ASSERT_TRUE(loading());
    EXPECT_EQ(cursor->rowCount(), kRecords);
    EXPECT_EQ(cursor->text("Příjmení"), m_expected.front());
    for (int row = 0; row < 60; ++row)
        ASSERT_EQ(cursor->rowText(row, kSurname), m_expected[static_cast<std::size_t>(row)]) << row;
    cursor->moveToRow(30);
    EXPECT_EQ(cursor->text("Příjmení"), m_expected[30]);
    EXPECT_TRUE(loading()) << "a screenful must not wait for the whole key list";

    EXPECT_EQ(gridColumn(*cursor, kSurname), m_expected);
    EXPECT_FALSE(loading());
    EXPECT_EQ(cursor->currentRow(), 30);
}

// Walking reads ahead in batches; one of them crosses from the rows read at
// open into the rest of the list.
TEST_F(BackgroundOrder, AWalkFromTheOpenCrossesIntoTheRestOfTheList)
{
    auto cursor = openAddresses();
    EXPECT_EQ(walk(*cursor, "Příjmení"), m_expected);
    cursor->findNearest("Novák 0700");
    EXPECT_EQ(cursor->text("Příjmení"), "Novák 07000");
    cursor->last();
    EXPECT_EQ(cursor->text("Příjmení"), m_expected.back());
}

TEST_F(BackgroundOrder, SavesMadeBeforeTheKeyListIsReadKeepEveryRecord)
{
    auto cursor = openAddresses();
    ASSERT_TRUE(loading());
    Names expected = m_expected;
    cursor->insertRecord({"Adam", "Petr", "1"});
    expected.push_back("Adam");
    cursor->moveToRow(5); // "Adam" is row 0 now
    cursor->edit();
    cursor->setText("Příjmení", "Zeman");
    cursor->post();
    std::erase(expected, m_expected[4]);
    expected.push_back("Zeman");
    cursor->moveToRow(10);
    const std::string removed = cursor->text("Příjmení");
    cursor->remove();
    std::erase(expected, removed);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(gridColumn(*cursor, kSurname), expected);

    // What was saved is what the next open reads.
    cursor.reset();
    reopen();
    cursor = openAddresses();
    EXPECT_EQ(walk(*cursor, "Příjmení"), expected);
}

// A window reads the list a share at a time between its events when a
// search needs it. The shares must join into the whole order with nothing
// left out or read twice, and a save or a full read between shares must
// carry on from where the last share stopped.
TEST_F(BackgroundOrder, AListReadAShareAtATimeIsTheWholeOrder)
{
    for (const int saveAfter : {-1, 2}) {
        reopen();
        auto cursor = openAddresses();
        Names expected = m_expected;
        int shares = 0;
        int done = 0;
        int total = 0;
        while (!cursor->readKeyListStep(700, &done, &total)) {
            ++shares;
            ASSERT_TRUE(cursor->keyListPending());
            EXPECT_LE(done, kRecords);
            if (shares == saveAfter) {
                cursor->insertRecord({"Adam", "Petr", "1"});
                expected.insert(expected.begin(), "Adam");
                ASSERT_FALSE(cursor->keyListPending());
            }
        }
        EXPECT_GT(shares, 1);
        EXPECT_FALSE(cursor->keyListPending());
        EXPECT_EQ(done, static_cast<int>(expected.size()));
        EXPECT_EQ(total, static_cast<int>(expected.size()));
        EXPECT_EQ(gridColumn(*cursor, kSurname), expected) << "save after share " << saveAfter;
    }
}

TEST_F(BackgroundOrder, ClosingWhileTheListIsReadEndsTheRead)
{
    for (int i = 0; i < 5; ++i) {
        reopen();
        auto cursor = openAddresses();
        EXPECT_EQ(cursor->rowCount(), kRecords);
    }
}

TEST_F(BackgroundOrder, DamageFoundByTheListReadIsReportedEachTimeItIsNeededAndTheOpenRowsStay)
{
    m_database.reset();
    testsupport::overwritePage(m_dir / "Dat.DB", testsupport::kLastRecordsLeaf);
    reopen();
    auto cursor = openAddresses();
    EXPECT_EQ(cursor->text("Příjmení"), m_expected.front());
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            cursor->last();
            FAIL() << "the damaged page went unnoticed";
        } catch (const store::StoreError& error) {
            EXPECT_EQ(error.kind(), store::StoreError::Kind::Damaged) << error.what();
            EXPECT_EQ(error.table(), "Dat.DB");
        }
    }
    // A grid still paints what the open read, and asks its row count
    // without an error (the view asks it while painting).
    EXPECT_EQ(cursor->rowCount(), kRecords);
    EXPECT_EQ(cursor->rowText(0, kSurname), m_expected.front());
    EXPECT_THROW(cursor->insertRecord({"Adam", "Petr", "1"}), store::StoreError);
    EXPECT_EQ(cursor->rowCount(), kRecords);
    cursor.reset();

    // Read whole at open, the same file is refused there.
    m_database = std::make_unique<store::Database>(m_dir);
    m_database->registerPassword(kPassword);
    try {
        openAddresses();
        FAIL() << "the damaged page went unnoticed";
    } catch (const store::StoreError& error) {
        EXPECT_EQ(error.kind(), store::StoreError::Kind::Damaged) << error.what();
    }
}

} // namespace
} // namespace storetest
