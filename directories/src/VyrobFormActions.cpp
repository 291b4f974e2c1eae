// The appliance register's actions: search, the editing toolbar with its
// tones, the repair entry and printing.

#include "directories/VyrobForm.h"

#include "RecordEditing.h"
#include "ToolbarTexts.h"
#include "VyrobTexts.h"

#include "directories/ApplianceRegister.h"

#include "platform/Platform.h"
#include "reports/TextPrinter.h"
#include "sound/Tones.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBDateEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/ErrorReport.h"

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

void TVyrobForm::setEditingButtons(bool enabled)
{
    ToolButtonPotvrd->setEnabled(enabled);
    ToolButtonZrus->setEnabled(enabled);
}

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

void TVyrobForm::ToolButtonVlozClick()
{
    widgets::guarded([&] {
        sound::toneInsert(m_speaker);
        setEditingButtons(true);
        insertFromToolbar(*DBGrid1, *m_table);
    });
}

void TVyrobForm::ToolButtonSmazClick()
{
    widgets::guarded([&] {
        DBGrid1->endTyping(); // an untouched new row is no record to delete
        const QString product = QString::fromStdString(m_table->text("Výrobek"));
        const bool yes = platform::services().dialogs->confirm(texts::kSmazatZaznam + product + QLatin1Char('?'));
        // The tone answers the question, whatever the answer.
        if (yes)
            m_table->remove();
        sound::toneDeleted(m_speaker);
    });
}

void TVyrobForm::ToolButtonPotvrdClick()
{
    widgets::guarded([&] {
        sound::toneDone(m_speaker);
        if (!commitTyping())
            return;
        if (const auto failure = saveFromToolbar(*DBGrid1, *m_table, texts::kDuplicateProduct)) {
            // The appliance stays as typed, so its name can be corrected.
            platform::services().dialogs->errorBox(failure->message);
            return;
        }
        setEditingButtons(false);
    });
}

void TVyrobForm::ToolButtonZrusClick()
{
    widgets::guarded([&] {
        sound::playDropped(m_speaker);
        DBGrid1->dropOpenEditor();
        m_table->cancel();
        setEditingButtons(false);
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
    HledEdit->setFocus();
    if (HledEdit->text().isEmpty())
        HledEditChange(); // clearing an empty field would not move to the first appliance
    else
        HledEdit->clear();
    hide();
}

} // namespace directories
