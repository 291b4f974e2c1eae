#pragma once

// The texts the backup commands and windows show, kept in one place.

#include <QString>

namespace backup::texts {

// Backup log window.
inline const QString kZalhCaption = QStringLiteral("Kontrola zálohování");
inline const QString kFrameTitle = QStringLiteral("Provedené zálohy:");
inline const QString kColumnDatum = QStringLiteral("Datum");
inline const QString kColumnCas = QStringLiteral("Čas");
inline const QString kLabelNaDiskety = QStringLiteral("Na diskety");
inline const QString kLabelNaDisk = QStringLiteral("Na disk");
inline const QString kOznaceny = QStringLiteral("&Označený");
inline const QString kHintOznaceny = QStringLiteral("Vymazat označený záznam");
inline const QString kVsechny = QStringLiteral("&Všechny");
inline const QString kHintVsechny = QStringLiteral("Vymazat celou statistiku");
inline const QString kZpet = QStringLiteral("&Zpět");
inline const QString kHintZpet = QStringLiteral("Zpět");
inline const QString kAskDeleteMarked = QStringLiteral("Bude smazán označený záznam o provedené záloze!");
inline const QString kAskDeleteAll = QStringLiteral("Budou smazána všechna data o provedených zálohách!");

// Archiver settings window.
inline const QString kNastavCaption = QStringLiteral("Nastavení zálohování");
// Twelve and ten blanks make the word wrap break the lines there.
inline const QString kLabelFirst =
    QStringLiteral("Napiš celou cestu k souboru arj.exe se") + QString(12, QLatin1Char(' ')) +
    QStringLiteral("zpětným lomítkem na konci.") + QString(10, QLatin1Char(' ')) +
    QStringLiteral("Např.: Je-li soubor arj.exe v adresáři ARJ na disku \"C\", pak je cesta C:\\ARJ\\");
inline const QString kLabelEmpty = QStringLiteral("NAPIŠ CESTU");
inline const QString kLabelSaved =
    QStringLiteral("               CESTA ULOŽENA                  "
                   "Před prvním zálohováním je třeba program znovu spustit");
inline const QString kLabelShort = QStringLiteral(
    "Napiš celou cestu k souboru arj.exe se zpětným lomítkem na konci. Např.: C:\\ARJ\\");
inline const QString kUloz = QStringLiteral("&Ulož");
inline const QString kKonec = QStringLiteral("&Konec");

// Backup commands.
inline const QString kDiskDone = QStringLiteral("Zálohovací soubory zkopírovány do podadresáře \"Zaloha\"!");
inline const QString kNoDisk = QStringLiteral("Není vložena disketa. Po jejím vložení zmáčkni Ano.");
inline const QString kStillNoDisk =
    QStringLiteral("Disketa stále není vložena (%1). Záloha na diskety se neprovedla.");
inline const QString kArchiverMissing = QStringLiteral(
    "Archivační program ARJ nebyl v adresáři „%1“ nalezen, záloha na diskety se neprovedla. "
    "Zadejte adresář programu arj v nabídce Nastavení › Zálohování ARJ a program spusťte znovu.");
inline const QString kArchiverNotStarted =
    QStringLiteral("Archivační program „%1“ se nepodařilo spustit. Záloha na diskety se neprovedla.");
inline const QString kRestoreNotStarted = QStringLiteral(
    "Program obnovy „%1“ se nepodařilo spustit. Data zůstala beze změny a program pracuje dál.");
// The archiver window's closing line (a printf format: %s is the archiver's exit code).
inline const QString kArchiverWindowEnd =
    QStringLiteral("Archivace skončila (kód %s). Okno zavřete klávesou Enter.");

// A backup that failed before its copies were whole: the reason follows.
inline const QString kBackupNotDone = QStringLiteral("Záloha se neprovedla, předchozí záloha zůstala beze změny. %1");
inline const QString kNoBackupDir = QStringLiteral(
    "Záloha se neprovedla: adresář pro zálohu „%1“ neexistuje nebo to není adresář. Vytvořte ho a zálohu "
    "spusťte znovu.");
inline const QString kTableMissingInData = QStringLiteral("V adresáři „%2“ chybí tabulka „%1“.");
inline const QString kTablesMissingInData = QStringLiteral("V adresáři „%2“ chybí tabulky „%1“.");
inline const QString kCannotCreateStaging = QStringLiteral("Adresář „%1“ pro novou zálohu nelze vytvořit: %2.");
// The copies are whole but could not take the old ones' place yet.
inline const QString kBackupNotMovedIn = QStringLiteral(
    "Nová záloha je úplná v adresáři „%1“, ale na místo předchozí se nepřesunula: %2 "
    "Dokončí se při příští záloze nebo obnově.");

// File errors: what failed, with which file, and why.
inline const QString kCannotOpen = QStringLiteral("Soubor „%1“ nelze otevřít: %2.");
inline const QString kCannotCreate = QStringLiteral("Soubor „%1“ nelze vytvořit: %2.");
inline const QString kCannotRead = QStringLiteral("Chyba při čtení souboru „%1“: %2.");
inline const QString kCannotWrite = QStringLiteral("Chyba při zápisu do souboru „%1“: %2.");
inline const QString kCannotWriteManifest = QStringLiteral("Soubor „%1“ nelze zapsat: %2.");
inline const QString kCannotMove = QStringLiteral("Soubor „%1“ nelze přesunout do „%2“: %3.");
inline const QString kCannotRemove = QStringLiteral("Soubor „%1“ nelze odstranit: %2.");
inline const QString kCannotReplaceManifest = QStringLiteral("Soubor „%1“ nelze odstranit.");
inline const QString kCopyCutShort = QStringLiteral("Kopie „%1“ má %2 bajtů místo %3.");
inline const QString kDamagedManifest = QStringLiteral("Soubor „%1“ je poškozený.");
inline const QString kCannotHoldTable = QStringLiteral("Tabulku „%1“ nelze pro zálohu uzamknout: %2");
inline const QString kReasonNotFound = QStringLiteral("soubor nebo adresář neexistuje");
inline const QString kReasonAccess = QStringLiteral("přístup odepřen");
inline const QString kReasonFull = QStringLiteral("na disku není dost místa");
inline const QString kReasonTooLarge = QStringLiteral("soubor je pro tento disk příliš velký");
inline const QString kReasonQuota = QStringLiteral("překročena kvóta disku");
inline const QString kReasonReadOnly = QStringLiteral("disk je chráněn proti zápisu");
inline const QString kReasonNotDirectory = QStringLiteral("část cesty není adresář");
inline const QString kReasonIsDirectory = QStringLiteral("jde o adresář, ne o soubor");
inline const QString kReasonIo = QStringLiteral("chyba čtení nebo zápisu na disku");

} // namespace backup::texts
