#include "app/CommandLine.h"

namespace app {

namespace {
const QString kMissingValue = QStringLiteral("Chybí hodnota za volbou %1.");
const QString kImportOrExport = QStringLiteral("Volby --import a --export nelze použít najednou.");
} // namespace

CommandLine parseCommandLine(const QStringList& arguments, const QString& currentDir)
{
    CommandLine result;
    result.workDir = currentDir;
    struct Option {
        QString name;
        QString* value;
    };
    const Option options[] = {
        {QStringLiteral("--workdir"), &result.workDir},     {QStringLiteral("--import"), &result.importPath},
        {QStringLiteral("--export"), &result.exportPath},   {QStringLiteral("--conflicts"), &result.conflicts},
        {QStringLiteral("--encoding"), &result.encoding},   {QStringLiteral("--password"), &result.password},
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        bool matched = false;
        for (const Option& option : options) {
            if (argument == option.name) {
                if (i + 1 >= arguments.size()) {
                    result.error = kMissingValue.arg(option.name);
                    return result;
                }
                *option.value = arguments[++i];
                matched = true;
            } else if (argument.startsWith(option.name + QLatin1Char('='))) {
                *option.value = argument.mid(option.name.size() + 1);
                matched = true;
            }
            if (matched) {
                result.workDirGiven = result.workDirGiven || option.value == &result.workDir;
                break;
            }
        }
        if (!matched && result.document.isEmpty())
            result.document = argument;
    }
    if (result.workDir.isEmpty())
        result.error = kMissingValue.arg(QStringLiteral("--workdir"));
    else if (!result.importPath.isEmpty() && !result.exportPath.isEmpty())
        result.error = kImportOrExport;
    return result;
}

} // namespace app
