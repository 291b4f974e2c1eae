#include "interchange/CommandLineTransfer.h"

#include "interchange/Export.h"
#include "interchange/ImportFile.h"
#include "store/CzechText.h"

#include "InterchangeTexts.h"

namespace interchange {

std::optional<Choice> choiceFromText(const QString& text)
{
    const QString word = text.trimmed().toLower();
    if (word == QLatin1String("skip") || word == QLatin1String("preskocit"))
        return Choice::Skip;
    if (word == QLatin1String("replace") || word == QLatin1String("nahradit"))
        return Choice::Replace;
    if (word == QLatin1String("keep") || word == QLatin1String("oba"))
        return Choice::KeepBoth;
    return std::nullopt;
}

int importFromCommandLine(store::Database& database, const QString& path, Choice conflicts,
                          const std::vector<std::string>& passwords, QTextStream& out, QTextStream& err)
{
    ReadSource read = readSource(path, passwords);
    if (!read.source) {
        err << (read.error.isEmpty() ? texts::kReadStopped : read.error) << '\n' << texts::kNothingWritten << '\n';
        return 1;
    }
    std::optional<ImportPlan> plan = makePlan(database, *read.source);
    if (!plan) {
        err << texts::kReadStopped << '\n' << texts::kNothingWritten << '\n';
        return 1;
    }
    if (plan->count(EntryKind::Problem) > 0) {
        err << texts::kUnreadableListed << '\n';
        for (const TablePlan& table : plan->tables)
            for (const PlanEntry& entry : table.entries)
                if (entry.kind == EntryKind::Problem)
                    err << tableLabel(table.tableName) << ": " << entry.message << '\n';
        err << texts::kNothingWritten << '\n';
        return 1;
    }
    // A table that could not be read at all (its password unknown, damaged) stops the whole import too.
    bool skipped = false;
    for (const TablePlan& table : plan->tables)
        skipped = skipped || table.skipped;
    if (skipped || plan->empty()) {
        for (const TablePlan& table : plan->tables)
            if (table.skipped)
                err << tableLabel(table.tableName) << ": " << table.skipReason << '\n';
        if (!skipped)
            err << texts::kNothingToImport << '\n';
        err << texts::kNothingWritten << '\n';
        return 1;
    }
    plan->chooseForAll(conflicts);
    // How the file was taken (its code page, fields left out) is said before the counts.
    for (const TablePlan& table : plan->tables)
        for (const QString& note : table.notes)
            out << tableLabel(table.tableName) << ": " << note << '\n';
    const std::vector<TableResult> results = applyPlan(database, *plan);
    bool failed = false;
    for (const TableResult& result : results)
        failed = failed || result.failed;
    // What did not fit, each value with its record, before the counts.
    if (const QStringList changed = plan->changedValues(); !failed && !changed.isEmpty()) {
        err << texts::kChangedValuesListed << '\n';
        for (const QString& line : changed)
            err << line << '\n';
        // On a terminal the list comes before the counts.
        err.flush();
    }
    (failed ? err : out) << resultText(results) << '\n';
    return failed ? 1 : 0;
}

int exportFromCommandLine(store::Database& database, const QString& path, bool windows1250, QTextStream& out,
                          QTextStream& err)
{
    ExportOptions options;
    options.format = formatForFile(path);
    options.windows1250 = windows1250;
    const ExportResult result = exportAddresses(database, path, options);
    if (!result.written) {
        err << result.error << '\n';
        return 1;
    }
    out << store::czechPlural(result.records, texts::kExportedOne, texts::kExportedFew, texts::kExportedMany)
                  .arg(result.records).arg(path) << '\n';
    if (result.unmappable > 0)
        err << texts::kUnmappable.arg(result.unmappable) << '\n';
    return 0;
}

} // namespace interchange
