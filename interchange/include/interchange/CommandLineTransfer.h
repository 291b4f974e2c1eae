#pragma once

// `pelmir --import FILE` and `pelmir --export FILE` for scripts: the same
// reading, checks and writing as the windows, without asking. An import with
// anything that cannot be read writes nothing; conflicts are settled by the
// given choice.

#include "interchange/ImportPlan.h"

#include <QString>
#include <QTextStream>

#include <string>
#include <vector>

namespace store {
class Database;
}

namespace interchange {

// The exit code: 0 when everything was written, 1 otherwise. What was done
// goes to `out`, what went wrong to `err` (Czech).
int importFromCommandLine(store::Database& database, const QString& path, Choice conflicts,
                          const std::vector<std::string>& passwords, QTextStream& out, QTextStream& err);
int exportFromCommandLine(store::Database& database, const QString& path, bool windows1250, QTextStream& out,
                          QTextStream& err);

// "skip", "replace", "keep" (and the Czech "preskocit", "nahradit", "oba"); nullopt for anything else.
std::optional<Choice> choiceFromText(const QString& text);

} // namespace interchange
