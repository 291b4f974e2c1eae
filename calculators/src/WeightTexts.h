#pragma once

// The texts of the weight records window and the weight graph.

#include <QString>

namespace calculators::weighttexts {

inline const QString kCaption = QStringLiteral("Uložené záznamy");
inline const QString kPridat = QStringLiteral("Přidat");
inline const QString kHintPridat = QStringLiteral("Přidat záznam");
inline const QString kSmazat = QStringLiteral("Smazat");
inline const QString kHintSmazat = QStringLiteral("Smazat označený záznam");
inline const QString kUlozit = QStringLiteral("Uložit");
inline const QString kHintUlozit = QStringLiteral("Uložit do databáze");
inline const QString kZrusit = QStringLiteral("Zrušit");
inline const QString kHintZrusit = QStringLiteral("Neukládat");
inline const QString kVybrat = QStringLiteral("Vybrat");
inline const QString kHintVybrat = QStringLiteral("podle jména");
inline const QString kGraf = QStringLiteral("Graf");
inline const QString kCoStim = QStringLiteral("Co s tím");
inline const QString kHintCoStim = QStringLiteral("Co s tím?");
inline const QString kZpet = QStringLiteral("Zpět");
inline const QString kHledaneJmeno = QStringLiteral("Hledané jméno");
inline const QString kVyber = QStringLiteral("Vyber");

// "Smazat záznam " + name + " z " + date + "?"
inline const QString kDeleteQuestion = QStringLiteral("Smazat záznam %1 z %2?");
inline const QString kNotWholeNumbers = QStringLiteral(
    "Záznam nelze přidat: výška a váha v okně Váha musí být celá čísla (nebo prázdné).");
// The selection around the typed text; the store takes that text as a bound
// literal, never as SQL.
inline const QString kSelectBefore = QStringLiteral("select * from Data where (UPPER(Data.'Jméno') LIKE UPPER('%");
inline const QString kSelectAfter = QStringLiteral("%'))");

// The graph.
inline const QString kGraphCaption = QStringLiteral("Graf");
inline const QString kKg = QStringLiteral("kg");

} // namespace calculators::weighttexts
