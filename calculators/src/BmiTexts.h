#pragma once

// The texts of the body-mass index calculator and its explanatory text
// window, as the user sees them.

#include <QString>

namespace calculators::bmitexts {

inline const QString kCaption = QStringLiteral("Index tělesné hmotnosti BMI ");
inline const QString kGroupInputs = QStringLiteral("Míra a váha k výpočtu");
inline const QString kVyska = QStringLiteral("Výška v cm");
inline const QString kVaha = QStringLiteral("Váha v kg");
inline const QString kWholeNumbers = QStringLiteral("(uvádějte celá čísla)");
inline const QString kVypocet = QStringLiteral("&Výpočet");
inline const QString kTabulka = QStringLiteral("Tab&ulka");
inline const QString kHintTabulka = QStringLiteral("Ukládání a prohlížení");
inline const QString kText = QStringLiteral("&Text");
inline const QString kHintText = QStringLiteral("Doprovodný text");
inline const QString kZavrit = QStringLiteral("&Zavřít");
inline const QString kGroupResults = QStringLiteral("Výsledky");
inline const QString kKategorie = QStringLiteral("Kategorie");
inline const QString kRizika = QStringLiteral("Zdravotní rizika");
inline const QString kKg = QStringLiteral("kg");

// The seven limit rows, in order.
inline const QString kRowPodvaha = QStringLiteral("Podváha při hmotnosti do");
inline const QString kRowNormalni = QStringLiteral("Normální váha při hmotnosti do");
inline const QString kRowNadvaha = QStringLiteral("Lehká nadváha při hmotnosti do");
inline const QString kRowZvysenaNadvaha = QStringLiteral("Zvýšená nadváha při hmotnosti do");
inline const QString kRowObezita1 = QStringLiteral("Obezita 1.stupně při hmotnosti do");
inline const QString kRowObezita2 = QStringLiteral("Obezita 2.stupně při hmotnosti do");
inline const QString kRowObezita3 = QStringLiteral("Obezita 3.stupně při hmotnosti nad");

// Categories and risks.
inline const QString kPodvaha = QStringLiteral("PODVÁHA");
inline const QString kNormalni = QStringLiteral("NORMÁLNÍ VÁHA");
inline const QString kLehkaNadvaha = QStringLiteral("LEHKÁ NADVÁHA");
inline const QString kZvysenaNadvaha = QStringLiteral("ZVÝŠENÁ NADVÁHA");
inline const QString kObezita1 = QStringLiteral("OBEZITA 1.STUPNĚ");
inline const QString kObezita2 = QStringLiteral("OBEZITA 2.STUPNĚ");
inline const QString kObezita3 = QStringLiteral("OBEZITA 3.STUPNĚ");
inline const QString kRiskPodvyziva = QStringLiteral("CHOROBY Z PODVÝŽIVY");
inline const QString kRiskMinimalni = QStringLiteral("MINIMÁLNÍ");
inline const QString kRiskLehceZvysena = QStringLiteral("LEHCE ZVÝŠENÁ");
inline const QString kRiskZvysena = QStringLiteral("ZVÝŠENÁ");
inline const QString kRiskStredneVysoka = QStringLiteral("STŘEDNĚ VYSOKÁ");
inline const QString kRiskVysoka = QStringLiteral("VYSOKÁ");
inline const QString kRiskVelmiVysoka = QStringLiteral("VELMI VYSOKÁ");

// Errors: the toolkit's own texts where the computation fails as it did,
// Czech ones where the old arithmetic had no defined result.
inline const QString kNotInteger = QStringLiteral("'%1' is not a valid integer value");
inline const QString kDivisionByZero = QStringLiteral("Floating point division by zero");
inline const QString kInvalidOperation = QStringLiteral("Invalid floating point operation");
inline const QString kCannotOpenFile = QStringLiteral("Cannot open file %1");
inline const QString kHeightNotPositive = QStringLiteral("Výška musí být kladné celé číslo centimetrů.");
inline const QString kHeightTooLarge =
    QStringLiteral("Výšku nad %1 cm nelze spočítat. Zadejte výšku v centimetrech.");

// The explanatory text window.
inline const QString kTextCaption = QStringLiteral("Doprovodný text");
inline const QString kTextZpet = QStringLiteral("&Zpět");
inline const QString kExplanation = QStringLiteral(
    "DEFINICE OBEZITY\n"
    "Obezita je nadměrné množství tukové tkáně v těle.\n"
    "Podíl tuku na hmotnosti těla závisí na pohlaví, na věku\n"
    "a také na populaci, ze které člověk pochází.\n"
    "Podíl tuku se měří jen zřídka, proto se k posouzení hmotnosti\n"
    "používá index tělesné hmotnosti (BMI, body mass index):\n"
    "hmotnost v kilogramech dělená druhou mocninou výšky v metrech.\n"
    "Index však podíl tuku přesně nevystihuje: ženy a starší lidé\n"
    "mají při stejném indexu více tuku, silově trénovaní sportovci\n"
    "naopak více svalů.\n"
    "\n"
    "KLASIFIKACE NADVÁHY A ZDRAVOTNÍ RIZIKA\n"
    "Klasifikace Světové zdravotnické organizace (WHO)\n"
    "a Mezinárodní pracovní skupiny pro obezitu (IOTF)\n"
    "vychází ze zdravotních rizik spojených s hmotností.\n"
    "Už při indexu nad 27 je úmrtnost výrazně vyšší.\n"
    "Podváha bývá známkou poruch příjmu potravy.\n"
    "Klasifikace nebere ohled na fyziologické rozdíly\n"
    "ani na rozdíly mezi pohlavími a věkovými skupinami.\n"
    "Rizika rostoucího indexu se s přibývajícím věkem zmenšují.\n"
    "\n"
    "Údaje o klasifikaci vycházejí z veřejně dostupných doporučení\n"
    "Světové zdravotnické organizace a skupiny IOTF.\n"
    "Děkujeme všem, kdo je zpřístupnili.\n"
    "\n"
    "Pelmir a telefony - výpočet indexu tělesné hmotnosti");

} // namespace calculators::bmitexts
