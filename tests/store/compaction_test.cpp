// A table grown by single saves in random key order is rebuilt in key
// order; a small, ordered or busy table is left alone; nothing is lost.
#include "cursor_fixture.h"

#include "store/Compaction.h"

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <numeric>
#include <random>

namespace storetest {
namespace {

store::TableDef notesDef()
{
    store::TableDef def;
    def.fileName = "Poznamky.DB";
    def.fields = {{"Název", store::FieldKind::Text, 40, store::FieldDefault::None},
                  {"Text", store::FieldKind::Memo, 0, store::FieldDefault::None}};
    def.primaryKey = "Název";
    return def;
}

class CompactionTest : public StoreTest {
protected:
    fs::path file() const { return m_dir / "Poznamky.DB"; }

    // Saved one by one in a shuffled order, each record long enough that a
    // page holds only a few (short enough to need no overflow page): the
    // leaf pages end up scattered.
    std::map<std::string, std::string> fillScattered(int count)
    {
        store::Database::createTable(m_dir, notesDef(), "");
        std::vector<int> numbers(static_cast<std::size_t>(count));
        std::iota(numbers.begin(), numbers.end(), 0);
        std::shuffle(numbers.begin(), numbers.end(), std::mt19937(5));
        std::map<std::string, std::string> saved;
        store::Database database(m_dir);
        store::Cursor cursor(database, "Poznamky.DB");
        cursor.open();
        for (const int n : numbers) {
            const std::string key = "Čáp " + std::to_string(100000 + n);
            const std::string text = std::string(300 + n % 200, static_cast<char>('a' + n % 26));
            cursor.insertRecord({key, text});
            saved[key] = text;
        }
        return saved;
    }

    std::map<std::string, std::string> readBack()
    {
        store::Database database(m_dir);
        store::Cursor cursor(database, "Poznamky.DB");
        cursor.open();
        std::map<std::string, std::string> found;
        for (cursor.first(); !cursor.eof(); cursor.next())
            found[cursor.text("Název")] = cursor.text("Text");
        return found;
    }

    store::CompactionPolicy small() const
    {
        store::CompactionPolicy policy;
        policy.minPages = 20;
        return policy;
    }
};

TEST_F(CompactionTest, ScatteredTableIsRebuiltInKeyOrderWithEveryRecord)
{
    const auto saved = fillScattered(800);
    ::chmod(file().c_str(), 0640);
    const store::PageOrder before = store::pageOrder(file());
    ASSERT_GE(before.pages, 60);
    ASSERT_LT(before.following * 2, before.pages) << "the fixture is not scattered";

    std::vector<store::CompactionStep> steps;
    store::CompactionPolicy policy = small();
    policy.observer = [&](store::CompactionStep step) { steps.push_back(step); };
    EXPECT_TRUE(store::compactIfScattered(file(), policy));

    const store::PageOrder after = store::pageOrder(file());
    EXPECT_LE(after.pages, before.pages); // packed fuller, too
    // Nearly all in a row: only the pages of the table's index of record
    // numbers and of the tree's upper levels lie between them.
    EXPECT_GE(after.following * 10, after.pages * 8) << after.following << " of " << after.pages;
    EXPECT_EQ(steps, (std::vector<store::CompactionStep>{store::CompactionStep::Copied, store::CompactionStep::Synced,
                                                          store::CompactionStep::Renamed, store::CompactionStep::Done}));
    EXPECT_FALSE(fs::exists(store::compactionFile(file())));
    struct stat info {};
    ASSERT_EQ(::stat(file().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    // Opened by the store as its own table, with everything saved.
    EXPECT_EQ(readBack(), saved);
    // In order now: a second call leaves it alone.
    EXPECT_FALSE(store::compactIfScattered(file(), small()));
}

// Small tables, tables in order, a file with a journal waiting to be rolled
// back, and a link stay as they are; a rebuild cut short earlier is cleared.
TEST_F(CompactionTest, LeavesAloneWhatNeedsNoOrMustNotHaveARebuild)
{
    const auto saved = fillScattered(300);
    const auto sizeOf = [](const fs::path& path) { return fs::file_size(path); };
    const auto original = sizeOf(file());

    store::CompactionPolicy big = small();
    big.minPages = 1000000;
    EXPECT_FALSE(store::compactIfScattered(file(), big));

    fs::path journal = file();
    journal += "-journal";
    { std::ofstream(journal) << "x"; }
    EXPECT_FALSE(store::compactIfScattered(file(), small()));
    fs::remove(journal);

    fs::create_symlink(file(), m_dir / "Odkaz.DB");
    EXPECT_FALSE(store::compactIfScattered(m_dir / "Odkaz.DB", small()));
    EXPECT_TRUE(fs::is_symlink(m_dir / "Odkaz.DB"));
    EXPECT_EQ(sizeOf(file()), original);

    { std::ofstream(store::compactionFile(file())) << "half written"; }
    EXPECT_TRUE(store::compactIfScattered(file(), small()));
    EXPECT_FALSE(fs::exists(store::compactionFile(file())));
    EXPECT_EQ(readBack(), saved);
}

// A rebuild that cannot write its new file fails and leaves the old file.
TEST_F(CompactionTest, FailedRebuildKeepsTheOldFile)
{
    const auto saved = fillScattered(300);
    // A folder that is not empty where the new file would go.
    fs::create_directories(store::compactionFile(file()) / "x");
    EXPECT_THROW(store::compactIfScattered(file(), small()), store::StoreError);
    EXPECT_EQ(readBack(), saved);
}

} // namespace
} // namespace storetest
