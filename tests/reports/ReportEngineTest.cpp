// The banded report engine on small layouts: where bands land, what they
// show, how the data set is walked, and what painting keeps apart.

#include "ReportFixture.h"

#include "reports/AddressReports.h"
#include "reports/ReportEngine.h"

#include "store/Errors.h"

#include <QImage>

namespace {

using reports::BandKind;
using reports::ItemContent;
using reports::PreparedReport;
using reports::ReportBand;
using reports::ReportItem;
using reports::ReportLayout;
using reporttest::Address;

ReportItem item(ItemContent content, const QString& text = {}, double x = 0, double y = 0)
{
    ReportItem result;
    result.content = content;
    result.text = text;
    result.xMm = x;
    result.yMm = y;
    return result;
}

ReportBand band(BandKind kind, double height, std::vector<ReportItem> items)
{
    ReportBand result;
    result.kind = kind;
    result.heightMm = height;
    result.items = std::move(items);
    if (kind == BandKind::GroupHeader)
        result.groupField = QStringLiteral("Příjmení");
    return result;
}

// A 100 x 100 mm page with 10 mm margins: 80 mm of content, the title and
// column header take 20 of it, the footer the last 10, so 50 mm are left
// for records on the first page (two groups of one record) and 60 on the others.
ReportLayout smallLayout()
{
    ReportLayout layout;
    layout.name = QStringLiteral("Zkouška");
    layout.page.widthMm = 100;
    layout.page.heightMm = 100;
    layout.bands = {
        band(BandKind::Title, 10, {item(ItemContent::Label, QStringLiteral("TITUL"))}),
        band(BandKind::ColumnHeader, 10, {item(ItemContent::Label, QStringLiteral("HLAVA"))}),
        band(BandKind::GroupHeader, 5,
             {item(ItemContent::FirstCharacter, QStringLiteral("Příjmení"))}),
        band(BandKind::Detail, 20,
             {item(ItemContent::Field, QStringLiteral("Příjmení")),
              item(ItemContent::Field, QStringLiteral("Telefon"), 40)}),
        band(BandKind::PageFooter, 10,
             {item(ItemContent::PrintDate), item(ItemContent::PageNumber, {}, 40)}),
    };
    return layout;
}

// One line per placed band: its kind, its top and the texts it shows.
QStringList describePage(const PreparedReport& report, int page)
{
    static const char* const kinds[] = {"T", "C", "G", "D", "F"};
    QStringList lines;
    for (const reports::PlacedBand& placed : report.pages().at(page).bands) {
        const ReportBand& band = report.layout().bands.at(placed.band);
        QStringList texts;
        for (std::size_t i = 0; i < band.items.size(); ++i)
            texts << report.itemText(placed, i, page);
        lines << QStringLiteral("%1@%2 %3")
                     .arg(QLatin1String(kinds[static_cast<int>(band.kind)]))
                     .arg(placed.topMm)
                     .arg(texts.join(QChar('|')));
    }
    return lines;
}

std::vector<Address> people(const std::vector<std::string>& surnames)
{
    std::vector<Address> result;
    int n = 0;
    for (const std::string& surname : surnames)
        result.push_back({surname, "", "", "60" + std::to_string(++n), ""});
    return result;
}

struct PaginationCase {
    const char* name;
    std::vector<std::string> surnames;
    std::vector<QStringList> pages;
};

class PaginationTest : public reporttest::ReportTest,
                       public ::testing::WithParamInterface<PaginationCase> {};

// Catches bands on the wrong page or at the wrong height: the title on a
// later page, a page without its column header or footer, a footer that
// follows the last record instead of the page's bottom, a group header for
// every record or cut off from its record.
TEST_P(PaginationTest, PlacesBandsPageByPage)
{
    store::Cursor& cursor = openAddresses(people(GetParam().surnames));
    const std::optional<PreparedReport> report =
        reports::prepare(smallLayout(), cursor, QStringLiteral("5.3.2025"));
    ASSERT_TRUE(report);
    ASSERT_EQ(report->pageCount(), static_cast<int>(GetParam().pages.size()));
    for (int page = 0; page < report->pageCount(); ++page)
        EXPECT_EQ(describePage(*report, page), GetParam().pages[page]) << "page " << page + 1;
}

INSTANTIATE_TEST_SUITE_P(
    Engine, PaginationTest,
    ::testing::Values(
        PaginationCase{
            "OneRecord",
            {"Adámek"},
            {{"T@0 TITUL", "C@10 HLAVA", "G@20 A", "D@25 Adámek|601", "F@70 5.3.2025|1"}}},
        // B starts once for both of its records; Beneš does not fit and
        // goes to the next page, below that page's column header.
        PaginationCase{"BandMovesToNextPage",
                       {"Adámek", "Bartoš", "Beneš"},
                       {{"T@0 TITUL", "C@10 HLAVA", "G@20 A", "D@25 Adámek|601", "G@45 B",
                         "D@50 Bartoš|602", "F@70 5.3.2025|1"},
                        {"C@0 HLAVA", "D@10 Beneš|603", "F@70 5.3.2025|2"}}},
        // Room is left for B's header but not for its record: both move on.
        PaginationCase{"GroupHeaderStaysWithItsRecord",
                       {"Adámek", "Aleš", "Bartoš"},
                       {{"T@0 TITUL", "C@10 HLAVA", "G@20 A", "D@25 Adámek|601", "D@45 Aleš|602",
                         "F@70 5.3.2025|1"},
                        {"C@0 HLAVA", "G@10 B", "D@15 Bartoš|603", "F@70 5.3.2025|2"}}},
        // The first character is a whole letter, not the first byte of "Č".
        PaginationCase{"CzechInitials",
                       {"Čech", "Čáp", "Šíma"},
                       {{"T@0 TITUL", "C@10 HLAVA", "G@20 Č", "D@25 Čáp|602", "D@45 Čech|601",
                         "F@70 5.3.2025|1"},
                        {"C@0 HLAVA", "G@10 Š", "D@15 Šíma|603", "F@70 5.3.2025|2"}}}),
    [](const ::testing::TestParamInfo<PaginationCase>& info) { return info.param.name; });

class CountingObserver : public store::DisplayObserver {
public:
    void displayChanged(store::DisplayChange) override { ++changes; }
    int changes = 0;
};

class ReportWalkTest : public reporttest::ReportTest {};

// The report walks the caller's cursor without a mark: it must end on the
// last record, with the display suspended during the walk and resumed once.
TEST_F(ReportWalkTest, LeavesTheCursorOnTheLastRecordWithTheDisplayResumed)
{
    store::Cursor& cursor = openAddresses(people({"Adámek", "Bartoš", "Beneš"}));
    CountingObserver observer;
    cursor.addObserver(&observer);
    int progressCalls = 0;
    int lastDone = -1;
    const auto report = reports::prepare(smallLayout(), cursor, {}, [&](int done, int total) {
        ++progressCalls;
        EXPECT_EQ(total, 3);
        EXPECT_GE(done, lastDone);
        lastDone = done;
        EXPECT_EQ(observer.changes, 0) << "the display was not suspended";
        return true;
    });
    cursor.removeObserver(&observer);
    ASSERT_TRUE(report);
    EXPECT_EQ(cursor.text("Příjmení"), "Beneš");
    EXPECT_FALSE(cursor.controlsDisabled());
    EXPECT_EQ(observer.changes, 1);
    EXPECT_GE(progressCalls, 2);
    EXPECT_EQ(lastDone, 3);
}

TEST_F(ReportWalkTest, EmptyTablePreparesNoPage)
{
    store::Cursor& cursor = openAddresses({});
    const auto report = reports::prepare(smallLayout(), cursor, {});
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->empty());
    EXPECT_FALSE(cursor.controlsDisabled());
}

