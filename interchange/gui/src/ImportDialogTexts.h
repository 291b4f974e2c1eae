#pragma once

// The Czech texts of the import and export windows.

#include <QString>

namespace interchange::texts {

inline const QString kImportTitle = QStringLiteral("Import adres a dat");
inline const QString kExportTitle = QStringLiteral("Export adresáře");
inline const QString kImportFilter = QStringLiteral(
    "Adresy a tabulky (*.vcf *.vcard *.csv *.txt *.db);;vCard (*.vcf *.vcard);;CSV (*.csv *.txt);;"
    "Tabulka Paradox ze starého datového adresáře (*.db);;Všechny soubory (*)");
inline const QString kExportFilter = QStringLiteral("vCard (*.vcf);;CSV (*.csv)");
inline const QString kReading = QStringLiteral("Čtu %1 …");
inline const QString kChecking = QStringLiteral("Porovnávám s uloženými záznamy …");
inline const QString kWriting = QStringLiteral("Zapisuji …");
inline const QString kExporting = QStringLiteral("Zapisuji adresy do %1 …");
inline const QString kStopped = QStringLiteral("Import byl přerušen; nic se nezapsalo.");
inline const QString kNothing = QStringLiteral("V souboru není nic k importu.");
inline const QString kDone = QStringLiteral("Import je hotov.\n\n%1");
inline const QString kExportDoneOne = QStringLiteral("Zapsána %1 adresa do %2.");
inline const QString kExportDoneFew = QStringLiteral("Zapsány %1 adresy do %2.");
inline const QString kExportDoneMany = QStringLiteral("Zapsáno %1 adres do %2.");
inline const QString kCsvEncoding = QStringLiteral(
    "Uložit CSV v kódování UTF-8 (Ano, doporučeno pro současné programy), nebo ve Windows-1250 "
    "(Ne, pro starší tabulkové programy)?");
inline const QString kUnmappable = QStringLiteral(
    "%1 znaků nemá kódování Windows-1250; v souboru jsou zapsány jako otazník.");

// The preview.
inline const QString kSummary =
    QStringLiteral("%1\nPřidá se %2, konfliktů %3, nelze přečíst %4, zkrátí se nebo vynechá hodnot %5.");
inline const QString kChangedValues = QStringLiteral("Hodnoty, které se nevejdou nebo nepřenesou (projděte je před importem):");
inline const QString kAllConflicts = QStringLiteral("Všechny konflikty:");
inline const QString kSkip = QStringLiteral("Přeskočit");
inline const QString kReplace = QStringLiteral("Nahradit");
inline const QString kKeepBoth = QStringLiteral("Ponechat obojí");
inline const QString kSelected = QStringLiteral("Označené konflikty:");
inline const QString kImportButton = QStringLiteral("&Importovat");
inline const QString kCancelButton = QStringLiteral("&Zrušit");
inline const QString kNotes = QStringLiteral("Poznámky k tabulkám:");
inline const QString kAdd = QStringLiteral("Přidá se");
inline const QString kConflictStored = QStringLiteral("Už uloženo: %1");
inline const QString kConflictEarlier = QStringLiteral("Už v tomto souboru: %1");
inline const QString kProblem = QStringLiteral("Nelze přečíst");
inline const QString kKeepBothAs = QStringLiteral("Ponechat obojí (jako „%1“)");
inline const QString kSkippedTable = QStringLiteral("%1: přeskočeno – %2");
inline const QString kHeaderTable = QStringLiteral("Tabulka");
inline const QString kHeaderWhere = QStringLiteral("Kde");
inline const QString kHeaderState = QStringLiteral("Stav");
inline const QString kHeaderRecord = QStringLiteral("Záznam");
inline const QString kHeaderChoice = QStringLiteral("Volba");
inline const QString kHeaderWarning = QStringLiteral("Upozornění");


// The columns of a CSV file.
inline const QString kColumnsTitle = QStringLiteral("Sloupce souboru CSV");
inline const QString kColumnsExplain = QStringLiteral(
    "Některé sloupce souboru program nezná podle záhlaví. Určete, co který sloupec obsahuje; sloupce "
    "bez určení se přenesou do poznámky. Import potřebuje sloupec s příjmením, celým jménem nebo "
    "názvem firmy.");
inline const QString kColumn = QStringLiteral("„%1“ (např. %2)");
inline const QString kEmptyExample = QStringLiteral("prázdné");
inline const QString kQuotedExample = QStringLiteral("„%1“");

} // namespace interchange::texts
