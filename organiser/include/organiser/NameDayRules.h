#pragma once

// The rules of the name-day calendar that need no window: the selections over
// `Svatek.db`, the start-up positioning on today's row and the enabling of the
// four navigation buttons.

#include <QDate>
#include <QString>

#include <string>

namespace store {
class Cursor;
class DataSet;
} // namespace store

namespace organiser {

// The name-day table as the selections name it, and its fields.
inline constexpr const char* kNameDayTable = "Svatek.db";
inline constexpr const char* kFieldDatum = "Datum";
inline constexpr const char* kFieldSvatek = "Svátek";
inline constexpr const char* kFieldVyroci = "Výročí";
inline constexpr const char* kFieldCislo = "Číslo";

// The selection of one day's row by its key:
// select * from Svatek where Datum = '1. květen'
std::string nameDayStatement(const QString& key);
// The name search, every row whose `Svátek` contains the text whatever the case;
// `%` and `_` typed by the user keep their wildcard meaning, a quote is searched for.
std::string nameSearchStatement(const QString& text);

// Which pairs of the navigation buttons can be pressed: backward (first, 15
// back) and forward (15 on, last).
struct NavigationButtons {
    bool backward = true;
    bool forward = true;
    bool operator==(const NavigationButtons&) const = default;
};

// Start-up positioning: walks the table in stored order under a mark with the
// display suspended and stops on the first row whose upper-cased `Datum`
// contains the day's upper-cased key, so the 1st of a month finds its own row
// before the 11th, 21st and 31st. Without a match the table goes back to where
// it stood. Returns the buttons' state: the backward pair is off when the table
// stands on its first row after a match or is empty, the forward pair only
// when it is empty.
NavigationButtons positionOnDay(store::Cursor& table, const QDate& day);

// The rows the two middle buttons move by.
inline constexpr int kPageRows = 15;

enum class NavigationMove { First, Back, Forward, Last };

// Moves the table as the button does and returns the buttons' new state: a
// move of 15 cut short by the first (or last) row turns its own pair off, the
// other pair always comes on. A move that fails (a pending record that cannot
// be saved) throws and leaves the buttons to the caller as they were.
NavigationButtons navigate(store::DataSet& table, NavigationMove move, NavigationButtons buttons);

} // namespace organiser
