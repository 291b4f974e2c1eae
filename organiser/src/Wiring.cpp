#include "organiser/Wiring.h"

#include "organiser/KalendarForm.h"
#include "organiser/PlanovacForm.h"
#include "organiser/SvatekForm.h"

namespace organiser {

void connectDatePicker(TKalendarForm& picker, TPlanovacForm& planner)
{
    TPlanovacForm* target = &planner;
    picker.setPlanner(
        &planner.TablePlanovac(), [target] { target->commitOpenEditor(); },
        [target] { target->focusActivity(); });
    planner.setDatePicker(&picker);
}

void connectNameDays(TSvatekForm& nameDays, TKalendarForm& picker, TPlanovacForm& planner)
{
    nameDays.setDatePicker(&picker);
    picker.setNameDayQuery(&nameDays.QueryDotaz());
    planner.setNameDayWindow(&nameDays);
}

} // namespace organiser
