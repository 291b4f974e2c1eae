#include "app/CommandLine.h"

namespace app {

CommandLine parseCommandLine(const QStringList& arguments, const QString& currentDir)
{
    CommandLine result;
    result.workDir = currentDir;
    const QString option = QStringLiteral("--workdir");
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == option) {
            if (i + 1 >= arguments.size()) {
                result.error = QStringLiteral("Chybí adresář za volbou --workdir.");
                return result;
            }
            result.workDir = arguments[++i];
            result.workDirGiven = true;
        } else if (argument.startsWith(option + QLatin1Char('='))) {
            result.workDir = argument.mid(option.size() + 1);
            result.workDirGiven = true;
        } else if (result.document.isEmpty()) {
            result.document = argument;
        }
    }
    if (result.workDir.isEmpty())
        result.error = QStringLiteral("Chybí adresář za volbou --workdir.");
    return result;
}

} // namespace app
