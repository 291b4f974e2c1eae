#pragma once

// How the organiser's windows reach each other, wired at their start-up steps
// in creation order: the planner first, then the date picker, then the name days.

namespace organiser {

class TKalendarForm;
class TPlanovacForm;
class TSvatekForm;

// The planner's "Nový záznam" opens the picker; the picker's OK adds to the
// planner's table and puts the planner in front on the new entry.
void connectDatePicker(TKalendarForm& picker, TPlanovacForm& planner);
// The picker shows names through the name-day window's selection; the name-day
// window opens the picker, the planner opens the name-day window.
void connectNameDays(TSvatekForm& nameDays, TKalendarForm& picker, TPlanovacForm& planner);

} // namespace organiser
