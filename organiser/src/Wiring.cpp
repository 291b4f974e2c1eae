#include "organiser/Wiring.h"


namespace organiser {

void connectDatePicker(TKalendarForm& picker, TPlanovacForm& planner)
{
    TPlanovacForm* target = &planner;
    picker.setPlanner(
        &planner.TablePlanovac(), [target] { target->commitOpenEditor(); },
        [target] { target->focusActivity(); });
    planner.setDatePicker(&picker);
}

OrganiserWindows createOrganiserWindows(store::Database& database)
{
    OrganiserWindows made;
    made.planner = std::make_unique<TPlanovacForm>(database);
    made.picker = std::make_unique<TKalendarForm>();
    connectDatePicker(*made.picker, *made.planner);
    made.nameDays = std::make_unique<TSvatekForm>(database);
    made.nameDays->FormCreate();
    connectNameDays(*made.nameDays, *made.picker, *made.planner);
    made.planner->Timer1Timer();
    return made;
}

void connectNameDays(TSvatekForm& nameDays, TKalendarForm& picker, TPlanovacForm& planner)
{
    nameDays.setDatePicker(&picker);
    picker.setNameDayQuery(&nameDays.QueryDotaz());
    planner.setNameDayWindow(&nameDays);
}

} // namespace organiser
