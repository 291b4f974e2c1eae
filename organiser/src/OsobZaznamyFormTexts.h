#pragma once

// Every text the personal records window shows.

#include <QString>

namespace organiser::osobzaznamy {

inline const QString kCaption = QStringLiteral("Osobní záznamy");
inline const QString kLabelNazev = QStringLiteral("Název:");
inline const QString kLabelText = QStringLiteral("Text:");
inline const QString kLabelSeznam = QStringLiteral("Seznam názvů:");
inline const QString kHintFirst = QStringLiteral("Na první záznam");
inline const QString kHintPrior = QStringLiteral("Na předchozí záznam");
inline const QString kHintNext = QStringLiteral("Na další záznam");
inline const QString kHintLast = QStringLiteral("Na poslední záznam");
inline const QString kHintVloz = QStringLiteral("Vložit");
inline const QString kHintSmaz = QStringLiteral("Smazat");
inline const QString kHintPotvrd = QStringLiteral("Uložit záznam/změnu");
inline const QString kHintZrus = QStringLiteral("Neukládat");
inline const QString kTisk = QStringLiteral("&Tisk");
inline const QString kZpet = QStringLiteral("&Zpět");
inline const QString kHintZpet = QStringLiteral("Zpět do adresáře");
inline const QString kDeleteQuestion = QStringLiteral("Smazat záznam s názvem %1?");
inline const QString kDuplicate = QStringLiteral("Nelze vložit dva stejné názvy. Stejný název už existuje.");
inline const QString kPrintQuestion = QStringLiteral("Chcete vytisknout celý obsah záznamníku?");

} // namespace organiser::osobzaznamy
