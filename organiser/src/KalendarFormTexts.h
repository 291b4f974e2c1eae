#pragma once

// The date picker's texts as the user sees them, kept in one place.

#include <QString>

namespace organiser::kalendar {

inline const QString kCaption = QStringLiteral("Výběr data");
inline const QString kOk = QStringLiteral("&OK");
inline const QString kZpet = QStringLiteral("&Zpět");
inline const QString kHintPrevMonth = QStringLiteral("Předchozí měsíc");
inline const QString kHintNextMonth = QStringLiteral("Další měsíc");
inline const QString kDuplicateDate =
    QStringLiteral("Na toto datum už záznam existuje. Plánovanou akci k němu připište.");

} // namespace organiser::kalendar
