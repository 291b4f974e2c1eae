// Printing a large address book: preparing each report, painting one page,
// and the line printing's walk and layout (on a canvas that only measures).
// Works on a copy of the 1,000,000-address table that store_bench generates
// into $PELMIR_BENCH_CACHE (default ./store-bench-cache); run store_bench first.
//   QT_QPA_PLATFORM=offscreen report_bench

#include "BenchSupport.h"

#include "reports/AddressLines.h"
#include "reports/AddressReports.h"
#include "reports/ReportEngine.h"
#include "reports/TextPrinter.h"

#include "platform/Fakes.h"
#include "store/Cursor.h"
#include "store/Database.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr const char* kTable = "Dat.DB";

using bench::cacheDir;
using bench::residentKb;

// A canvas that measures like a printer (fixed metrics) and keeps nothing.
class CountingCanvas : public platform::PrintCanvas {
public:
    void setFont(const QFont&) override {}
    int textWidth(const QString& text) const override { return static_cast<int>(text.size()) * 40; }
    int lineHeight() const override { return 100; }
    int averageCharWidth() const override { return 40; }
    int pageWidth() const override { return 9600; }
    int pageHeight() const override { return 13600; }
    void drawText(int, int, const QString&) override { ++texts; }
    void newPage() override { ++pages; }
    void finish() override {}
    long texts = 0;
    long pages = 1;
};

class CountingPrinter : public platform::Printer {
public:
    std::unique_ptr<platform::PrintCanvas> begin(const QString&) override
    {
        auto canvas = std::make_unique<CountingCanvas>();
        last = canvas.get();
        return canvas;
    }
    QString errorString() const override { return {}; }
    QPrinter* qprinter() override { return nullptr; }
    bool usable() const override { return true; }
    CountingCanvas* last = nullptr;
};

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

void Lines_PrintAll(benchmark::State& state)
{
    CountingPrinter printer;
    for (auto _ : state) {
        reports::TextPrinter out(printer);
        reports::printAddressLines(*bench().table, out, QFont(QStringLiteral("Liberation Sans"), 8),
                                   reports::AddressLines::AllFields);
        state.counters["pages"] = static_cast<double>(printer.last->pages);
        state.counters["lines"] = static_cast<double>(printer.last->texts);
    }
}

} // namespace

BENCHMARK(Report_PrepareFull)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Report_PrepareShort)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Report_RenderPage)->Unit(benchmark::kMillisecond);
BENCHMARK(Lines_PrintAll)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication application(argc, argv);
    platform::ScopedFakeServices fakes;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
