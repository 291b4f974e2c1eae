#pragma once

// The Czech texts of reading and writing the outside formats.

#include <QString>

namespace interchange::texts {

inline const QString kListSeparator = QStringLiteral(", ");
inline const QString kNoteSeparator = QStringLiteral("; ");
inline const QString kMorePhones = QStringLiteral("Další telefony: ");
inline const QString kFirm = QStringLiteral("Firma: ");
inline const QString kEmail = QStringLiteral("E-mail: ");
inline const QString kBirthday = QStringLiteral("Narozeniny: ");
inline const QString kAnniversary = QStringLiteral("Výročí: ");
inline const QString kWeb = QStringLiteral("Web: ");
inline const QString kNickname = QStringLiteral("Přezdívka: ");
inline const QString kJobTitle = QStringLiteral("Funkce: ");
inline const QString kRole = QStringLiteral("Role: ");
inline const QString kChat = QStringLiteral("Chat: ");
inline const QString kGroups = QStringLiteral("Skupiny: ");
inline const QString kMoreAddress = QStringLiteral("Další adresa: ");
inline const QString kPhotoLeftOut = QStringLiteral("Fotografie se nepřenáší.");
inline const QString kPropertyLeftOut = QStringLiteral("vlastnost %1 se nepřenáší: „%2“");
inline const QString kBinaryLeftOut = QStringLiteral("vlastnost %1 (binární data) se nepřenáší");

// Where: "Řádek 12: ..." / "Záznam 3: ...".
inline const QString kLineWord = QStringLiteral("Řádek");
inline const QString kRecordWord = QStringLiteral("Záznam");
inline const QString kAt = QStringLiteral("%1 %2: %3");

// vCard.
inline const QString kNoColon = QStringLiteral(
    "řádek nemá tvar vlastnosti (chybí dvojtečka); zalomení řádků je zřejmě porušené – "
    "pokračovací řádek musí začínat mezerou");
inline const QString kStrayContinuation = QStringLiteral("pokračovací řádek nenavazuje na žádnou vlastnost");
inline const QString kOutsideCard = QStringLiteral("text mimo vizitku (chybí BEGIN:VCARD)");
inline const QString kEndWithoutBegin = QStringLiteral("END:VCARD bez BEGIN:VCARD");
inline const QString kNoEnd = QStringLiteral("vizitka začínající na řádku %1 nemá konec (END:VCARD)");
inline const QString kBadVersion = QStringLiteral("nepodporovaná verze vCard „%1“ (čte se 2.1, 3.0 a 4.0)");
inline const QString kBadQuotedPrintable = QStringLiteral("chybný zápis quoted-printable");
inline const QString kUnknownCharset = QStringLiteral("neznámé kódování znaků „%1“");
inline const QString kNotInCharset = QStringLiteral("text není v kódování %1");
inline const QString kNoName = QStringLiteral("vizitka nemá jméno ani název firmy");
inline const QString kBadUtf8 = QStringLiteral("vlastnost %2 obsahuje bajt 0x%1, který v textu UTF-8 nemůže být; "
                                               "soubor je na tomto místě poškozený");
inline const QString kControlsLeftOut = QStringLiteral("vlastnost %1 na řádku %2 obsahovala řídicí znaky; vynechaly se");
inline const QString kReadInCodePage = QStringLiteral("vlastnost %1 na řádku %2 neudává kódování; přečtena jako %3");
inline const QString kFileInCodePage = QStringLiteral("Soubor není v kódování UTF-8; čte se jako %1.");
inline const QString kLinesOutsideCard = QStringLiteral("Řádky %1–%2: %3");
inline const QString kLineTooLong = QStringLiteral("řádek je delší než %1 MB");
inline const QString kCardTooLarge = QStringLiteral("vizitka je delší než %1 MB");
inline const QString kTooManyProperties = QStringLiteral("vizitka má víc než %1 vlastností");
inline const QString kTooManyProblems = QStringLiteral(
    "v souboru je přes %1 chyb, zřejmě nejde o soubor vCard; dál se nečetlo");
inline const QString kNotUtf16 = QStringLiteral("soubor začíná značkou UTF-16, ale není v tomto kódování");

} // namespace interchange::texts

