#pragma once

// The texts of the postal-code and vehicle-code windows that both share;
// what differs between them is in DirectorySettings.cpp.

#include <QString>

namespace directories::texts {

inline const QString kZmena = QStringLiteral("Změna");
inline const QString kHintZmena = QStringLiteral("Změna řazení");
inline const QString kHintVloz = QStringLiteral("Přidat záznam");
inline const QString kHintSmaz = QStringLiteral("Smazat označený záznam");
inline const QString kHintPotvrd = QStringLiteral("Uložit záznam/změnu");
inline const QString kHintZrus = QStringLiteral("Neukládat");
inline const QString kPosta = QStringLiteral("Pošta");
inline const QString kHintPosta = QStringLiteral("Obce podle PSČ zvoleného řádku");
inline const QString kZpet = QStringLiteral("Zpět");

// The post-office view's statement; the code between the quotes is bound as
// a parameter by the store, whatever characters it holds.
inline const QString kPostOfficeStatement = QStringLiteral("select * from Psc where PSČ = \"%1\"");

// The import of the post's list.
inline const QString kNacist = QStringLiteral("Načíst…");
inline const QString kHintNacist =
    QStringLiteral("Načíst úplný seznam PSČ ze souboru CSV (například ze seznamu České pošty)");
inline const QString kOpenCaption = QStringLiteral("Načíst seznam PSČ");
inline const QString kOpenFilter = QStringLiteral("Soubory CSV (*.csv *.txt);;Všechny soubory (*)");
inline const QString kCannotRead = QStringLiteral("Soubor „%1“ nelze přečíst: %2");
inline const QString kNotAFile = QStringLiteral("„%1“ není obyčejný soubor.");
inline const QString kTooLarge = QStringLiteral("Soubor „%1“ je příliš velký (nejvýš %2 MB); seznam PSČ má kolem 2 MB.");
inline const QString kBadFile = QStringLiteral("Soubor „%1“ nelze načíst.\n\n%2\n\nTabulka PSČ zůstala beze změny.");
inline const QString kNothingNew =
    QStringLiteral("Soubor „%1“ nepřináší nic nového: všech %2 míst už v tabulce je se stejným PSČ.");

} // namespace directories::texts
