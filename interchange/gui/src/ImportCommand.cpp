// The menu commands: the import from a chosen file with its preview, and
// the export of the address book. Every box and dialog goes through the
// platform's seams, and long steps through its progress window.

#include "interchange/ImportDialog.h"

#include "store/Database.h"
#include "store/CzechText.h"

#include "interchange/AddressCsv.h"
#include "interchange/CsvColumnsDialog.h"
#include "interchange/Export.h"
#include "interchange/ImportFile.h"

#include "platform/Platform.h"
#include "store/Catalogue.h"

#include "ImportDialogTexts.h"

#include <QDir>
#include <QFileInfo>

namespace interchange {

namespace {

QString startFolder()
{
    // The documents folder where the desktop has one, else the home folder.
    const platform::Paths* paths = platform::services().paths;
    const QString documents = paths ? paths->documentsDir() : QString();
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

} // namespace

void runImport(store::Database& database, QWidget* parent)
{
    platform::Dialogs& dialogs = *platform::services().dialogs;
    platform::Progress& progress = *platform::services().progress;
    const std::optional<QString> path = dialogs.openFileName(texts::kImportTitle, startFolder(), texts::kImportFilter);
    if (!path || path->isEmpty())
        return;

    std::optional<ImportSource> source;
    if (sourceKindOf(*path) == SourceKind::Csv) {
        QString error;
        const std::optional<CsvDocument> document = readCsvDocument(*path, &error);
        if (!document) {
            dialogs.errorBox(error);
            return;
        }
        std::vector<CsvRole> roles = guessRoles(document->header);
        if (rolesNeedChoosing(roles)) {
            const QStringList sample = document->rows.empty() ? QStringList() : document->rows.front().fields;
            std::optional<std::vector<CsvRole>> chosen = chooseCsvColumns(document->header, sample, roles, parent);
            if (!chosen)
                return;
            roles = *std::move(chosen);
        }
        source = csvSource(*document, roles);
    } else {
        ReadSource read;
        {
            // The progress window closes before any box: it stays on top, and
            // the box would open hidden behind it with the window seeming stuck.
            std::unique_ptr<platform::ProgressTask> task = progress.begin(texts::kImportTitle, parent);
            task->setLabel(texts::kReading.arg(QFileInfo(*path).fileName()));
            read = readSource(*path, {store::dataTablesPassword()},
                              [&](qint64 done, qint64 total) { return task->setProgress(done, total); });
        }
        if (!read.source) {
            if (read.error.isEmpty())
                dialogs.information(texts::kStopped);
            else
                dialogs.errorBox(read.error);
            return;
        }
        source = read.source;
    }

    std::optional<ImportPlan> plan;
    {
        std::unique_ptr<platform::ProgressTask> task = progress.begin(texts::kImportTitle, parent);
        task->setLabel(texts::kChecking);
        plan = makePlan(database, *source,
                        [&](qint64 done, qint64 total) { return task->setProgress(done, total); });
    }
    if (!plan) {
        dialogs.information(texts::kStopped);
        return;
    }
    if (plan->empty() && plan->count(EntryKind::Problem) == 0) {
        bool skipped = false;
        for (const TablePlan& table : plan->tables)
            skipped = skipped || table.skipped;
        if (!skipped) {
            dialogs.information(texts::kNothing);
            return;
        }
    }

    ImportDialog preview(*plan, parent);
    if (preview.exec() != QDialog::Accepted)
        return;

    std::vector<TableResult> results;
    {
        std::unique_ptr<platform::ProgressTask> task = progress.begin(texts::kImportTitle, parent);
        task->setLabel(texts::kWriting);
        results = applyPlan(database, *plan, [&](int done, int total) { return task->setProgress(done, total); });
    }
    bool failed = false;
    for (const TableResult& result : results)
        failed = failed || result.failed;
    const QString text = texts::kDone.arg(resultText(results));
    if (failed)
        dialogs.warning(text);
    else
        dialogs.information(text);
}

void runExport(store::Database& database, QWidget* parent)
{
    platform::Dialogs& dialogs = *platform::services().dialogs;
    const std::optional<QString> path =
        dialogs.saveFileName(texts::kExportTitle, QDir(startFolder()).filePath(QStringLiteral("adresy.vcf")),
                             texts::kExportFilter);
    if (!path || path->isEmpty())
        return;
    ExportOptions options;
    options.format = formatForFile(*path);
    if (options.format == ExportFormat::Csv) {
        const platform::Button answer = dialogs.confirmYesNoCancel(texts::kCsvEncoding);
        if (answer == platform::Button::Cancel)
            return;
        options.windows1250 = answer == platform::Button::No;
    }
    ExportResult result;
    {
        std::unique_ptr<platform::ProgressTask> task = platform::services().progress->begin(texts::kExportTitle, parent);
        task->setLabel(texts::kExporting.arg(QFileInfo(*path).fileName()));
        result = exportAddresses(database, *path, options,
                                 [&](qint64 done, qint64 total) { return task->setProgress(done, total); });
    }
    if (!result.written) {
        dialogs.errorBox(result.error);
        return;
    }
    QString text = store::czechPlural(result.records, texts::kExportDoneOne, texts::kExportDoneFew, texts::kExportDoneMany)
                       .arg(result.records).arg(*path);
    if (result.unmappable > 0)
        text += QStringLiteral("\n\n") + texts::kUnmappable.arg(result.unmappable);
    dialogs.information(text);
}

} // namespace interchange
