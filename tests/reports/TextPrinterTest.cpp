// The printer text output and the address book's line printing, on a
// recording printer whose every character is 10 pixels wide and whose lines
// are 20 pixels high.

#include "reports/AddressLines.h"
#include "reports/TextPrinter.h"

#include "platform/Fakes.h"
#include "store/Cursor.h"
#include "store/Database.h"
#include "tools/DataDir.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

void ensureGuiApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "reports_tests";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

struct Drawn {
    int page, x, y;
    QString text;
    bool operator==(const Drawn&) const = default;
};

std::vector<Drawn> drawn(const platform::PrintJob& job)
{
    std::vector<Drawn> all;
    for (const platform::PrintedText& t : job.texts)
        all.push_back({t.page, t.x, t.y, t.text});
    return all;
}

class TextPrinterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ensureGuiApplication();
        // 10 px per character, 20 px per line: a printed line is 22 px high.
        fakes.printer.setMetrics(10, 20, 200, 1000);
    }
    platform::ScopedFakeServices fakes;
    reports::TextPrinter out{fakes.printer};
};

// Wrapping splits after the last character that fits and goes on at the left
// edge; a tab goes to the next multiple of 80 px; CR is dropped; LF ends a line.
TEST_F(TextPrinterTest, WrapsTabsAndEndsLines)
{
    out.open(QStringLiteral("t"));
    out.write(QStringLiteral("abc\tdef\r\n"));
    out.write(QStringLiteral("0123456789ABCDEFGHIJklm"));
    out.endLine();
    out.write(QStringLiteral("\t"));
    out.write(QStringLiteral("\tx"));
    out.close();

    const std::vector<Drawn> expected = {
        {1, 0, 0, "abc"},
        {1, 80, 0, "def"},
        {1, 0, 22, "0123456789ABCDEFGHIJ"},
        {1, 0, 44, "klm"},
        {1, 160, 66, "x"},
    };
    EXPECT_EQ(drawn(fakes.printer.lastJob()), expected);
    EXPECT_TRUE(fakes.printer.lastJob().finished);
}

// The page-break rule: after a line of text a new page starts when the next
// position lies lower than the page height minus twice that line's height;
// an empty line moves down by a character's height and counts as 0, so it
// breaks only past the page height. A form feed breaks at once.
TEST_F(TextPrinterTest, StartsNewPagesByTheRule)
{
    struct Case {
        const char* name;
        int pageHeight;
        int textLinesBefore; // lines of text written first
        int emptyLines;      // then empty lines
        int expectedPage;
        int expectedY;
    };
    const std::vector<Case> cases = {
        // 3 lines end at 66; 66 > 100 - 44? yes -> new page.
        {"text line crosses the threshold", 100, 3, 0, 2, 0},
        // 2 lines end at 44; 44 > 56? no.
        {"text line stays", 100, 2, 0, 1, 44},
        // 44 + 20 + 20 = 84: an empty line counts 0, and 84 > 100 - 0? no.
        {"empty lines below the page height stay", 100, 2, 2, 1, 84},
        // 84 + 20 = 104 > 100 -> new page.
        {"empty line past the page height breaks", 100, 2, 3, 2, 0},
        // exactly on the threshold is not lower than it: 4 lines end at 88, 88 > 132 - 44? no.
        {"exactly on the threshold stays", 132, 4, 0, 1, 88},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakes.printer.setMetrics(10, 20, 200, c.pageHeight);
        reports::TextPrinter job(fakes.printer);
        job.open(QStringLiteral("t"));
        for (int i = 0; i < c.textLinesBefore; ++i)
            job.writeLine(QStringLiteral("řádek"));
        for (int i = 0; i < c.emptyLines; ++i)
            job.endLine();
        EXPECT_EQ(job.page(), c.expectedPage);
        EXPECT_EQ(job.y(), c.expectedY);
        job.close();
    }

    reports::TextPrinter job(fakes.printer);
    job.open(QStringLiteral("t"));
    job.write(QStringLiteral("a\fb"));
    job.close();
    EXPECT_EQ(drawn(fakes.printer.lastJob()),
              (std::vector<Drawn>{{1, 0, 0, "a"}, {2, 0, 0, "b"}}));
    EXPECT_EQ(fakes.printer.lastJob().pages, 2);
}

