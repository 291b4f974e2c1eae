// The address book's line printing into the PDF file a printer would get,
// read back: the real canvas draws most texts from a table of glyphs, a
// page's texts in one run, and hands the rest to the shaping engine.

#include "ReportFixture.h"

#include "reports/AddressLines.h"
#include "reports/TextPrinter.h"

#include "platform/RealServices.h"

#include <QRegularExpression>

namespace {

QString collapsed(QString line)
{
    return line.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
}

class LinePrintingPdfTest : public reporttest::ReportTest {};

// Catches texts lost or doubled at a page break (a page's run drawn on the
// next page, or never), characters that do not survive into the file, and
// a text the glyph table cannot draw (a symbol from another font) missing.
TEST_F(LinePrintingPdfTest, ReadsBackInOrderAcrossPages)
{
    std::vector<reporttest::Address> addresses = reporttest::manyAddresses();
    addresses.push_back({"Zvonař", "Ludmila", "Třebíč", "☎ 568 111 222", "„nejlepší“ – ověřeno"});
    store::Cursor& cursor = openAddresses(addresses);

    platform::QtPrinter printer;
    const QString file = tempPath(QStringLiteral("adresy.pdf"));
    printer.qprinter()->setOutputFormat(QPrinter::PdfFormat);
    printer.qprinter()->setOutputFileName(file);
    reports::TextPrinter out(printer);
    reports::printAddressLines(cursor, out, QFont(QStringLiteral("Liberation Sans"), 8),
                               reports::AddressLines::AllFields);
    const std::optional<QStringList> pages = reporttest::pdfPages(file);
    if (!pages)
        GTEST_SKIP() << "pdftotext is not installed";
    ASSERT_EQ(pages->size(), out.page());

    // The font of 8 points gives some 80 lines a page: several pages.
    ASSERT_GE(pages->size(), 2);
    QStringList printed;
    for (const QString& page : *pages) {
        const QStringList lines = reporttest::textLines(page);
        EXPECT_FALSE(lines.isEmpty());
        for (const QString& line : lines)
            printed << collapsed(line);
    }
    QStringList expected;
    for (cursor.first(); !cursor.eof(); cursor.next()) {
        int field = 0;
        for (const char* name : {"Příjmení", "Jméno", "Adresa", "Telefon", "Poznámka"}) {
            expected << collapsed(reports::addressLabel(field++) +
                                  QString::fromStdString(cursor.text(name)))
                            .trimmed();
        }
    }
    EXPECT_EQ(printed, expected);
}

} // namespace
