#include "widgets/ErrorReport.h"

#include "platform/Platform.h"
#include "store/Errors.h"

#include <QtGlobal>

namespace widgets {

namespace {

const QString kSaveFailed = QStringLiteral("Záznam nebyl uložen a zůstává rozepsaný.");

} // namespace

QString userMessage(const std::exception& error)
{
    // The store's texts say in Czech what failed on which table and what to
    // do, the engine's message on a line after it; the texts the user knows
    // from the toolkit ("Key violation.") stay as they are.
    return QString::fromUtf8(error.what());
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
    // The technical account (the statement that failed) is for the log only.
    if (const auto* storeError = dynamic_cast<const store::StoreError*>(&error);
        storeError && !storeError->detail().empty())
        qWarning("%s: %s", storeError->table().c_str(), storeError->detail().c_str());
    const QString text = userMessage(error);
    if (platform::Dialogs* dialogs = platform::services().dialogs)
        dialogs->errorBox(text);
    else
        qWarning("%s", qPrintable(text)); // no seams installed: never lose the error
}

} // namespace widgets
