#pragma once

// The name-day window's texts as the user sees them, kept in one place.

#include <QString>

namespace organiser::svatek {

inline const QString kCaption = QStringLiteral("Jména a výročí");

// Grid titles.
inline const QString kTitleDatum = QStringLiteral("Datum");
inline const QString kTitleSvatek = QStringLiteral("Svátek");
inline const QString kTitleVyroci = QStringLiteral("Výročí");

// Toolbar.
inline const QString kInitialSign = QStringLiteral("Kozoroh");
inline const QString kHintZverokruh = QStringLiteral("Seznam znamení");
inline const QString kHintPrvni = QStringLiteral("Na první záznam");
inline const QString kHintLevy = QStringLiteral("O 15 zpět");
inline const QString kHintPravy = QStringLiteral("O 15 dále");
inline const QString kHintPosledni = QStringLiteral("Na poslední záznam");
inline const QString kHintUlozit = QStringLiteral("Uložit změnu <Ent>");
inline const QString kHintNeukladat = QStringLiteral("Neukládat <Esc>");
inline const QString kHintHled = QStringLiteral("Hledání jmenin");
inline const QString kHintKalendar = QStringLiteral("Kalendář");
inline const QString kHintSvatby = QStringLiteral("Svatební výročí");
inline const QString kTisk = QStringLiteral("&Tisk");
inline const QString kZpet = QStringLiteral("&Zpět");

// Search panel.
inline const QString kSearchInitial = QStringLiteral("hledané jméno(část) ");
inline const QString kNajdi = QStringLiteral("&Najdi");
inline const QString kSearchZpet = QStringLiteral("Z&pět");

// Lists.
inline const QString kListHint = QStringLiteral("Klikni");
inline const QString kColumnZnameni = QStringLiteral("ZNAMENÍ");
inline const QString kColumnObdobi = QStringLiteral("OBDOBÍ");
inline const QString kColumnRoku = QStringLiteral("Roků");
inline const QString kColumnNazev = QStringLiteral("Název");

// Printing.
inline const QString kPrintQuestion = QStringLiteral("Chcete vytisknout obsah přehledu svátků a výročí?");
inline const QString kPrintJob = QStringLiteral("Jména a výročí");
inline const QString kLabelDatum = QStringLiteral("DATUM:   ");
inline const QString kLabelSvatek = QStringLiteral("SVÁTEK:  ");
inline const QString kLabelVyroci = QStringLiteral("Výročí:  ");

} // namespace organiser::svatek