namespace interchange::texts {

// Paradox.
inline const QString kParadoxDescription = QStringLiteral("Datový adresář Paradox (%1)");
inline const QString kCannotOpen = QStringLiteral("soubor nelze otevřít: %1");
inline const QString kTableTooLarge = QStringLiteral("soubor má %1 MB; import čte tabulky nejvýš do %2 MB");
inline const QString kNotParadox = QStringLiteral("soubor není tabulka Paradox, nebo je poškozený (%1)");
inline const QString kTruncated = QStringLiteral(
    "soubor je zkrácený: má %1 bajtů, jeho tabulka jich potřebuje %2; obnovte ho ze zálohy");
inline const QString kEncrypted = QStringLiteral(
    "tabulka je zašifrovaná heslem, které program nezná; tabulka se přeskočí");
inline const QString kRecordUnreadable = QStringLiteral("záznam nelze přečíst");
inline const QString kFieldNotInCodePage = QStringLiteral("pole „%1“ není v kódové stránce %2");
inline const QString kMemoUnreadable = QStringLiteral("poznámku v poli „%1“ nelze přečíst ze souboru %2: %3");
inline const QString kMemoFileMissing = QStringLiteral("chybí soubor poznámek %1");
inline const QString kFieldMissing = QStringLiteral("Pole „%1“ v souboru není; zůstane prázdné.");
inline const QString kFieldLeftOut = QStringLiteral("Pole „%1“ tabulka nemá; nepřenáší se.");
inline const QString kFieldKindLeftOut = QStringLiteral("Pole „%1“ (obrázek nebo binární data) se nepřenáší.");
inline const QString kCodePage = QStringLiteral("Kódová stránka %1.");
inline const QString kUnknownCodePage = QStringLiteral("Soubor uvádí kódovou stránku %1; čte se jako Windows-1250.");
// What is wrong with a table's header (in the parentheses of kNotParadox).
inline const QString kLayoutFileType = QStringLiteral("druh souboru %1 není tabulka");
inline const QString kLayoutVersion = QStringLiteral("neznámá verze souboru %1");
inline const QString kLayoutBlockSize = QStringLiteral("neplatná velikost bloku %1 kB");
inline const QString kLayoutRecordSize = QStringLiteral("velikost záznamu %1 bajtů nesouhlasí s poli");
inline const QString kLayoutFieldCount = QStringLiteral("neplatný počet polí %1");
inline const QString kLayoutHeaderSize = QStringLiteral("popis polí se nevejde do záhlaví (%1 bajtů)");
inline const QString kLayoutField = QStringLiteral("pole %1 má neplatný druh %2 nebo délku %3");
inline const QString kLayoutNames = QStringLiteral("názvy polí nebo tabulky nejsou ukončené");
inline const QString kLayoutChainLoop = QStringLiteral("řetěz datových bloků se vrací do bloku %1");
inline const QString kLayoutBlockRecords = QStringLiteral("datový blok %1 udává víc záznamů, než se do něj vejde");
inline const QString kLayoutChainOutside = QStringLiteral("řetěz datových bloků vede daleko za konec souboru");
inline const QString kLayoutUnreadable = QStringLiteral("knihovna pxlib soubor nepřečetla");
inline const QString kYes = QStringLiteral("Ano");
inline const QString kNo = QStringLiteral("Ne");

} // namespace interchange::texts

namespace interchange::texts {

// The import plan and its result.
inline const QString kMissingKey = QStringLiteral("chybí %1, podle kterého se záznam ukládá");
inline const QString kNotDate = QStringLiteral("pole „%1“: „%2“ není datum (den.měsíc.rok)");
inline const QString kNotTime = QStringLiteral("pole „%1“: „%2“ není čas (hodiny:minuty)");
inline const QString kNotNumber = QStringLiteral("pole „%1“: „%2“ není celé číslo");
inline const QString kShortened = QStringLiteral("pole „%1“ zkráceno na %2 znaků; nevešlo se: „%3“");
inline const QString kResultLine = QStringLiteral(
    "%1: přidáno %2, nahrazeno %3, ponecháno obojí %4, přeskočeno %5, nečitelných %6, zkrácených nebo vynechaných "
    "hodnot %7");
// A shortened or left-out value: "Adresář (Dat.DB): Řádek 3 (Novák): pole ...".
inline const QString kChangedValue = QStringLiteral("%1: %2 %3 (%4): %5");
inline const QString kChangedValueNoKey = QStringLiteral("%1: %2 %3: %4");
inline const QString kResultFailed = QStringLiteral("%1: nic se nezapsalo – %2");
inline const QString kResultSkippedTable = QStringLiteral("%1: přeskočeno – %2");
inline const QString kWriteFailedAt = QStringLiteral("%1 %2: %3");
inline const QString kNotWrittenWithOthers = QStringLiteral("import jiné tabulky selhal, proto se nezapsala ani tato");

} // namespace interchange::texts

