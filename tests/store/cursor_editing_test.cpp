// Insert, edit, save, discard and delete, the duplicate-key failure, and
// ending a pending record before a move.
#include "cursor_fixture.h"

#include <functional>

namespace storetest {
namespace {

// Counts the four notifications of a cursor.
struct Notifications {
    explicit Notifications(store::Cursor& cursor)
    {
        cursor.afterEdit.connect([this] { ++edits; });
        cursor.afterPost.connect([this] { ++posts; });
        cursor.afterDelete.connect([this] { ++deletes; });
        cursor.afterScroll.connect([this] { ++scrolls; });
    }
    int edits = 0, posts = 0, deletes = 0, scrolls = 0;
};

TEST_F(StoreTest, InsertShowsAPendingRowAtTheCursorAndSavesItInKeyOrder)
{
    auto cursor = filled("Dat.DB", {{"Adámek"}, {"Novák"}, {"Zelený"}});
    cursor->next(); // Novák
    cursor->insert();
    EXPECT_EQ(cursor->state(), store::CursorState::Insert);
    EXPECT_EQ(cursor->rowCount(), 4);
    EXPECT_EQ(cursor->currentRow(), 1);
    cursor->setText("příjmení", "Beneš");
    cursor->setText("Telefon", "123");
    EXPECT_EQ(gridColumn(*cursor, 0), (Names{"Adámek", "Beneš", "Novák", "Zelený"}));
    EXPECT_EQ(cursor->recordCount(), 3); // not stored yet

    cursor->insert(); // a second insert first saves the typed one
    cursor->cancel();
    cursor->first();
    cursor->next();
    EXPECT_EQ(cursor->text("Příjmení"), "Beneš");
    EXPECT_EQ(cursor->text("Telefon"), "123");

    cursor->last();
    cursor->insert();
    cursor->setText("Příjmení", "Bílý");
    cursor->post();
    // Once saved it takes its key-order place and stays current.
    EXPECT_EQ(cursor->text("Příjmení"), "Bílý");
    EXPECT_EQ(cursor->currentRow(), 2);
    EXPECT_EQ(walk(*cursor, "Příjmení"), (Names{"Adámek", "Beneš", "Bílý", "Novák", "Zelený"}));
}

// The duplicate surname of Part "record editing": the save fails, the record
// stays pending as typed and the table is unchanged; fixing it saves.
TEST_F(StoreTest, DuplicateKeyKeepsTheRecordPendingAndTheTableUnchanged)
{
    auto cursor = filled("Dat.DB", {{"Novák", "Jan"}, {"Svoboda", "Petr"}});
    Notifications seen(*cursor);
    cursor->insert();
    cursor->setText("Příjmení", "Novák");
    cursor->setText("Jméno", "Eva");
    try {
        cursor->post();
        FAIL() << "a duplicate key was saved";
    } catch (const store::StoreError& error) {
        EXPECT_EQ(error.kind(), store::StoreError::Kind::KeyViolation);
    }
    EXPECT_EQ(cursor->state(), store::CursorState::Insert);
    EXPECT_EQ(cursor->text("Jméno"), "Eva");
    EXPECT_EQ(cursor->recordCount(), 2);
    EXPECT_EQ(seen.posts, 0);

    cursor->setText("Příjmení", "Nováková");
    cursor->post();
    EXPECT_EQ(seen.posts, 1);
    EXPECT_EQ(walk(*cursor, "Jméno"), (Names{"Jan", "Eva", "Petr"}));

    // The same for a change of an existing record's key.
    cursor->findKey("Svoboda");
    cursor->edit();
    cursor->setText("Příjmení", "Novák");
    EXPECT_THROW(cursor->post(), store::StoreError);
    EXPECT_EQ(cursor->state(), store::CursorState::Edit);
    cursor->cancel();
    EXPECT_EQ(cursor->text("Příjmení"), "Svoboda");
}

TEST_F(StoreTest, SaveAndDiscardWithNothingPendingDoNothing)
{
    auto cursor = filled("Dat.DB", {{"A"}});
    Notifications seen(*cursor);
    cursor->post();
    cursor->cancel();
    EXPECT_EQ(seen.posts + seen.edits + seen.deletes + seen.scrolls, 0);
    EXPECT_EQ(cursor->state(), store::CursorState::Browse);
}

TEST_F(StoreTest, EditNotifiesOnceAndOnAnEmptyTableInserts)
{
    auto cursor = filled("Dat.DB", {{"A", "x"}});
    Notifications seen(*cursor);
    cursor->edit();
    cursor->edit(); // already editing: nothing
    EXPECT_EQ(seen.edits, 1);
    cursor->setText("Jméno", "y");
    EXPECT_EQ(cursor->rowText(0, 1), "y"); // the grid shows the pending value
    cursor->cancel();
    EXPECT_EQ(cursor->text("Jméno"), "x");

    store::Cursor empty(*m_database, "Datp.db");
    empty.open();
    Notifications emptySeen(empty);
    empty.edit();
    EXPECT_EQ(empty.state(), store::CursorState::Insert);
    EXPECT_EQ(emptySeen.edits, 0);
}

TEST_F(StoreTest, SettingAFieldOutsideEditingFails)
{
    auto cursor = filled("Datp.db", {{"1.1.2025"}});
    try {
        cursor->setText("Činnost", "x");
        FAIL();
    } catch (const store::StoreError& error) {
        EXPECT_EQ(error.kind(), store::StoreError::Kind::NotEditing);
    }
    cursor->edit();
    EXPECT_THROW(cursor->setText("Datum", "31.2.2025"), store::StoreError); // no such day
    EXPECT_THROW(cursor->setText("Nic", "x"), store::StoreError);
    cursor->setDateTime("Datum", store::DateTime{2025, 3, 5});
    cursor->post();
    EXPECT_EQ(cursor->text("Datum"), "5.3.2025");
}

struct DeleteCase {
    const char* name;
    int row; // row deleted
    std::string becomesCurrent;
};

class DeleteTest : public StoreTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteTest, TheRecordAfterBecomesCurrentOrTheOneBeforeAtTheEnd)
{
    auto cursor = filled("Dat.DB", {{"A"}, {"B"}, {"C"}});
    Notifications seen(*cursor);
    cursor->moveToRow(GetParam().row);
    cursor->remove();
    EXPECT_EQ(cursor->text("Příjmení"), GetParam().becomesCurrent);
    EXPECT_EQ(cursor->recordCount(), 2);
    EXPECT_EQ(seen.deletes, 1);
}

INSTANTIATE_TEST_SUITE_P(Cursor, DeleteTest,
                         ::testing::Values(DeleteCase{"First", 0, "B"}, DeleteCase{"Middle", 1, "C"},
                                           DeleteCase{"Last", 2, "B"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StoreTest, DeleteWhileInsertingDropsTheNewRecordOnly)
{
    auto cursor = filled("Dat.DB", {{"A"}, {"B"}});
    Notifications seen(*cursor);
    cursor->insert();
    cursor->setText("Příjmení", "C");
    cursor->remove();
    EXPECT_EQ(cursor->state(), store::CursorState::Browse);
    EXPECT_EQ(walk(*cursor, "Příjmení"), (Names{"A", "B"}));
    EXPECT_EQ(seen.deletes, 0);
}

TEST_F(StoreTest, DeleteOnAnEmptyTableFailsWithTheToolkitMessage)
{
    auto cursor = filled("Dat.DB", {{"A"}});
    cursor->remove();
    EXPECT_TRUE(cursor->eof());
    try {
        cursor->remove();
        FAIL();
    } catch (const store::StoreError& error) {
        EXPECT_EQ(error.kind(), store::StoreError::Kind::EmptyDataset);
        EXPECT_STREQ(error.what(), "Cannot perform this operation on an empty dataset");
    }
}

// Insert with values is one step: stored, or nothing changed and nothing pending.
TEST_F(StoreTest, InsertWithValuesSavesAtOnceOrLeavesEverythingAsItWas)
{
    auto cursor = filled("Datp.db", {{"8.12.2025", "porada"}});
    Notifications seen(*cursor);
    cursor->insertRecord({"24.12.2025"});
    EXPECT_EQ(cursor->state(), store::CursorState::Browse);
    EXPECT_EQ(cursor->text("Datum"), "24.12.2025");
    EXPECT_EQ(seen.posts, 1);

    EXPECT_THROW(cursor->insertRecord({"8.12.2025", "jiná"}), store::StoreError);
    EXPECT_EQ(cursor->state(), store::CursorState::Browse);
    EXPECT_EQ(cursor->recordCount(), 2);
    EXPECT_EQ(walk(*cursor, "Činnost"), (Names{"porada", ""}));
}

// A move ends a pending record: each move in turn, over a changed edit
// (saved, AfterPost) and over an untouched insert (dropped).
struct MoveCase {
    const char* name;
    std::function<void(store::Cursor&, const store::Bookmark&)> move;
};

class EndPendingTest : public StoreTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(EndPendingTest, ChangedRecordIsSavedUntouchedInsertIsDropped)
{
    auto cursor = filled("Dat.DB", {{"A", "1"}, {"B", "2"}, {"C", "3"}});
    cursor->next();
    const store::Bookmark mark = cursor->getBookmark();
    Notifications seen(*cursor);

    cursor->edit();
    cursor->setText("Jméno", "changed");
    GetParam().move(*cursor, mark);
    EXPECT_EQ(cursor->state(), store::CursorState::Browse);
    EXPECT_EQ(seen.posts, 1);
    cursor->findKey("B");
    EXPECT_EQ(cursor->text("Jméno"), "changed");

    cursor->insert();
    GetParam().move(*cursor, mark);
    EXPECT_EQ(cursor->state(), store::CursorState::Browse);
    EXPECT_EQ(cursor->recordCount(), 3);
    EXPECT_EQ(seen.posts, 1);
}

// A change that makes a duplicate key: the move fails and the row stays in editing.
TEST_P(EndPendingTest, FailedSaveStopsTheMove)
{
    auto cursor = filled("Dat.DB", {{"A"}, {"B"}, {"C"}});
    cursor->next();
    const store::Bookmark mark = cursor->getBookmark();
    cursor->edit();
    cursor->setText("Příjmení", "C");
    EXPECT_THROW(GetParam().move(*cursor, mark), store::StoreError);
    EXPECT_EQ(cursor->state(), store::CursorState::Edit);
    EXPECT_EQ(cursor->text("Příjmení"), "C");
    EXPECT_EQ(cursor->currentRow(), 1);
    cursor->cancel();
    EXPECT_EQ(walk(*cursor, "Příjmení"), (Names{"A", "B", "C"}));
}

INSTANTIATE_TEST_SUITE_P(
    Cursor, EndPendingTest,
    ::testing::Values(MoveCase{"First", [](store::Cursor& c, const store::Bookmark&) { c.first(); }},
                      MoveCase{"Last", [](store::Cursor& c, const store::Bookmark&) { c.last(); }},
                      MoveCase{"Next", [](store::Cursor& c, const store::Bookmark&) { c.next(); }},
                      MoveCase{"Prior", [](store::Cursor& c, const store::Bookmark&) { c.prior(); }},
                      MoveCase{"MoveBy", [](store::Cursor& c, const store::Bookmark&) { c.moveBy(-15); }},
                      MoveCase{"Nearest", [](store::Cursor& c, const store::Bookmark&) { c.findNearest("C"); }},
                      MoveCase{"Key", [](store::Cursor& c, const store::Bookmark&) { c.findKey("A"); }},
                      MoveCase{"Mark", [](store::Cursor& c, const store::Bookmark& m) { c.gotoBookmark(m); }},
                      MoveCase{"Row", [](store::Cursor& c, const store::Bookmark&) { c.moveToRow(0); }}),
    [](const auto& info) { return std::string(info.param.name); });

// The grid's row click: the target is the row the user saw, even though
// saving the pending record moves rows around.
TEST_F(StoreTest, MovingToARowTargetsTheRecordShownThere)
{
    auto cursor = filled("Dat.DB", {{"B"}, {"D"}, {"F"}});
    cursor->insert(); // pending row 0, before B
    cursor->setText("Příjmení", "Z");
    cursor->moveToRow(2); // shows D
    EXPECT_EQ(cursor->text("Příjmení"), "D");
    EXPECT_EQ(walk(*cursor, "Příjmení"), (Names{"B", "D", "F", "Z"}));
}

// A table without a key keeps records where they were inserted (the backup
// log's entries), appends at the end, and fills its date default from the clock.
TEST_F(StoreTest, TableWithoutKeyKeepsInsertPositionAndDefaults)
{
    store::Cursor log(*m_database, "Zaloha.db");
    log.open();
    log.append();
    EXPECT_EQ(log.text("Datum"), "8.12.2025");
    log.setText("Čas", "10:00:00");
    log.post();
    log.append();
    log.setText("Čas", "12:00:00");
    log.post();
    log.first();
    log.next(); // 12:00
    log.insert();
    log.setText("ČasDisk", "11:00:00");
    log.post();
    log.first();
    log.insert();
    log.setText("ČasDisk", "9:00:00");
    log.post();
    std::vector<std::string> order;
    for (log.first(); !log.eof(); log.next())
        order.push_back(log.text("Čas") + "/" + log.text("ČasDisk"));
    EXPECT_EQ(order, (Names{"/9:00:00", "10:00:00/", "/11:00:00", "12:00:00/"}));
    EXPECT_EQ(log.text("Datum"), "8.12.2025");

    // Many inserts at one place keep working (positions never run out).
    log.first();
    for (int i = 0; i < 300; ++i) {
        log.insert();
        log.setText("Čas", "1:00:00");
        log.post();
    }
    EXPECT_EQ(log.recordCount(), 304);
    log.last();
    EXPECT_EQ(log.text("Čas"), "12:00:00");
}

} // namespace
} // namespace storetest
