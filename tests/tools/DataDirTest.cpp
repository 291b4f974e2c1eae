#include "tools/DataDir.h"

#include "TempDir.h"

#include "store/Catalogue.h"
#include "store/Cursor.h"
#include "store/Database.h"
#include "store/Errors.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>

namespace fs = std::filesystem;

namespace {

struct Seed {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
};

// Reads a seed file the way a person would: comment lines and blank lines skipped.
Seed readSeed(const fs::path& file)
{
    Seed seed;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line.front() == '#')
            continue;
        std::vector<std::string> cells;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            cells.push_back(line.substr(start, tab - start));
        cells.push_back(line.substr(start));
        if (seed.header.empty())
            seed.header = cells;
        else
            seed.rows.push_back(cells);
    }
    return seed;
}

std::size_t utf8Length(const std::string& text)
{
    std::size_t count = 0;
    for (unsigned char c : text)
        count += (c & 0xC0) != 0x80;
    return count;
}

const std::vector<std::string> kSeededTables = {"Svatek",  "Psc",      "Spzzem",
                                                "TelefCR", "TelefSvt", "Cas"};
const std::vector<std::string> kUserTables = {"Dat.DB",   "Datz.db", "Datp.db",
                                              "Vyrob.db", "Data.DB", "Zaloha.db"};

// One delivered working directory for the whole suite: building it writes
// about a thousand records, each in its own committed transaction.
class DeliveredDataDir : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = std::make_unique<TempDir>();
        tools::makeDataDir(tools::sourceSeedsDir(), s_dir->path());
    }
    static void TearDownTestSuite() { s_dir.reset(); }

    static fs::path workdir() { return s_dir->path(); }
    static fs::path dataDir() { return s_dir->path() / store::kDataDirName; }

    void SetUp() override
    {
        m_database = std::make_unique<store::Database>(dataDir());
        m_database->registerPassword(store::dataTablesPassword());
    }

    std::unique_ptr<store::Cursor> openCursor(const std::string& table)
    {
        auto cursor = std::make_unique<store::Cursor>(*m_database, table);
        cursor->open();
        return cursor;
    }

    static std::unique_ptr<TempDir> s_dir;
    std::unique_ptr<store::Database> m_database;
};

std::unique_ptr<TempDir> DeliveredDataDir::s_dir;

// A table missing from the directory would stop the program at start-up.
TEST_F(DeliveredDataDir, holdsEveryTableAndTheWorkingFolders)
{
    for (const store::TableDef& def : store::catalogue())
        EXPECT_TRUE(fs::is_regular_file(dataDir() / def.fileName)) << def.fileName;
    EXPECT_TRUE(fs::is_directory(workdir() / "Zaloha"));
    EXPECT_TRUE(fs::is_directory(workdir() / "Obrazky"));
    // The calculator's body-shape pictures come with the directory.
    for (int picture = 1; picture <= 6; ++picture)
        EXPECT_TRUE(fs::is_regular_file(workdir() / "Obrazky" / ("Tvar" + std::to_string(picture) + ".bmp")));
}

// A seed line silently dropped (or a user table delivered with records) shows
// up as a wrong count.
TEST_F(DeliveredDataDir, everySeedLineBecameOneRecordAndUserTablesAreEmpty)
{
    for (const std::string& table : kSeededTables) {
        const Seed seed = readSeed(tools::sourceSeedsDir() / (table + ".tsv"));
        auto cursor = openCursor(table + ".db");
        EXPECT_EQ(cursor->recordCount(), static_cast<int>(seed.rows.size())) << table;
    }
    for (const std::string& table : kUserTables)
        EXPECT_EQ(openCursor(table)->recordCount(), 0) << table;
}

