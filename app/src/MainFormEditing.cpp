// The main window's record-editing toolbar, navigator, help and the editing
// state of the save and discard buttons.

#include "app/MainForm.h"

#include "MainFormTexts.h"
#include "app/AddressGrid.h"

#include "platform/Platform.h"
#include "sound/Tones.h"
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
        // The button takes no focus: what leaving the grid would do happens
        // first, so an untouched new row is no record to delete.
        Grid->endTyping();
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
            // An untouched new row is nothing to save: it goes, as it would
            // when the grid loses the focus, instead of an empty surname.
            Grid->endTyping();
            m_table->post();
        } catch (const std::exception& error) {
            // A duplicate surname gets the window's own message, any other
            // failure its real reason; the record stays pending as typed.
            platform::services().dialogs->errorBox(
                widgets::saveFailureMessage(error, texts::kDuplicateSurname));
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
