// Walks read records ahead in batches; these tables are several batches long
// so that walks cross batch ends in both directions and in both orders, and
// see what another cursor saves in the middle of a walk.
#include "cursor_fixture.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <tuple>

namespace storetest {
namespace {

constexpr int kPostalRecords = 1100;

struct Place {
    std::string name; // MÍSTO, the primary key
    std::string code; // PSČ, the secondary index; many places share one
    int inserted;     // breaks ties of the secondary order
};

std::string placeName(int n)
{
    char name[16];
    std::snprintf(name, sizeof name, "M%05d", n);
    return name;
}

std::string postalCode(int n)
{
    char code[8];
    std::snprintf(code, sizeof code, "P%02d", n % 37);
    return code;
}

// The places as the given index orders them.
std::vector<Place> ordered(std::vector<Place> places, bool bySecondary)
{
    if (bySecondary)
        std::sort(places.begin(), places.end(),
                  [](const Place& a, const Place& b) { return std::tie(a.code, a.inserted) < std::tie(b.code, b.inserted); });
    else
        std::sort(places.begin(), places.end(), [](const Place& a, const Place& b) { return a.name < b.name; });
    return places;
}

Names describe(const std::vector<Place>& places)
{
    Names names;
    for (const Place& place : places)
        names.push_back(place.name + " " + place.code);
    return names;
}

std::string current(const store::Cursor& cursor)
{
    return cursor.text("MÍSTO") + " " + cursor.text("PSČ");
}

class ReadAheadTest : public StoreTest, public ::testing::WithParamInterface<bool> {
protected:
    // Postal records inserted in a scrambled order.
    std::vector<Place> fillPostal()
    {
        store::Cursor cursor(*m_database, "Psc.DB");
        cursor.open();
        std::vector<Place> places;
        for (int i = 0; i < kPostalRecords; ++i) {
            const int n = (i * 7919) % kPostalRecords;
            places.push_back({placeName(n), postalCode(n), i});
            cursor.insertRecord({places.back().name, places.back().code});
        }
        return places;
    }
    bool bySecondary() const { return GetParam(); }
    void chooseIndex(store::Cursor& cursor) const
    {
        if (bySecondary())
            cursor.setIndexFieldNames("PSČ");
    }
};

TEST_P(ReadAheadTest, WalksForwardAndBackwardReadEveryRecordInOrder)
{
    const Names expected = describe(ordered(fillPostal(), bySecondary()));
    store::Cursor cursor(*m_database, "Psc.DB");
    cursor.open();
    chooseIndex(cursor);

    Names forward;
    for (cursor.first(); !cursor.eof(); cursor.next())
        forward.push_back(current(cursor));
    EXPECT_EQ(forward, expected);

    Names backward;
    for (cursor.last(); !cursor.bof(); cursor.prior())
        backward.push_back(current(cursor));
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(backward, expected);

    // Turning round inside a batch and paging as the name-day window does.
    cursor.first();
    cursor.moveBy(700);
    cursor.moveBy(-15);
    EXPECT_EQ(current(cursor), expected[685]);
    cursor.prior();
    EXPECT_EQ(current(cursor), expected[684]);
    cursor.next();
    cursor.next();
    EXPECT_EQ(current(cursor), expected[686]);
    EXPECT_EQ(cursor.rowText(1099, 0) + " " + cursor.rowText(1099, 1), expected[1099]);
}

// A walk halfway through its batch sees a change, then a deletion and an
// insertion, that another cursor saved further on.
TEST_P(ReadAheadTest, WalkSeesWhatAnotherCursorSavedAhead)
{
    std::vector<Place> places = fillPostal();
    const std::vector<Place> before = ordered(places, bySecondary());
    store::Cursor walker(*m_database, "Psc.DB");
    walker.open();
    chooseIndex(walker);
    store::Cursor writer(*m_database, "Psc.DB");
    writer.open();

    Names seen;
    const auto walkOn = [&](std::size_t until) {
        for (; !walker.eof() && seen.size() < until; walker.next())
            seen.push_back(current(walker));
    };
    walker.first();
    walkOn(600);

    const auto at = [&](const std::string& name) {
        return std::find_if(places.begin(), places.end(), [&](const Place& p) { return p.name == name; });
    };
    // Changes the field that does not order the walk, so the record stays
    // where the walk will meet it; in the secondary order that is the
    // primary key, which moves the record inside the file.
    const Place& changed = before[700];
    ASSERT_TRUE(writer.findKey(changed.name));
    writer.edit();
    if (bySecondary()) {
        writer.setText("MÍSTO", changed.name + "z");
        at(changed.name)->name += "z";
    } else {
        writer.setText("PSČ", "Z1");
        at(changed.name)->code = "Z1";
    }
    writer.post();
    walkOn(750);
    const std::string gone = before[800].name;
    ASSERT_TRUE(writer.findKey(gone));
    writer.remove();
    places.erase(at(gone));
    const Place added{before[900].name + "a", before[900].code, kPostalRecords};
    writer.insertRecord({added.name, added.code});
    places.push_back(added);

    walkOn(kPostalRecords + 1);
    EXPECT_EQ(seen, describe(ordered(places, bySecondary())));

    // Any plain sqlite3 can check the file after these writes.
    walker.close();
    writer.close();
    m_database.reset();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2((m_dir / "Psc.DB").c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* check = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    sqlite3_close(db);
}

INSTANTIATE_TEST_SUITE_P(Orders, ReadAheadTest, ::testing::Values(false, true),
                         [](const auto& info) { return std::string(info.param ? "Secondary" : "Primary"); });

} // namespace
} // namespace storetest