// The name-day lookups build "d. month" keys; a missing day, a genitive month
// name or a day number off by one makes the lookup find nothing or the wrong day.
TEST_F(DeliveredDataDir, svatekHoldsEveryDayOfALeapYearInOrder)
{
    static const char* const months[] = {"leden",  "únor",   "březen",   "duben",
                                         "květen", "červen", "červenec", "srpen",
                                         "září",   "říjen",  "listopad", "prosinec"};
    static const int lengths[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    auto cursor = openCursor("Svatek.db");
    ASSERT_EQ(cursor->recordCount(), 366);
    cursor->first();
    int number = 0;
    for (int month = 0; month < 12; ++month) {
        for (int day = 1; day <= lengths[month]; ++day) {
            ++number;
            ASSERT_FALSE(cursor->eof()) << number;
            ASSERT_EQ(cursor->text("Datum"), std::to_string(day) + ". " + months[month]);
            ASSERT_EQ(cursor->integer("Číslo"), number);
            ASSERT_FALSE(cursor->text("Svátek").empty()) << number;
            ASSERT_TRUE(cursor->text("Výročí").empty()) << number;
            cursor->next();
        }
    }
    EXPECT_TRUE(cursor->eof());
}

// Spot checks against the civil calendar catch a shifted or mis-derived list.
TEST_F(DeliveredDataDir, svatekHasKnownNamesOnTheirDays)
{
    auto cursor = openCursor("SVATEK.DB");
    std::map<std::string, std::string> byDay;
    for (cursor->first(); !cursor->eof(); cursor->next())
        byDay[cursor->text("Datum")] = cursor->text("Svátek");
    const std::vector<std::pair<std::string, std::string>> known = {
        {"1. leden", "Nový rok"},
        {"24. prosinec", "Adam a Eva"},
        {"14. únor", "Valentýn"},
        {"6. prosinec", "Mikuláš"},
        {"29. únor", "Horymír"},
        {"28. září", "Václav"},
        {"5. červenec", "Cyril a Metoděj"},
        {"19. březen", "Josef"},
        {"26. prosinec", "Štěpán"},
        {"31. prosinec", "Silvestr"},
        {"22. červenec", "Magdaléna"}, // the source list has it misspelt
    };
    for (const auto& [day, names] : known)
        EXPECT_EQ(byDay[day], names) << day;
}

// Key searches over the delivered rows: the directory windows find entries this way.
TEST_F(DeliveredDataDir, referenceRowsReadBackByTheirKeys)
{
    struct Case {
        const char* table;
        const char* index; // field to order by; the key search runs on it
        const char* key;
        const char* field;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"Psc.DB", "MÍSTO", "Praha 1", "PSČ", "110 00"},
        {"Psc.DB", "MÍSTO", "Brno", "PSČ", "602 00"},
        {"Psc.DB", "MÍSTO", "Ostrava", "PSČ", "702 00"},
        {"Psc.DB", "MÍSTO", "Plzeň", "PSČ", "301 00"},
        {"Psc.DB", "MÍSTO", "České Budějovice", "PSČ", "370 01"},
        {"Psc.DB", "PSČ", "779 00", "MÍSTO", "Olomouc"},
        {"Spzzem.db", "ZEMĚ", "Česko", "ZNAČKA", "CZ"},
        {"Spzzem.db", "ZEMĚ", "Slovensko", "ZNAČKA", "SK"},
        {"Spzzem.db", "ZEMĚ", "Německo", "ZNAČKA", "D"},
        {"Spzzem.db", "ZEMĚ", "Rakousko", "ZNAČKA", "A"},
        {"Spzzem.db", "ZNAČKA", "PL", "ZEMĚ", "Polsko"},
        {"Spzzem.db", "ZNAČKA", "H", "ZEMĚ", "Maďarsko"},
        {"TelefCR.DB", "Telefonní obvod", "Praha", "Předvolba", "2"},
        {"TelefCR.DB", "Telefonní obvod", "Jihomoravský kraj", "Předvolba", "51, 53, 54"},
        {"TelefCR.DB", "Telefonní obvod", "Moravskoslezský kraj", "Předvolba", "55, 59"},
        {"TelefSvt.DB", "Země", "Česko", "Předvolba", "+420"},
        {"TelefSvt.DB", "Země", "Slovensko", "Předvolba", "+421"},
        {"TelefSvt.DB", "Země", "Německo", "Předvolba", "+49"},
        {"TelefSvt.DB", "Země", "Spojené státy", "Předvolba", "+1"},
        // Corrected from the source list after a check against libphonenumber.
        {"TelefSvt.DB", "Země", "Kosovo", "Předvolba", "+383"},
        {"TelefSvt.DB", "Země", "Monako", "Předvolba", "+377"},
        {"TelefSvt.DB", "Země", "Bonaire, Svatý Eustach a Saba", "Předvolba", "+599 7, +599 3, +599 4"},
        {"TelefSvt.DB", "Země", "Curaçao", "Předvolba", "+599 9"},
        {"TelefSvt.DB", "Země", "Svatý stolec (Vatikánský městský stát)", "Předvolba", "+39 06 698"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " " + c.key);
        auto cursor = openCursor(c.table);
        cursor->setIndexFieldNames(c.index);
        cursor->findNearest(c.key);
        EXPECT_EQ(cursor->text(c.index), c.key);
        EXPECT_EQ(cursor->text(c.field), c.expected);
    }
}

