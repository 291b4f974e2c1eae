#pragma once

// How the organiser's windows reach each other, wired at their start-up steps
// in creation order: the planner first, then the date picker, then the name days.

#include "organiser/KalendarForm.h"
#include "organiser/PlanovacForm.h"
#include "organiser/SvatekForm.h"

#include <memory>

namespace store {
class Database;
}

namespace organiser {

// The planner's "Nový záznam" opens the picker; the picker's OK adds to the
// planner's table and puts the planner in front on the new entry.
void connectDatePicker(TKalendarForm& picker, TPlanovacForm& planner);
// The picker shows names through the name-day window's selection; the name-day
// window opens the picker, the planner opens the name-day window.
void connectNameDays(TSvatekForm& nameDays, TKalendarForm& picker, TPlanovacForm& planner);

struct OrganiserWindows {
    std::unique_ptr<TPlanovacForm> planner;
    std::unique_ptr<TKalendarForm> picker;
    std::unique_ptr<TSvatekForm> nameDays;
};

// The planner, the date picker and the name days, made whole or not at all
// (they hold each other) and wired. They are made on first use, so the
// planner's clock shows today at once, as if it had run since start-up.
OrganiserWindows createOrganiserWindows(store::Database& database);

} // namespace organiser
