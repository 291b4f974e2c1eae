// Moving a cursor: key order, begin/end flags, key searches, marks and the
// suspended display.
#include "cursor_fixture.h"

#include "store/CzechText.h"
#include "store/MarkedWalk.h"

namespace storetest {
namespace {

// Czech order: "ch" after "h", č after c, case only decides last. A byte
// order or a default-locale collation would fail here.
TEST_F(StoreTest, WalkVisitsEveryRecordOnceInCzechKeyOrder)
{
    auto cursor = filled("Dat.DB", {{"Hora"}, {"Chalupa"}, {"Čáp"}, {"Nováková"}, {"Cibulka"}, {"Novák"}, {"Ďas"}, {"Dvořák"}});
    const Names walked = walk(*cursor, "Příjmení");
    EXPECT_EQ(walked, (Names{"Cibulka", "Čáp", "Ďas", "Dvořák", "Hora", "Chalupa", "Novák", "Nováková"}));
    // The store's key order is the shared Czech comparison rule.
    for (std::size_t i = 1; i < walked.size(); ++i)
        EXPECT_LT(store::compareCzech(walked[i - 1], walked[i]), 0) << walked[i - 1] << " / " << walked[i];
    EXPECT_EQ(cursor->recordCount(), 8);
    EXPECT_EQ(gridColumn(*cursor, 0), walk(*cursor, "Příjmení"));
}

TEST_F(StoreTest, EmptyTableSetsBothFlagsAtOnce)
{
    store::Cursor cursor(*m_database, "Dat.DB");
    cursor.open();
    EXPECT_TRUE(cursor.eof());
    EXPECT_TRUE(cursor.bof());
    EXPECT_EQ(cursor.currentRow(), -1);
    EXPECT_EQ(walk(cursor, "Příjmení"), Names{});
    EXPECT_EQ(cursor.text("Příjmení"), "");
    EXPECT_EQ(cursor.moveBy(5), 0);
}

// Each case: moves from a fresh open over A, B, C, D and where they end.
struct FlagCase {
    const char* name;
    std::vector<int> moves; // 0 first, 9 last, otherwise moveBy(n)
    std::string current;
    bool bof;
    bool eof;
    int lastMoved; // what the last moveBy returned
};

class FlagTest : public StoreTest, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(FlagTest, FlagsFollowTheMoves)
{
    auto cursor = filled("Dat.DB", {{"A"}, {"B"}, {"C"}, {"D"}});
    int moved = 0;
    for (int move : GetParam().moves) {
        if (move == 0)
            cursor->first();
        else if (move == 9)
            cursor->last();
        else
            moved = cursor->moveBy(move);
    }
    EXPECT_EQ(cursor->text("Příjmení"), GetParam().current);
    EXPECT_EQ(cursor->bof(), GetParam().bof);
    EXPECT_EQ(cursor->eof(), GetParam().eof);
    EXPECT_EQ(moved, GetParam().lastMoved);
}

INSTANTIATE_TEST_SUITE_P(
    Cursor, FlagTest,
    ::testing::Values(FlagCase{"OpenIsFirst", {}, "A", true, false, 0},
                      FlagCase{"NextClearsBegin", {1}, "B", false, false, 1},
                      FlagCase{"PriorAtStartSetsBegin", {-1}, "A", true, false, 0},
                      FlagCase{"LastIsNotEnd", {9}, "D", false, false, 0},
                      FlagCase{"NextAtEndSetsEnd", {9, 1}, "D", false, true, 0},
                      FlagCase{"PagingStopsAtEnd", {15}, "D", false, true, 3},
                      FlagCase{"PagingBackStopsAtStart", {9, -15}, "A", true, false, -3},
                      FlagCase{"ExactPageIsNotEnd", {3}, "D", false, false, 3},
                      FlagCase{"BackFromLast", {9, -1}, "C", false, false, -1}),
    [](const auto& info) { return std::string(info.param.name); });

struct NearestCase {
    const char* name;
    std::string text;
    std::string lands;
};

class NearestTest : public StoreTest, public ::testing::WithParamInterface<NearestCase> {};

// Quick searches type capitals and must land on names in mixed case.
TEST_P(NearestTest, LandsOnFirstKeyNotLessIgnoringCase)
{
    auto cursor = filled("Dat.DB", {{"Novotný"}, {"Adámek"}, {"Novák"}, {"Čermák"}, {"Chalupa"}});
    cursor->last();
    cursor->findNearest(GetParam().text);
    EXPECT_EQ(cursor->text("Příjmení"), GetParam().lands);
    EXPECT_FALSE(cursor->eof());
}

INSTANTIATE_TEST_SUITE_P(Cursor, NearestTest,
                         ::testing::Values(NearestCase{"Prefix", "NOV", "Novák"},
                                           NearestCase{"GreaterThanAllGoesToLast", "NOX", "Novotný"},
                                           NearestCase{"EmptyGoesToFirst", "", "Adámek"},
                                           NearestCase{"SmallLetters", "nov", "Novák"},
                                           NearestCase{"WholeKeyInCapitals", "NOVÁK", "Novák"},
                                           NearestCase{"AccentlessCapitals", "NOVAK", "Novák"},
                                           NearestCase{"CzechLetterC", "Č", "Čermák"},
                                           NearestCase{"ChAfterH", "H", "Chalupa"},
                                           NearestCase{"BetweenKeys", "NOVB", "Novotný"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StoreTest, ExactKeySearchOnDatesLeavesPositionWhenNotFound)
{
    auto cursor = filled("Datp.db", {{"8.12.2025", "porada"}, {"24.12.2025", "Vánoce"}, {"1.1.2026", "Nový rok"}});
    cursor->last();
    EXPECT_FALSE(cursor->findKey("9.12.2025"));
    EXPECT_EQ(cursor->text("Datum"), "1.1.2026");
    EXPECT_EQ(cursor->state(), store::CursorState::Browse);

    EXPECT_TRUE(cursor->findKey("08.12.2025"));
    EXPECT_EQ(cursor->text("Činnost"), "porada");

    // The three-step form used by today's reminders.
    cursor->setKey();
    EXPECT_EQ(cursor->state(), store::CursorState::SetKey);
    cursor->setText("DATUM", "24.12.2025");
    EXPECT_TRUE(cursor->gotoKey());
    EXPECT_EQ(cursor->text("Činnost"), "Vánoce");
}

// Dates order by the calendar, not by their text ("10.1." before "9.2.").
TEST_F(StoreTest, DateKeysReadAsDayMonthYearInCalendarOrder)
{
    auto cursor = filled("Datp.db", {{"9.2.2025"}, {"10.1.2025"}, {"1.1.2026"}, {"31.12.2024"}});
    EXPECT_EQ(walk(*cursor, "Datum"), (Names{"31.12.2024", "10.1.2025", "9.2.2025", "1.1.2026"}));
    cursor->first();
    ASSERT_TRUE(cursor->dateTime("Datum").has_value());
    EXPECT_EQ(*cursor->dateTime("Datum"), (store::DateTime{2024, 12, 31}));
}

TEST_F(StoreTest, MarkReturnsToTheSameRecordAfterAWalkAndChanges)
{
    auto cursor = filled("Dat.DB", {{"A"}, {"C"}, {"E"}});
    cursor->next();
    const store::Bookmark mark = cursor->getBookmark();
    walk(*cursor, "Příjmení");
    cursor->insertRecord({"B"}); // shifts the marked record one row down
    cursor->gotoBookmark(mark);
    EXPECT_EQ(cursor->text("Příjmení"), "C");
    cursor->freeBookmark(mark);

    // A mark of a record deleted since lands on the row it had.
    cursor->remove();
    cursor->first();
    cursor->gotoBookmark(mark);
    EXPECT_EQ(cursor->currentRow(), mark.row);
}

// A walk under a mark ends where it should: kept where it stopped, back on
// the mark, or (failing midway) back on the mark without throwing again; the
// display is resumed every time.
TEST_F(StoreTest, MarkedWalkKeepsOrReturnsAndAlwaysResumes)
{
    auto cursor = filled("Dat.DB", {{"A"}, {"B"}, {"C"}});
    cursor->next();
    struct Case {
        const char* name;
        int ending; // 0 finish keeping, 1 finish returning, 2 fail midway
        std::string expected;
    };
    for (const Case& c : std::vector<Case>{{"keep", 0, "C"}, {"return", 1, "B"}, {"fail", 2, "B"}}) {
        SCOPED_TRACE(c.name);
        cursor->moveToRow(1);
        try {
            store::MarkedWalk walk(*cursor);
            EXPECT_TRUE(cursor->controlsDisabled());
            cursor->last();
            if (c.ending == 2)
                throw std::runtime_error("walk failed");
            walk.finish(c.ending == 0);
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(cursor->text("Příjmení"), c.expected);
        EXPECT_FALSE(cursor->controlsDisabled());
    }
}

class DisplayRecorder : public store::DisplayObserver {
public:
    void displayChanged(store::DisplayChange change) override { changes.push_back(change); }
    std::vector<store::DisplayChange> changes;
};

// Walks under a suspended display must not repaint each record, yet the
// notifications the windows rely on still fire, and resume repaints once.
TEST_F(StoreTest, SuspendedDisplayWithholdsRepaintsButNotNotifications)
{
    auto cursor = filled("Dat.DB", {{"A"}, {"B"}, {"C"}});
    DisplayRecorder display;
    cursor->addObserver(&display);
    int scrolls = 0;
    cursor->afterScroll.connect([&] { ++scrolls; });

    cursor->disableControls();
    cursor->disableControls();
    walk(*cursor, "Příjmení");
    cursor->enableControls();
    EXPECT_TRUE(display.changes.empty());
    EXPECT_EQ(scrolls, 3); // first, next, next
    cursor->enableControls();
    EXPECT_EQ(display.changes, std::vector<store::DisplayChange>{store::DisplayChange::Everything});
    EXPECT_FALSE(cursor->controlsDisabled());

    display.changes.clear();
    cursor->first();
    EXPECT_EQ(display.changes, std::vector<store::DisplayChange>{store::DisplayChange::Current});
    cursor->removeObserver(&display);
}

// Row numbers, key order and saves agree over a table of a few hundred rows
// (the order's block splits are covered in table_order_test.cpp).
TEST_F(StoreTest, GridRowsStayInOrderAcrossManyInsertsAndDeletes)
{
    store::Cursor cursor(*m_database, "Dat.DB");
    cursor.open();
    std::vector<std::string> expected;
    for (int i = 0; i < 600; ++i) {
        const int n = (i * 7919) % 600;
        char name[16];
        std::snprintf(name, sizeof name, "K%05d", n);
        cursor.insertRecord({name});
        expected.push_back(name);
    }
    std::sort(expected.begin(), expected.end());
    for (int i = 0; i < 600; i += 3) {
        cursor.findKey(expected[static_cast<std::size_t>(i)]);
        cursor.remove();
    }
    std::vector<std::string> kept;
    for (int i = 0; i < 600; ++i) {
        if (i % 3 != 0)
            kept.push_back(expected[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(gridColumn(cursor, 0), kept);
    cursor.moveToRow(123);
    EXPECT_EQ(cursor.text("Příjmení"), kept[123]);
    EXPECT_EQ(cursor.currentRow(), 123);
}

} // namespace
} // namespace storetest
