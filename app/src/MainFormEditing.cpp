// The main window's navigator and help.

#include "app/MainForm.h"

#include "app/AddressGrid.h"

#include "platform/Platform.h"
#include "widgets/RecordToolbar.h"
#include "sound/Tones.h"

namespace app {

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

bool TMainForm::savePendingEdit()
{
    if (!m_editing->saveQuietly())
        return false;
    m_editing->setEditing(false);
    return true;
}

} // namespace app
