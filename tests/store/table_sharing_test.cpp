// One table shared by several cursors, names matched without regard to case,
// persistence, emptying, indexes and the collator version kept in the file.
#include "cursor_fixture.h"

#include "store/Query.h"

#include <sqlite3.h>

namespace storetest {
namespace {

class DisplayRecorder : public store::DisplayObserver {
public:
    void displayChanged(store::DisplayChange change) override { changes.push_back(change); }
    std::vector<store::DisplayChange> changes;
};

// The main window and the text editor: "Dat.DB" and "DAT.DB" are one table.
TEST_F(StoreTest, CursorsShareATableButKeepTheirOwnPositionAndPendingRecord)
{
    auto main = filled("Dat.DB", {{"A"}, {"C"}, {"E"}});
    store::Cursor editor(*m_database, "DAT.DB");
    editor.open();
    editor.last(); // E
    DisplayRecorder editorDisplay;
    editor.addObserver(&editorDisplay);

    editor.edit();
    editor.setText("Jméno", "typed in the editor");
    main->insert();
    main->setText("PŘÍJMENÍ", "D");
    main->post();

    // The editor sees the save at once and stays on its record, still pending.
    EXPECT_EQ(editor.recordCount(), 4);
    EXPECT_EQ(editor.currentRow(), 3);
    EXPECT_EQ(editor.text("Příjmení"), "E");
    EXPECT_EQ(editor.state(), store::CursorState::Edit);
    EXPECT_EQ(editor.text("Jméno"), "typed in the editor");
    EXPECT_EQ(editorDisplay.changes.back(), store::DisplayChange::Everything);
    main->first();
    EXPECT_EQ(main->text("Jméno"), ""); // not saved yet: the editor's alone
    editor.post();
    main->last();
    EXPECT_EQ(main->text("Jméno"), "typed in the editor");

    // A record deleted under another cursor: it moves to the one after.
    editor.moveToRow(2); // D
    main->findKey("D");
    main->remove();
    EXPECT_EQ(editor.text("Příjmení"), "E");
    editor.removeObserver(&editorDisplay);
}

TEST_F(StoreTest, FieldNamesMatchWithoutRegardToCaseCzechLettersToo)
{
    store::Cursor cursor(*m_database, "psc.db");
    cursor.open();
    cursor.insertRecord({"Místo u Lesa", "123 45"});
    EXPECT_EQ(cursor.text("místo"), "Místo u Lesa");
    EXPECT_EQ(cursor.text("Místo"), cursor.text("MÍSTO"));
    EXPECT_EQ(cursor.fieldIndex("psč"), 1);
    EXPECT_THROW(cursor.text("Misto"), store::StoreError); // an accent is not case
}

TEST_F(StoreTest, SavedRecordsAreInTheFileWhenTheCallReturns)
{
    {
        auto cursor = filled("Datp.db", {{"1.2.2025", "a"}, {"3.4.2025", "b"}});
        cursor->edit();
        cursor->setText("Činnost", "changed");
        cursor->post();
        cursor->last();
        cursor->remove();
    }
    // A second program instance's view: a fresh Database on the same folder.
    store::Database other(m_dir);
    store::Cursor cursor(other, "DATP.DB");
    cursor.open();
    EXPECT_EQ(walk(cursor, "Činnost"), Names{"changed"});
}

TEST_F(StoreTest, EmptyingAClosedTableRemovesAllRecords)
{
    auto cursor = filled("Zaloha.db", {{"1.1.2025", "10:00:00"}, {"2.1.2025", "11:00:00"}});
    // An open table is not emptied behind its cursor's back.
    EXPECT_THROW(m_database->emptyTable("ZALOHA.DB"), store::StoreError);
    cursor->close();
    m_database->emptyTable("ZALOHA.DB");
    EXPECT_FALSE(cursor->isActive());
    EXPECT_THROW(cursor->remove(), store::StoreError); // closed
    cursor->open();
    EXPECT_EQ(cursor->recordCount(), 0);
    EXPECT_TRUE(cursor->eof());
}

TEST_F(StoreTest, CreatingATableNeverOverwritesOne)
{
    auto cursor = filled("Dat.DB", {{"A"}});
    store::TableDef def = addressDef();
    def.fileName = "DAT.db";
    EXPECT_THROW(store::Database::createTable(m_dir, def, ""), store::StoreError);
    EXPECT_EQ(cursor->recordCount(), 1);
    store::Database other(m_dir);
    EXPECT_THROW(other.table("Missing.DB"), store::StoreError);
}

TEST_F(StoreTest, ProtectedTableOpensOnlyWithTheRegisteredPassword)
{
    store::Database without(m_dir);
    store::Cursor cursor(without, "Psc.DB");
    try {
        cursor.open();
        FAIL();
    } catch (const store::StoreError& error) {
        EXPECT_EQ(error.kind(), store::StoreError::Kind::Password);
    }
    without.registerPassword(kPassword);
    without.registerPassword(kPassword); // again: changes nothing
    EXPECT_TRUE(without.hasPassword(kPassword));
    EXPECT_NO_THROW(cursor.open());
    EXPECT_TRUE(cursor.isActive());
}

// The postal codes window: by place (key) or by code (secondary index, not unique).
TEST_F(StoreTest, SecondaryIndexOrdersAndSearchesByItsField)
{
    auto cursor = filled("Psc.DB", {{"Praha 1", "110 00"}, {"Brno", "602 00"}, {"Beroun", "266 01"},
                                    {"Adamov", "679 04"}, {"Staré Město", "110 00"}});
    cursor->findKey("Brno");
    cursor->setIndexFieldNames("psč");
    EXPECT_EQ(cursor->text("MÍSTO"), "Brno"); // same record, new order
    EXPECT_EQ(walk(*cursor, "MÍSTO"), (Names{"Praha 1", "Staré Město", "Beroun", "Brno", "Adamov"}));
    cursor->findNearest("6");
    EXPECT_EQ(cursor->text("MÍSTO"), "Brno");
    // A change of the indexed field moves the record in that order.
    cursor->edit();
    cursor->setText("PSČ", "100 00");
    cursor->post();
    EXPECT_EQ(cursor->currentRow(), 0);

    cursor->setIndexFieldNames("MÍSTO");
    EXPECT_EQ(walk(*cursor, "MÍSTO"), (Names{"Adamov", "Beroun", "Brno", "Praha 1", "Staré Město"}));
    EXPECT_THROW(cursor->setIndexFieldNames("Nic"), store::StoreError);
}

// A new ICU may order keys differently: the file keeps the collator version,
// and a mismatch makes the store compute every key again.
TEST_F(StoreTest, KeysAreRebuiltWhenTheCollatorVersionDiffers)
{
    filled("Dat.DB", {{"Chalupa"}, {"Hora"}, {"Čáp"}})->close();
    m_database = std::make_unique<store::Database>(m_dir);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((m_dir / "Dat.DB").c_str(), &db), SQLITE_OK);
    // Keys as an old collator might have left them, in reverse order.
    ASSERT_EQ(sqlite3_exec(db,
                           "UPDATE records SET _k_primary = CAST(-_id AS TEXT) || 'x';"
                           "UPDATE _meta SET value = '0.0' WHERE key = 'collator';",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    store::Cursor cursor(*m_database, "Dat.DB");
    cursor.open();
    EXPECT_EQ(walk(cursor, "Příjmení"), (Names{"Čáp", "Hora", "Chalupa"}));
    cursor.findNearest("CH");
    EXPECT_EQ(cursor.text("Příjmení"), "Chalupa");
}

} // namespace
} // namespace storetest
