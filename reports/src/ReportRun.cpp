#include "reports/PrintPreview.h"

#include "platform/Platform.h"
#include "store/DateText.h"

#include <QDate>
#include <QProgressDialog>

#include <algorithm>

namespace reports {

namespace {

const QString kPreparing = QStringLiteral("Připravuje se sestava…");
const QString kCancel = QStringLiteral("Zrušit");
// Short preparations finish before the progress dialog would flash up.
constexpr int kProgressDelayMs = 700;

QString printDate()
{
    const QDate today = platform::services().clock->today();
    store::DateTime date;
    date.year = today.year();
    date.month = today.month();
    date.day = today.day();
    return QString::fromStdString(store::formatDate(date));
}

} // namespace

bool previewReport(const ReportLayout& layout, store::DataSet& data, QWidget* parent)
{
    std::optional<PreparedReport> report;
    {
        QProgressDialog progress(kPreparing, kCancel, 0, 1, parent);
        progress.setWindowTitle(layout.name);
        progress.setWindowModality(Qt::ApplicationModal);
        progress.setMinimumDuration(kProgressDelayMs);
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        report = prepare(layout, data, printDate(), [&progress](int done, int total) {
            progress.setMaximum(std::max(total, 1));
            progress.setValue(std::min(done, progress.maximum()));
            return !progress.wasCanceled();
        });
    }
    if (!report || report->empty())
        return false;
    PrintPreview preview(*report, parent);
    preview.exec();
    return true;
}

} // namespace reports
