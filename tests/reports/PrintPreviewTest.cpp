// The report windows and the modal preview, driven as a user drives them:
// the menu's Preview(), then the preview's buttons and keys.

#include "ReportFixture.h"

#include "reports/AddressReports.h"
#include "reports/PrintPreview.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

using reports::PrintPreview;

QToolButton* button(QDialog& dialog, const char* name)
{
    auto* found = dialog.findChild<QToolButton*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void click(QDialog& dialog, const char* name)
{
    if (QToolButton* target = button(dialog, name))
        QTest::mouseClick(target, Qt::LeftButton);
}

QString pageLabel(QDialog& dialog)
{
    auto* label = dialog.findChild<QLabel*>(QStringLiteral("LabelPage"));
    return label ? label->text() : QString();
}

QString zoomLabel(QDialog& dialog)
{
    auto* label = dialog.findChild<QLabel*>(QStringLiteral("LabelZoom"));
    return label ? label->text() : QString();
}

void activate(QDialog& dialog)
{
    QApplication::setActiveWindow(&dialog);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
}

class PrintPreviewTest : public reporttest::ReportTest {
protected:
    reports::TReportForm& fullReport()
    {
        if (!m_full)
            m_full = std::make_unique<reports::TReportForm>(addresses());
        return *m_full;
    }

    std::unique_ptr<reports::TReportForm> m_full;
};

TEST_F(PrintPreviewTest, ReportWindowsAreHiddenWithTheirCaptions)
{
    store::Cursor& cursor = openAddresses({});
    const reports::TReportForm full(cursor);
    const reports::TReport1Form brief(cursor);
    EXPECT_EQ(full.windowTitle(), QStringLiteral("Adresář - celá sestava"));
    EXPECT_EQ(full.objectName(), QStringLiteral("ReportForm"));
    EXPECT_EQ(brief.windowTitle(), QStringLiteral("Adresář - zkrácená sestava"));
    EXPECT_EQ(brief.objectName(), QStringLiteral("Report1Form"));
    EXPECT_FALSE(full.isVisible());
    EXPECT_FALSE(brief.isVisible());
    EXPECT_TRUE(full.isWindow());
}

// The preview pages through the prepared report by buttons and keys, and
// after it the cursor stands on the last address.
TEST_F(PrintPreviewTest, PagesByButtonsAndKeysThenLeavesTheLastAddressCurrent)
{
    openAddresses(reporttest::manyAddresses());
    bool seen = false;
    reporttest::whenModalShown([&](QDialog& dialog) {
        seen = true;
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Print Preview"));
        EXPECT_EQ(dialog.objectName(), QStringLiteral("PrintPreview"));
        EXPECT_NE(qobject_cast<PrintPreview*>(&dialog), nullptr);
        EXPECT_EQ(pageLabel(dialog), QStringLiteral("Strana 1 z 3"));
        EXPECT_FALSE(button(dialog, "ButtonPrior")->isEnabled());
        click(dialog, "ButtonNext");
        EXPECT_EQ(pageLabel(dialog), QStringLiteral("Strana 2 z 3"));
        click(dialog, "ButtonLast");
        EXPECT_EQ(pageLabel(dialog), QStringLiteral("Strana 3 z 3"));
        EXPECT_FALSE(button(dialog, "ButtonNext")->isEnabled());
        EXPECT_FALSE(button(dialog, "ButtonLast")->isEnabled());
        click(dialog, "ButtonPrior");
        EXPECT_EQ(pageLabel(dialog), QStringLiteral("Strana 2 z 3"));
        click(dialog, "ButtonFirst");
        EXPECT_EQ(pageLabel(dialog), QStringLiteral("Strana 1 z 3"));

        activate(dialog);
        QTest::keyClick(&dialog, Qt::Key_PageDown);
        EXPECT_EQ(pageLabel(dialog), QStringLiteral("Strana 2 z 3"));
        QTest::keyClick(&dialog, Qt::Key_End);
        EXPECT_EQ(pageLabel(dialog), QStringLiteral("Strana 3 z 3"));
        QTest::keyClick(&dialog, Qt::Key_PageDown); // no page after the last
        EXPECT_EQ(pageLabel(dialog), QStringLiteral("Strana 3 z 3"));
        QTest::keyClick(&dialog, Qt::Key_PageUp);
        EXPECT_EQ(pageLabel(dialog), QStringLiteral("Strana 2 z 3"));
        QTest::keyClick(&dialog, Qt::Key_Home);
        EXPECT_EQ(pageLabel(dialog), QStringLiteral("Strana 1 z 3"));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible());
    });
    fullReport().Preview();
    EXPECT_TRUE(seen);
    EXPECT_EQ(addresses().text("Příjmení"), "Žák");
    EXPECT_FALSE(addresses().controlsDisabled());
}