// A walk that fails must not leave the grid frozen.
TEST_F(ReportWalkTest, FailedWalkResumesTheDisplay)
{
    store::Cursor& cursor = openAddresses(people({"Adámek"}));
    ReportLayout layout = smallLayout();
    layout.bands[3].items.push_back(item(ItemContent::Field, QStringLiteral("Fax")));
    EXPECT_THROW(reports::prepare(layout, cursor, {}), store::StoreError);
    EXPECT_FALSE(cursor.controlsDisabled());
}

TEST_F(ReportWalkTest, CancelledProgressPreparesNothing)
{
    store::Cursor& cursor = openAddresses(people({"Adámek", "Bartoš"}));
    const auto report = reports::prepare(smallLayout(), cursor, {}, [](int, int) { return false; });
    EXPECT_FALSE(report);
    EXPECT_FALSE(cursor.controlsDisabled());
}

// Printing from the preview prints what was prepared, whatever the table
// holds by then.
TEST_F(ReportWalkTest, PreparedPagesAreASnapshot)
{
    store::Cursor& cursor = openAddresses(people({"Adámek", "Bartoš"}));
    const auto report = reports::prepare(smallLayout(), cursor, QStringLiteral("5.3.2025"));
    ASSERT_TRUE(report);
    cursor.first();
    cursor.edit();
    cursor.setText("Telefon", "999");
    cursor.post();
    cursor.last();
    cursor.remove();
    EXPECT_EQ(describePage(*report, 0).mid(2, 4),
              (QStringList{"G@20 A", "D@25 Adámek|601", "G@45 B", "D@50 Bartoš|602"}));
}

