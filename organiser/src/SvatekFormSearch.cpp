// The name-day window's name search, printing and the date picker it opens.

#include "organiser/SvatekForm.h"

#include "SvatekFormTexts.h"
#include "organiser/KalendarForm.h"

#include "platform/Platform.h"
#include "reports/LabelledLines.h"
#include "reports/TextPrinter.h"
#include "store/Cursor.h"
#include "store/Query.h"
#include "widgets/DBGrid.h"
#include "widgets/ErrorReport.h"

#include <QFrame>
#include <QLineEdit>

namespace organiser {

namespace {

// Widths of the three columns until the user drags them; the names are the widest.
constexpr int kWidthDatum = 110;
constexpr int kWidthSvatek = 260;
constexpr int kWidthVyroci = 220;

// Switching between the table and a search result keeps the widths the user gave the columns.
QList<widgets::GridColumn> nameDayColumns(const widgets::DBGrid& grid)
{
    const auto width = [&](int column, int initial) {
        return grid.model() && grid.model()->columnCount() > column ? grid.columnWidth(column)
                                                                    : initial;
    };
    return {
        {QString::fromUtf8(kFieldDatum), svatek::kTitleDatum, width(0, kWidthDatum), true},
        {QString::fromUtf8(kFieldSvatek), svatek::kTitleSvatek, width(1, kWidthSvatek)},
        {QString::fromUtf8(kFieldVyroci), svatek::kTitleVyroci, width(2, kWidthVyroci)},
    };
}

} // namespace

void TSvatekForm::showWholeTable()
{
    if (DBGridSvatek->dataSet() != m_table.get())
        DBGridSvatek->setDataSet(m_table.get(), nameDayColumns(*DBGridSvatek));
}

void TSvatekForm::showSearchResult()
{
    if (DBGridSvatek->dataSet() != m_query.get()) {
        DBGridSvatek->commitOpenEditor();
        DBGridSvatek->setDataSet(m_query.get(), nameDayColumns(*DBGridSvatek));
    }
}

void TSvatekForm::SpeedButtonHledClick()
{
    PanelDotaz->show();
    EditDotaz->setFocus();
    showWholeTable();
}

void TSvatekForm::SpeedButtonHledejClick()
{
    m_query->setSql(nameSearchStatement(EditDotaz->text()));
    showSearchResult();
    // A statement the store rejects leaves the grid on the empty selection.
    widgets::guarded([&] { m_query->open(); });
}

void TSvatekForm::SpeedButtonZpetClick()
{
    PanelDotaz->hide();
    showWholeTable();
    DBGridSvatek->setFocus();
}

void TSvatekForm::SpeedButtonTiskClick()
{
    if (!platform::services().dialogs->confirm(svatek::kPrintQuestion))
        return;
    widgets::guarded([&] {
        DBGridSvatek->commitOpenEditor();
        reports::TextPrinter out(*platform::services().printer);
        reports::printLabelledLines(*m_table, out, font(), svatek::kPrintJob,
                                    {{kFieldDatum, svatek::kLabelDatum},
                                     {kFieldSvatek, svatek::kLabelSvatek},
                                     {kFieldVyroci, svatek::kLabelVyroci}});
    });
}

void TSvatekForm::SpeedButtonKalendarClick()
{
    if (m_datePicker)
        widgets::guarded([&] { m_datePicker->open(TKalendarForm::Use::Browsing); });
}

} // namespace organiser