// The world clock adds or subtracts `Posun`; a wrong sign or a summer-time
// offset would show the wrong hour.
TEST_F(DeliveredDataDir, worldTimeRowsHaveStandardTimeDifferences)
{
    struct Case {
        const char* city;
        const char* direction;
        int hours;
        int minutes;
    };
    const std::vector<Case> cases = {
        {"Praha", "+", 0, 0},       {"Londýn", "-", 1, 0},      {"Moskva", "+", 2, 0},
        {"Tokio", "+", 8, 0},       {"Nové Dillí", "+", 4, 30}, {"New York", "-", 6, 0},
        {"Los Angeles", "-", 9, 0}, {"Káthmándú", "+", 4, 45},  {"Sydney", "+", 9, 0},
    };
    auto cursor = openCursor("Cas.db");
    EXPECT_GE(cursor->recordCount(), 60);
    std::map<std::string, std::pair<std::string, store::DateTime>> byCity;
    for (cursor->first(); !cursor->eof(); cursor->next()) {
        const std::string direction = cursor->text("Směr");
        EXPECT_TRUE(direction == "+" || direction == "-") << cursor->text("Město");
        const auto shift = cursor->dateTime("Posun");
        ASSERT_TRUE(shift.has_value()) << cursor->text("Město");
        byCity[cursor->text("Město")] = {direction, *shift};
    }
    for (const Case& c : cases) {
        ASSERT_EQ(byCity.count(c.city), 1u) << c.city;
        const auto& [direction, shift] = byCity[c.city];
        EXPECT_EQ(direction, c.direction) << c.city;
        EXPECT_EQ(shift.hour, c.hours) << c.city;
        EXPECT_EQ(shift.minute, c.minutes) << c.city;
    }
}

// The six reference tables must not open for a program that lacks the password,
// nor with a wrong one; the user tables need none.
TEST_F(DeliveredDataDir, protectedTablesNeedThePassword)
{
    store::Database withoutPassword(dataDir());
    store::Database wrongPassword(dataDir());
    wrongPassword.registerPassword("xyz");
    for (const store::TableDef& def : store::catalogue()) {
        SCOPED_TRACE(def.fileName);
        for (store::Database* database : {&withoutPassword, &wrongPassword}) {
            store::Cursor cursor(*database, def.fileName);
            if (def.isProtected) {
                try {
                    cursor.open();
                    ADD_FAILURE() << "opened without the password";
                } catch (const store::StoreError& error) {
                    EXPECT_EQ(error.kind(), store::StoreError::Kind::Password);
                }
            } else {
                EXPECT_NO_THROW(cursor.open());
            }
        }
    }
}

// A second run on a provisioned directory must neither fail half way nor
// replace the user's tables.
TEST_F(DeliveredDataDir, refusesToTouchAnExistingDataFolder)
{
    {
        auto cursor = openCursor("Dat.DB");
        cursor->insertRecord({"Novák", "Jan"});
    }
    EXPECT_THROW(tools::makeDataDir(tools::sourceSeedsDir(), workdir()), tools::DataDirError);
    auto cursor = openCursor("Dat.DB");
    EXPECT_EQ(cursor->recordCount(), 1);
    EXPECT_EQ(cursor->text("Příjmení"), "Novák");
    cursor->remove();
    EXPECT_EQ(openCursor("Svatek.db")->recordCount(), 366);
}

// Later directories are copies of the first one built: a change made in one
// directory must not reach the next, and the copy must be complete.
TEST_F(DeliveredDataDir, eachCallGivesAnIndependentFreshDirectory)
{
    TempDir first;
    TempDir second;
    tools::makeDataDir(tools::sourceSeedsDir(), first.path());
    {
        store::Database database(first.path() / store::kDataDirName);
        store::Cursor cursor(database, "Dat.DB");
        cursor.open();
        cursor.insertRecord({"Novák", "Jan"});
    }
    tools::makeDataDir(tools::sourceSeedsDir(), second.path());
    store::Database database(second.path() / store::kDataDirName);
    database.registerPassword(store::dataTablesPassword());
    store::Cursor addresses(database, "Dat.DB");
    addresses.open();
    EXPECT_EQ(addresses.recordCount(), 0);
    store::Cursor nameDays(database, "Svatek.db");
    nameDays.open();
    EXPECT_EQ(nameDays.recordCount(), 366);
    EXPECT_TRUE(fs::is_directory(second.path() / "Zaloha"));
    EXPECT_TRUE(fs::is_directory(second.path() / "Obrazky"));
}

// Values longer than their field would be cut or refused by the store.
TEST(SeedFiles, everyValueFitsItsField)
{
    for (const std::string& table : kSeededTables) {
        const store::TableDef* def = store::findTableDef(table);
        ASSERT_NE(def, nullptr) << table;
        const Seed seed = readSeed(tools::sourceSeedsDir() / (table + ".tsv"));
        for (std::size_t column = 0; column < seed.header.size(); ++column) {
            const store::FieldDef* field = nullptr;
            for (const store::FieldDef& candidate : def->fields) {
                if (candidate.name == seed.header[column])
                    field = &candidate;
            }
            ASSERT_NE(field, nullptr) << table << ": " << seed.header[column];
            if (field->kind != store::FieldKind::Text)
                continue;
            for (const auto& row : seed.rows) {
                ASSERT_EQ(row.size(), seed.header.size()) << table;
                EXPECT_LE(utf8Length(row[column]), static_cast<std::size_t>(field->width))
                    << table << ": " << row[column];
            }
        }
    }
}

