// Both address book layouts pinned band by band and text by text: a changed
// height, colour, size, weight or position of any of them fails here, where
// the read-back tests would still find the texts on the page.

#include "reports/AddressReports.h"
#include "reports/ReportLayout.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QString>

#include <vector>

namespace {

using reports::BandKind;
using reports::ItemContent;

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kGreen(0, 128, 0);
const QColor kMaroon(128, 0, 0);
const QColor kPurple(128, 0, 128);
const QColor kSilver(192, 192, 192);
const QColor kLightYellow(255, 255, 225); // the tooltip background
const QColor kLightGrey(227, 227, 227);   // the three-dimensional light colour

struct Text {
    ItemContent content;
    const char* text; // a label's text or a field's name; empty for the date and page
    double x, y;
    double points;
    bool bold;
    QColor colour;
};

struct Band {
    BandKind kind;
    double height;
    QColor background;
    std::vector<Text> texts;
};

struct LayoutCase {
    const char* name;
    reports::ReportLayout (*layout)();
    std::vector<Band> bands;
};

constexpr ItemContent L = ItemContent::Label;
constexpr ItemContent F = ItemContent::Field;
constexpr ItemContent First = ItemContent::FirstCharacter;
constexpr ItemContent Date = ItemContent::PrintDate;
constexpr ItemContent Page = ItemContent::PageNumber;
constexpr bool B = true;
constexpr bool P = false;

const LayoutCase kFull{
    "Full",
    &reports::fullAddressLayout,
    {{BandKind::Title, 13.5, kWhite,
      {{L, "PROGRAM PELMIR S TELEFONNÍMI ČÍSLY", 16.9, 2.1, 20, B, kRed}}},
     {BandKind::ColumnHeader, 12.7, kBlue,
      {{L, "Příjmení", 2.1, 0.3, 11, B, kWhite},
       {L, "Poznámka", 52.9, 0.3, 11, B, kWhite},
       {L, "Jméno", 2.1, 6.3, 11, B, kWhite},
       {L, "Adresa", 52.9, 6.3, 11, B, kWhite},
       {L, "Telefon", 146.1, 5.3, 11, B, kWhite}}},
     {BandKind::GroupHeader, 5.3, kLightGrey, {{First, "Příjmení", 2.1, 0, 11, B, kPurple}}},
     {BandKind::Detail, 18.0, kLightYellow,
      {{F, "Příjmení", 2.1, 0, 10, B, kRed},
       {F, "Poznámka", 52.9, 0, 10, P, kRed},
       {F, "Jméno", 2.1, 5.8, 10, P, kMaroon},
       {F, "Adresa", 52.9, 5.8, 10, P, kBlue},
       {F, "Telefon", 146.1, 5.3, 12, P, kBlack}}},
     {BandKind::PageFooter, 6.3, kLightYellow,
      {{Date, "", 2.1, 0.5, 10, P, kGreen}, {Page, "", 88.9, 0.5, 10, P, kGreen}}}}};

const LayoutCase kShort{
    "Short",
    &reports::shortAddressLayout,
    {{BandKind::Title, 13.5, kLightGrey, {{L, "JMÉNA A TELEFONY", 58.7, 2.1, 20, B, kRed}}},
     {BandKind::ColumnHeader, 9.5, kGreen,
      {{L, "Příjmení", 4.2, 2.1, 14, B, kWhite},
       {L, "Jméno", 65.6, 2.1, 14, B, kWhite},
       {L, "Telefon", 129.1, 2.1, 14, B, kWhite}}},
     {BandKind::GroupHeader, 5.3, kSilver, {{First, "Příjmení", 2.1, 0, 12, B, kRed}}},
     {BandKind::Detail, 10.6, kLightGrey,
      {{F, "Příjmení", 4.2, 1.6, 11, B, kBlue},
       {F, "Jméno", 65.6, 1.6, 11, P, kBlue},
       {F, "Telefon", 129.1, 1.6, 14, B, kRed}}},
     {BandKind::PageFooter, 6.3, kLightGrey,
      {{Date, "", 4.2, 0.5, 10, P, kGreen}, {Page, "", 88.9, 0.5, 10, P, kGreen}}}}};

class ReportLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(ReportLayoutTest, EveryBandAndTextIsWhereTheReportPutsIt)
{
    const reports::ReportLayout layout = GetParam().layout();
    // A4 portrait with 10 mm margins: bands 190 mm wide.
    EXPECT_EQ(layout.page.widthMm, 210.0);
    EXPECT_EQ(layout.page.heightMm, 297.0);
    EXPECT_EQ(layout.page.contentWidthMm(), 190.0);
    EXPECT_EQ(layout.page.topMm, 10.0);
    EXPECT_EQ(layout.page.bottomMm, 10.0);

    const std::vector<Band>& expected = GetParam().bands;
    ASSERT_EQ(layout.bands.size(), expected.size());
    for (std::size_t b = 0; b < expected.size(); ++b) {
        const reports::ReportBand& band = layout.bands[b];
        SCOPED_TRACE("band " + std::to_string(b));
        EXPECT_EQ(band.kind, expected[b].kind);
        EXPECT_EQ(band.heightMm, expected[b].height);
        EXPECT_EQ(band.background, expected[b].background);
        EXPECT_EQ(band.groupField,
                  band.kind == BandKind::GroupHeader ? QStringLiteral("Příjmení") : QString());
        ASSERT_EQ(band.items.size(), expected[b].texts.size());
        for (std::size_t i = 0; i < band.items.size(); ++i) {
            const reports::ReportItem& item = band.items[i];
            const Text& want = expected[b].texts[i];
            SCOPED_TRACE("text " + std::to_string(i) + " " + want.text);
            EXPECT_EQ(item.content, want.content);
            EXPECT_EQ(item.text, QString::fromUtf8(want.text));
            EXPECT_EQ(item.xMm, want.x);
            EXPECT_EQ(item.yMm, want.y);
            EXPECT_EQ(item.font.family, QStringLiteral("Arial"));
            EXPECT_EQ(item.font.pointSize, want.points);
            EXPECT_EQ(item.font.bold, want.bold);
            EXPECT_EQ(item.colour, want.colour);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Reports, ReportLayoutTest, ::testing::Values(kFull, kShort),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
