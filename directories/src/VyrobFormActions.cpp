// The appliance register's actions: search, the repair entry, printing and "Zpět".

#include "directories/VyrobForm.h"

#include "DirectorySupport.h"
#include "ToolbarTexts.h"
#include "VyrobTexts.h"

#include "directories/ApplianceRegister.h"

#include "platform/Platform.h"
#include "reports/TextPrinter.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/ErrorReport.h"
#include "widgets/RecordToolbar.h"

#include <QLineEdit>
#include <QToolButton>

namespace directories {

namespace {

// The register prints in the window's own font.
QFont printFont()
{
    QFont font(QStringLiteral("Liberation Sans"), 8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace

bool TVyrobForm::commitTyping()
{
    DBGrid1->commitOpenEditor();
    return DBDateEditOd->commit() && DBDateEditDo->commit();
}

void TVyrobForm::HledEditChange()
{
    widgets::guarded([&] {
        findNearestOrFirst(*m_table, HledEdit->text().toStdString());
    });
}

void TVyrobForm::ButtonOpravaClick()
{
    widgets::guarded([&] {
        if (!commitTyping())
            return;
        const bool pending =
            m_table->state() == store::CursorState::Edit || m_table->state() == store::CursorState::Insert;
        // Without an appliance, editing would make up a nameless one to hold the repair.
        if (!pending && m_table->recordCount() == 0) {
            platform::services().dialogs->information(texts::kNoAppliance);
            return;
        }
        if (!platform::services().dialogs->confirm(texts::kRepairQuestion))
            return;
        m_table->edit();
        const QString line = repairLine(QString::fromStdString(m_table->text("Oprava od")),
                                        QString::fromStdString(m_table->text("Oprava do")),
                                        QString::fromStdString(m_table->text("Záruční")));
        const QString repairs = QString::fromStdString(m_table->text("Záruční opravy"));
        m_table->setText("Záruční opravy", withRepairLine(repairs, line).toStdString());
        // A failure is the store's own error; the line stays in the pending record.
        m_table->post();
    });
}

void TVyrobForm::SpeedButtonTiskClick()
{
    if (!platform::services().dialogs->confirm(texts::kPrintQuestion))
        return;
    widgets::guarded([&] {
        if (!commitTyping())
            return;
        reports::TextPrinter out(*platform::services().printer);
        printAppliances(*m_table, out, printFont());
    });
}

void TVyrobForm::SpeedButtonZpetClick()
{
    if (!m_editing->finishBeforeLeaving())
        return;
    HledEdit->setFocus();
    if (HledEdit->text().isEmpty())
        HledEditChange(); // clearing an empty field would not move to the first appliance
    else
        HledEdit->clear();
    hide();
}

} // namespace directories
