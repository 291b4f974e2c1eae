// A long walk reports its progress every few hundred records and stops when
// told to, back on its mark; a text search stops with it.
#include "cursor_fixture.h"

#include "store/MarkedWalk.h"
#include "store/TextSearch.h"

#include <utility>

namespace storetest {
namespace {

class WalkProgressTest : public StoreTest {
protected:
    std::unique_ptr<store::Cursor> sixHundred()
    {
        std::vector<std::vector<std::string>> records;
        for (int i = 0; i < 600; ++i)
            records.push_back({"Novák " + std::to_string(1000 + i), "", ""});
        return filled("Dat.DB", records);
    }
    using Report = std::pair<std::int64_t, std::int64_t>;
};

TEST_F(WalkProgressTest, ReportsEveryFewHundredRecordsAndStopsOnItsMark)
{
    auto cursor = sixHundred();
    std::vector<Report> reports;
    int stopAt = 0; // the report that answers "stop", 0 none
    const store::WalkProgress progress = [&](std::int64_t done, std::int64_t total) {
        reports.emplace_back(done, total);
        return static_cast<int>(reports.size()) != stopAt;
    };

    cursor->moveToRow(10);
    int walked = 0;
    {
        store::MarkedWalk walk(*cursor, progress);
        for (cursor->first(); !cursor->eof() && walk.step(); cursor->next())
            ++walked;
        EXPECT_FALSE(walk.cancelled());
        walk.finish(false);
    }
    EXPECT_EQ(walked, 600);
    EXPECT_EQ(reports, (std::vector<Report>{{256, 600}, {512, 600}}));

    // Cancelled at the second report: the walk stops there and returns to
    // its mark even when asked to keep its position.
    reports.clear();
    stopAt = 2;
    walked = 0;
    {
        store::MarkedWalk walk(*cursor, progress);
        for (cursor->first(); !cursor->eof() && walk.step(); cursor->next())
            ++walked;
        EXPECT_TRUE(walk.cancelled());
        EXPECT_FALSE(walk.step());
        walk.finish(true);
    }
    EXPECT_EQ(walked, 511);
    EXPECT_EQ(reports.size(), 2u);
    EXPECT_EQ(cursor->text("Příjmení"), "Novák 1010");
    EXPECT_FALSE(cursor->controlsDisabled());
}

TEST_F(WalkProgressTest, TextSearchStopsWithItsWalk)
{
    auto cursor = sixHundred();
    cursor->moveToRow(3);
    int reports = 0;
    store::MarkedWalk walk(*cursor, [&](std::int64_t, std::int64_t) { return ++reports < 1; });
    store::TextSearch search(*cursor, "Příjmení", "Dvořák", &walk);
    EXPECT_FALSE(search.fromStart());
    EXPECT_TRUE(walk.cancelled());
    EXPECT_EQ(reports, 1);
    walk.finish(false);
    EXPECT_EQ(cursor->text("Příjmení"), "Novák 1003");

    // Uncancelled, the same search walks to the end and finds what is there.
    store::MarkedWalk second(*cursor, [](std::int64_t, std::int64_t) { return true; });
    store::TextSearch found(*cursor, "Příjmení", "1599", &second);
    EXPECT_TRUE(found.fromStart());
    second.finish(true);
    EXPECT_EQ(cursor->text("Příjmení"), "Novák 1599");
}

} // namespace
} // namespace storetest
