#pragma once

// The appliance register's texts.

#include <QString>

namespace directories::texts {

inline const QString kVyrobCaption = QStringLiteral("Přístroje");
inline const QString kHintFirst = QStringLiteral("Na první záznam");
inline const QString kHintPrior = QStringLiteral("Na předchozí záznam");
inline const QString kHintNext = QStringLiteral("Na další záznam");
inline const QString kHintLast = QStringLiteral("Na poslední záznam");
inline const QString kTisk = QStringLiteral("&Tisk");
inline const QString kZpetButton = QStringLiteral("Zpět");
inline const QString kTitleProdejce = QStringLiteral("Prodejce");
inline const QString kTitleUmisteni = QStringLiteral("Umístění výrobku");
inline const QString kVkladaniOprav = QStringLiteral("Vkládání oprav");
inline const QString kPrehledOprav = QStringLiteral("Přehled oprav");
inline const QString kOd = QStringLiteral("od:");
inline const QString kDo = QStringLiteral("do:");
inline const QString kZarucni = QStringLiteral("Záruční:");
inline const QString kAno = QStringLiteral("Ano");
inline const QString kNe = QStringLiteral("Ne");
inline const QString kUlozitOpravu = QStringLiteral("Uložit");
inline const QString kHintUlozitOpravu = QStringLiteral("Uložit záznam o opravě");
inline const QString kHintVybratDatum = QStringLiteral("Vybrat datum");

inline const QString kDuplicateProduct = QStringLiteral("Nelze vložit dva stejné názvy výrobku.");
inline const QString kRepairQuestion = QStringLiteral(
    "Údaje o opravě které vkládáte, nelze smazat zvlášť.\n\n"
    "Můžete smazat pouze celý výrobek i s daty o opravách.\n\n"
    "Mám je tedy uložit?");
inline const QString kNoAppliance = QStringLiteral("Seznam přístrojů je prázdný. Nejprve vložte přístroj, "
                                                   "potom k němu zapište opravu.");
inline const QString kPrintQuestion = QStringLiteral("Chcete vytisknout celý obsah seznamu přístrojů?");

} // namespace directories::texts
