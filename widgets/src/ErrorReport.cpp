#include "widgets/ErrorReport.h"

#include "platform/Platform.h"
#include "store/Errors.h"

#include <QtGlobal>

namespace widgets {

namespace {

// What each kind of store failure means to the user and what to do about it.
const QString kDamaged = QStringLiteral(
    "Soubor tabulky je poškozený. Program ho nemění ani nemaže; obnovte data ze zálohy "
    "(Zálohování › Obnova z disku).");
const QString kMissing = QStringLiteral(
    "Tabulka nebo její část v datovém adresáři chybí. Zkontrolujte složku Data v pracovním "
    "adresáři, případně data obnovte ze zálohy.");
const QString kPassword =
    QStringLiteral("Chráněnou tabulku nelze otevřít: heslo datových tabulek nesouhlasí.");
const QString kLocked = QStringLiteral(
    "Datový adresář právě používá jiný spuštěný Pelmir. Ukončete ho a zkuste to znovu.");
const QString kIo = QStringLiteral(
    "Datový soubor nelze číst nebo zapsat. Zkontrolujte, že je soubor přístupný pro zápis, "
    "že ho nepoužívá jiný program a že je na disku volné místo.");
const QString kOther = QStringLiteral("Operaci s tabulkou nelze provést.");
const QString kSaveFailed = QStringLiteral("Záznam nebyl uložen a zůstává rozepsaný.");

// The Czech sentence for a store error, empty where the store's own text stays.
QString leadFor(store::StoreError::Kind kind)
{
    using Kind = store::StoreError::Kind;
    switch (kind) {
    case Kind::KeyViolation:
    case Kind::EmptyDataset:
        return {};
    case Kind::Damaged:
        return kDamaged;
    case Kind::NotFound:
        return kMissing;
    case Kind::Password:
        return kPassword;
    case Kind::Locked:
        return kLocked;
    case Kind::Io:
        return kIo;
    case Kind::NotEditing:
    case Kind::Closed:
    case Kind::BadStatement:
        return kOther;
    }
    return kOther;
}

} // namespace

QString userMessage(const std::exception& error)
{
    const QString detail = QString::fromUtf8(error.what());
    const auto* storeError = dynamic_cast<const store::StoreError*>(&error);
    if (!storeError)
        return detail;
    const QString lead = leadFor(storeError->kind());
    if (lead.isEmpty())
        return detail;
    return detail.isEmpty() ? lead : lead + QStringLiteral("\n\n") + detail;
}

QString saveFailureMessage(const std::exception& error, const QString& duplicateKeyText)
{
    const auto* storeError = dynamic_cast<const store::StoreError*>(&error);
    if (storeError && storeError->kind() == store::StoreError::Kind::KeyViolation)
        return duplicateKeyText;
    return kSaveFailed + QStringLiteral("\n\n") + userMessage(error);
}

void reportError(const std::exception& error)
{
    const QString text = userMessage(error);
    if (platform::Dialogs* dialogs = platform::services().dialogs)
        dialogs->errorBox(text);
    else
        qWarning("%s", qPrintable(text)); // no seams installed: never lose the error
}

} // namespace widgets
