#pragma once

// The planner's texts as the user sees them, kept in one place.

#include <QString>

namespace organiser::planovac {

inline const QString kCaption = QStringLiteral("Plánovač");
inline const QString kClockPrefix = QStringLiteral("Dnes je ");

// Grid.
inline const QString kTitleDatum = QStringLiteral("Datum");
inline const QString kTitleCinnost = QStringLiteral("Naplánovaná činnost");

// Toolbar.
inline const QString kHintFirst = QStringLiteral("Na první záznam");
inline const QString kHintPrior = QStringLiteral("Na předchozí záznam");
inline const QString kHintNext = QStringLiteral("Na další záznam");
inline const QString kHintLast = QStringLiteral("Na poslední záznam");
inline const QString kHintVloz = QStringLiteral("Nový záznam");
inline const QString kHintSmaz = QStringLiteral("Smazat označený záznam");
inline const QString kHintUlozit = QStringLiteral("Uložit záznam/změnu");
inline const QString kHintNeukladat = QStringLiteral("Neukládat");
inline const QString kHintHledani = QStringLiteral("Hledání textu");
inline const QString kHintSvatek = QStringLiteral("Prohlížení a editace jmen a výročí");
inline const QString kTisk = QStringLiteral("&Tisk");
inline const QString kZpet = QStringLiteral("&Zpět");
inline const QString kHintZpet = QStringLiteral("Zpět do adresáře");

// Search panel.
inline const QString kSearchInitial = QStringLiteral("text");
inline const QString kHledej = QStringLiteral("&Hledej");
inline const QString kDalsi = QStringLiteral("&Další");
inline const QString kSearchZpet = QStringLiteral("Z&pět");
inline const QString kSearching = QStringLiteral("Hledá se text…");
inline const QString kNotFound = QStringLiteral("Výskyt textu \"%1\" nenalezen");
inline const QString kNoFurther = QStringLiteral("Další výskyt textu \"%1\" nenalezen");

// Deleting and printing.
inline const QString kDeleteQuestion = QStringLiteral("Smazat akci plánovanou na %1?");
inline const QString kPrintQuestion = QStringLiteral("Chcete vytisknout celý obsah plánovače?");
inline const QString kPrintJob = QStringLiteral("Plánovač");
inline const QString kLabelDatum = QStringLiteral("DATUM:   ");
inline const QString kLabelCinnost = QStringLiteral("ČINNOST: ");

} // namespace organiser::planovac
