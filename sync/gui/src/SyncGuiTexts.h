#pragma once

// The Czech texts of the sync's dialogs and menu commands.

#include <QString>

namespace davsync::texts {

inline const QString kSettingsTitle = QStringLiteral("Nastavení synchronizace");
inline const QString kServerLabel = QStringLiteral("&Adresa serveru:");
inline const QString kUserLabel = QStringLiteral("&Uživatel:");
inline const QString kPasswordLabel = QStringLiteral("&Heslo:");
inline const QString kInsecureBox = QStringLiteral("&Povolit nešifrované spojení (http) k jinému počítači");
inline const QString kBookLabel = QStringLiteral("Adresář na &serveru:");
inline const QString kLoadBooks = QStringLiteral("&Načíst ze serveru");
inline const QString kCalendarLabel = QStringLiteral("&Kalendář pro plánovač:");
inline const QString kNoPlannerSync = QStringLiteral("(plánovač nesynchronizovat)");
inline const QString kNewCalendar = QStringLiteral("(nový kalendář „Plánovač“)");
inline const QString kNameDaysBox = QStringLiteral("&Jmeniny a výročí v kalendáři „Jmeniny a výročí“ na serveru");
inline const QString kNewBook = QStringLiteral("(nový adresář „Adresář“)");
inline const QString kInsecureWarning = QStringLiteral(
    "Spojení http k jinému počítači není šifrované: heslo i všechny kontakty půjdou sítí čitelně. "
    "Opravdu ho chcete povolit?");
inline const QString kKeyringMissing = QStringLiteral(
    "%1\nHeslo zůstane zapamatováno jen do konce běhu programu; při příštím spuštění ho zadejte znovu "
    "v nastavení synchronizace.");
inline const QString kAskPassword = QStringLiteral(
    "Heslo k serveru není uloženo. Zadejte ho v nastavení synchronizace.");
inline const QString kProgressTitle = QStringLiteral("Synchronizace");
inline const QString kSyncFailed = QStringLiteral("Synchronizace se nezdařila.\n%1");

inline const QString kConflictsTitle = QStringLiteral("Změněno zde i na serveru");
inline const QString kConflictsIntro = QStringLiteral(
    "Tyto záznamy se od minulé synchronizace změnily zde i na serveru. U každého zvolte, která verze platí; "
    "ta druhá se přepíše.");
inline const QString kColumnRecord = QStringLiteral("Záznam");
inline const QString kColumnHere = QStringLiteral("Zde");
inline const QString kColumnServer = QStringLiteral("Na serveru");
inline const QString kColumnChoice = QStringLiteral("Platí");
inline const QString kChoiceHere = QStringLiteral("verze zde");
inline const QString kChoiceServer = QStringLiteral("verze ze serveru");
inline const QString kPairsTitle = QStringLiteral("První synchronizace");
inline const QString kPairsIntro = QStringLiteral(
    "Na serveru už jsou kontakty. Tyto dvojice mají stejné jméno zde i na serveru a budou spojeny v jeden "
    "záznam (kde se liší, zvolíte verzi). Nic se nezapíše, dokud je nepotvrdíte.");
inline const QString kJoin = QStringLiteral("&Spojit a synchronizovat");

} // namespace davsync::texts
