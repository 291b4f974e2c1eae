#pragma once

// The Czech texts of the synchronisation: messages, progress, reports.

#include <QString>

namespace davsync::texts {

// Reading the servers' answers.
inline const QString kNotMultistatus =
    QStringLiteral("Server neposlal očekávaný seznam položek (multistatus). Zkontrolujte, že adresa "
                   "vede na server CardDAV nebo CalDAV.");
inline const QString kBadXml = QStringLiteral(
    "Odpovědi serveru nelze rozumět (chybné XML: %1, řádek %2). Zkuste synchronizaci později; "
    "trvá-li chyba, obraťte se na správce serveru.");
inline const QString kTooDeep = QStringLiteral("příliš hluboké vnoření");

// Statuses and the network.
inline const QString kUnauthorized = QStringLiteral(
    "Server odmítl přihlášení (401). Zkontrolujte uživatelské jméno a heslo v nastavení synchronizace.");
inline const QString kForbidden = QStringLiteral(
    "Server odepřel přístup k %1 (403). Zkontrolujte, že uživatel smí tento adresář číst a měnit.");
inline const QString kNotFound =
    QStringLiteral("Na serveru nic není na adrese %1 (404). Zkontrolujte adresu serveru a zvolený adresář.");
inline const QString kServerError = QStringLiteral(
    "Server hlásí chybu %1 u %2. Tabulky zůstaly beze změny; zkuste synchronizaci později, trvá-li "
    "chyba, obraťte se na správce serveru.");
inline const QString kOtherStatus =
    QStringLiteral("Server odpověděl na %1 neočekávaně (%2). Tabulky zůstaly beze změny.");
inline const QString kTimeout = QStringLiteral(
    "Server %1 neodpověděl včas. Zkontrolujte připojení k síti a adresu serveru a zkuste to znovu.");
inline const QString kNetwork = QStringLiteral(
    "Se serverem %1 se nelze spojit: %2. Zkontrolujte připojení k síti a adresu serveru.");
inline const QString kTls = QStringLiteral(
    "Zabezpečené spojení se serverem %1 nelze ověřit: %2. Synchronizace neproběhla; zkontrolujte "
    "adresu serveru nebo jeho certifikát.");
inline const QString kTooLarge = QStringLiteral(
    "Odpověď serveru je větší než %1 MB, synchronizace byla zastavena. Tabulky zůstaly beze změny; "
    "obraťte se na správce serveru.");
inline const QString kCancelled = QStringLiteral("Synchronizace byla zrušena.");
inline const QString kTooManyRedirects =
    QStringLiteral("Server přesměrovává dokola (%1). Zkontrolujte adresu serveru.");
inline const QString kNoHomeSet = QStringLiteral(
    "Server na adrese %1 neuvádí žádné adresáře ani kalendáře uživatele. Zadejte přímo adresu "
    "adresáře nebo kalendáře.");
inline const QString kCannotCreate = QStringLiteral("Na serveru nelze založit „%1“ (%2).");
inline const QString kBadItem = QStringLiteral("Položku %1 nelze přečíst: %2");

} // namespace davsync::texts

namespace davsync::texts {

// Progress.
inline const QString kLooking = QStringLiteral("Zjišťuji změny na serveru…");
inline const QString kDownloading = QStringLiteral("Stahuji změny ze serveru…");
inline const QString kSaving = QStringLiteral("Ukládám změny do tabulky…");
inline const QString kUploading = QStringLiteral("Odesílám změny na server…");

// Reports of single items.
inline const QString kConflictServerKept = QStringLiteral(
    "%1 „%2“ se změnil zde i na serveru; platí verze ze serveru. Zde byl: %3");
inline const QString kConflictLocalKept =
    QStringLiteral("%1 „%2“ se změnil zde i na serveru; platí verze zde. Na serveru byl: %3");
inline const QString kComesBack = QStringLiteral(
    "%1 „%2“ byl zde smazán, ale na serveru se mezitím změnil; změna má přednost, záznam je zpět.");
inline const QString kSentAgain = QStringLiteral(
    "%1 „%2“ byl na serveru smazán, ale zde se mezitím změnil; změna má přednost, je na serveru znovu.");
inline const QString kRewritten =
    QStringLiteral("Server upravil %1 „%2“ po svém; tabulka převzala jeho verzi.");
inline const QString kPreconditionLoop = QStringLiteral(
    "Server opakovaně odmítá zápis, protože se položky mezitím mění (412). Zkuste synchronizaci za chvíli "
    "znovu; změny zde zůstaly zachovány.");

} // namespace davsync::texts

