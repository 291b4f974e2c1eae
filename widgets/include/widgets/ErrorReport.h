#pragma once

#include <QString>

#include <exception>
#include <utility>

namespace widgets {

// The text the user reads for an error: the error's own. The store's texts
// say in Czech what failed on which table and what to do, the technical
// detail on a line after it; those the user knows from the toolkit ("Key
// violation.", the empty dataset) stay as they are.
QString userMessage(const std::exception& error);

// Why a save failed: the window's own message for a duplicate key, else the
// real reason (a locked or read-only file, a full disk, damage), saying that
// the record was kept as typed.
QString saveFailureMessage(const std::exception& error, const QString& duplicateKeyText);

// The general error report: userMessage() in the application's error box.
void reportError(const std::exception& error);

// Runs f; an error it throws is reported and ends only f, as a handler's
// uncaught error does. Returns false when f failed.
template <typename F> bool guarded(F&& f)
{
    try {
        std::forward<F>(f)();
        return true;
    } catch (const std::exception& error) {
        reportError(error);
        return false;
    }
}

} // namespace widgets