// A line holding pieces in two fonts is as high as the tallest plus 2 px.
TEST_F(TextPrinterTest, LineIsAsHighAsItsTallestPiece)
{
    out.open(QStringLiteral("t"));
    fakes.printer.setMetrics(10, 30, 200, 1000);
    out.write(QStringLiteral("big"));
    fakes.printer.setMetrics(10, 20, 200, 1000);
    out.write(QStringLiteral("small"));
    out.endLine();
    EXPECT_EQ(out.y(), 32);
    out.close();
}

// Without a printer the job does not start and the reason reaches the caller.
TEST_F(TextPrinterTest, NoPrinterIsAnError)
{
    fakes.printer.setAvailable(false);
    try {
        out.open(QStringLiteral("t"));
        FAIL() << "opened without a printer";
    } catch (const reports::PrintError& error) {
        EXPECT_FALSE(QString::fromUtf8(error.what()).isEmpty());
    }
    EXPECT_FALSE(out.isOpen());
}

// The address book printed as lines, on a real address table.
class AddressLinesTest : public TextPrinterTest {
protected:
    void SetUp() override
    {
        TextPrinterTest::SetUp();
        fakes.printer.setMetrics(10, 20, 2000, 100000);
        workDir = std::filesystem::path(dir.path().toStdString()) / "work";
        tools::makeDataDir(tools::sourceSeedsDir(), workDir);
        database = std::make_unique<store::Database>(workDir / "Data");
        table = std::make_unique<store::Cursor>(*database, "Dat.DB");
        table->open();
    }
    void add(const std::vector<std::string>& values) { table->insertRecord(values); }

    QTemporaryDir dir;
    std::filesystem::path workDir;
    std::unique_ptr<store::Database> database;
    std::unique_ptr<store::Cursor> table;
    QFont font{QStringLiteral("Liberation Sans"), 8};
};

// Two records: 12 lines with the note, 10 without, labels of 11 characters,
// an empty line after each block, and the table back where it stood.
TEST_F(AddressLinesTest, PrintsLabelledBlocksAndReturnsToTheMark)
{
    add({"Adámek", "Jan", "Brno", "541 111", "strýc"});
    add({"Bartoš", "Petr", "Praha", "602 222", ""});
    table->last();
    int moves = 0;
    int movesShown = 0;
    const int connection = table->afterScroll.connect([&] {
        ++moves;
        if (!table->controlsDisabled())
            ++movesShown;
    });

    reports::printAddressLines(*table, out, font, reports::AddressLines::AllFields);
    const platform::PrintJob all = fakes.printer.lastJob();
    EXPECT_EQ(all.pageLines(1),
              (QStringList{"PŘÍJMENÍ:  Adámek", "JMÉNO:     Jan", "ADRESA:    Brno",
                           "TELEFON:   541 111", "POZNÁMKA:  strýc", "", "PŘÍJMENÍ:  Bartoš",
                           "JMÉNO:     Petr", "ADRESA:    Praha", "TELEFON:   602 222",
                           "POZNÁMKA:  "}));
    // The second block starts below five lines of text and one empty line.
    EXPECT_EQ(all.texts.at(5).y, 5 * 22 + 20);
    EXPECT_TRUE(all.finished);
    EXPECT_EQ(all.texts.first().font, font);

    reports::printAddressLines(*table, out, font, reports::AddressLines::WithoutNote);
    const QStringList short_ = fakes.printer.lastJob().pageLines(1);
    EXPECT_EQ(short_.size(), 4 + 1 + 4);
    EXPECT_FALSE(short_.join('|').contains(QStringLiteral("POZNÁMKA")));
    for (int field = 0; field < 5; ++field)
        EXPECT_EQ(reports::addressLabel(field).size(), 11);

    EXPECT_EQ(table->text("Příjmení"), "Bartoš");
    EXPECT_FALSE(table->controlsDisabled());
    // Every move of the walks, the return to the mark included, was made with the display suspended.
    EXPECT_GT(moves, 0);
    EXPECT_EQ(movesShown, 0);
    table->afterScroll.disconnect(connection);
}

