#pragma once

// The unit conversion window's texts as the user sees them (the units
// themselves stand in the page table of UnitConversion.cpp).

#include <QString>

namespace calculators::jednotkytexts {

inline const QString kCaption = QStringLiteral("Převody jednotek");
inline const QString kZJednotky = QStringLiteral("Z jednotky");
inline const QString kNaJednotku = QStringLiteral("Na jednotku");
inline const QString kZadani = QStringLiteral("Zadání");
inline const QString kVysledek = QStringLiteral("Výsledek");
inline const QString kInitialInput = QStringLiteral("1");
inline const QString kZpet = QStringLiteral("Zpět");
inline const QString kOutOfRange =
    QStringLiteral("Číslo je mimo rozsah, který lze převést. Zadejte menší číslo.");

} // namespace calculators::jednotkytexts
