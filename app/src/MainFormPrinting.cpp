// The main window's printing: the address book as lines and the two report previews.

#include "app/MainForm.h"

#include "MainFormTexts.h"
#include "app/AddressGrid.h"

#include "platform/Platform.h"
#include "reports/AddressLines.h"
#include "reports/AddressReports.h"
#include "reports/TextPrinter.h"
#include "widgets/ErrorReport.h"

#include <QAction>

namespace app {

namespace {

// The main window's own font for printed lines.
QFont linePrintFont()
{
    QFont font(QStringLiteral("Liberation Sans"), 8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace

void TMainForm::printLines(const QString& question, bool withNote)
{
    if (!platform::services().dialogs->confirm(question))
        return;
    widgets::guarded([&] {
        // A cell still being typed belongs to the record before it is printed.
        Grid->commitOpenEditor();
        reports::TextPrinter out(*platform::services().printer);
        reports::printAddressLines(*m_table, out, linePrintFont(),
                                   withNote ? reports::AddressLines::AllFields
                                            : reports::AddressLines::WithoutNote);
    });
}

void TMainForm::VsechZaznamuClick()
{
    printLines(texts::kPrintAllQuestion, true);
}

void TMainForm::JmenSAdresamiATelefonyClick()
{
    printLines(texts::kPrintNamesQuestion, false);
}

void TMainForm::setReportForms(reports::TReportForm* full, reports::TReport1Form* names)
{
    m_reportForm = full;
    m_report1Form = names;
    VsechnyUdaje->setEnabled(m_reportForm != nullptr);
    JmenaSTelefony->setEnabled(m_report1Form != nullptr);
}

void TMainForm::previewReport(reports::AddressReportForm* report)
{
    if (!report)
        return;
    widgets::guarded([&] {
        Grid->commitOpenEditor();
        report->Preview();
    });
}

void TMainForm::VsechnyUdajeClick()
{
    previewReport(m_reportForm);
}

void TMainForm::JmenaSTelefonyClick()
{
    previewReport(m_report1Form);
}

} // namespace app
