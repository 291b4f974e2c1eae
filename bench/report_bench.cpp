// Printing a large address book: preparing each report, painting one page,
// and the line printing into a PDF file (the CPU column is the honest figure
// on a busy machine).
// Works on a copy of the 1,000,000-address table that store_bench generates
// into $PELMIR_BENCH_CACHE (default ./store-bench-cache); run store_bench first.
//   QT_QPA_PLATFORM=offscreen report_bench

#include "BenchSupport.h"

#include "reports/AddressLines.h"
#include "reports/AddressReports.h"
#include "reports/PrintPreview.h"
#include "reports/ReportEngine.h"
#include "reports/TextPrinter.h"

#include "platform/Fakes.h"
#include "platform/RealServices.h"
#include "store/Cursor.h"
#include "store/Database.h"

#include <QApplication>
#include <QTimer>
#include <QPrinter>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr const char* kTable = "Dat.DB";

using bench::cacheDir;

// The fakes record every progress report; the memory benchmark drops them
// after each opening so that only the program's own memory is counted.
platform::ScopedFakeServices* g_fakes = nullptr;
using bench::residentKb;

struct Bench {
    std::unique_ptr<store::Database> database;
    std::unique_ptr<store::Cursor> table;
};

Bench& bench()
{
    static Bench b;
    if (!b.table) {
        const fs::path source = cacheDir() / "table" / kTable;
        if (!fs::exists(source)) {
            std::fprintf(stderr, "no %s: run store_bench first\n", source.c_str());
            std::exit(1);
        }
        const fs::path work = cacheDir() / "report-work";
        fs::remove_all(work);
        fs::create_directories(work);
        fs::copy_file(source, work / kTable);
        b.database = std::make_unique<store::Database>(work);
        b.table = std::make_unique<store::Cursor>(*b.database, kTable);
        b.table->open();
    }
    return b;
}

void prepareReport(benchmark::State& state, const reports::ReportLayout& layout)
{
    store::Cursor& table = *bench().table;
    for (auto _ : state) {
        const long before = residentKb();
        std::optional<reports::PreparedReport> report =
            reports::prepare(layout, table, QStringLiteral("10.12.2026"));
        state.counters["pages"] = report->pageCount();
        state.counters["extra_MB"] = static_cast<double>(residentKb() - before) / 1024.0;
    }
    state.counters["records"] = table.recordCount();
}

void Report_PrepareFull(benchmark::State& state)
{
    prepareReport(state, reports::fullAddressLayout());
}

void Report_PrepareShort(benchmark::State& state)
{
    prepareReport(state, reports::shortAddressLayout());
}

void Report_RenderPage(benchmark::State& state)
{
    static const std::optional<reports::PreparedReport> report =
        reports::prepare(reports::fullAddressLayout(), *bench().table, QStringLiteral("10.12.2026"));
    int page = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(reports::renderPage(*report, page, 100.0));
        page = (page + 997) % report->pageCount();
    }
}

// "Tisk › Všech záznamů" into a PDF file through the program's own printer
// and canvas: the same measuring, drawing and compressing as a printed job.
void Lines_PrintAllPdf(benchmark::State& state)
{
    platform::QtPrinter printer;
    const fs::path pdf = cacheDir() / "report-work" / "lines.pdf";
    printer.qprinter()->setOutputFormat(QPrinter::PdfFormat);
    printer.qprinter()->setOutputFileName(QString::fromStdString(pdf.string()));
    for (auto _ : state) {
        reports::TextPrinter out(printer);
        QFont font(QStringLiteral("Liberation Sans"), 8);
        reports::printAddressLines(*bench().table, out, font, reports::AddressLines::AllFields);
        state.counters["pages"] = out.page();
    }
    state.counters["pdf_MB"] = static_cast<double>(fs::file_size(pdf)) / 1e6;
    fs::remove(pdf);
}

// The highest resident memory since the last reset, in kB; resets the mark.
long peakKbSinceReset()
{
    std::ifstream in("/proc/self/status");
    std::string line;
    long peak = 0;
    while (std::getline(in, line))
        if (line.rfind("VmHWM:", 0) == 0)
            peak = std::atol(line.c_str() + 6);
    std::ofstream("/proc/self/clear_refs") << "5";
    return peak;
}

// The user's whole preview of "Všechny údaje" over the million addresses,
// opened and closed ten times: the process's resident memory before the
// first opening is the reference; after each closing it must be back near it.
void Preview_Memory(benchmark::State& state)
{
    store::Cursor& table = *bench().table;
    const reports::ReportLayout layout = reports::fullAddressLayout();
    // The table as the main window has it: key list read, on its first record.
    table.last();
    table.first();
    for (auto _ : state) {
        const long before = residentKb();
        peakKbSinceReset();
        long worstAfter = 0;
        long worstPeak = 0;
        for (int opening = 0; opening < 10; ++opening) {
            // Closes the preview as soon as it shows its first page.
            QTimer closer;
            QObject::connect(&closer, &QTimer::timeout, [&closer] {
                if (QWidget* preview = QApplication::activeModalWidget()) {
                    preview->close();
                    closer.stop();
                }
            });
            closer.start(10);
            reports::previewReport(layout, table, nullptr);
            g_fakes->progress.clear();
            const long after = residentKb();
            const long peak = peakKbSinceReset();
            const struct mallinfo2 heap = ::mallinfo2();
            std::fprintf(stderr, "opening %d: before %.1f MB, peak %.1f MB, after closing %.1f MB (in use %.1f MB)\n",
                         opening + 1, before / 1024.0, peak / 1024.0, after / 1024.0,
                         static_cast<double>(heap.uordblks + heap.hblkhd) / 1048576.0);
            worstAfter = std::max(worstAfter, after);
            worstPeak = std::max(worstPeak, peak);
        }
        state.counters["before_MB"] = before / 1024.0;
        state.counters["peak_MB"] = worstPeak / 1024.0;
        state.counters["after_MB"] = worstAfter / 1024.0;
        state.counters["kept_MB"] = (worstAfter - before) / 1024.0;
    }
}

} // namespace

BENCHMARK(Preview_Memory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Lines_PrintAllPdf)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(Report_PrepareFull)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Report_PrepareShort)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Report_RenderPage)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    platform::ScopedFakeServices fakes;
    g_fakes = &fakes;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
