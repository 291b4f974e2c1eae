#pragma once

// What today's reminders of the main window ask the organiser: is anything
// planned for today, and which calendar row is today's.

#include <QDate>

#include <string>

namespace store {
class Cursor;
}

namespace organiser {

// Whether the planner has an entry dated `day`. Any pending record of the
// planner ends first, as a move does; afterwards the planner stands on its
// first entry, so the planner window shows its first entry after a check.
bool plannerHasEntryOn(store::Cursor& planner, const QDate& day);

// Moves the planner to the entry dated `day`; false (position unchanged) when there is none.
bool showPlannerEntryOn(store::Cursor& planner, const QDate& day);

// The selection of today's name-day row, for the main window's own selection.
std::string todaysNameDayStatement(const QDate& today);

} // namespace organiser
