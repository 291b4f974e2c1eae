#pragma once

// Every text the letter editor shows.

#include <QString>

namespace editor::texts {

inline const QString kUntitled = QStringLiteral("Bez názvu");
inline const QString kCaption = QStringLiteral("%1 - %2"); // file name, application title
inline const QString kFilter = QStringLiteral("Formát RTF (*.rtf)");
inline const QString kExtension = QStringLiteral("rtf");
inline const QString kOpenCaption = QStringLiteral("Otevřít");
inline const QString kSaveCaption = QStringLiteral("Uložit jako");
inline const QString kObjectCaption = QStringLiteral("Vložit objekt");
inline const QString kObjectFilter = QStringLiteral("Obrázky (*.png *.jpg *.jpeg)");

inline const QString kAskSave = QStringLiteral("Uložit změny do souboru %1?");
inline const QString kAskOverwrite = QStringLiteral("Přepsat soubor %1?");
inline const QString kNotFound = QStringLiteral("Nenašel jsem \"%1\" v tomto textu.");
inline const QString kCannotRead = QStringLiteral("Soubor %1 nelze přečíst: %2");
inline const QString kLoading = QStringLiteral("Otevírání dokumentu");
inline const QString kCannotWrite = QStringLiteral("Soubor %1 nelze uložit: %2");
inline const QString kNotAPicture = QStringLiteral("Soubor %1 není obrázek PNG ani JPEG.");
inline const QString kNotANumber = QStringLiteral("„%1“ není platné celé číslo.");

inline const QString kCaretPosition = QStringLiteral("Řádek: %1   Znaků: %2");
inline const QString kModified = QStringLiteral("Změněno");

// Toolbar hints: the short part is the tooltip, the long one (after "|")
// goes to the status bar.
inline const QString kHintNew = QStringLiteral("Nový soubor|Nový soubor");
inline const QString kHintOpen = QStringLiteral("Otevřít|Otevřít existující soubor");
inline const QString kHintSave = QStringLiteral("Uložit|Uložit ");
inline const QString kHintPrint = QStringLiteral("Tisk|Tisk tohoto souboru");
inline const QString kHintUndo = QStringLiteral("Zpět|Zpět před poslední akci");
inline const QString kHintCut = QStringLiteral("Vyjmout|Vyjmout");
inline const QString kHintCopy = QStringLiteral("Kopírovat|Kopírovat zvolenou část textu");
inline const QString kHintPaste = QStringLiteral("Vložit|Vložit z Clipboardu");
inline const QString kHintFontName = QStringLiteral("Písmo");
inline const QString kHintFontSize = QStringLiteral("Velikost písma");
inline const QString kHintBold = QStringLiteral("Tučné");
inline const QString kHintItalic = QStringLiteral("Kurzíva");
inline const QString kHintUnderline = QStringLiteral("Podtržení");
inline const QString kHintLeft = QStringLiteral("Zarovnat vlevo");
inline const QString kHintCentre = QStringLiteral("Zarovnat na střed");
inline const QString kHintRight = QStringLiteral("Zarovnat vpravo");
inline const QString kHintBullets = QStringLiteral(
    "Výchozí odrážky|Vytvoří seznam s odrážkami založený na aktuálním výchozím nastavení");
inline const QString kHintEnd = QStringLiteral("Ukončit editor|Ukončit editor");
inline const QString kHintRuler = QStringLiteral("Odsazení prvního řádku, levé a pravé odsazení");
inline const QString kHintFirstInd = QStringLiteral("Odsazení prvního řádku odstavce");
inline const QString kHintLeftInd = QStringLiteral("Levé odsazení");
inline const QString kHintRightInd = QStringLiteral("Pravé odsazení");

inline const QString kFontNameStart = QStringLiteral("Písmo");

// Menus.
inline const QString kMenuFile = QStringLiteral("Soubor");
inline const QString kNew = QStringLiteral("Nový");
inline const QString kOpen = QStringLiteral("Otevřít");
inline const QString kSave = QStringLiteral("Uložit");
inline const QString kSaveAs = QStringLiteral("Uložit jako...");
inline const QString kPrint = QStringLiteral("Tisk...");
inline const QString kExit = QStringLiteral("Konec");
inline const QString kMenuEdit = QStringLiteral("Úpravy");
inline const QString kUndo = QStringLiteral("Zpět");
inline const QString kCut = QStringLiteral("Vyjmout");
inline const QString kCopy = QStringLiteral("Kopírovat");
inline const QString kPaste = QStringLiteral("Vložit");
inline const QString kDelete = QStringLiteral("Smazat");
inline const QString kFind = QStringLiteral("Najít");
inline const QString kReplace = QStringLiteral("Nahradit");
inline const QString kSelectAll = QStringLiteral("Vybrat vše...");
inline const QString kMenuLook = QStringLiteral("Vzhled");
inline const QString kFont = QStringLiteral("Písmo...");
inline const QString kInsertObject = QStringLiteral("Vložit objekt");

// The find and replace dialogs.
inline const QString kFindWhat = QStringLiteral("&Co hledat:");
inline const QString kReplaceWith = QStringLiteral("&Nahradit čím:");
inline const QString kFindNext = QStringLiteral("Najít &další");
inline const QString kReplaceOne = QStringLiteral("&Nahradit");
inline const QString kReplaceAll = QStringLiteral("Nahradit &vše");
inline const QString kClose = QStringLiteral("Zavřít");

} // namespace editor::texts