TEST_F(PrintPreviewTest, ZoomsByButtonsAndKeys)
{
    openAddresses(reporttest::manyAddresses());
    reporttest::whenModalShown([&](QDialog& dialog) {
        auto& preview = static_cast<PrintPreview&>(dialog);
        auto* image = dialog.findChild<QLabel*>(QStringLiteral("PageImage"));
        ASSERT_NE(image, nullptr);
        click(dialog, "ButtonActualSize");
        EXPECT_EQ(zoomLabel(dialog), QStringLiteral("100 %"));
        // A4 at the screen's resolution.
        EXPECT_NEAR(image->width(), 210 / 25.4 * dialog.logicalDpiX(), 1.0);
        click(dialog, "ButtonZoomIn");
        EXPECT_EQ(zoomLabel(dialog), QStringLiteral("125 %"));
        activate(dialog);
        QTest::keyClick(&dialog, Qt::Key_Minus);
        QTest::keyClick(&dialog, Qt::Key_Minus);
        EXPECT_EQ(zoomLabel(dialog), QStringLiteral("75 %"));
        QTest::keyClick(&dialog, Qt::Key_Plus);
        EXPECT_EQ(zoomLabel(dialog), QStringLiteral("100 %"));

        click(dialog, "ButtonFitPage");
        EXPECT_EQ(preview.zoomMode(), PrintPreview::ZoomMode::FitPage);
        auto* area = dialog.findChild<QWidget*>(QStringLiteral("PageArea"));
        ASSERT_NE(area, nullptr);
        EXPECT_LE(image->height(), area->height());
        const double fitPage = preview.zoom();
        click(dialog, "ButtonFitWidth");
        EXPECT_GT(preview.zoom(), fitPage);
        EXPECT_LE(image->width(), area->width());
        click(dialog, "ButtonClose");
        EXPECT_FALSE(dialog.isVisible());
    });
    fullReport().Preview();
}

// Printing prints the prepared pages on the run's printer, whole A4 sheets,
// and leaves the printer's own settings as they were for the line printing.
TEST_F(PrintPreviewTest, PrintsThePreparedPagesOnThePrinter)
{
    openAddresses(reporttest::manyAddresses());
    QPrinter& printer = *m_fakes.printer.qprinter();
    const QString file = tempPath(QStringLiteral("printed.pdf"));
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printer.setFullPage(false);
    printer.setPageSize(QPageSize(QPageSize::Letter));

    reporttest::whenModalShown([&](QDialog& dialog) {
        click(dialog, "ButtonNext"); // printing is not only the page on show
        click(dialog, "ButtonPrint");
    });
    fullReport().Preview();
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty()) << m_fakes.dialogs.lastBox().text.toStdString();
    EXPECT_FALSE(printer.fullPage());
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::Letter);

    const std::optional<QStringList> pages = reporttest::pdfPages(file);
    if (!pages)
        GTEST_SKIP() << "pdftotext is not installed";
    ASSERT_EQ(pages->size(), 3);
    EXPECT_TRUE(pages->at(0).contains(QStringLiteral("PROGRAM PELMIR S TELEFONNÍMI ČÍSLY")));
    EXPECT_TRUE(pages->at(2).contains(QStringLiteral("Žák")));
    // Whole A4 sheets, whatever paper the printer was set to.
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (!pdfinfo.isEmpty()) {
        QProcess info;
        info.start(pdfinfo, {file});
        ASSERT_TRUE(info.waitForFinished(30000));
        EXPECT_TRUE(info.readAllStandardOutput().contains("(A4)"));
    }
}

TEST_F(PrintPreviewTest, WithoutAPrinterPrintingShowsWhy)
{
    openAddresses(reporttest::manyAddresses());
    m_fakes.printer.setAvailable(false);
    reporttest::whenModalShown([&](QDialog& dialog) {
        click(dialog, "ButtonPrint");
        EXPECT_TRUE(dialog.isVisible()) << "the preview stays open";
    });
    fullReport().Preview();
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    const platform::ShownBox box = m_fakes.dialogs.lastBox();
    EXPECT_EQ(box.caption, QStringLiteral("Pelmir a telefony"));
    EXPECT_EQ(box.text, m_fakes.printer.errorString());
    EXPECT_FALSE(box.text.isEmpty());
    EXPECT_EQ(box.icon, platform::Icon::Error);
}

// A printer that cannot take the job is reported, not passed over in silence.
TEST_F(PrintPreviewTest, PrinterThatFailsIsReported)
{
    openAddresses(reporttest::manyAddresses());
    QPrinter& printer = *m_fakes.printer.qprinter();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(tempPath(QStringLiteral("missing/folder/out.pdf")));
    reporttest::whenModalShown([&](QDialog& dialog) { click(dialog, "ButtonPrint"); });
    fullReport().Preview();
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
    EXPECT_TRUE(m_fakes.dialogs.lastBox().text.contains(QStringLiteral("out.pdf")));
}