namespace davsync::texts {

// Settings.
inline const QString kBadServerAddress = QStringLiteral(
    "„%1“ není adresa serveru. Zadejte ji celou, například https://server.cz/dav/.");
inline const QString kInsecureRefused = QStringLiteral(
    "Server %1 je zadán s http: heslo i kontakty by šly sítí nešifrované. Použijte https, nebo "
    "nešifrované spojení v nastavení synchronizace výslovně povolte.");
inline const QString kSettingsTooLong =
    QStringLiteral("Soubor nastavení synchronizace je příliš dlouhý; nejde o soubor tohoto programu.");

} // namespace davsync::texts

namespace davsync::texts {

inline const QString kKeyringFailed = QStringLiteral("Klíčenka systému heslo neuložila ani nevydala: %1");
// Why, in place of the keyring library's English texts.
inline const QString kKeyringNone = QStringLiteral("v tomto sezení neběží žádná klíčenka (Secret Service, KWallet).");
inline const QString kKeyringDenied = QStringLiteral("přístup ke klíčence byl odepřen.");
inline const QString kKeyringOther = QStringLiteral("klíčenka ohlásila chybu.");

} // namespace davsync::texts

namespace davsync::texts {

inline const QString kDefaultBookName = QStringLiteral("Adresář");
inline const QString kSeveralBooks = QStringLiteral(
    "Na serveru je více adresářů (%1). Zvolte jeden v nastavení synchronizace nebo volbou --addressbook.");
inline const QString kSeveralCalendars = QStringLiteral(
    "Na serveru je více kalendářů (%1). Zvolte jeden v nastavení synchronizace nebo volbou --calendar.");
inline const QString kSummary = QStringLiteral(
    "Adresář „%1“ synchronizován: ze serveru %2, na server %3, smazáno zde %4, smazáno na serveru %5.");

} // namespace davsync::texts

namespace davsync::texts {

inline const QString kNotConfigured = QStringLiteral(
    "Synchronizace není nastavena. Zadejte --server ADRESA a --user JMÉNO, nebo ji nastavte v programu "
    "(Zálohování › Synchronizovat).");
inline const QString kNoPasswordKept = QStringLiteral("Heslo pro %1 není uloženo v klíčence systému.");
inline const QString kUsePasswordStdin =
    QStringLiteral("Zadejte ho na standardní vstup s volbou --password-stdin.");
inline const QString kPairsListed = QStringLiteral(
    "První synchronizace: tyto záznamy zde a na serveru mají stejné jméno a budou spojeny:");
inline const QString kPairsNotAccepted = QStringLiteral(
    "Nic nebylo zapsáno. Projděte dvojice výše a potvrďte je volbou --yes, nebo synchronizujte z programu.");
inline const QString kTableFailed = QStringLiteral("Synchronizace se zastavila při zápisu do tabulky: %1");

} // namespace davsync::texts

namespace davsync::texts {

inline const QString kNoEvent = QStringLiteral("v kalendáři není žádná událost se dnem začátku");

} // namespace davsync::texts

namespace davsync::texts {

inline const QString kPlannerSummary = QStringLiteral(
    "Plánovač s kalendářem „%1“ synchronizován: ze serveru %2, na server %3, smazáno zde %4, smazáno na serveru %5.");
inline const QString kNameDaysSummary =
    QStringLiteral("Kalendář „%1“: jmenin a výročí odesláno %2, odstraněno %3.");
inline const QString kDefaultCalendarName = QStringLiteral("Plánovač");

} // namespace davsync::texts

namespace davsync::texts {

inline const QString kDayOutOfRange = QStringLiteral("rok %1 plánovač neumí zapsat");

} // namespace davsync::texts
