// Many adds and changes in one transaction: the postal-code import relies on
// every record of a batch being stored, or none of them.

#include "cursor_fixture.h"

#include "store/Errors.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace storetest {
namespace {

using Write = store::Cursor::RecordWrite;

std::string fileBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class BatchWriteTest : public StoreTest {
protected:
    std::unique_ptr<store::Cursor> postal()
    {
        return filled("Psc.DB", {{"Benešov", "256 01"}, {"Brno", "602 00"}, {"Cheb", "350 02"}});
    }
    store::Bookmark markOf(store::Cursor& cursor, const std::string& place)
    {
        EXPECT_TRUE(cursor.findKey(place)) << place;
        return cursor.getBookmark();
    }
};

// Adds and replacements land together, in key order and in the secondary
// index, and another cursor on the table sees them at once.
TEST_F(BatchWriteTest, AddsAndReplacesInOneStep)
{
    for (const int extra : {1, 2000}) { // small batches mend the orders, large ones reload them
        SCOPED_TRACE(extra);
        TearDown();
        SetUp();
        auto cursor = postal();
        store::Cursor other(*m_database, "Psc.DB");
        other.open();
        other.setIndexFieldNames("PSČ");
        std::vector<Write> writes = {{markOf(*cursor, "Brno"), {"Brno", "600 00"}},
                                     {std::nullopt, {"Aš", "352 01"}}};
        for (int i = 0; i < extra - 1; ++i)
            writes.push_back({std::nullopt, {"Zz" + std::to_string(10000 + i), "999 99"}});
        cursor->first();
        cursor->writeRecords(writes);

        EXPECT_EQ(cursor->recordCount(), 3 + extra);
        const Names places = walk(*cursor, "MÍSTO");
        EXPECT_EQ(Names(places.begin(), places.begin() + 4), (Names{"Aš", "Benešov", "Brno", "Cheb"}));
        ASSERT_TRUE(cursor->findKey("Brno"));
        EXPECT_EQ(cursor->text("PSČ"), "600 00");
        // The secondary order holds the new code and no longer the old one.
        const Names codes = walk(other, "PSČ");
        EXPECT_EQ(Names(codes.begin(), codes.begin() + 4), (Names{"256 01", "350 02", "352 01", "600 00"}));
        EXPECT_EQ(std::count(codes.begin(), codes.end(), "602 00"), 0);
    }
}

// A write that fails anywhere in the batch leaves the file exactly as it was,
// the cursors' orders untouched, and names the write at fault.
TEST_F(BatchWriteTest, AFailureStoresNothing)
{
    struct Case {
        const char* what;
        std::vector<Write> writes;
        std::size_t failedAt;
    };
    auto cursor = postal();
    const store::Bookmark brno = markOf(*cursor, "Brno");
    const std::vector<Case> cases = {
        {"a new place that exists", {{std::nullopt, {"Aš", "352 01"}}, {std::nullopt, {"Cheb", "350 02"}}}, 1},
        {"two new places alike",
         {{brno, {"Brno", "600 00"}}, {std::nullopt, {"Aš", "1"}}, {std::nullopt, {"Aš", "2"}}},
         2},
        {"two new places alike but for case",
         {{std::nullopt, {"Dobříš", "263 01"}}, {std::nullopt, {"AŠ", "1"}}, {std::nullopt, {"aš ", "2"}}},
         2},
        {"a new place like a stored one but for case", {{std::nullopt, {"BRNO", "1"}}}, 0},
        {"a place too long for its field", {{std::nullopt, {"Dobříš", "263 01"}}, {std::nullopt, {std::string(41, 'x'), "1"}}}, 1},
        {"a change onto another key", {{std::nullopt, {"Dobříš", "263 01"}}, {brno, {"Cheb", "1"}}}, 1},
        {"a record without a mark", {{std::nullopt, {"Dobříš", "263 01"}}, {store::Bookmark{}, {"X", "1"}}}, 1},
    };
    cursor->close();
    const std::string before = fileBytes(m_dir / "Psc.DB");
    cursor->open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::size_t failedAt = 99;
        EXPECT_THROW(cursor->writeRecords(c.writes, &failedAt), store::StoreError);
        EXPECT_EQ(failedAt, c.failedAt);
        EXPECT_EQ(walk(*cursor, "MÍSTO"), (Names{"Benešov", "Brno", "Cheb"}));
        ASSERT_TRUE(cursor->findKey("Brno"));
        EXPECT_EQ(cursor->text("PSČ"), "602 00");
    }
    cursor->close();
    EXPECT_EQ(fileBytes(m_dir / "Psc.DB"), before);
}

// Batches of several tables are stored together: a table without a key takes
// its new records after its last one, and when a later batch fails, the ones
// before it are undone with it.
TEST_F(BatchWriteTest, SeveralTablesTogether)
{
    auto codes = postal();
    auto log = filled("Zaloha.DB", {{"1.1.2025", "8:00:00", "8:01:00"}});
    const std::vector<store::Cursor::TableWrites> failing = {
        {log.get(), {{std::nullopt, {"2.1.2025", "9:00:00", "9:01:00"}}}},
        {codes.get(), {{std::nullopt, {"Aš", "352 01"}}, {std::nullopt, {"Cheb", "1"}}}}};
    codes->close();
    log->close();
    const std::string codesBefore = fileBytes(m_dir / "Psc.DB"), logBefore = fileBytes(m_dir / "Zaloha.DB");
    codes->open();
    log->open();
    std::size_t failedBatch = 99, failedAt = 99;
    EXPECT_THROW(store::Cursor::writeTogether(failing, &failedBatch, &failedAt), store::StoreError);
    EXPECT_EQ(failedBatch, 1u);
    EXPECT_EQ(failedAt, 1u);
    EXPECT_EQ(log->recordCount(), 1);
    EXPECT_EQ(walk(*codes, "MÍSTO"), (Names{"Benešov", "Brno", "Cheb"}));
    codes->close();
    log->close();
    EXPECT_EQ(fileBytes(m_dir / "Psc.DB"), codesBefore);
    EXPECT_EQ(fileBytes(m_dir / "Zaloha.DB"), logBefore);

    codes->open();
    log->open();
    store::Cursor::writeTogether({{log.get(), {{std::nullopt, {"2.1.2025", "9:00:00", "9:01:00"}},
                                               {std::nullopt, {"3.1.2025", "10:00:00", "10:01:00"}}}},
                                  {codes.get(), {{std::nullopt, {"Aš", "352 01"}}}}});
    EXPECT_EQ(walk(*log, "Datum"), (Names{"1.1.2025", "2.1.2025", "3.1.2025"}));
    EXPECT_EQ(walk(*codes, "MÍSTO"), (Names{"Aš", "Benešov", "Brno", "Cheb"}));
}

} // namespace
} // namespace storetest