TEST(FirstCharacter, TakesAWholeCodePoint)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},    {"Adámek", "A"}, {"Čermák", "Č"}, {"Žák", "Ž"},
        {"ňa", "ň"}, {"€uro", "€"},   {"𝒜bc", "𝒜"},    {"a", "a"},
    };
    for (const auto& [text, first] : cases)
        EXPECT_EQ(reports::firstCharacter(text), first) << text;
}

// An item may use the band up to its right edge, or up to an item on its
// line to its right (less a small gap); items on other lines do not limit it.
TEST(ItemWidthLimit, StopsAtTheBandEdgeOrTheNextItemOnTheLine)
{
    const ReportLayout layout = reports::fullAddressLayout();
    const ReportBand& detail = layout.bands.at(layout.bandIndex(BandKind::Detail));
    const double width = layout.page.contentWidthMm();
    ASSERT_DOUBLE_EQ(width, 190.0);
    const std::pair<QString, double> cases[] = {
        {QStringLiteral("Příjmení"), 52.9 - 2.1 - 1.0}, // runs into Poznámka
        {QStringLiteral("Poznámka"), 190.0 - 52.9},     // Telefon is on the line below
        {QStringLiteral("Jméno"), 52.9 - 2.1 - 1.0},    // runs into Adresa
        {QStringLiteral("Adresa"), 146.1 - 52.9 - 1.0}, // runs into Telefon, 0.5 mm higher
        {QStringLiteral("Telefon"), 190.0 - 146.1},     // the band's right edge
    };
    for (const auto& [field, limit] : cases) {
        std::size_t index = 0;
        while (index < detail.items.size() && detail.items[index].text != field)
            ++index;
        ASSERT_LT(index, detail.items.size()) << field.toStdString();
        EXPECT_NEAR(reports::itemWidthLimitMm(detail, index, width), limit, 1e-9)
            << field.toStdString();
    }
}

// Whether any pixel in the rectangle (millimetres at 100 dpi) is darker than
// the paper.
bool inkIn(const QImage& image, double leftMm, double rightMm, double topMm, double bottomMm)
{
    const auto px = [](double mm) { return qRound(mm / 25.4 * 100); };
    for (int y = px(topMm); y < px(bottomMm); ++y)
        for (int x = px(leftMm); x < px(rightMm); ++x)
            if (qGray(image.pixel(x, y)) < 200)
                return true;
    return false;
}

class ReportPaintTest : public reporttest::ReportTest {};

// Long texts are elided: one that would run into the item on its right
// leaves the gap before it blank, one that would run past the band leaves
// the page margin blank.
TEST_F(ReportPaintTest, LongTextsStopBeforeTheNextItemAndTheBandEdge)
{
    // As long as the field takes (30 characters), far wider than its item.
    const std::string longText(30, 'W');
    store::Cursor& cursor = openAddresses({{"Adámek", "", "", longText, ""}});
    ReportLayout layout = smallLayout();
    ReportBand& detail = layout.bands[3];
    detail.items = {item(ItemContent::Field, QStringLiteral("Telefon"), 0, 0),
                    item(ItemContent::Label, QStringLiteral("X"), 40, 0),
                    item(ItemContent::Field, QStringLiteral("Telefon"), 50, 10)};
    const auto report = reports::prepare(layout, cursor, {});
    ASSERT_TRUE(report);
    const QImage image = reports::renderPage(*report, 0, 100);
    ASSERT_EQ(image.width(), qRound(100 / 25.4 * 100));
    // The detail band is at 25..45 mm from the page's content top, 35..55 from the sheet's.
    const double top = 10 + 25;
    EXPECT_TRUE(inkIn(image, 10, 30, top, top + 5)) << "the long text is not painted at all";
    EXPECT_TRUE(inkIn(image, 50, 52, top, top + 5)) << "the label is not painted";
    EXPECT_FALSE(inkIn(image, 49.2, 49.9, top, top + 5)) << "runs into the label";
    EXPECT_TRUE(inkIn(image, 60, 89, top + 10, top + 15)) << "the second text is not painted";
    EXPECT_FALSE(inkIn(image, 90.2, 100, top + 10, top + 15)) << "runs past the band";
}

} // namespace
