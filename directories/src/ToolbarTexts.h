#pragma once

// The texts of the toolbar that the telephone-prefix windows and the
// appliance register share.

#include <QString>

namespace directories::texts {

inline const QString kHintHledani = QStringLiteral("Vyhledávání");
inline const QString kHintVlozit = QStringLiteral("Vložit");
inline const QString kHintSmazat = QStringLiteral("Smazat");
inline const QString kHintUlozit = QStringLiteral("Uložit");
inline const QString kHintNeukladat = QStringLiteral("Neukládat");
inline const QString kHintZpet = QStringLiteral("Zpět");
// %1 is the record's key.
inline const QString kSmazatZaznam = QStringLiteral("Smazat záznam %1?");

} // namespace directories::texts
