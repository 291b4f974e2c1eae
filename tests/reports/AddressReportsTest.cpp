// The two address book reports: what their pages show, read back from a PDF
// file, and where their bands and colours land on the sheet.

#include "ReportFixture.h"

#include "reports/AddressReports.h"
#include "reports/ReportEngine.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>

namespace {

using reports::PreparedReport;
using reports::ReportLayout;

struct ReportCase {
    const char* name;
    ReportLayout (*layout)();
    QString title;
    bool showsAddresses;
};

class AddressReportPdfTest : public reporttest::ReportTest,
                             public ::testing::WithParamInterface<ReportCase> {};

// Read back from the file a printer would get: catches a lost or doubled
// record at a page break, a title repeated on later pages, a page without
// its column header or footer, a group header per record, Czech letters
// that do not survive into the PDF.
TEST_P(AddressReportPdfTest, PagesReadBackAsLaidOut)
{
    const std::vector<reporttest::Address> addresses = reporttest::manyAddresses();
    store::Cursor& cursor = openAddresses(addresses);
    const auto report = reports::prepare(GetParam().layout(), cursor, QStringLiteral("5.3.2025"));
    ASSERT_TRUE(report);
    const QString file = tempPath(QStringLiteral("report.pdf"));
    ASSERT_TRUE(reports::writePdf(*report, file));
    const std::optional<QStringList> pages = reporttest::pdfPages(file);
    if (!pages)
        GTEST_SKIP() << "pdftotext is not installed";
    ASSERT_EQ(pages->size(), report->pageCount());
    ASSERT_GE(pages->size(), 2);

    QStringList all;
    for (int page = 0; page < pages->size(); ++page) {
        const QStringList lines = reporttest::textLines(pages->at(page));
        ASSERT_GE(lines.size(), 3);
        SCOPED_TRACE(
            QStringLiteral("page %1:\n%2").arg(page + 1).arg(lines.join('\n')).toStdString());
        EXPECT_EQ(lines.first() == GetParam().title, page == 0);
        EXPECT_EQ(lines.count(GetParam().title), page == 0 ? 1 : 0);
        const QString header = lines.at(page == 0 ? 1 : 0);
        EXPECT_TRUE(header.startsWith(QStringLiteral("Příjmení"))) << header.toStdString();
        EXPECT_TRUE(lines.join(' ').contains(QStringLiteral("Telefon")));
        const QRegularExpression footer(QStringLiteral("^5\\.3\\.2025\\s+%1$").arg(page + 1));
        EXPECT_TRUE(footer.match(lines.last()).hasMatch()) << lines.last().toStdString();
        all << lines;
    }

    const QString text = all.join('\n');
    for (const reporttest::Address& address : addresses) {
        const QString surname = QString::fromStdString(address.surname);
        EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("\\b%1\\b").arg(surname),
                                                QRegularExpression::UseUnicodePropertiesOption)),
                  1)
            << address.surname;
        EXPECT_TRUE(text.contains(QString::fromStdString(address.phone))) << address.phone;
    }
    EXPECT_LT(text.indexOf(QStringLiteral("Adámek")), text.indexOf(QStringLiteral("Bartoš")));
    EXPECT_LT(text.indexOf(QStringLiteral("Bartoš")), text.indexOf(QStringLiteral("Beneš")));
    for (const char* initial : {"A", "B", "Č", "Ř", "Š", "Ž"})
        EXPECT_EQ(all.count(QString::fromUtf8(initial)), 1) << initial;
    EXPECT_EQ(text.contains(QStringLiteral("Ústí nad Labem, Žižkova 7")),
              GetParam().showsAddresses);
    EXPECT_EQ(text.contains(QStringLiteral("kolega z práce")), GetParam().showsAddresses);
    EXPECT_TRUE(text.contains(QStringLiteral("Šárka")));
}

INSTANTIATE_TEST_SUITE_P(
    Reports, AddressReportPdfTest,
    ::testing::Values(ReportCase{"Full", &reports::fullAddressLayout,
                                 QStringLiteral("PROGRAM PELMIR S TELEFONNÍMI ČÍSLY"), true},
                      ReportCase{"Short", &reports::shortAddressLayout,
                                 QStringLiteral("JMÉNA A TELEFONY"), false}),
    [](const ::testing::TestParamInfo<ReportCase>& info) { return info.param.name; });

class AddressReportTest : public reporttest::ReportTest {};

// An address longer than its column is cut short with an ellipsis instead
// of printing over the telephone number beside it.
TEST_F(AddressReportTest, LongAddressEndsBeforeTheTelephone)
{
    const std::string address =
        "Praha 10 - Strašnice, Černokostelecká 1234/56, zadní vchod, třetí patro vpravo";
    store::Cursor& cursor = openAddresses({{"Dlouhý", "Jan", address, "602 999 888", ""}});
    const auto report = reports::prepare(reports::fullAddressLayout(), cursor, {});
    ASSERT_TRUE(report);
    const QString file = tempPath(QStringLiteral("long.pdf"));
    ASSERT_TRUE(reports::writePdf(*report, file));
    const std::optional<QStringList> pages = reporttest::pdfPages(file);
    if (!pages)
        GTEST_SKIP() << "pdftotext is not installed";
    ASSERT_EQ(pages->size(), 1);
    const QStringList lines = reporttest::textLines(pages->first());
    const QStringList withPhone = lines.filter(QStringLiteral("602 999 888"));
    ASSERT_EQ(withPhone.size(), 1) << lines.join('\n').toStdString();
    EXPECT_TRUE(withPhone.first().contains(QStringLiteral("Praha 10 - Strašnice")));
    EXPECT_TRUE(withPhone.first().contains(QChar(0x2026))) << withPhone.first().toStdString();
    EXPECT_FALSE(pages->first().contains(QStringLiteral("vpravo")));
}

