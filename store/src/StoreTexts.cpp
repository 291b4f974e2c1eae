#include "StoreTexts.h"

namespace store {

namespace {

// What failed, by operation: the table's name is put in place of %1.
const char* operationText(Operation operation)
{
    switch (operation) {
    case Operation::Open: return "Tabulku %1 nelze otevřít";
    case Operation::Read: return "Tabulku %1 nelze přečíst";
    case Operation::Save: return "Záznam nelze uložit do tabulky %1";
    case Operation::Delete: return "Záznam nelze smazat z tabulky %1";
    case Operation::Empty: return "Tabulku %1 nelze vyprázdnit";
    case Operation::Sort: return "Tabulku %1 nelze znovu seřadit";
    case Operation::Check: return "Kontrola tabulky %1 našla chybu";
    }
    return "Tabulku %1 nelze použít";
}

// Why (ending without a full stop), and what the user can do about it.
struct Cause {
    const char* why;
    std::string advice;
};

Cause cause(StoreError::Kind kind)
{
    const std::string restore = std::string("Obnovte tabulku ze zálohy ") + kRestoreMenuAdvice + ".";
    constexpr const char* retry = "Akci opakujte; trvá-li chyba, obnovte tabulku ze zálohy.";
    switch (kind) {
    case StoreError::Kind::Damaged:
        return {"soubor tabulky je poškozený", restore};
    case StoreError::Kind::Foreign:
        return {"soubor není tabulkou tohoto programu",
                std::string("Soubor zůstal beze změny; vraťte na jeho místo správnou tabulku, například ze zálohy ")
                    + kRestoreMenuAdvice + "."};
    case StoreError::Kind::NotFound:
        return {"soubor tabulky ve složce Data chybí", restore};
    case StoreError::Kind::Password:
        return {"tabulka je chráněná heslem, které program nezadal", ""};
    case StoreError::Kind::Locked:
        return {"soubor tabulky právě používá jiný program", "Ukončete jej a akci opakujte."};
    case StoreError::Kind::ReadOnly:
        return {"do souboru tabulky nebo do složky Data nelze zapisovat", "Povolte zápis a akci opakujte."};
    case StoreError::Kind::Replaced:
        return {"soubor tabulky mezitím nahradil nebo přesunul jiný program",
                "Program drží původní soubor a uložit do něj už nelze: ukončete program a spusťte ho znovu, "
                "otevře se soubor, který je teď na místě tabulky (rozepsaný záznam si předtím opište)."};
    case StoreError::Kind::DiskFull:
        return {"na disku není volné místo", "Uvolněte místo a akci opakujte."};
    case StoreError::Kind::BadValue:
        return {"hodnota se do pole nehodí", "Opravte ji."};
    default:
        return {"při práci se souborem tabulky nastala chyba", retry};
    }
}

std::string replaceTable(std::string text, const std::string& table)
{
    const std::size_t at = text.find("%1");
    if (at != std::string::npos)
        text.replace(at, 2, table);
    return text;
}

} // namespace

std::string failureText(StoreError::Kind kind, Operation operation, const std::string& table,
                        const std::string& reason, const std::string& engineMessage)
{
    // The engine's quoted texts stay as they are: windows compare and replace them.
    if (kind == StoreError::Kind::KeyViolation)
        return kKeyViolationMessage;
    const Cause why = cause(kind);
    std::string text = replaceTable(operationText(operation), table) + ": " + (reason.empty() ? why.why : reason) + ".";
    if (!why.advice.empty())
        text += " " + why.advice;
    if (!engineMessage.empty())
        text += "\n(" + engineMessage + ")";
    return text;
}

StoreError tableError(const StoreError& engineError, Operation operation, const std::string& table)
{
    const std::string detail = engineError.detail().empty() ? engineError.what() : engineError.detail();
    return StoreError(engineError.kind(), failureText(engineError.kind(), operation, table, {}, engineError.what()),
                      table, detail);
}

void failTable(StoreError::Kind kind, Operation operation, const std::string& table, const std::string& reason,
               const std::string& detail)
{
    throw StoreError(kind, failureText(kind, operation, table, reason), table, detail);
}

} // namespace store
