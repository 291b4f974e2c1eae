#pragma once

// The texts of the restore program and its checks, kept in one place.

#include <QString>

namespace backup::texts {

// Checking a backup.
inline const QString kNoBackup = QStringLiteral("V adresáři „%1“ není žádná záloha.");
inline const QString kNotFinished =
    QStringLiteral("Záloha v adresáři „%1“ není dokončená: poslední zálohování skončilo chybou "
                   "dřív, než zkopírovalo všechny tabulky.");
inline const QString kMissingFile = QStringLiteral("Záloha není úplná: chybí v ní soubor „%1“.");
inline const QString kChangedFile = QStringLiteral(
    "Soubor zálohy „%1“ má %2 bajtů, při zálohování měl %3 bajtů: záloha je poškozená.");
inline const QString kDamagedTable = QStringLiteral("Tabulku „%1“ ze zálohy nelze otevřít: %2.");
// Why a table does not open, without the store's advice to restore it: that is what fails here.
inline const QString kTableDamaged = QStringLiteral("soubor je poškozený nebo není tabulkou tohoto programu");
inline const QString kTableMissing = QStringLiteral("soubor chybí");
inline const QString kTablePassword = QStringLiteral("tabulka je chráněná heslem, které program nezná");
inline const QString kTableLocked = QStringLiteral("soubor právě používá jiný program");
inline const QString kTableUnreadable = QStringLiteral("soubor nelze přečíst");

// Putting the tables back.
inline const QString kRestoredDoesNotOpen =
    QStringLiteral("Obnovenou tabulku „%1“ nelze otevřít: %2. Původní tabulky byly vráceny zpět.");
inline const QString kReplacedFolderPrefix = QStringLiteral("puvodni-");
inline const QString kDamagedJournal = QStringLiteral("Záznam rozpracované obnovy „%1“ je poškozený.");
inline const QString kRestoreUndone = QStringLiteral(
    "Obnova dat ze zálohy byla přerušena. Tabulky ve složce Data jsou vráceny tak, jak byly před ní; "
    "obnovu můžete spustit znovu.");
inline const QString kRestoreNotUndone = QStringLiteral(
    "Přerušenou obnovu dat ze zálohy se nepodařilo vrátit: %1 Tabulky, které obnova nahradila, jsou "
    "v adresáři „%2“; program to zkusí znovu při příštím spuštění.");

// The question and the outcome.
inline const QString kBackupTaken = QStringLiteral("Záloha z %1 obsahuje:");
inline const QString kTableLine = QStringLiteral("%1 (%2): %3");
inline const QString kAskRestore = QStringLiteral(
    "Obnovit data z této zálohy? Nynější tabulky se nejdřív přesunou do adresáře „%1“ v adresáři Data.");
inline const QString kRestored = QStringLiteral(
    "Data jsou obnovena ze zálohy z %1. Původní tabulky jsou uloženy v adresáři „%2“.");
inline const QString kRefused = QStringLiteral("Zálohu nelze obnovit. %1\n\nData zůstala beze změny.");
inline const QString kStillRunning = QStringLiteral(
    "Program Pelmir a telefony ještě pracuje s daty v adresáři „%1“. Ukončete ho a obnovu spusťte znovu.");
inline const QString kNoDataDir = QStringLiteral("Adresář s daty „%1“ neexistuje.");
inline const QString kNoFloppyArchive = QStringLiteral("Na disketě (%1) není záloha „%2“.");
inline const QString kNoArchiver = QStringLiteral(
    "Archivační program ARJ nebyl nalezen (ani v adresáři „%1“ ze souboru Nastavzal.txt, ani jako arj).");
inline const QString kExtractFailed = QStringLiteral("Archiv „%1“ se nepodařilo rozbalit: %2");
inline const QString kArchiverNoStart = QStringLiteral("program nelze spustit");
inline const QString kArchiverExit = QStringLiteral("archivátor skončil s kódem %1");
inline const QString kBadArgument = QStringLiteral("Neznámý parametr programu obnovy: „%1“.");
inline const QString kMainNotStarted =
    QStringLiteral("Program „%1“ se nepodařilo znovu spustit. Spusťte ho prosím sami.");

// Where the menu that restores tables cannot be reached.
inline const QString kByRestoreProgram = QStringLiteral("programem obnovy pelmir-restore");
inline const QString kStartRestoreProgram = QStringLiteral(
    "Program se teď ukončí, nabídka Zálohování proto není k dispozici. Obnovu ze zálohy spustíte příkazem:\n"
    "%1 --workdir %2\n"
    "Zálohu z disket obnoví tentýž příkaz s volbou --arj.");

// Records, as Czech counts them: 1 záznam, 2 až 4 záznamy, jinak záznamů.
inline const QString kRecordsOne = QStringLiteral("%1 záznam");
inline const QString kRecordsFew = QStringLiteral("%1 záznamy");
inline const QString kRecordsMany = QStringLiteral("%1 záznamů");

// The tables as the user knows them from the menu.
struct TableTitle {
    const char* table;
    const char* title;
};
inline constexpr TableTitle kTableTitles[] = {
    {"Cas.db", "Časové odchylky"},
    {"Dat.DB", "Adresář"},
    {"Datp.db", "Plánovač"},
    {"Datz.db", "Osobní záznamník"},
    {"Psc.DB", "Poštovní směrovací čísla"},
    {"Spzzem.db", "Poznávací značky zemí"},
    {"Svatek.db", "Jmeniny a rodinná výročí"},
    {"TelefCR.DB", "Telefonní předvolby v ČR"},
    {"TelefSvt.DB", "Mezinárodní tel. předvolby"},
    {"Vyrob.db", "Seznam přístrojů"},
    {"Zaloha.db", "Kontrola zálohování"},
    {"Data.DB", "Váha"},
    {"Synchro.DB", "Synchronizace"},
};

} // namespace backup::texts