// A rectangle of the sheet in millimetres and the colour that must fill it
// (a band's background) or appear in it (an item's text).
struct Paint {
    double left, top, right, bottom;
    QColor colour;
    bool fills;
};

bool paintedAs(const QImage& image, const Paint& paint)
{
    const auto px = [](double mm) { return qRound(mm / 25.4 * 100); };
    bool any = false;
    for (int y = px(paint.top); y < px(paint.bottom); ++y)
        for (int x = px(paint.left); x < px(paint.right); ++x) {
            const bool same = image.pixelColor(x, y) == paint.colour;
            if (paint.fills && !same)
                return false;
            any = any || same;
        }
    return any;
}

struct PictureCase {
    const char* name;
    ReportLayout (*layout)();
    std::vector<Paint> paints;
};

class AddressReportPictureTest : public reporttest::ReportTest,
                                 public ::testing::WithParamInterface<PictureCase> {};

const QColor kLightYellow(0xFF, 0xFF, 0xE1);
const QColor kLightGrey(0xE3, 0xE3, 0xE3);

// The first page of each report at 100 dpi: the bands follow each other from
// the 10 mm margin at their heights and colours, the items in their colours
// where the layout puts them, the footer at the bottom margin. Set
// PELMIR_REPORT_PNG_DIR to keep the pictures for a look.
TEST_P(AddressReportPictureTest, FirstPageBandsAndColours)
{
    store::Cursor& cursor = openAddresses(reporttest::manyAddresses());
    const auto report = reports::prepare(GetParam().layout(), cursor, QStringLiteral("5.3.2025"));
    ASSERT_TRUE(report);
    const QImage image = reports::renderPage(*report, 0, 100);
    if (const QByteArray dir = qgetenv("PELMIR_REPORT_PNG_DIR"); !dir.isEmpty())
        image.save(
            QDir(QString::fromLocal8Bit(dir))
                .filePath(QStringLiteral("%1.png").arg(QString::fromLatin1(GetParam().name))));
    for (const Paint& paint : GetParam().paints)
        EXPECT_TRUE(paintedAs(image, paint))
            << (paint.fills ? "fill " : "text ") << paint.colour.name().toStdString() << " at "
            << paint.left << "," << paint.top << " - " << paint.right << "," << paint.bottom;
}

INSTANTIATE_TEST_SUITE_P(Reports, AddressReportPictureTest,
                         ::testing::Values(
                             // Sheet millimetres: title 10-23.5, column header -36.2, group A
                             // -41.5, Adámek -59.5, group B -64.8; footer 280.7-287.
                             PictureCase{"Full",
                                         &reports::fullAddressLayout,
                                         {{5, 5, 205, 9.5, Qt::white, true},
                                          {185, 11, 199.5, 23, Qt::white, true},
                                          {27, 12, 60, 20, Qt::red, false},
                                          {10.5, 24, 199.5, 35.7, Qt::blue, false},
                                          {190, 24, 199.5, 35.7, Qt::blue, true},
                                          {12, 24, 30, 28.5, Qt::white, false},
                                          {156, 29, 170, 33, Qt::white, false},
                                          {150, 37, 199.5, 41, kLightGrey, true},
                                          {12, 36.3, 16, 40, QColor(0x80, 0x00, 0x80), false},
                                          {170, 42, 199.5, 46, kLightYellow, true},
                                          {12, 41.6, 30, 45, Qt::red, false},
                                          {12, 47.5, 30, 51, QColor(0x80, 0x00, 0x00), false},
                                          {63, 47.5, 90, 51, Qt::blue, false},
                                          {156, 47, 180, 51.5, Qt::black, false},
                                          {20, 59.6, 199.5, 64.7, kLightGrey, false},
                                          {150, 281, 199.5, 286.8, kLightYellow, true},
                                          {12, 281, 30, 285, QColor(0x00, 0x80, 0x00), false},
                                          {98.5, 281, 102, 285, QColor(0x00, 0x80, 0x00), false},
                                          {5, 287.5, 205, 292, Qt::white, true}}},
                             // Title 10-23.5, column header -33, group A -38.3, Adámek -48.9.
                             PictureCase{"Short",
                                         &reports::shortAddressLayout,
                                         {{5, 5, 205, 9.5, Qt::white, true},
                                          {150, 11, 199.5, 23, kLightGrey, true},
                                          {69, 12, 140, 20, Qt::red, false},
                                          {170, 24, 199.5, 32.5, QColor(0x00, 0x80, 0x00), true},
                                          {15, 25, 35, 31, Qt::white, false},
                                          {140, 25, 165, 31, Qt::white, false},
                                          {150, 33.5, 199.5, 38, QColor(0xC0, 0xC0, 0xC0), true},
                                          {12, 33.1, 16, 37.5, Qt::red, false},
                                          {170, 38.5, 199.5, 48.5, kLightGrey, true},
                                          {15, 40, 35, 45, Qt::blue, false},
                                          {140, 40, 170, 46, Qt::red, false},
                                          {150, 281, 199.5, 286.8, kLightGrey, true},
                                          {15, 281, 30, 285, QColor(0x00, 0x80, 0x00), false}}}),
                         [](const ::testing::TestParamInfo<PictureCase>& info) {
                             return info.param.name;
                         });

} // namespace