// A note wider than the page goes on at the left edge of the next line, without a label.
TEST_F(AddressLinesTest, LongNoteContinuesOnTheNextLine)
{
    fakes.printer.setMetrics(10, 20, 300, 100000); // 30 characters per line
    add({"Novák", "", "", "", std::string(25, 'x') + "yyyyyyyyyy"});
    reports::printAddressLines(*table, out, font, reports::AddressLines::AllFields);
    const platform::PrintJob job = fakes.printer.lastJob();
    EXPECT_EQ(job.pageLines(1).mid(4),
              (QStringList{"POZNÁMKA:  " + QString(19, 'x'), QString(6, 'x') + "yyyyyyyyyy"}));
    EXPECT_EQ(job.texts.last().x, 0);
}

// A walk that fails midway still returns to the mark and ends the job.
TEST_F(AddressLinesTest, FailedWalkStillReturnsAndEndsTheJob)
{
    add({"Adámek", "", "", "", ""});
    add({"Bartoš", "", "", "", ""});
    table->first();
    const int connection = table->afterScroll.connect([&] {
        if (table->text("Příjmení") == "Bartoš" && table->controlsDisabled())
            throw std::runtime_error("disk failed");
    });
    EXPECT_THROW(reports::printAddressLines(*table, out, font, reports::AddressLines::AllFields),
                 std::runtime_error);
    table->afterScroll.disconnect(connection);
    EXPECT_TRUE(fakes.printer.lastJob().finished);
    EXPECT_EQ(table->text("Příjmení"), "Adámek");
    EXPECT_FALSE(table->controlsDisabled());
}

// A record being typed is saved first and stays the current one afterwards;
// a new record with nothing typed is dropped.
TEST_F(AddressLinesTest, PendingRecordIsSavedAndStaysCurrent)
{
    add({"Adámek", "", "", "", ""});
    add({"Bartoš", "", "", "", ""});
    table->last();
    table->insert();
    table->setText("Příjmení", "Beneš");
    reports::printAddressLines(*table, out, font, reports::AddressLines::AllFields);
    EXPECT_EQ(fakes.printer.lastJob().pageLines(1).size(), 3 * 6 - 1);
    EXPECT_EQ(table->state(), store::CursorState::Browse);
    EXPECT_EQ(table->text("Příjmení"), "Beneš");

    table->first();
    table->insert();
    reports::printAddressLines(*table, out, font, reports::AddressLines::AllFields);
    EXPECT_EQ(table->recordCount(), 3);
    EXPECT_EQ(table->text("Příjmení"), "Adámek");
}

// No printer: nothing moves, nothing is suspended, the error goes to the caller.
TEST_F(AddressLinesTest, NoPrinterLeavesTheTableAlone)
{
    add({"Adámek", "", "", "", ""});
    add({"Bartoš", "", "", "", ""});
    table->last();
    fakes.printer.setAvailable(false);
    EXPECT_THROW(reports::printAddressLines(*table, out, font, reports::AddressLines::AllFields),
                 reports::PrintError);
    EXPECT_EQ(table->text("Příjmení"), "Bartoš");
    EXPECT_FALSE(table->controlsDisabled());
}

// Cancelled in the progress dialog, the printing stops, the job ends with the
// blocks printed so far and the table returns to its mark.
TEST_F(AddressLinesTest, CancelledPrintingEndsTheJobOnTheMark)
{
    for (int i = 0; i < 300; ++i)
        add({"Novák " + std::to_string(1000 + i), "", "", "", ""});
    table->first();
    table->next();
    fakes.progress.cancelAt(1);
    reports::printAddressLines(*table, out, font, reports::AddressLines::AllFields);
    const platform::PrintJob job = fakes.printer.lastJob();
    EXPECT_TRUE(job.finished);
    EXPECT_EQ(job.pageLines(1).size(), 255 * 6 - 1);
    EXPECT_EQ(job.pageLines(1).last(), QStringLiteral("POZNÁMKA:  "));
    ASSERT_EQ(fakes.progress.steps().size(), 1);
    const platform::FakeProgress::Step step = fakes.progress.steps().last();
    EXPECT_EQ(step.label, QStringLiteral("Tisknou se záznamy…"));
    EXPECT_EQ(step.done, 256);
    EXPECT_EQ(step.total, 300);
    EXPECT_EQ(table->text("Příjmení"), "Novák 1001");
    EXPECT_FALSE(table->controlsDisabled());
}

} // namespace