TEST_F(PrintPreviewTest, PrinterSetupOpensOnTheRunsPrinter)
{
    openAddresses(reporttest::manyAddresses());
    reporttest::whenModalShown([&](QDialog& dialog) { click(dialog, "ButtonPrinterSetup"); });
    fullReport().Preview();
    EXPECT_EQ(m_fakes.dialogs.printerSetupDialogs(), 1);
}

// The PDF export takes the name from the save dialog, adds the missing
// suffix, and writes nothing when the dialog is cancelled.
TEST_F(PrintPreviewTest, SavesAsPdf)
{
    openAddresses(reporttest::manyAddresses());
    m_fakes.dialogs.answerNextSaveFile(tempPath(QStringLiteral("adresar")));
    reporttest::whenModalShown([&](QDialog& dialog) {
        click(dialog, "ButtonSavePdf");
        click(dialog, "ButtonSavePdf"); // cancelled: no answer left
    });
    fullReport().Preview();
    ASSERT_EQ(m_fakes.dialogs.fileRequests().size(), 2);
    EXPECT_TRUE(m_fakes.dialogs.fileRequests().first().save);
    EXPECT_EQ(m_fakes.dialogs.fileRequests().first().dir,
              QDir(m_fakes.paths.documentsDir()).filePath(QStringLiteral("Adresář - celá sestava.pdf")));
    EXPECT_TRUE(m_fakes.dialogs.fileRequests().first().filter.contains(QStringLiteral("*.pdf")));
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
    const QString file = tempPath(QStringLiteral("adresar.pdf"));
    ASSERT_TRUE(QFileInfo::exists(file));
    const std::optional<QStringList> pages = reporttest::pdfPages(file);
    if (!pages)
        GTEST_SKIP() << "pdftotext is not installed";
    EXPECT_EQ(pages->size(), 3);
}

// The suggestion names the report in a folder that exists: a missing
// documents folder made the dialog offer "Documents" as the file's name and
// write Documents.pdf into the home folder.
TEST(PdfSuggestion, NamesTheReportInAnExistingFolder)
{
    QTemporaryDir home;
    const QString documents = home.filePath(QStringLiteral("Dokumenty"));
    EXPECT_EQ(reports::pdfSuggestion(documents, home.path(), QStringLiteral("Adresář - jména")),
              home.filePath(QStringLiteral("Adresář - jména.pdf")));
    ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("Dokumenty")));
    EXPECT_EQ(reports::pdfSuggestion(documents, home.path(), QStringLiteral("A/B: C")),
              QDir(documents).filePath(QStringLiteral("A-B- C.pdf")));
    EXPECT_EQ(reports::pdfSuggestion(documents, home.path(), QString()),
              QDir(documents).filePath(QStringLiteral("Sestava.pdf")));
}

// Runs Preview() and reports whether any modal dialog came up (closing it).
bool previewShowsADialog(reports::AddressReportForm& form)
{
    bool shown = false;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&shown] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            shown = true;
            modal->close();
        }
    });
    guard.start(5);
    form.Preview();
    return shown;
}

TEST_F(PrintPreviewTest, EmptyTableShowsNoPreview)
{
    store::Cursor& cursor = openAddresses({});
    reports::TReport1Form brief(cursor);
    EXPECT_FALSE(previewShowsADialog(brief));
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
}

// An error while preparing ends the command in the error box, as a
// handler's uncaught error does, and shows no preview.
TEST_F(PrintPreviewTest, ErrorWhilePreparingIsReported)
{
    store::Cursor& cursor = openAddresses(reporttest::manyAddresses());
    cursor.close();
    reports::TReport1Form brief(cursor);
    EXPECT_FALSE(previewShowsADialog(brief));
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_EQ(m_fakes.dialogs.lastBox().icon, platform::Icon::Error);
}

// Both reports are prepared under the program's progress dialog; cancelled
// there, no preview appears and the table is back where it stood.
TEST_F(PrintPreviewTest, CancelledPreparationShowsNothingAndReturns)
{
    store::Cursor& cursor = openAddresses(reporttest::manyAddresses());
    cursor.first();
    cursor.next();
    const std::string standing = cursor.text("Příjmení");
    m_fakes.progress.cancelAt(1);
    reports::TReport1Form brief(cursor);
    EXPECT_FALSE(previewShowsADialog(brief));
    EXPECT_TRUE(m_fakes.dialogs.shown().isEmpty());
    ASSERT_EQ(m_fakes.progress.steps().size(), 1);
    EXPECT_EQ(m_fakes.progress.steps().last().label, QStringLiteral("Připravuje se sestava…"));
    EXPECT_EQ(cursor.text("Příjmení"), standing);
    EXPECT_FALSE(cursor.controlsDisabled());
}

} // namespace
