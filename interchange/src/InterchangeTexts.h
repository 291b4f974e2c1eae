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
inline const QString kNotUtf16 = QStringLiteral("soubor začíná značkou UTF-16, ale není v tomto kódování");

} // namespace interchange::texts
