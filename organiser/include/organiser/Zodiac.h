#pragma once

// The zodiac signs by day number of a leap year (1 January = 1, 29 February =
// 60, 31 December = 366) and the named wedding anniversaries.

#include <QString>

#include <array>

namespace organiser {

struct ZodiacSign {
    QString caption;     // the button's caption
    QString listName;    // the sign's name in the list
    QString period;      // the list's period text
    QString pictureFile; // relative to the working directory
    int gap = 30;        // pixels between picture and caption on the button
    int from = 0;        // first day number, inclusive
    int to = 0;          // last day number, inclusive; before `from` when the range wraps
    bool contains(int dayNumber) const;
};

// The twelve signs in the order of the list, "Vodnář" to "Kozoroh".
const std::array<ZodiacSign, 12>& zodiacSigns();
// The sign of a day number, nullptr outside 1..366.
const ZodiacSign* zodiacSignForDay(int dayNumber);

struct WeddingAnniversary {
    QString years;
    QString name;
};

// The fifteen named anniversaries, "Bavlněná svatba" (1) to "Platinová svatba" (70).
const std::array<WeddingAnniversary, 15>& weddingAnniversaries();

} // namespace organiser
