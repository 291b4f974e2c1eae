#include "reports/PrintPreview.h"

#include "platform/Platform.h"
#include "store/Cursor.h"
#include "store/DateText.h"
#include "store/MarkedWalk.h"

#include <QDate>

#include <malloc.h>

#include <optional>

namespace reports {

namespace {

const QString kPreparing = QStringLiteral("Připravuje se sestava…");

QString printDate()
{
    const QDate today = platform::services().clock->today();
    store::DateTime date;
    date.year = today.year();
    date.month = today.month();
    date.day = today.day();
    return QString::fromStdString(store::formatDate(date));
}

// Prepares the report and shows it until the user closes the preview; the
// report and its pages are gone when this returns.
bool showPreview(const ReportLayout& layout, store::DataSet& data, QWidget* parent)
{
    std::optional<PreparedReport> report;
    {
        // A finished preparation leaves the table on its last record, as it
        // always has; a cancelled one (or one that failed) goes back to
        // where the table stood.
        std::optional<store::MarkedWalk> walk;
        if (auto* table = dynamic_cast<store::Cursor*>(&data))
            walk.emplace(*table);
        std::unique_ptr<platform::ProgressTask> task;
        if (platform::Progress* progress = platform::services().progress) {
            task = progress->begin(layout.name, parent);
            task->setLabel(kPreparing);
        }
        report = prepare(layout, data, printDate(), [&task](int done, int total) {
            return !task || task->setProgress(done, total);
        });
        if (walk)
            walk->finish(report.has_value());
    }
    if (!report || report->empty())
        return false;
    PrintPreview preview(*report, parent);
    preview.exec();
    return true;
}

} // namespace

bool previewReport(const ReportLayout& layout, store::DataSet& data, QWidget* parent)
{
    // A big report's texts and pages leave the heap in pieces the allocator
    // keeps for itself (its threshold for giving memory back grows with
    // every large block freed); they go back to the system however the
    // preview ends (a failed preparation too), or the process stays a report
    // bigger for the rest of the run.
    struct TrimAfterwards {
        ~TrimAfterwards() { ::malloc_trim(0); }
    } trim;
    return showPreview(layout, data, parent);
}

} // namespace reports
