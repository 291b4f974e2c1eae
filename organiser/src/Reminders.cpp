#include "organiser/Reminders.h"

#include "organiser/CzechCalendar.h"
#include "organiser/NameDayRules.h"

#include "store/Cursor.h"

namespace organiser {

bool plannerHasEntryOn(store::Cursor& planner, const QDate& day)
{
    // `Datum` is the planner's key, so the entry whose text reads as today's
    // date is found by the key instead of a walk over every entry.
    bool found = false;
    {
        planner.disableControls();
        struct Resume {
            store::Cursor& cursor;
            ~Resume() { cursor.enableControls(); }
        } resume{planner};
        found = planner.findKey(shortDateText(day).toStdString());
        planner.first();
    }
    return found;
}

bool showPlannerEntryOn(store::Cursor& planner, const QDate& day)
{
    return planner.findKey(shortDateText(day).toStdString());
}

std::string todaysNameDayStatement(const QDate& today)
{
    return nameDayStatement(nameDayKey(today));
}

} // namespace organiser
