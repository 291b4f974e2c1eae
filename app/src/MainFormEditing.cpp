// The main window's record-editing toolbar, navigator, help and the editing
// state of the save and discard buttons.

#include "app/MainForm.h"

#include "MainFormTexts.h"
#include "app/AddressGrid.h"

#include "platform/Platform.h"
#include "sound/Tones.h"
#include "store/Errors.h"
#include "widgets/ErrorReport.h"

#include <QToolButton>

namespace app {

void TMainForm::setEditingButtons(bool enabled)
{
    SpeedButtonPotvrd->setEnabled(enabled);
    SpeedButtonZrus->setEnabled(enabled);
}

void TMainForm::TableAfterEdit()
{
    setEditingButtons(true);
}

void TMainForm::SpeedButtonVlozClick()
{
    widgets::guarded([&] {
        sound::toneInsert(m_speaker);
        setEditingButtons(true);
        Grid->setFocus();
        Grid->commitOpenEditor();
        m_table->insert();
        Grid->moveToFirstColumn();
    });
}

void TMainForm::SpeedButtonSmazClick()
{
    widgets::guarded([&] {
        Grid->commitOpenEditor();
        const QString surname = QString::fromStdString(m_table->text("Příjmení"));
        if (!platform::services().dialogs->confirm(texts::kDeleteQuestion.arg(surname)))
            return;
        m_table->remove();
        sound::toneDeleted(m_speaker);
    });
}

void TMainForm::SpeedButtonPotvrdClick()
{
    widgets::guarded([&] {
        sound::toneDone(m_speaker);
        try {
            Grid->commitOpenEditor();
            m_table->post();
        } catch (const std::exception&) {
            // Every failure of this save is told as the duplicate surname it
            // nearly always is; the record stays pending as typed.
            platform::services().dialogs->errorBox(texts::kDuplicateSurname);
            return;
        }
        setEditingButtons(false);
    });
}

void TMainForm::SpeedButtonZrusClick()
{
    widgets::guarded([&] {
        sound::playDropped(m_speaker);
        Grid->dropOpenEditor();
        m_table->cancel();
        setEditingButtons(false);
    });
}

void TMainForm::navigatorMoved()
{
    sound::beep();
    Grid->setFocus();
}

void TMainForm::ObsahNapovedyClick()
{
    if (platform::Help* help = platform::services().help)
        help->showTopic(1);
}

} // namespace app
