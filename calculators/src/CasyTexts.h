#pragma once

// The world clock window's texts.

#include <QString>

namespace calculators::casytexts {

inline const QString kCaption = QStringLiteral("Časové odchylky měst");
inline const QString kMistniCas = QStringLiteral("Místní čas");
inline const QString kHintZacatek = QStringLiteral("-15 záznamů");
inline const QString kHintDale = QStringLiteral("+15 záznamů");
inline const QString kZpet = QStringLiteral("Zpět");
inline const QString kTitleZeme = QStringLiteral("Země");
inline const QString kTitleMesto = QStringLiteral("Město");
inline const QString kTitleSmer = QStringLiteral("+/-");
inline const QString kTitlePosun = QStringLiteral("Hod.");
// A city whose difference is no time of day gets no time.
inline const QString kBadDifference = QStringLiteral("chybný posun");

} // namespace calculators::casytexts
