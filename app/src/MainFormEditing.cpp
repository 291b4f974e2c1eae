// The main window's navigator and help.

#include "app/MainForm.h"

#include "app/AddressGrid.h"

#include "platform/Platform.h"
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

} // namespace app
