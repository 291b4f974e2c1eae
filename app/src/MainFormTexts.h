#pragma once

// The main window's texts as the user sees them, kept in one place.

#include <QString>

namespace app::texts {

inline const QString kCaption = QStringLiteral("Pelmir s telefonními čísly");
// The window beside the address book while a search waits for the key list of a big book.
inline const QString kReadingKeyList = QStringLiteral("Načítá se seznam adres...");

// Toolbar hints.
inline const QString kHintPozor = QStringLiteral("Dotaz na záznam v plánovači pro dnešní den");
inline const QString kHintVyroci = QStringLiteral("Dotaz na dnešní výročí");
inline const QString kHintSvatek = QStringLiteral("Prohlížení a editace jmen a výročí");
inline const QString kHintFirst = QStringLiteral("Na začátek adresáře");
inline const QString kHintPrior = QStringLiteral("Na předchozí záznam");
inline const QString kHintNext = QStringLiteral("Na další záznam");
inline const QString kHintLast = QStringLiteral("Na konec adresáře");
inline const QString kHintVloz = QStringLiteral("Vložit nový záznam");
inline const QString kHintSmaz = QStringLiteral("Smazat označený záznam <Ctrl + Del>");
inline const QString kHintPotvrd = QStringLiteral("Uložit záznam/změnu");
inline const QString kHintZrus = QStringLiteral("Neukládat");
inline const QString kKonecButton = QStringLiteral("&Konec");

// Grid.
inline const QString kTitlePrijmeni = QStringLiteral("Příjmení - Firma ");

// Floating panels.
inline const QString kUkazat = QStringLiteral("&Ukázat");
inline const QString kDnesMaSvatek = QStringLiteral("Dnes má svátek");
inline const QString kPozorPlanovac =
    QStringLiteral("Pozor, na dnešní den je v Plánovači uložena zpráva!");
inline const QString kNicNaplanovano = QStringLiteral("Na dnešek není nic naplánováno");
inline const QString kZadneVyroci = QStringLiteral("Na dnešní den nepřipadá žádné výročí");
inline const QString kSearchInitial = QStringLiteral("text");
inline const QString kHledej = QStringLiteral("&Hledej");
inline const QString kDalsi = QStringLiteral("&Další");
inline const QString kZpet = QStringLiteral("Zpě&t");
inline const QString kVeSloupci = QStringLiteral("Ve sloupci");
inline const QString kRadioPrijmeni = QStringLiteral("Příj&mení");
inline const QString kRadioJmeno = QStringLiteral("&Jméno");
inline const QString kRadioAdresa = QStringLiteral("&Adresa");
inline const QString kRadioTelefon = QStringLiteral("T&elefon");
inline const QString kRadioPoznamka = QStringLiteral("P&oznámka");

// Messages.
inline const QString kDeleteQuestion = QStringLiteral("Smazat záznam %1?");
inline const QString kDuplicateSurname =
    QStringLiteral("Nelze vložit dvě stejná příjmení. Stejné příjmení už existuje.");
inline const QString kNoColumn = QStringLiteral("Není vybrán sloupec...");
inline const QString kSearching = QStringLiteral("Hledá se text…");
inline const QString kNotFound = QStringLiteral("Výskyt textu \"%1\" nenalezen");
inline const QString kNoFurther = QStringLiteral("Další výskyt textu \"%1\" nenalezen");

// Printing and settings.
inline const QString kPrintAllQuestion = QStringLiteral("Chcete vytisknout celý obsah adresáře?");
inline const QString kPrintNamesQuestion =
    QStringLiteral("Chcete vytisknout jména s adresami a telefony?");
inline const QString kAutostartQuestion = QStringLiteral("Program bude spuštěn vždy po startu počítače");
inline const QString kNoAutostartQuestion =
    QStringLiteral("Program přestane být spouštěn po startu počítače");
inline const QString kCountAddresses = QStringLiteral("V adresáři je ");
inline const QString kCountRecords = QStringLiteral("V záznamníku je ");
inline const QString kCountPlanner = QStringLiteral("V plánovači je ");

// Menu.
inline const QString kMenuProgram = QStringLiteral("&Program");
inline const QString kMenuSestavy = QStringLiteral("&Sestavy");
inline const QString kMenuDoplnky = QStringLiteral("&Doplňky");
inline const QString kMenuZalohovani = QStringLiteral("&Zálohování");
inline const QString kMenuNastaveni = QStringLiteral("Nasta&vení");
inline const QString kMenuNapoveda = QStringLiteral("&Nápověda");
inline const QString kHintTextovyEditor = QStringLiteral("Před otevřením klikni na jméno");

} // namespace app::texts