// Someone editing a seed file by hand must be told which line is wrong, and a
// failed build must leave no half-filled Data folder behind.
TEST(MakeDataDir, badSeedLineNamesFileAndLine)
{
    struct Case {
        const char* file;
        const char* content;
        const char* expected; // start of the error message
    };
    const std::vector<Case> cases = {
        {"Psc.tsv", "MÍSTO\tPSČ\nBrno\t602 00\nOstrava\n", "Psc.tsv:3: "},
        {"Psc.tsv", "# comment\nMÍSTO\tPSČ\nBrno\t602 00\nBrno\t603 00\n", "Psc.tsv:4: "},
        {"Psc.tsv", "MÍSTO\tPOŠTA\n", "Psc.tsv:1: "},
        {"Svatek.tsv", "Datum\tSvátek\tČíslo\n1. leden\tNový rok\tjedna\n", "Svatek.tsv:2: "},
        {"Cas.tsv", "Země\tMěsto\tSměr\tPosun\nJaponsko\tTokio\t+\tosm\n", "Cas.tsv:2: "},
        {"Spzzem.tsv", "ZEMĚ\tZNAČKA\tZEMĚ\n", "Spzzem.tsv:1: "},
        {"Adresy.tsv", "Příjmení\nNovák\n", "Adresy.tsv: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        TempDir dir;
        fs::create_directory(dir.path() / "seeds");
        std::ofstream(dir.path() / "seeds" / c.file) << c.content;
        try {
            tools::makeDataDir(dir.path() / "seeds", dir.path() / "work");
            ADD_FAILURE() << "accepted";
        } catch (const tools::DataDirError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(c.expected, 0), 0u) << error.what();
        }
        EXPECT_FALSE(fs::exists(dir.path() / "work" / "Data"));
        if (fs::exists(dir.path() / "work")) {
            for (const fs::directory_entry& entry : fs::directory_iterator(dir.path() / "work"))
                EXPECT_NE(entry.path().filename().string().rfind(".Data-", 0), 0u) << entry.path();
        }
    }
}

// The program used by tools/dev.sh: success, then refusal on the second run.
TEST(MakeDataDir, programBuildsOnceAndThenRefuses)
{
    TempDir dir;
    const std::string command = std::string("\"") + MAKE_DATADIR_PROGRAM + "\" --seeds \"" +
                                tools::sourceSeedsDir().string() + "\" --out \"" +
                                (dir.path() / "work").string() + "\" >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    EXPECT_TRUE(fs::is_regular_file(dir.path() / "work" / "Data" / "Svatek.DB"));
    EXPECT_NE(std::system(command.c_str()), 0);
    const std::string noArguments = std::string("\"") + MAKE_DATADIR_PROGRAM + "\" >/dev/null 2>&1";
    EXPECT_NE(std::system(noArguments.c_str()), 0);
}

} // namespace

namespace {

// A first start killed while it builds (the user closes the session, the
// machine goes down) must leave either no Data folder or a complete one:
// half the tables would stop every later start.
TEST(MakeDataDir, killedBuildLeavesDataWholeOrAbsent)
{
    int complete = 0;
    for (int attempt = 0; attempt < 12; ++attempt) {
        TempDir dir;
        const fs::path work = dir.path() / "work";
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const std::string seeds = tools::sourceSeedsDir().string();
            const std::string out = work.string();
            execl(MAKE_DATADIR_PROGRAM, MAKE_DATADIR_PROGRAM, "--seeds", seeds.c_str(), "--out",
                  out.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        // Kills spread over the build; the last attempt runs to its end.
        usleep(static_cast<useconds_t>(attempt * 40000));
        if (attempt < 11)
            kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);

        if (!fs::exists(work / store::kDataDirName))
            continue;
        ++complete;
        store::Database database(work / store::kDataDirName);
        database.registerPassword(store::dataTablesPassword());
        for (const store::TableDef& def : store::catalogue()) {
            store::Cursor cursor(database, def.fileName);
            EXPECT_NO_THROW(cursor.open()) << def.fileName << " after a kill at " << attempt * 40 << " ms";
        }
        store::Cursor nameDays(database, "Svatek.db");
        nameDays.open();
        EXPECT_EQ(nameDays.recordCount(), 366);
    }
    // At least the last build finished: the check above did run.
    EXPECT_GT(complete, 0);
}

} // namespace