namespace interchange::texts {

// Export.
inline const QString kExportCannotWrite = QStringLiteral("Soubor %1 nelze zapsat: %2");
inline const QString kExportStopped = QStringLiteral("Export byl přerušen; soubor se nezměnil.");

} // namespace interchange::texts

namespace interchange::texts {

// Reading the chosen file.
inline const QString kNoSuchFile = QStringLiteral("Soubor %1 neexistuje.");
inline const QString kCannotRead = QStringLiteral("Soubor %1 nelze přečíst: %2");
inline const QString kTooLarge = QStringLiteral(
    "Soubor %1 má %2 MB; import čte soubory nejvýš do %3 MB. Rozdělte ho na menší části.");
inline const QString kNotAFile = QStringLiteral("%1 není soubor.");
inline const QString kReaderFailed = QStringLiteral(
    "Tabulky Paradox ve složce %1 nelze přečíst: jejich čtení skončilo chybou, soubory jsou zřejmě poškozené.");
inline const QString kReaderTooLong = QStringLiteral(
    "Tabulky Paradox ve složce %1 se nepodařilo přečíst do %2 s a jejich čtení bylo ukončeno; soubory jsou "
    "zřejmě poškozené.");
inline const QString kReaderNotStarted = QStringLiteral(
    "Tabulky Paradox ve složce %1 nelze přečíst: program pro jejich čtení se nespustil. Přeinstalujte program.");
inline const QString kNoParadoxTables = QStringLiteral("Ve složce %1 nejsou tabulky Paradox tohoto programu.");
inline const QString kVCardDescription = QStringLiteral("vCard, %1 vizitek");

} // namespace interchange::texts

namespace interchange::texts {

// The command line.
inline const QString kNothingWritten = QStringLiteral("Nic se nezapsalo.");
inline const QString kUnreadableListed = QStringLiteral(
    "Tyto záznamy nelze přečíst; opravte soubor a spusťte import znovu:");
inline const QString kReadStopped = QStringLiteral("Čtení bylo přerušeno.");
inline const QString kNothingToImport = QStringLiteral("V souboru není nic k importu.");
inline const QString kChangedValuesListed = QStringLiteral("Tyto hodnoty se zkrátily nebo vynechaly:");
inline const QString kExportedOne = QStringLiteral("Zapsána %1 adresa do %2.");
inline const QString kExportedFew = QStringLiteral("Zapsány %1 adresy do %2.");
inline const QString kExportedMany = QStringLiteral("Zapsáno %1 adres do %2.");
inline const QString kUnmappable = QStringLiteral(
    "%1 znaků nemá kódování Windows-1250; v souboru jsou zapsány jako otazník.");
inline const QString kCsvNeedsColumns = QStringLiteral(
    "Záhlaví souboru %1 nepojmenovává sloupec s příjmením nebo názvem firmy (%2). "
    "Přejmenujte sloupce, nebo soubor importujte z programu, kde je lze přiřadit.");

} // namespace interchange::texts

namespace interchange::texts {

// CSV.
inline const QString kNoNameRow = QStringLiteral("řádek nemá jméno ani název firmy");
inline const QString kColumnCount = QStringLiteral("řádek má %1 sloupců, záhlaví jich má %2");
inline const QString kCsvDescriptionOne = QStringLiteral("CSV, %1, oddělovač „%2“, %3 řádek");
inline const QString kCsvDescriptionFew = QStringLiteral("CSV, %1, oddělovač „%2“, %3 řádky");
inline const QString kCsvDescriptionMany = QStringLiteral("CSV, %1, oddělovač „%2“, %3 řádků");
inline const QString kCsvUnreadable = QStringLiteral("Soubor %1 nelze načíst jako tabulku CSV. %2");
inline const QString kNoteColumn = QStringLiteral("%1: %2");

} // namespace interchange::texts
